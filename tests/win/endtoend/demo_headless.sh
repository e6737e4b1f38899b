#!/usr/bin/env bash
# The README's first command as a new user meets it on a machine without a
# display: scripts/demo.sh (told not to build) starts the demo quiz in a
# brand-new Wine prefix on its own Xvfb and saves a screenshot once the first
# picture is drawn. The screenshot must show the demo: its background colour
# beside the answer box, the three colours of the French flag in the picture
# box.
# Usage: demo_headless.sh ARTEFACT_DIR (VIDOD_BUILD_DIR names the build)
set -euo pipefail
root=$(cd "$(dirname "$0")/../../.." && pwd)
artefacts=$1
mkdir -p "$artefacts"
shot=$artefacts/demo-headless.png
rm -f "$shot"
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT

start=$SECONDS
env -u DISPLAY WINEPREFIX="$prefix" VIDOD_DEMO_SCREENSHOT="$shot" "$root/scripts/demo.sh" --no-build
echo "demo.sh took $((SECONDS - start)) s in a new Wine prefix"
[ -f "$shot" ] || { echo "FAIL: demo.sh saved no screenshot"; exit 1; }

# On the 1024 x 768 Xvfb the 670 x 690 window is centred at (177, 39); with
# the frame Wine draws, its client area starts at (180, 61). The
# single-question view lies at (5, 50) of it, inside a one-pixel border.
view_x=$((180 + 6)) view_y=$((61 + 51))
box_x=$((view_x + 5)) box_y=$((view_y + 5))  # the 640 x 480 picture box
failures=0
# check X Y RRGGBB TOLERANCE WHAT: each of red, green, blue within tolerance.
check() {
  local hex
  hex=$(convert "$shot" -format "%[hex:p{$1,$2}]" info: | cut -c1-6)
  local r=$((16#${hex:0:2})) g=$((16#${hex:2:2})) b=$((16#${hex:4:2}))
  local er=$((16#${3:0:2})) eg=$((16#${3:2:2})) eb=$((16#${3:4:2}))
  if (((r - er) * (r - er) <= $4 * $4 && (g - eg) * (g - eg) <= $4 * $4 &&
    (b - eb) * (b - eb) <= $4 * $4)); then
    echo "ok: $5 (#$hex)"
  else
    echo "FAIL: $5 at ($1, $2) is #$hex, expected #$3"
    failures=$((failures + 1))
  fi
}
check $((view_x + 100)) $((view_y + 500)) 285AA0 0 "quiz background left of the answer box"
check $((view_x + 545)) $((view_y + 500)) 285AA0 0 "quiz background right of the verdict label"
check $((box_x + 107)) $((box_y + 240)) 0055A4 24 "blue band of the flag"
check $((box_x + 320)) $((box_y + 240)) FFFFFF 24 "white band of the flag"
check $((box_x + 533)) $((box_y + 240)) EF4135 24 "red band of the flag"
[ $failures -eq 0 ] || { echo "see $shot"; exit 1; }
