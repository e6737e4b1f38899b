#!/usr/bin/env bash
# Start-up benchmark under Wine: builds the generated 12-, 48- and 96-question
# picture quizzes and reports, for each, the start-up time against the time
# the picture service alone takes to decode the same pictures, the view switch
# both ways, the peak working set and the first switch to the list view (until
# the pictures in sight are drawn). Compare quizzes within one run only.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
"$root/scripts/install-deps.sh"
jobs=$(nproc)
cmake --preset native >/dev/null
cmake --build --preset native -j "$jobs" --target vidod-make
cmake --preset windows >/dev/null
cmake --build --preset windows -j "$jobs" --target startup_bench_quizzes

source "$root/scripts/display.sh"
export VIDOD_BUILD_DIR="$root/build/windows"
export WINEPREFIX="$VIDOD_BUILD_DIR/wineprefix"
"$root/scripts/wine-run.sh" cmd /c exit 0 >/dev/null 2>&1 || true
wineserver -p 60 || true
cd "$root/build/windows/bench/startup"
for count in 12 48 96; do
  "$root/scripts/wine-run.sh" ./startup_bench.exe "startup_$count.exe" "${VIDOD_BENCH_ROUNDS:-3}" | tr -d '\r'
done
wineserver -k 2>/dev/null || true
