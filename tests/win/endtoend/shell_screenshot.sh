#!/usr/bin/env bash
# Starts the real player under Wine on the test display, takes a screenshot
# and checks that the window and its header bar are where they belong.
# Usage: shell_screenshot.sh PLAYER.exe WINDOW_PROBE.exe ARTEFACT_DIR
set -euo pipefail
player=$1 probe=$2 artefacts=$3
here=$(cd "$(dirname "$0")" && pwd)
wine_run="$here/../../../scripts/wine-run.sh"
mkdir -p "$artefacts"
run=$(mktemp -d)
trap 'rm -rf "$run"' EXIT
cd "$run"

"$wine_run" "$player" &
player_pid=$!
timeout 60 xdotool search --sync --onlyvisible --name "^Nom du quizz$" >/dev/null
sleep 2
shot="$artefacts/shell.png"
import -window root "$shot"
# Frame metrics differ between Windows and Wine: ask the window itself.
eval "$("$wine_run" "$probe" where "Nom du quizz" | tr -d '\r')"
X=$CLIENT_X Y=$CLIENT_Y
echo "player window at ($OUTER_X, $OUTER_Y), $OUTER_W x $OUTER_H; client area at ($X, $Y)"

pixel() { convert "$shot" -format "%[hex:p{$1,$2}]" info: | cut -c1-6; }
fail=0
expect_pixel() {  # x y (client coordinates) colour what
  local got
  got=$(pixel $((X + $1)) $((Y + $2)))
  if [ "$got" != "$3" ]; then
    echo "FAIL: $4 at client ($1, $2) is #$got, expected #$3"
    fail=1
  else
    echo "ok: $4 (#$got)"
  fi
}
# With a 1024 x 768 desktop the 670 x 690 window is centred at (177, 39).
if [ "$OUTER_W x $OUTER_H" != "670 x 690" ]; then
  echo "FAIL: window is $OUTER_W x $OUTER_H"; fail=1
fi
if [ "$(xdotool getdisplaygeometry)" = "1024 768" ] && [ "$OUTER_X,$OUTER_Y" != "177,39" ]; then
  echo "FAIL: window not centred: at ($OUTER_X, $OUTER_Y)"; fail=1
fi
expect_pixel 450 8 8080FF "header bar background"
expect_pixel 60 23 8080FF "header bar background under the score"
expect_pixel 300 300 35CBA3 "view background of the default quiz"

"$wine_run" "$probe" close "Nom du quizz"
wait "$player_pid"
status=$?
[ "$status" -eq 0 ] || { echo "FAIL: the player exited with $status"; fail=1; }
[ -f "$run/vidod.txt" ] || { echo "FAIL: closing did not write vidod.txt"; fail=1; }
exit $fail
