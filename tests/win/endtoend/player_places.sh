#!/usr/bin/env bash
# The progress file wherever the quiz is and however it is started: a copy of
# the demo in a folder named with letters outside code page 1252, started
# from another current folder (as a shortcut's "Start in" does) that holds a
# progress file of an earlier version. The earlier file is read, the answers
# are then kept beside the quiz; a second start of the same quiz brings the
# first window forward instead of opening a second one.
# Usage: player_places.sh DRAPEAUX.exe OTHER_PLAYER.exe WINDOW_PROBE.exe ARTEFACT_DIR WORK_DIR
set -euo pipefail
player=$1 other=$2 probe=$3 artefacts=$4 work=$5
caption="Drapeaux d'Europe et d'ailleurs"
source "$(dirname "$0")/player_session.sh"
source "$(dirname "$0")/drapeaux_facts.sh"

other_pid=
# The other player too goes with a failed check.
stop_players() {
  stop_leftover_player
  if [ -n "$other_pid" ] && kill -0 "$other_pid" 2>/dev/null; then kill "$other_pid" 2>/dev/null || true; fi
}
trap stop_players EXIT

quiz_folder="$work/Łódź quiz"
elsewhere="$work/ailleurs"
rm -rf "$work"
mkdir -p "$quiz_folder" "$elsewhere"
cp "$player" "$quiz_folder/drapeaux.exe"
player=$quiz_folder/drapeaux.exe
printf 'France\r\nespagne\r\n' >"$elsewhere/drapeaux.txt"
cd "$elsewhere"

step "started from another folder, the earlier progress file is read"
start_player
wait_for text:9000=France text:9500=BRAVO "text:32= 1 / 12" focus:9000

step "the first save goes beside the quiz, in the folder named Łódź quiz"
press_in_player() {
  xdotool windowfocus --sync "$player_xwindow" || die "cannot give the display's focus to the player"
  press "$@"
}
press_in_player Return
for _ in $(seq 1 50); do [ -f "$quiz_folder/drapeaux.txt" ] && break; sleep 0.1; done
[ -f "$quiz_folder/drapeaux.txt" ] || die "no drapeaux.txt beside the quiz after Enter"
expected_places() {
  printf 'France\r\nespagne\r\n'
  for _ in $(seq 3 12); do printf '\r\n'; done
}
cmp -s "$quiz_folder/drapeaux.txt" <(expected_places) || die "drapeaux.txt beside the quiz is not as read"
cmp -s "$elsewhere/drapeaux.txt" <(printf 'France\r\nespagne\r\n') || die "the earlier file was changed"

step "a second start of the same quiz brings the first window forward"
# Another window comes in front first: the default player, in its own folder.
mkdir -p "$work/autre"
cp "$other" "$work/autre/vidod.exe"
(cd "$work/autre" && "$wine_run" "$work/autre/vidod.exe" >other.log 2>&1) &
other_pid=$!
other_caption="Nom du quizz"
"$wine_run" "$probe" wait "$other_caption" 20 shown:9000 foreground >/dev/null 2>&1 ||
  die "the other player did not start in front"
probe wait 1 foreground >/dev/null && die "the quiz is still in front"
second_status=0
(cd "$work" && timeout 30 "$wine_run" "$player" >second.log 2>&1) || second_status=$?
[ "$second_status" -eq 0 ] || die "the second start ended with status $second_status (124: still running)"
player_alive || die "the first player has gone"
wait_for foreground text:9000=France
"$wine_run" "$probe" close "$other_caption" >/dev/null 2>&1 || true
wait "$other_pid" 2>/dev/null || true
other_pid=
[ "$(xdotool search --onlyvisible --name "^${caption}\$" | wc -l)" -eq 1 ] ||
  die "more than one window of the quiz"
close_player
cmp -s "$quiz_folder/drapeaux.txt" <(expected_places) || die "closing changed drapeaux.txt"
finish
