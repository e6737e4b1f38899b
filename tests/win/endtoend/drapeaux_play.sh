#!/usr/bin/env bash
# Plays the demo quiz like a person: starts a copy of drapeaux.exe under Wine
# in a fresh folder, answers three questions in the single-question view with
# real clicks and key presses, switches to the list view and answers there,
# comes back with F3, closes the window, and checks the progress file beside
# the copy byte for byte. Leaves the folder to drapeaux_restore.sh.
# Usage: drapeaux_play.sh DRAPEAUX.exe WINDOW_PROBE.exe ARTEFACT_DIR WORK_DIR
set -euo pipefail
player=$1 probe=$2 artefacts=$3 work=$4
caption="Drapeaux d'Europe et d'ailleurs"
source "$(dirname "$0")/player_session.sh"
source "$(dirname "$0")/drapeaux_facts.sh"

rm -rf "$work"
mkdir -p "$work"
# No screenshot of an earlier run is mistaken for this one's.
rm -f "$artefacts"/drapeaux-*
cp "$player" "$work/drapeaux.exe"
player=$work/drapeaux.exe
cd "$work"

step "start in an empty directory"
start_player
wait_for text:9000= "text:9500=?" text:9501= "text:32= 0 / 12" "text:30=      " \
  "text:10000=$(image_item 1)"
# Right after start-up the keys go to the answer box.
wait_for focus:9000
read_places 9000 9500

step "question 1: a right answer, judged by Enter"
focus_box 9000
type_text france
press Return
wait_for text:9000=france text:9500=BRAVO "text:9501=Capitale : Paris" \
  "text:32= 1 / 12" text:30=DRAP-01
check_pixels drapeaux-single-bravo \
  $(inside_left 9500) $GREEN "green BRAVO label" \
  $((PX[9000] - 40)) $((PY[9000] + 10)) $BACKGROUND "quiz background left of the answer box"

step "question 2: a wrong answer"
click_control "$NEXT_BUTTON"
wait_for "text:10000=$(image_item 2)" text:9000= "text:9500=?" text:9501=
focus_box 9000
type_text espagne
press Return
wait_for text:9000=espagne text:9500=FAUX text:9501= "text:32= 1 / 12" text:30=DRAP-01
check_pixels drapeaux-single-faux $(inside_left 9500) $RED "red FAUX label"

step "question 3: a near answer, judged by Enter"
click_control "$NEXT_BUTTON"
wait_for "text:10000=$(image_item 3)" text:9000= "text:9500=?"
focus_box 9000
type_text Belgiqe
press Return
wait_for text:9000=Belgiqe text:9500=Quasiment text:9501= "text:32= 1 / 12"
check_pixels drapeaux-single-hint $(inside_left 9500) $HINT "hint-coloured Quasiment label"

step "the header's Switch button shows the list view, the keys in the box of question 3"
click_control 23
wait_for shown:4001 hidden:9000 focus:4003 \
  text:4001=france text:4002=espagne text:4003=Belgiqe text:4004= \
  text:5001=BRAVO text:5002=FAUX text:5003=Quasiment "text:5004=?" "text:32= 1 / 12" \
  shown:8001 hidden:8002 hidden:8003

step "list view: answer question 4, Tab to the next box"
focus_box 4004
type_text allemagne
press Tab
wait_for focus:4005 text:4004=allemagne text:5004=BRAVO shown:8004 \
  "text:8004=Capitale : Berlin" "text:32= 2 / 12" text:30=DRAP-02
read_places 4001 5001 5002
check_pixels drapeaux-list \
  $(inside_left 5001) $GREEN "green BRAVO label of question 1" \
  $(inside_left 5002) $RED "red FAUX label of question 2" \
  $((PX[4001] - 36)) $((PY[4001] + 10)) $BACKGROUND "quiz background of the list view"

step "F3 in a list box goes back to the single-question view"
press F3
wait_for shown:9000 hidden:4001 focus:9000 "text:10000=$(image_item 3)" text:9000=Belgiqe \
  text:9500=Quasiment "text:32= 2 / 12" text:30=DRAP-02
eval "$(probe where)"
[ "$OUTER_W x $OUTER_H" = "670 x 690" ] ||
  die "back in the single-question view the window is $OUTER_W x $OUTER_H"

step "F3 both ways: the keys go to the box of the question the single view shows"
press F3
wait_for shown:4001 hidden:9000 focus:4003 text:4001=france text:5001=BRAVO \
  text:4003=Belgiqe text:5003=Quasiment text:4004=allemagne text:5004=BRAVO
press F3
wait_for shown:9000 hidden:4001 focus:9000 text:9000=Belgiqe text:9500=Quasiment \
  "text:32= 2 / 12"

step "closing the window saves the answers beside the quiz"
close_player
[ -f drapeaux.txt ] || die "closing did not write drapeaux.txt"
cp drapeaux.txt "$artefacts/drapeaux-after-play.txt"
expected_progress >"$artefacts/drapeaux-expected.txt"
if ! cmp -s "$artefacts/drapeaux-expected.txt" drapeaux.txt; then
  echo "expected:" >&2; od -c "$artefacts/drapeaux-expected.txt" >&2
  echo "written:" >&2; od -c drapeaux.txt >&2
  die "drapeaux.txt does not hold exactly the typed answers"
fi
[ "$(tr -cd '\n' <drapeaux.txt | wc -c)" -eq 12 ] || die "drapeaux.txt does not have 12 lines"
leftovers=$(ls -A | grep -v -x -e drapeaux.exe -e drapeaux.txt -e player.log || true)
[ -z "$leftovers" ] || die "files left in the working directory: $leftovers"
log "drapeaux.txt holds the 12 typed lines"

finish
