#!/usr/bin/env bash
# Starts the real player under Wine on the test display, takes a screenshot
# and checks that the window and its header bar are where they belong.
# Usage: shell_screenshot.sh PLAYER.exe WINDOW_PROBE.exe ARTEFACT_DIR
set -euo pipefail
player=$1 probe=$2 artefacts=$3
caption="Nom du quizz"
source "$(dirname "$0")/player_session.sh"
run=$(mktemp -d)
trap 'stop_leftover_player; rm -rf "$run"' EXIT
# A copy of its own: the progress file goes beside it.
cp "$player" "$run/vidod.exe"
player=$run/vidod.exe
cd "$run"

step "start with the default quiz"
start_player
# Frame metrics differ between Windows and Wine: ask the window itself.
eval "$(probe where)"
X=$CLIENT_X Y=$CLIENT_Y
echo "player window at ($OUTER_X, $OUTER_Y), $OUTER_W x $OUTER_H; client area at ($X, $Y)"

step "window place and colours"
# With a 1024 x 768 desktop the 670 x 690 window is centred at (177, 39).
if [ "$OUTER_W x $OUTER_H" != "670 x 690" ]; then
  echo "FAIL: window is $OUTER_W x $OUTER_H"; pixel_failures=$((pixel_failures + 1))
fi
if [ "$(xdotool getdisplaygeometry)" = "1024 768" ] && [ "$OUTER_X,$OUTER_Y" != "177,39" ]; then
  echo "FAIL: window not centred: at ($OUTER_X, $OUTER_Y)"; pixel_failures=$((pixel_failures + 1))
fi
check_pixels shell \
  $((X + 450)) $((Y + 8)) 8080FF "header bar background" \
  $((X + 60)) $((Y + 23)) 8080FF "header bar background under the score" \
  $((X + 300)) $((Y + 300)) 35CBA3 "view background of the default quiz"

step "closing writes the progress file"
close_player
[ -f "$run/vidod.txt" ] || die "closing did not write vidod.txt"
finish
