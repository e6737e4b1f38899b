#!/usr/bin/env bash
# Builds the libFuzzer targets of fuzz/ and runs them, two at a time.
#
#   scripts/fuzz.sh [SECONDS]  replays fuzz/regressions/, then fuzzes each target
#                              for SECONDS (default 30) on a scratch copy of its
#                              corpus; the repository is not modified
#   scripts/fuzz.sh --long     the same for 10 minutes per target, then merges
#                              the inputs that add coverage into fuzz/corpus/
#   scripts/fuzz.sh --seeds    remakes the seed inputs and merges those that add
#                              coverage into fuzz/corpus/
#
# Prints executions and time per target and exits 1 when a target crashes (or
# fails a check), when a regression input fails, or when the build fails.
# Crashing inputs are kept under the build directory's artifacts/ folder.
# Environment: VIDOD_FUZZ_BUILD_DIR (default build/fuzz), VIDOD_FUZZ_JOBS
# (default 2), VIDOD_PNG_SUITE (default ../shared/pngsuite, for --seeds).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

targets=(lzw_decode lzw_round_trip answers_blob quiz_load progress_lines inflater png_decoder
  picture_header pe_resources quiz_unpack quiz_source answer_correction
  jpeg_orientation)
long_seconds=600
seconds=30
mode=run
case "${1:-}" in
  "") ;;
  --long) mode=long; seconds=$long_seconds ;;
  --seeds) mode=seeds ;;
  -h|--help) sed -n '2,16p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
  *)
    if [[ "$1" =~ ^[0-9]+$ ]] && [ "$1" -gt 0 ]; then
      seconds=$1
    else
      echo "usage: $0 [SECONDS | --long | --seeds]" >&2
      exit 2
    fi
    ;;
esac

build=${VIDOD_FUZZ_BUILD_DIR:-$root/build/fuzz}
jobs=${VIDOD_FUZZ_JOBS:-2}
png_suite=${VIDOD_PNG_SUITE:-$root/../shared/pngsuite}
artifacts=$build/artifacts
# The codecs allocate a few hundred kilobytes per input; a smaller quarantine
# than the default 256 MB keeps freed blocks poisoned for dozens of inputs and
# spares the page faults of fresh memory, which doubles their speed.
export ASAN_OPTIONS=${ASAN_OPTIONS:-quarantine_size_mb=16}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1}

echo "== Fuzz targets: build in $build"
cmake -S "$root/fuzz" -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j "$jobs"

scratch=$(mktemp -d "${TMPDIR:-/tmp}/vidod-fuzz.XXXXXX")
trap 'rm -rf "$scratch"' EXIT

fuzzer() { echo "$build/$1_fuzzer"; }

# Sets options to what every run shares, plus the dictionary of a target when
# it has one (--corriger reads sources, as the source reader does). The
# authoring targets read whole executables: a lower memory limit makes a
# reader that copies without bound fail fast.
set_options() {
  options=(-timeout=10)
  case $1 in
    pe_resources|quiz_unpack) options+=(-rss_limit_mb=512) ;;
    *) options+=(-rss_limit_mb=2048) ;;
  esac
  local dictionary=$1
  [ "$1" = answer_correction ] && dictionary=quiz_source
  if [ -f "$root/fuzz/dictionaries/$dictionary.dict" ]; then
    options+=("-dict=$root/fuzz/dictionaries/$dictionary.dict")
  fi
}

count_files() { find "$1" -type f | wc -l; }

if [ "$mode" = seeds ]; then
  [ -d "$png_suite" ] || { echo "PNG suite not found: $png_suite" >&2; exit 1; }
  "$build/fuzz_seed_maker" "$scratch/seeds" "$png_suite"
  for target in "${targets[@]}"; do
    mkdir -p "$root/fuzz/corpus/$target"
    set_options "$target"
    "$(fuzzer "$target")" -merge=1 "${options[@]}" \
      "$root/fuzz/corpus/$target" "$scratch/seeds/$target" >"$scratch/$target.merge.log" 2>&1 ||
      { cat "$scratch/$target.merge.log"; exit 1; }
    echo "$target: $(count_files "$root/fuzz/corpus/$target") corpus files"
  done
  exit 0
fi

status=0

echo "== Regression inputs"
for target in "${targets[@]}"; do
  dir=$root/fuzz/regressions/$target
  [ -d "$dir" ] || continue
  mapfile -t inputs < <(find "$dir" -type f ! -name '.*' | sort)
  [ ${#inputs[@]} -gt 0 ] || continue
  set_options "$target"
  if "$(fuzzer "$target")" "${options[@]}" "${inputs[@]}" >"$scratch/$target.regressions.log" 2>&1; then
    echo "$target: ${#inputs[@]} input(s) pass"
  else
    echo "$target: a regression input FAILS"
    tail -n 30 "$scratch/$target.regressions.log"
    status=1
  fi
done

# One fuzzing run: its log, its exit code and its wall time land in scratch.
run_target() {
  local target=$1
  local corpus=$scratch/corpus/$target
  mkdir -p "$corpus" "$artifacts/$target"
  cp -r "$root/fuzz/corpus/$target/." "$corpus/" 2>/dev/null || true
  local start rc=0 options
  set_options "$target"
  start=$(date +%s)
  # A fixed seed by default: the short runs of the test command then repeat the
  # same mutations from one run to the next (VIDOD_FUZZ_SEED=0 draws one).
  "$(fuzzer "$target")" "${options[@]}" -seed="${VIDOD_FUZZ_SEED:-1}" -max_total_time="$seconds" -print_final_stats=1 \
    -artifact_prefix="$artifacts/$target/" "$corpus" >"$scratch/$target.log" 2>&1 || rc=$?
  echo "$rc $(($(date +%s) - start))" >"$scratch/$target.result"
}

echo "== Fuzzing each target for $seconds s, $jobs at a time"
running=0
for target in "${targets[@]}"; do
  if [ "$running" -ge "$jobs" ]; then
    wait -n || true
    running=$((running - 1))
  fi
  run_target "$target" &
  running=$((running + 1))
done
wait || true

final_stat() { sed -n "s/^stat::$1: *//p" "$2" | tail -n 1; }
printf '%-16s %12s %8s %10s %6s  %s\n' target executions seconds exec/s new result
for target in "${targets[@]}"; do
  log=$scratch/$target.log
  read -r rc wall <"$scratch/$target.result"
  result=ok
  if [ "$rc" -ne 0 ]; then result="CRASH (exit $rc)"; status=1; fi
  printf '%-16s %12s %8s %10s %6s  %s\n' "$target" "$(final_stat number_of_executed_units "$log")" \
    "$wall" "$(final_stat average_exec_per_sec "$log")" "$(final_stat new_units_added "$log")" "$result"
done
for target in "${targets[@]}"; do
  read -r rc _ <"$scratch/$target.result"
  [ "$rc" -ne 0 ] || continue
  echo
  echo "== $target failed; end of its log:"
  grep -v '^#[0-9]' "$scratch/$target.log" | tail -n 40
  echo "Crashing inputs are in $artifacts/$target/; copy each into fuzz/regressions/$target/."
done

if [ "$mode" = long ] && [ "$status" -eq 0 ]; then
  echo "== Merging new inputs into fuzz/corpus/"
  for target in "${targets[@]}"; do
    before=$(count_files "$root/fuzz/corpus/$target")
    set_options "$target"
    "$(fuzzer "$target")" -merge=1 "${options[@]}" \
      "$root/fuzz/corpus/$target" "$scratch/corpus/$target" >"$scratch/$target.merge.log" 2>&1 ||
      { cat "$scratch/$target.merge.log"; status=1; continue; }
    echo "$target: $before -> $(count_files "$root/fuzz/corpus/$target") corpus files"
  done
  echo "fuzz/ now holds $(du -sh --apparent-size "$root/fuzz" | cut -f1) (keep it under about 1 MB)"
fi
exit $status
