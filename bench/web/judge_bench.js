// Times one judgement of the page's WebAssembly module under node, over the
// pairs of the parity test (standard input), against the same pairs judged
// natively in the same run (parity_cases --time gives that figure).
// Usage: node judge_bench.js JUDGING.js JUDGING.wasm NATIVE_NS < cases
'use strict';
const fs = require('fs');
const path = require('path');

const [loader, wasm, nativeNs] = process.argv.slice(2);
require(path.resolve(loader))({wasmBinary: fs.readFileSync(wasm)}).then((judging) => {
  const cases = fs.readFileSync(0, 'latin1').split('\n').filter((line) => line).map((line) => {
    const [view, tolerances, hex] = line.split(' ');
    return {view: Number(view), tolerances: Number(tolerances), bytes: Buffer.from(hex, 'hex')};
  });
  const buffer = judging._malloc(4096);
  let best = Infinity;
  for (let round = 0; round < 5; ++round) {
    const start = process.hrtime.bigint();
    for (const c of cases) {
      judging.HEAPU8.set(c.bytes, buffer);
      judging._vidod_judge_bytes(buffer, c.view, c.tolerances);
    }
    best = Math.min(best, Number(process.hrtime.bigint() - start) / cases.length);
  }
  console.log('judgement_us=' + (best / 1000).toFixed(2) + ' native_us=' + (Number(nativeNs) / 1000).toFixed(2) +
              ' ratio=' + (best / Number(nativeNs)).toFixed(2));
});
