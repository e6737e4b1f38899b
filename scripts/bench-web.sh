#!/usr/bin/env bash
# The quiz page's figures, each against a reference measured in the same run:
# the demo page's size against the pictures the demo executable carries plus
# 300 KB; its first picture painted in headless Chromium against a page that
# holds only that picture; one judgement of the page's WebAssembly module
# under node against the same judgement compiled natively (the pairs of the
# parity test). VIDOD_BENCH_ROUNDS rounds of the browser (default 15).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
"$root/scripts/install-deps.sh"
cmake --preset native >/dev/null
cmake --build --preset native -j "$(nproc)" --target vidod-make web_parity_cases
build=$root/build/native
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$build/maker/vidod-make" web demo/drapeaux/quiz.toml -o "$work/drapeaux.html" >/dev/null
# The demo executable stores its pictures as the source names them.
pictures=$(cat demo/drapeaux/images/* | wc -c)
page=$(wc -c <"$work/drapeaux.html")
budget=$((pictures + 300 * 1024))
echo "page_bytes=$page picture_bytes=$pictures budget_bytes=$budget ratio=$(awk "BEGIN{printf \"%.2f\", $page/$budget}")"

/usr/bin/python3 bench/web/page_bench.py "$work/drapeaux.html" "${VIDOD_BENCH_ROUNDS:-15}"

"$build/tests/web/web_parity_cases" 12000 --time >"$work/cases" 2>"$work/native_ns"
node bench/web/judge_bench.js "$build/web/judging.js" "$build/web/judging.wasm" "$(cat "$work/native_ns")" <"$work/cases"
