#!/usr/bin/env bash
# Builds the native code and its tests with the address and undefined-behaviour
# sanitizers (the "sanitize" preset) and runs the tests. Installs nothing:
# scripts/install-deps.sh (run by scripts/test.sh) does.
# Environment: VIDOD_SANITIZE_BUILD_DIR replaces the preset's build/sanitize,
# VIDOD_SANITIZE_JOBS (default 2) the number of compile jobs.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

build=${VIDOD_SANITIZE_BUILD_DIR:-$root/build/sanitize}
# A finding fails the test that met it, with a stack to read.
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$root/scripts/lsan-suppressions.txt:print_suppressions=0}

echo "== Sanitizer build (address, undefined behaviour) in $build"
cmake --preset sanitize -B "$build" >/dev/null
cmake --build "$build" -j "${VIDOD_SANITIZE_JOBS:-2}"

echo "== Native tests under the sanitizers"
if [ "$build" = "$root/build/sanitize" ]; then
  ctest --preset sanitize
else
  # The test preset names its own build directory; the same settings, elsewhere.
  ctest --test-dir "$build" --output-on-failure -j 2 --no-tests=error
fi
