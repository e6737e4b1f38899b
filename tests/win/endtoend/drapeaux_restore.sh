#!/usr/bin/env bash
# Starts the copy of drapeaux.exe that drapeaux_play.sh left a second time:
# the answers typed then come back in both views with the same verdicts,
# reveal texts, score and reward code, and closing again leaves the same
# bytes.
# Usage: drapeaux_restore.sh DRAPEAUX.exe WINDOW_PROBE.exe ARTEFACT_DIR WORK_DIR
set -euo pipefail
player=$1 probe=$2 artefacts=$3 work=$4
caption="Drapeaux d'Europe et d'ailleurs"
source "$(dirname "$0")/player_session.sh"
source "$(dirname "$0")/drapeaux_facts.sh"

rm -f "$artefacts"/drapeaux-*-restored.png "$artefacts"/drapeaux-after-restore.txt

step "the progress file of the first run is there"
cd "$work" 2>/dev/null || die "no working directory $work: drapeaux_play must run first"
cmp -s drapeaux.txt <(expected_progress) ||
  die "drapeaux.txt is not what drapeaux_play left (it must run first)"
player=$work/drapeaux.exe

step "second start: question 1 restored and judged"
start_player
wait_for text:9000=france text:9500=BRAVO "text:9501=Capitale : Paris" \
  "text:32= 2 / 12" text:30=DRAP-02 "text:10000=$(image_item 1)" focus:9000
# The hidden list view has judged its boxes from the file too.
wait_for text:4001=france text:4002=espagne text:4003=Belgiqe text:4004=allemagne \
  text:4005= text:4012= text:5001=BRAVO text:5002=FAUX text:5003=Quasiment \
  text:5004=BRAVO "text:5005=?" "text:5012=?"
read_places 9000 9500
check_pixels drapeaux-single-restored \
  $(inside_left 9500) $GREEN "green BRAVO label after the restart" \
  $((PX[9000] - 40)) $((PY[9000] + 10)) $BACKGROUND "quiz background left of the answer box"

step "F3: the list view shows the restored verdicts"
press F3
wait_for shown:4001 hidden:9000 focus:4001 text:5001=BRAVO text:5002=FAUX \
  text:5003=Quasiment text:5004=BRAVO "text:5005=?" shown:8001 hidden:8002 hidden:8003 \
  shown:8004 hidden:8005 "text:32= 2 / 12" text:30=DRAP-02
read_places 4001 5001 5002 5003 5004
check_pixels drapeaux-list-restored \
  $(inside_left 5001) $GREEN "green BRAVO label of question 1" \
  $(inside_left 5002) $RED "red FAUX label of question 2" \
  $(inside_left 5003) $HINT "hint-coloured Quasiment label of question 3" \
  $(inside_left 5004) $GREEN "green BRAVO label of question 4" \
  $((PX[4001] - 36)) $((PY[4001] + 10)) $BACKGROUND "quiz background of the list view"

step "F3 back, then the next questions one by one"
press F3
wait_for shown:9000 hidden:4001 focus:9000 text:9000=france text:9500=BRAVO
expect_question() {  # number answer verdict reveal
  click_control "$NEXT_BUTTON"
  wait_for "text:10000=$(image_item "$1")" "text:9000=$2" "text:9500=$3" "text:9501=$4" \
    "text:32= 2 / 12" text:30=DRAP-02
}
expect_question 2 espagne FAUX ""
expect_question 3 Belgiqe Quasiment ""
expect_question 4 allemagne BRAVO "Capitale : Berlin"
expect_question 5 "" "?" ""

step "closing again writes the same answers"
close_player
cp drapeaux.txt "$artefacts/drapeaux-after-restore.txt"
if ! cmp -s drapeaux.txt <(expected_progress); then
  echo "written:" >&2; od -c drapeaux.txt >&2
  die "the second save changed drapeaux.txt"
fi
log "drapeaux.txt unchanged"

finish
