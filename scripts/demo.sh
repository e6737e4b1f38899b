#!/usr/bin/env bash
# Builds the player and the demo quiz, then starts the demo quiz
# (build/windows/demo/drapeaux/drapeaux.exe) under Wine.
#
#   scripts/demo.sh [--no-build]
#
# With a display the quiz opens there and the script ends with it. Without
# one the quiz runs on a private Xvfb: the script waits for its window, then
# for its first picture to be drawn, saves a screenshot (build/demo.png) and
# stops the quiz. Every wait is bounded; a quiz that does not show itself in
# time fails the script.
#
# --no-build starts the demo as it is already built. Environment:
# VIDOD_BUILD_DIR (default build/windows), WINEPREFIX (default the build's own
# prefix), VIDOD_DEMO_SCREENSHOT (default build/demo.png).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

build=yes
case "${1:-}" in
  "") ;;
  --no-build) build=no ;;
  -h|--help) sed -n '2,15p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
  *) echo "usage: $0 [--no-build]" >&2; exit 2 ;;
esac

readonly CAPTION="Drapeaux d'Europe et d'ailleurs"
readonly WINDOW_SECONDS=60
readonly PICTURE_SECONDS=20
# Where the first picture is drawn, from the top left of the window: with no
# window manager Wine draws the frame itself, so the X window is the whole
# window and its client area lies 3 pixels in and 22 down. There the
# single-question view sits at (5, 50) with a one-pixel border, and the
# 640 x 480 picture box at (5, 5) within it; its border is left out.
readonly BOX_X=$((3 + 6 + 5 + 2)) BOX_Y=$((22 + 51 + 5 + 2)) BOX_W=636 BOX_H=476
# The box before the picture: the view's background, or black before the
# first paint. A drawn picture brings at least three colours of its own (the
# first flag has three bands), each over a fiftieth of the box.
readonly PICTURE_COLOURS=3 COLOUR_SHARE=50

export VIDOD_BUILD_DIR=${VIDOD_BUILD_DIR:-$root/build/windows}
quiz=$VIDOD_BUILD_DIR/demo/drapeaux/drapeaux.exe
screenshot=${VIDOD_DEMO_SCREENSHOT:-$root/build/demo.png}

if [ "$build" = yes ]; then
  "$root/scripts/install-deps.sh"
  jobs=$(nproc)
  cmake --preset native >/dev/null
  cmake --build --preset native -j "$jobs" --target vidod-make
  cmake --preset windows >/dev/null
  cmake --build --preset windows -j "$jobs" --target drapeaux
fi
if [ ! -f "$quiz" ]; then
  echo "Quiz de démonstration introuvable : $quiz" >&2
  [ "$build" = yes ] || echo "(lancez scripts/demo.sh sans --no-build pour le construire)" >&2
  exit 1
fi

# The progress file lands beside the quiz: a copy of it in the build tree's
# own folder keeps the answers out of the built one's.
mkdir -p "$VIDOD_BUILD_DIR/demo-run"
cp "$quiz" "$VIDOD_BUILD_DIR/demo-run/"
quiz=$VIDOD_BUILD_DIR/demo-run/$(basename "$quiz")
cd "$VIDOD_BUILD_DIR/demo-run"
if [ -n "${DISPLAY:-}" ]; then
  exec "$root/scripts/wine-run.sh" "$quiz"
fi

source "$root/scripts/display.sh"
"$root/scripts/wine-run.sh" "$quiz" >demo.log 2>&1 &
player=$!
stop_player() {
  kill "$player" 2>/dev/null || true
  wait "$player" 2>/dev/null || true
  WINEPREFIX=${WINEPREFIX:-$VIDOD_BUILD_DIR/wineprefix} wineserver -k 2>/dev/null || true
}
fail() {
  echo "$*" >&2
  stop_player
  exit 1
}

# The first start in a new Wine prefix takes some 11 s before any window.
deadline=$((SECONDS + WINDOW_SECONDS))
window=
until [ -n "$window" ]; do
  kill -0 "$player" 2>/dev/null || fail "Le quiz s'est arrêté au démarrage (voir $PWD/demo.log)."
  [ $SECONDS -lt $deadline ] || fail "La fenêtre du quiz n'est pas apparue en $WINDOW_SECONDS s."
  window=$(xdotool search --onlyvisible --name "^${CAPTION}\$" 2>/dev/null | head -n 1) || true
  [ -n "$window" ] || sleep 0.2
done

geometry=$(xdotool getwindowgeometry --shell "$window") || fail "La fenêtre du quiz a disparu."
eval "$geometry"
crop="${BOX_W}x${BOX_H}+$((X + BOX_X))+$((Y + BOX_Y))"
# Colours of the box that each cover at least its share of it.
large_colours() {
  convert "$screenshot" -crop "$crop" +repage -format %c histogram:info:- 2>/dev/null |
    awk -v least=$((BOX_W * BOX_H / COLOUR_SHARE)) '$1 + 0 >= least { n++ } END { print n + 0 }'
}
deadline=$((SECONDS + PICTURE_SECONDS))
while :; do
  colours=0
  if import -window root "$screenshot" 2>/dev/null; then colours=$(large_colours); fi
  [ "$colours" -ge $PICTURE_COLOURS ] && break
  [ $SECONDS -lt $deadline ] || fail "Le quiz n'a pas dessiné sa première image en $PICTURE_SECONDS s."
  sleep 0.3
done
echo "Capture d'écran : $screenshot"
stop_player
