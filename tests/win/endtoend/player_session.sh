# Sourced by the end-to-end scripts: starts the real player under Wine on the
# test display, drives it with real clicks and key presses (xdotool), reads its
# controls back through window_probe and checks screenshots.
#
# Before sourcing set: player (the quiz exe), probe (window_probe.exe),
# artefacts (folder for screenshots), caption (the main window's caption).
# Every wait is bounded and polls (no fixed sleeps); a step that does not come
# true stops the script, and the player is then killed by its process id.

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
wine_run="$here/../../../scripts/wine-run.sh"
player_pid=
player_xwindow=
pixel_failures=0
step_name="start"
readonly STEP_SECONDS=10

if [ -z "${DISPLAY:-}" ]; then
  echo "FAIL: DISPLAY is not set; these checks need an X display (Xvfb)" >&2
  exit 1
fi
mkdir -p "$artefacts"

session_start_ms=$(($(date +%s%N) / 1000000))
log() {
  local ms=$(($(date +%s%N) / 1000000 - session_start_ms))
  printf '[%3d.%ds] %s\n' $((ms / 1000)) $((ms % 1000 / 100)) "$*"
}
step() { step_name=$1; log "-- $1"; }
die() {
  echo "FAIL ($step_name): $*" >&2
  exit 1
}

player_alive() { [ -n "$player_pid" ] && kill -0 "$player_pid" 2>/dev/null; }

# Leaves nothing running behind a failed or interrupted check.
stop_leftover_player() {
  if player_alive; then
    echo "stopping the player left running (pid $player_pid)" >&2
    kill "$player_pid" 2>/dev/null || true
    for _ in $(seq 1 50); do player_alive || break; sleep 0.1; done
    if player_alive; then kill -9 "$player_pid" 2>/dev/null || true; fi
  fi
  player_pid=
}
trap stop_leftover_player EXIT
trap 'exit 143' TERM INT HUP

# window_probe COMMAND [ARGS...] on the player's window; output without CR.
probe() { "$wine_run" "$probe" "$1" "$caption" "${@:2}" 2>&1 | tr -d '\r'; }

# wait_for [-t SECONDS] CONDITION...: window_probe's conditions (text:C=TEXT,
# shown:C, hidden:C, focus:C, focus:main, foreground), all at once; stops the
# script with what was seen when they do not come true in time.
wait_for() {
  local seconds=$STEP_SECONDS report
  if [ "$1" = -t ]; then seconds=$2; shift 2; fi
  player_alive || die "the player is not running (any more)"
  if ! report=$(probe wait "$seconds" "$@"); then
    echo "$report" >&2
    player_alive || echo "the player has exited" >&2
    die "the player did not reach the expected state within $seconds s"
  fi
}

# wait_texts C TEXT [C TEXT ...]: every control shows exactly its text.
wait_texts() {
  local conditions=()
  while [ $# -gt 0 ]; do conditions+=("text:$1=$2"); shift 2; done
  wait_for "${conditions[@]}"
}

# Starts the player in the current directory and waits until its window is
# mapped on the display and the single-question view is shown. The first
# start in a new Wine prefix takes some 11 s; window_probe is started only
# once the window is there, so the two do not set up the prefix together.
start_player() {
  "$wine_run" "$player" >player.log 2>&1 &
  player_pid=$!
  local deadline=$((SECONDS + 60))
  while :; do
    player_alive || die "the player exited during start-up (see player.log)"
    player_xwindow=$(xdotool search --onlyvisible --name "^${caption}\$" 2>/dev/null |
      head -n 1) || true
    [ -n "$player_xwindow" ] && break
    [ $SECONDS -lt $deadline ] || die "the player's window did not appear on $DISPLAY in 60 s"
    sleep 0.2
  done
  wait_for -t 20 shown:9000
  log "player running (pid $player_pid)"
}

# Closes the window as the close box does and waits for the process to end.
close_player() {
  player_alive || die "the player is not running (any more)"
  probe close >/dev/null || die "the window did not close (a message box open?)"
  local status=0
  wait "$player_pid" || status=$?
  player_pid=
  [ "$status" -eq 0 ] || die "the player exited with status $status"
}

# read_places C...: the screen rectangles of the controls, into the arrays
# PX, PY, PW, PH and PVISIBLE indexed by control name (for pixel positions).
declare -A PX PY PW PH PVISIBLE
read_places() {
  local report lines=() i
  player_alive || die "the player is not running (any more)"
  report=$(probe control "$@") || die "no place for controls $*: $report"
  mapfile -t lines <<<"$report"
  for ((i = 1; i <= $#; i++)); do
    local X= Y= W= H= VISIBLE=
    eval "${lines[i - 1]}"
    [ -n "$VISIBLE" ] || die "no place for control ${!i}: ${lines[i - 1]}"
    PX[${!i}]=$X PY[${!i}]=$Y PW[${!i}]=$W PH[${!i}]=$H PVISIBLE[${!i}]=$VISIBLE
  done
}

# A real mouse click in the middle of control C.
click_control() {
  read_places "$1"
  [ "${PVISIBLE[$1]}" = 1 ] || die "control $1 is not visible, cannot click it"
  # No --sync: it waits for the pointer to move, which never comes when it is
  # already there (a second click on the same button). The server handles the
  # move before the click anyway.
  xdotool mousemove $((PX[$1] + PW[$1] / 2)) $((PY[$1] + PH[$1] / 2)) click 1
}

# Clicks an answer box and makes sure the keys will reach it: the box has the
# player's focus, and the player's X window has the display's (without a
# window manager nobody else gives it; Wine takes it when it activates).
focus_box() {
  click_control "$1"
  wait_for "focus:$1"
  if [ "$(xdotool getwindowfocus 2>/dev/null)" != "$player_xwindow" ]; then
    log "the display's keyboard focus is elsewhere: giving it to the player"
    xdotool windowfocus --sync "$player_xwindow" ||
      die "cannot give the keyboard focus to the player's window"
  fi
}

# Presses and releases keys (xdotool key names), as a person would.
press() { xdotool key --delay 60 "$@"; }

# Types text into the focused control, as a person would. (The wait that
# follows checks what arrived.)
type_text() { xdotool type --delay 40 "$1"; }

# screenshot NAME: the whole display, kept as an artefact; sets shot.
screenshot() {
  shot="$artefacts/$1.png"
  import -window root "$shot"
}

# pixels_at X1 Y1 [X2 Y2 ...]: the colours of the last screenshot, one word each.
pixels_at() {
  local format= i
  for ((i = 1; i < $#; i += 2)); do
    local x=${!i} j=$((i + 1))
    format+="%[hex:p{$x,${!j}}] "
  done
  convert "$shot" -format "$format" info: | tr ' ' '\n' | cut -c1-6 | grep .
}

# check_pixels NAME X Y COLOUR WHAT [X Y COLOUR WHAT ...] (screen coordinates):
# screenshots until all pixels match (a repaint may lag a moment behind the
# texts), 5 s at most; records each mismatch of the last screenshot and goes on.
check_pixels() {
  local name=$1 deadline=$((SECONDS + 5)) checks=("${@:2}") points=() colours=() i all
  for ((i = 0; i < ${#checks[@]}; i += 4)); do points+=("${checks[i]}" "${checks[i + 1]}"); done
  while :; do
    screenshot "$name"
    mapfile -t colours < <(pixels_at "${points[@]}")
    all=1
    for ((i = 0; i < ${#checks[@]}; i += 4)); do
      [ "${colours[i / 4]-}" = "${checks[i + 2]}" ] || all=0
    done
    if [ $all = 1 ] || [ $SECONDS -ge $deadline ]; then break; fi
    sleep 0.3
  done
  for ((i = 0; i < ${#checks[@]}; i += 4)); do
    if [ "${colours[i / 4]-}" = "${checks[i + 2]}" ]; then
      echo "ok: ${checks[i + 3]} (#${colours[i / 4]}) in $name.png"
    else
      echo "FAIL: ${checks[i + 3]} at (${checks[i]}, ${checks[i + 1]}) is #${colours[i / 4]-?}," \
        "expected #${checks[i + 2]}, in $name.png"
      pixel_failures=$((pixel_failures + 1))
    fi
  done
}

# Stops with the count of failed pixel checks, if any.
finish() {
  [ "$pixel_failures" -eq 0 ] ||
    die "$pixel_failures pixel check(s) failed; see the screenshots in $artefacts"
  log "done"
}

# A point 4 pixels inside the left edge of control C, half-way down (away
# from a centred text), from the last read_places: "X Y".
inside_left() { echo "$((PX[$1] + 4)) $((PY[$1] + PH[$1] / 2))"; }
