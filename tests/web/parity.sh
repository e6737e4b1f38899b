#!/usr/bin/env bash
# Usage: parity.sh PARITY_CASES NODE PARITY.js JUDGING.js JUDGING.wasm
set -euo pipefail
cases=$1 node=$2 script=$3 loader=$4 wasm=$5
"$cases" 12000 | "$node" "$script" "$loader" "$wasm"
