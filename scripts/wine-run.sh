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
# Without a window manager Wine waits two seconds for every hidden or destroyed
# top-level window to be withdrawn; unmanaged windows do not wait.
if [ ! -f "$WINEPREFIX/.vidod-configured" ]; then
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
  touch "$WINEPREFIX/.vidod-configured"
fi
exec wine "$@"
