#!/usr/bin/env bash
# Authoring benchmark on teachers' photos: makes a folder of 96 photo-like
# JPEGs of 4032 x 3024 (every third stored on its side with an orientation
# tag) and prints, for the code of this tree,
#   photos=96 atelier_list_ms=… atelier_all_thumbnails_ms=… reduce_native_ms=… reduce_wine_ms=… build_peak_mb=… exe_mb=…
#     full_build_peak_mb=… full_exe_mb=…
# - atelier_list_ms, atelier_all_thumbnails_ms: the Atelier under Wine opening
#   the folder, until its list is shown, and until every thumbnail is drawn;
# - reduce_native_ms, reduce_wine_ms: `vidod-make build --reduire`, native and
#   the Windows tool under Wine;
# - build_peak_mb, exe_mb: `vidod-make build` of the source that `init` writes
#   (its peak resident memory, and the size of the quiz it makes);
# - full_build_peak_mb, full_exe_mb: the same with `reduire_images = false`,
#   the photos stored whole.
# With VIDOD_BENCH_NATIVE_ONLY=1 only the native tool is built and measured
# (the Atelier's and Wine's figures are printed as "-").
# With VIDOD_BENCH_BASE=COMMIT (default: none) the same is measured, in the
# same run and alternately, for the code of that commit, built in a folder
# of its own, and printed first as "avant: …". Compare within one run.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
"$root/scripts/install-deps.sh"
jobs=$(nproc)
base=${VIDOD_BENCH_BASE:-}
rounds=${VIDOD_BENCH_ROUNDS:-1}
native_only=${VIDOD_BENCH_NATIVE_ONLY:-}
work="$root/build/bench-authoring"
mkdir -p "$work"

build_tree() { # tree
  (cd "$1" && cmake --preset native >/dev/null && cmake --build --preset native -j "$jobs" --target vidod-make >/dev/null &&
    if [ -z "$native_only" ]; then
      cmake --preset windows >/dev/null &&
        cmake --build --preset windows -j "$jobs" --target vidod vidod-make atelier_bench >/dev/null
    fi)
}

echo "== Construction" >&2
build_tree "$root"
trees=("$root")
names=("après")
if [ -n "$base" ]; then
  old="$work/avant"
  # A plain copy of that commit's files, not a work tree of the repository.
  if [ ! -f "$old/CMakeLists.txt" ]; then mkdir -p "$old" && git archive "$base" | tar -x -C "$old"; fi
  # The measuring program uses only the Atelier's public entry points: the
  # same source builds against the older tree.
  mkdir -p "$old/bench/authoring"
  cp "$root/bench/authoring/"* "$old/bench/authoring/"
  grep -q "bench/authoring" "$old/CMakeLists.txt" ||
    sed -i 's|  add_subdirectory(bench/startup)|  add_subdirectory(bench/startup)\n  add_subdirectory(bench/authoring)|' "$old/CMakeLists.txt"
  build_tree "$old"
  trees=("$old" "$root")
  names=("avant" "après")
fi

echo "== Photos" >&2
photos="$work/photos"
if [ ! -f "$photos/photo-96.jpg" ]; then
  mkdir -p "$photos"
  for seed in 1 2 3 4; do
    convert -seed "$seed" -size 4032x3024 plasma:fractal -quality 95 "$work/base-$seed.jpg"
  done
  /usr/bin/python3 - "$work" "$photos" <<'PYTHON'
import struct, sys
work, photos = sys.argv[1], sys.argv[2]
# A camera's EXIF segment: one entry, orientation 6 (turn a quarter clockwise).
tiff = b'II*\x00' + struct.pack('<IH', 8, 1) + struct.pack('<HHIHH', 0x0112, 3, 1, 6, 0) + struct.pack('<I', 0)
segment = b'Exif\x00\x00' + tiff
for n in range(1, 97):
    data = open(f'{work}/base-{(n - 1) % 4 + 1}.jpg', 'rb').read()
    if n % 3 == 0:
        data = data[:2] + b'\xff\xe1' + struct.pack('>H', len(segment) + 2) + segment + data[2:]
    open(f'{photos}/photo-{n:02d}.jpg', 'wb').write(data)
PYTHON
fi

# The quizzes are built from this tree's player (natively only: as it was last built).
player="$root/build/windows/app/vidod.exe"
if [ -z "$native_only" ]; then
  source "$root/scripts/display.sh"
  export WINEPREFIX="$root/build/windows/wineprefix"
  export VIDOD_BUILD_DIR="$root/build/windows"
  "$root/scripts/wine-run.sh" cmd /c exit 0 >/dev/null 2>&1 || true
  wineserver -p 60 || true
fi

ms_since() { echo $(( ($(date +%s%N) - $1) / 1000000 )); }

measure() { # tree name
  local tree=$1 name=$2 folder="$work/run-$2"
  rm -rf "$folder" && mkdir -p "$folder"
  cp "$player" "$folder/vidod.exe"
  (cd "$folder" && "$tree/build/native/maker/vidod-make" init ../photos -o quiz.toml >/dev/null 2>&1)
  local start peak exe reduce_native reduce_wine=- atelier="atelier_list_ms=- atelier_all_thumbnails_ms=-" full_peak full_exe
  (cd "$folder" && /usr/bin/time -f '%M' -o peak.txt "$tree/build/native/maker/vidod-make" build quiz.toml -o init.exe \
     --lecteur vidod.exe >/dev/null 2>&1)
  peak=$(tail -1 "$folder/peak.txt")
  exe=$(stat -c %s "$folder/init.exe")
  rm -f "$folder/init.exe"
  sed 's/^reduire_images = true/reduire_images = false/' "$folder/quiz.toml" >"$folder/full.toml"
  (cd "$folder" && /usr/bin/time -f '%M' -o full-peak.txt "$tree/build/native/maker/vidod-make" build full.toml \
     -o full.exe --lecteur vidod.exe >/dev/null 2>&1)
  full_peak=$(tail -1 "$folder/full-peak.txt")
  full_exe=$(stat -c %s "$folder/full.exe")
  rm -f "$folder/full.exe"
  start=$(date +%s%N)
  (cd "$folder" && "$tree/build/native/maker/vidod-make" build quiz.toml --reduire -o native.exe --lecteur vidod.exe >/dev/null)
  reduce_native=$(ms_since "$start")
  if [ -z "$native_only" ]; then
    start=$(date +%s%N)
    (cd "$folder" && "$root/scripts/wine-run.sh" "$tree/build/windows/maker/vidod-make.exe" build quiz.toml --reduire \
       -o wine.exe --lecteur vidod.exe >/dev/null 2>&1)
    reduce_wine=$(ms_since "$start")
    atelier=$(cd "$work" && "$root/scripts/wine-run.sh" "$tree/build/windows/bench/authoring/atelier_bench.exe" photos | tr -d '\r')
  fi
  echo "$name photos=96 ${atelier#*rows=96 } reduce_native_ms=$reduce_native reduce_wine_ms=$reduce_wine" \
       "build_peak_mb=$(( peak / 1024 )) exe_mb=$(awk "BEGIN { printf \"%.1f\", $exe / 1000000 }")" \
       "full_build_peak_mb=$(( full_peak / 1024 )) full_exe_mb=$(awk "BEGIN { printf \"%.1f\", $full_exe / 1000000 }")"
}

echo "== Mesures" >&2
for round in $(seq 1 "$rounds"); do
  for i in "${!trees[@]}"; do
    line=$(measure "${trees[$i]}" "${names[$i]}")
    if [ "${names[$i]}" = "après" ]; then echo "${line#après }"; else echo "avant: ${line#avant }"; fi
  done
done
[ -n "$native_only" ] || wineserver -k 2>/dev/null || true
