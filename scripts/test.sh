#!/usr/bin/env bash
# Builds everything and runs every test: the native unit tests (also under
# the sanitizers) with the web page's (its judging against the native one
# under node, the demo page played in headless Chromium), short fuzzing
# runs, then the
# Windows build with its tests under Wine (on an Xvfb display when none is
# set). Exits non-zero when anything fails.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

"$root/scripts/install-deps.sh"
jobs=$(nproc)
began=$(date +%s)
# Each stage says when it starts, so that a slow run shows where its time went.
stage() { echo "== $1 (at $(($(date +%s) - began)) s)"; }

stage "Native build and tests"
cmake --preset native >/dev/null
cmake --build --preset native -j "$jobs"
ctest --preset native

stage "Native tests under the address and undefined-behaviour sanitizers"
"$root/scripts/sanitize.sh"

stage "Short fuzzing runs"
"$root/scripts/fuzz.sh" 10

stage "Windows build"
cmake --preset windows >/dev/null
cmake --build --preset windows -j "$jobs"

stage "Windows tests under Wine"
source "$root/scripts/display.sh"
export VIDOD_BUILD_DIR="$root/build/windows"
export WINEPREFIX="$VIDOD_BUILD_DIR/wineprefix"
# One wineserver for the whole run: every later start then costs about a second.
"$root/scripts/wine-run.sh" cmd /c exit 0 >/dev/null 2>&1 || true
wineserver -p 60 || true
# The random player sessions: the first hundred always, more while 45 s last
# (run it alone for the full 300).
export VIDOD_MODEL_SECONDS=${VIDOD_MODEL_SECONDS:-45}
status=0
ctest --preset windows || status=$?
wineserver -k 2>/dev/null || true
stage "End"
exit $status
