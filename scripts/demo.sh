#!/usr/bin/env bash
# Builds the player and the demo quiz, then starts the demo under Wine.
# Without a display it runs on a private Xvfb, saves a screenshot to
# build/demo.png and stops after a few seconds.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

"$root/scripts/install-deps.sh"
jobs=$(nproc)
cmake --preset native >/dev/null
cmake --build --preset native -j "$jobs" --target vidod-make
cmake --preset windows >/dev/null
cmake --build --preset windows -j "$jobs" --target vidod drapeaux 2>/dev/null ||
  cmake --build --preset windows -j "$jobs" --target vidod

quiz="$root/build/windows/demo/drapeaux.exe"
[ -f "$quiz" ] || quiz="$root/build/windows/app/vidod.exe"
export VIDOD_BUILD_DIR="$root/build/windows"

# The progress file lands in the working directory: keep it in the build tree.
mkdir -p "$root/build/demo-run"
cd "$root/build/demo-run"
if [ -n "${DISPLAY:-}" ]; then
  exec "$root/scripts/wine-run.sh" "$quiz"
fi
source "$root/scripts/display.sh"
"$root/scripts/wine-run.sh" "$quiz" &
player=$!
sleep 8
import -window root "$root/build/demo.png"
echo "Capture d'écran : $root/build/demo.png"
kill "$player" 2>/dev/null || true
wineserver -k 2>/dev/null || true
