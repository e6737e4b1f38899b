#!/usr/bin/env bash
# Builds the benchmarks (Release, native) and runs them; ends with the table
# of ratios, each our throughput over that of a reference library doing the
# same work in the same run (docs/performance.md explains every figure).
#
#   scripts/bench.sh [BENCHMARK FLAGS...]   e.g. --benchmark_filter=Inflate
#                                             or --benchmark_repetitions=15
#
# Takes one to three minutes on two cores. The figures are ratios because the
# machine is shared: repetitions run in random interleaved order so that a
# busy neighbour slows subject and reference alike; on a loaded machine,
# repeat the run and compare. Environment: VIDOD_BENCH_BUILD_DIR (default
# build/bench), VIDOD_BENCH_PICTURES (default ../shared/bench-images),
# VIDOD_BENCH_JOBS (default 2). The player's start-up under Wine is measured
# by scripts/bench-startup.sh.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

case "${1:-}" in
  -h|--help) sed -n '2,15p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
esac

build=${VIDOD_BENCH_BUILD_DIR:-$root/build/bench}
jobs=${VIDOD_BENCH_JOBS:-2}
pictures=${VIDOD_BENCH_PICTURES:-$(cd "$root/.." && pwd)/shared/bench-images}

missing=()
for header in benchmark/benchmark.h zlib.h png.h; do
  [ -e "/usr/include/$header" ] || missing+=("$header")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "bench.sh: missing ${missing[*]}; install libbenchmark-dev zlib1g-dev libpng-dev" >&2
  exit 1
fi
if ! ls "$pictures"/*.png >/dev/null 2>&1; then
  echo "bench.sh: no PNG pictures in $pictures (set VIDOD_BENCH_PICTURES)" >&2
  exit 1
fi

# bench/ as a project of its own builds only the libraries it measures.
echo "== Release build of the benchmarks in $build"
cmake -S "$root/bench" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j "$jobs" --target vidod_bench

echo "== Benchmarks"
"$build/vidod_bench" --pictures="$pictures" "$@"
