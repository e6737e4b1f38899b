#!/usr/bin/env bash
# Screenshots of Vidod Atelier for the author's guide, taken under Wine on a
# private Xvfb of the size of a school's screens: the demo quiz open on each
# of the three pages at 96 dots per inch on 1366 x 768, and the question and
# quiz pages at 144 (150 %) on 1280 x 1024.
# Writes docs/images/atelier-*.png (or into the folder given). Needs the
# Windows build of vidod-atelier (cmake --build --preset windows).
# Usage: atelier-screenshots.sh [FOLDER]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
atelier="$root/build/windows/atelier/vidod-atelier.exe"
out=${1:-$root/docs/images}
[ -f "$atelier" ] || { echo "vidod-atelier.exe manque : cmake --build --preset windows" >&2; exit 1; }
mkdir -p "$out"

# A prefix of its own: the DPI set here must not reach the test runs.
export WINEPREFIX="$root/build/windows/wineprefix-screenshots"
export VIDOD_BUILD_DIR="$root/build/windows"
work=$(mktemp -d)
xvfb=""
cleanup() {
  wineserver -k 2>/dev/null || true
  [ -z "$xvfb" ] || kill "$xvfb" 2>/dev/null || true
  rm -rf "$work" "${documents:-}"
}
trap cleanup EXIT

# screen WIDTHxHEIGHT: a private display of that size, in place of the last.
screen() {
  wineserver -k 2>/dev/null || true
  [ -z "$xvfb" ] || { kill "$xvfb" 2>/dev/null || true; wait "$xvfb" 2>/dev/null || true; }
  local n
  for n in $(seq 150 199); do
    if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then display=":$n"; break; fi
  done
  Xvfb "$display" -screen 0 "$1x24" -nolisten tcp >/dev/null 2>&1 &
  xvfb=$!
  export DISPLAY=$display
  for _ in $(seq 1 50); do [ -e "/tmp/.X11-unix/X${display#:}" ] && break; sleep 0.1; done
}
screen 1366x768

# The demo quiz, copied where a teacher would keep it (the status bar shows
# the path): nothing of the repository is written.
"$root/scripts/wine-run.sh" cmd /c exit 0 >/dev/null 2>&1 || true
documents="$WINEPREFIX/drive_c/users/Public/Documents/Quiz"
rm -rf "$documents"
mkdir -p "$documents"
cp -r "$root/demo/drapeaux" "$documents/drapeaux"
source_path='C:\users\Public\Documents\Quiz\drapeaux\quiz.toml'

# shoot DPI NAME... : starts the Atelier at that DPI and, for each NAME,
# presses the keys after it (KEYS:NAME) and takes the window.
shoot() {
  local dpi=$1
  shift
  "$root/scripts/wine-run.sh" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f \
    >/dev/null 2>&1
  wineserver -k 2>/dev/null || true
  (cd "$work" && "$root/scripts/wine-run.sh" "$atelier" "$source_path" >/dev/null 2>&1 &)
  local window=""
  for _ in $(seq 1 120); do
    window=$(xdotool search --name "Vidod Atelier" 2>/dev/null | head -n 1 || true)
    [ -n "$window" ] && break
    sleep 0.5
  done
  [ -n "$window" ] || { echo "la fenêtre de Vidod Atelier n'apparaît pas" >&2; exit 1; }
  sleep 2
  xdotool windowfocus --sync "$window" 2>/dev/null || true
  local step keys name
  for step in "$@"; do
    keys=${step%%:*}
    name=${step#*:}
    # Keys, or text to type after "=".
    if [ -n "$keys" ]; then
      case $keys in
        =*) xdotool type --delay 80 "${keys#=}" ;;
        *) xdotool key --delay 150 $keys ;;
      esac
      sleep 1
    fi
    [ -n "$name" ] || continue
    eval "$(xdotool getwindowgeometry --shell "$window")"
    import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$out/$name.png"
    echo "$out/$name.png (${WIDTH} x ${HEIGHT}, $dpi ppp)"
  done
  wineserver -k 2>/dev/null || true
}

shoot 96 "Down Down ctrl+e:" "=Belgiqe:atelier-question" "ctrl+2:atelier-quiz" "ctrl+3:atelier-codes"
screen 1280x1024
shoot 144 "alt+r End space:atelier-150" "ctrl+2:atelier-150-quiz"
