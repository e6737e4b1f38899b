#!/usr/bin/env bash
# The player on a desktop with a window manager (openbox), as pupils have it.
# The pupil types half an answer, goes to another window and comes back (by
# activating the quiz's window as Alt+Tab does, and by a click on its
# picture): the half answer is neither judged nor lost and the keys go on in
# the answer box. A second start of the quiz, while its window is covered by
# another one or minimised (in either view), brings it back in front with the
# keys in its answer box, and opens no second window.
# Wine leaves windows to the window manager only in a prefix of its default
# settings (the build's prefix keeps them unmanaged): the script keeps a
# prefix of its own in WORK_DIR and runs on an Xvfb of its own.
# Usage: player_window_manager.sh QUIZ.exe OTHER_PLAYER.exe WINDOW_PROBE.exe ARTEFACT_DIR WORK_DIR
set -euo pipefail
quiz=$1 other=$2 probe=$3 artefacts=$4
caption="Drapeaux d'Europe et d'ailleurs"
other_caption="Nom du quizz"
mkdir -p "$5" "$artefacts"
work=$(cd "$5" && pwd)  # Wine takes an absolute prefix
export WINEPREFIX="$work/prefix"
# Marked as set up already: the runner then leaves the windows managed.
mkdir -p "$WINEPREFIX"
touch "$WINEPREFIX/.vidod-configured"
run="$work/run"
rm -rf "$run"
mkdir -p "$run/autre"
cp "$quiz" "$run/drapeaux.exe"
cp "$other" "$run/autre/vidod.exe"

xvfb_pid= openbox_pid= other_pid=
for n in $(seq 261 320); do
  if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then break; fi
done
Xvfb ":$n" -screen 0 1366x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
export DISPLAY=":$n"
for _ in $(seq 1 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
openbox >/dev/null 2>&1 &
openbox_pid=$!

player=$run/drapeaux.exe
source "$(dirname "$0")/player_session.sh"
stop_all() {
  stop_leftover_player
  if [ -n "$other_pid" ] && kill -0 "$other_pid" 2>/dev/null; then kill "$other_pid" 2>/dev/null || true; fi
  wineserver -k 2>/dev/null || true
  kill "$openbox_pid" "$xvfb_pid" 2>/dev/null || true
}
trap stop_all EXIT
for _ in $(seq 1 50); do
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
  sleep 0.1
done
xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id' || die "openbox did not start"
cd "$run"
# A new prefix is set up on its first start.
"$wine_run" cmd /c exit 0 >/dev/null 2>&1 || true

# The window the window manager gives the keys to, and the state it keeps
# the quiz's window in.
active_is_quiz() { [ "$(xdotool getactivewindow 2>/dev/null)" = "$player_xwindow" ]; }
wm_state() { xprop -id "$player_xwindow" WM_STATE 2>/dev/null | sed -n 's/.*window state: //p'; }
wait_until() {
  local what=$1
  shift
  for _ in $(seq 1 50); do "$@" && return 0; sleep 0.2; done
  die "$what"
}
iconic() { [ "$(wm_state)" = Iconic ]; }
in_front() { [ "$(wm_state)" = Normal ] && active_is_quiz; }

start_other() {
  (cd "$run/autre" && "$wine_run" "$run/autre/vidod.exe" >other.log 2>&1) &
  other_pid=$!
  "$wine_run" "$probe" wait "$other_caption" 20 shown:9000 foreground >/dev/null 2>&1 ||
    die "the other player did not start in front"
  wait_until "the window manager did not give the keys to the other player" eval '! active_is_quiz'
  # At the left of the screen, over the left part of the quiz (both open
  # centred), as a notepad beside it would be.
  xdotool windowmove --sync "$(other_xwindow)" 0 0
}
other_xwindow() { xdotool search --onlyvisible --name "^${other_caption}\$" | head -n 1; }

# second_start: the same quiz started again from another folder, as a
# shortcut does; it ends at once, and the first window is in front with the
# keys in its answer box.
second_start() {
  local status=0
  (cd "$work" && timeout 30 "$wine_run" "$player" >second.log 2>&1) || status=$?
  [ "$status" -eq 0 ] || die "the second start ended with status $status (124: still running)"
  player_alive || die "the first player has gone"
  wait_until "the quiz's window is not back in front (state $(wm_state))" in_front
  [ "$(xdotool search --onlyvisible --name "^${caption}\$" | wc -l)" -eq 1 ] ||
    die "more than one window of the quiz"
}

step "a half answer, another window, and back by activation: the keys go on in the box"
start_player
wait_until "the window manager did not give the keys to the quiz" active_is_quiz
wait_for focus:9000 foreground
type_text "Fra"
wait_for text:9000=Fra
start_other
wait_for text:9000=Fra text:9500=?  # left, not judged
xdotool windowactivate --sync "$player_xwindow"
wait_for foreground focus:9000
type_text "nce"
press Return
wait_for text:9000=France text:9500=BRAVO "text:32= 1 / 12"

step "another window, and back by a click on the picture"
xdotool windowactivate --sync "$(other_xwindow)"
wait_until "the other player did not come in front" eval '! active_is_quiz'
# On the right part of the picture, which the other window leaves in sight.
read_places 9907@9000
xdotool mousemove $((PX[9907@9000] + PW[9907@9000] * 7 / 8)) $((PY[9907@9000] + PH[9907@9000] / 2)) click 1
wait_for foreground focus:9000
press Page_Down
type_text "Italie"
press Return
wait_for text:9000=Italie text:9500=BRAVO "text:32= 2 / 12"

step "covered by the other player, a second start brings the quiz in front"
xdotool windowactivate --sync "$(other_xwindow)"
wait_until "the other player did not come in front" eval '! active_is_quiz'
second_start
wait_for foreground focus:9000
type_text "x"
wait_for text:9000=Italiex

step "minimised, a second start restores the quiz"
xdotool windowminimize "$player_xwindow"
wait_until "the quiz's window was not minimised" iconic
second_start
wait_for foreground focus:9000 text:9000=Italiex
screenshot player-window-manager-single

step "minimised in the list view, a second start restores it"
press F3
wait_for shown:4002 focus:4002
xdotool windowminimize "$player_xwindow"
wait_until "the quiz's window was not minimised" iconic
second_start
wait_for foreground focus:4002
screenshot player-window-manager-list

"$wine_run" "$probe" close "$other_caption" >/dev/null 2>&1 || true
wait "$other_pid" 2>/dev/null || true
other_pid=
close_player
finish
