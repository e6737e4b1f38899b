#!/usr/bin/env bash
# Runs a Windows program under Wine with the build tree's private prefix.
# Used as the cross build's test emulator and by the end-to-end scripts.
set -euo pipefail
build_dir=${VIDOD_BUILD_DIR:-$(cd "$(dirname "$0")/.." && pwd)/build/windows}
export WINEPREFIX=${WINEPREFIX:-$build_dir/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko download prompts in a fresh prefix.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
export WINEARCH=win64
mkdir -p "$WINEPREFIX"
exec wine "$@"
