#!/usr/bin/env bash
# The demo quiz started at 144 and 192 DPI on a screen large enough for it,
# and at 144 DPI on a 1366 x 768 screen, where the largest scale that fits is
# used: the window at the scale and on the screen, every control inside it, no
# two controls overlapping that do not overlap at 96 DPI, the picture box at
# the scale; an answer typed and judged there, and the list view shown.
# Screenshots go to ARTEFACT_DIR (player-dpi-*.png).
# The DPI is a setting of the Wine prefix: the script keeps a prefix of its own
# in WORK_DIR, and each case gets an Xvfb of the screen's size.
# Usage: player_dpi.sh QUIZ.exe WINDOW_PROBE.exe ARTEFACT_DIR WORK_DIR
set -euo pipefail
quiz=$1 probe=$2 artefacts=$3
caption="Drapeaux d'Europe et d'ailleurs"
mkdir -p "$4" "$artefacts"
work=$(cd "$4" && pwd)  # Wine takes an absolute prefix
export WINEPREFIX="$work/prefix"
run="$work/run"
rm -rf "$run"
mkdir -p "$run"
cp "$quiz" "$run/drapeaux.exe"

xvfb_pid=
start_screen() {
  local n
  for n in $(seq 200 260); do
    if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then break; fi
  done
  Xvfb ":$n" -screen 0 "${1}x24" -nolisten tcp >/dev/null 2>&1 &
  xvfb_pid=$!
  export DISPLAY=":$n"
  for _ in $(seq 1 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
}
# Wine reads the DPI when its server starts: the server is stopped, and waited
# for, around each change.
stop_wine() {
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
}
stop_screen() {
  stop_wine
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; wait "$xvfb_pid" 2>/dev/null || true; fi
  xvfb_pid=
}
start_screen 1024x768
player=$run/drapeaux.exe
source "$(dirname "$0")/player_session.sh"
trap 'stop_leftover_player; stop_screen' EXIT
cd "$run"
# A new prefix is set up on its first start (some 11 s).
"$wine_run" cmd /c exit 0 >/dev/null 2>&1 || true

# The single view's controls (some ids are the list view's too), the header
# bar's and the status line. The demo quiz has no link of its own: no 24.
controls=(9907@9000 9906@9000 9000 9500 9905@9000 9501 10000 23 25 26 27 28 29 30 31 32 120 121 122 8000)

# case DPI SCREEN EXPECTED_SCALE
run_case() {
  local dpi=$1 screen=$2 scale=$3
  step "$dpi DPI on $screen"
  stop_screen
  start_screen "$screen"
  "$wine_run" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1 ||
    die "the DPI could not be set"
  stop_wine
  rm -f "$run/drapeaux.txt"  # each case starts without answers
  start_player
  eval "$(probe where)"
  local report
  report=$(probe control "${controls[@]}") || die "no places: $report"
  {
    echo "screen ${screen/x/ } scale $scale window $OUTER_X $OUTER_Y $OUTER_W $OUTER_H"
    paste -d ' ' <(printf '%s\n' "${controls[@]}") <(echo "$report")
  } >"$work/places-$dpi-$screen.txt"
  # Played as at any scale: an answer typed and judged, then the list view.
  focus_box 9000
  type_text "France"
  press Return
  wait_for text:9000=France text:9500=BRAVO
  import -window root -crop "${OUTER_W}x${OUTER_H}+${OUTER_X}+${OUTER_Y}" +repage \
    "$artefacts/player-dpi-$dpi-$screen.png"
  press F3
  wait_for shown:4001
  eval "$(probe where)"
  import -window root -crop "${OUTER_W}x${OUTER_H}+${OUTER_X}+${OUTER_Y}" +repage \
    "$artefacts/player-dpi-$dpi-$screen-liste.png"
  close_player
}

run_case 96 1024x768 96
run_case 144 2560x1600 144
run_case 192 2560x1600 192
run_case 144 1366x768 106

step "the layouts against the one at 96 DPI"
/usr/bin/python3 - "$work" <<'PYTHON'
import glob, re, sys

def scaled(figure, dpi):
    product = figure * dpi
    return (product + 48) // 96 if product >= 0 else -((-product + 48) // 96)

def read(path):
    lines = open(path).read().split("\n")
    head = lines[0].split()
    screen = (int(head[1]), int(head[2]))
    scale = int(head[4])
    window = tuple(int(v) for v in head[6:10])
    places = {}
    for line in lines[1:]:
        if not line.strip():
            continue
        name, rest = line.split(" ", 1)
        values = dict(re.findall(r"(\w+)=(-?\d+)", rest))
        places[name] = tuple(int(values[k]) for k in ("X", "Y", "W", "H", "VISIBLE"))
    return screen, scale, window, places

def overlap(a, b):
    return a[0] < b[0] + b[2] and b[0] < a[0] + a[2] and a[1] < b[1] + b[3] and b[1] < a[1] + a[3]

work = sys.argv[1]
_, _, _, base = read(f"{work}/places-96-1024x768.txt")
failures = 0
for path in sorted(glob.glob(f"{work}/places-*.txt")):
    screen, scale, window, places = read(path)
    wx, wy, ww, wh = window
    problems = []
    if (ww, wh) != (scaled(670, scale), scaled(690, scale)):
        problems.append(f"window {ww} x {wh}, not {scaled(670, scale)} x {scaled(690, scale)}")
    if wx < 0 or wy < 0 or wx + ww > screen[0] or wy + wh > screen[1]:
        problems.append(f"window {window} not on the screen {screen}")
    if places["9907@9000"][3] != scaled(480, scale):
        problems.append(f"picture box {places['9907@9000'][3]} high, not {scaled(480, scale)}")
    for name, (x, y, w, h, shown) in places.items():
        if shown and (x < wx or y < wy or x + w > wx + ww or y + h > wy + wh):
            problems.append(f"control {name} at {x},{y} {w}x{h} outside the window")
    names = [n for n in places if places[n][4]]
    for i, a in enumerate(names):
        for b in names[i + 1:]:
            if overlap(places[a], places[b]) and not overlap(base[a], base[b]):
                problems.append(f"controls {a} and {b} overlap")
    print(f"{path}: scale {scale}, window {ww} x {wh}: " + ("ok" if not problems else "; ".join(problems)))
    failures += len(problems)
sys.exit(1 if failures else 0)
PYTHON
log "done"
