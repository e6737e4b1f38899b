#!/usr/bin/env bash
# Plays the whole demo quiz with the keyboard alone, as a pupil without a
# mouse would: in the single-question view (the answer, Enter, Page Down to
# the next question) from the first key pressed, then, in a fresh folder, in
# the list view (F3, then the answer and Tab, box after box), each time to
# 12 / 12 and the last reward code. No click anywhere: the display only gives
# the player's window its keyboard focus, as a desktop does for a new window.
# Usage: drapeaux_keyboard.sh DRAPEAUX.exe WINDOW_PROBE.exe ARTEFACT_DIR WORK_DIR
set -euo pipefail
player=$1 probe=$2 artefacts=$3 work=$4
caption="Drapeaux d'Europe et d'ailleurs"
source "$(dirname "$0")/player_session.sh"
source "$(dirname "$0")/drapeaux_facts.sh"

readonly ANSWERS=(France Italie Belgique Allemagne Irlande Pays-Bas Autriche Pologne Japon
  Russie Ukraine Suisse)
readonly CODES=(DRAP-01 DRAP-02 DRAP-03 DRAP-04 DRAP-05 DRAP-06 DRAP-07 DRAP-08 DRAP-09 DRAP-10
  DRAP-11 EXPERT)
built=$player

# A copy in a fresh folder, started, with the display's focus on its window.
start_fresh() {
  rm -rf "$work"
  mkdir -p "$work"
  cp "$built" "$work/drapeaux.exe"
  player=$work/drapeaux.exe
  cd "$work"
  start_player
  xdotool windowfocus --sync "$player_xwindow" || die "cannot give the display's focus to the player"
}

expected_all_progress() { printf '%s\r\n' "${ANSWERS[@]}"; }

step "single view: the keys go to the first answer at once"
start_fresh
wait_for focus:9000 "text:10000=$(image_item 1)"
for n in $(seq 1 12); do
  type_text "${ANSWERS[n - 1]}"
  press Return
  wait_for "text:9500=BRAVO" "text:32= $n / 12" "text:30=${CODES[n - 1]}" focus:9000
  press Page_Down
  wait_for "text:10000=$(image_item $((n % 12 + 1)))" focus:9000
done
step "Alt+Left goes back to the last question, still solved"
press alt+Left
wait_for "text:10000=$(image_item 12)" text:9000=Suisse text:9500=BRAVO "text:32= 12 / 12" \
  text:30=EXPERT
screenshot drapeaux-keyboard-single
close_player
cmp -s drapeaux.txt <(expected_all_progress) || die "drapeaux.txt does not hold the 12 answers"

step "list view: F3, then answer and Tab from box to box"
start_fresh
press F3
wait_for shown:4001 focus:4001
for n in $(seq 1 12); do
  type_text "${ANSWERS[n - 1]}"
  press Tab
  wait_for "text:$((5000 + n))=BRAVO" "text:32= $n / 12" focus:$((4001 + n % 12))
done
# Each box, once typed into, was in sight: Tab brought the next one there.
wait_for text:30=EXPERT shown:8012
screenshot drapeaux-keyboard-list
press F3
wait_for shown:9000 focus:9000 text:9000=France text:9500=BRAVO "text:32= 12 / 12"
close_player
cmp -s drapeaux.txt <(expected_all_progress) || die "drapeaux.txt does not hold the 12 answers"
finish
