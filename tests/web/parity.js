// Judges again, with the page's WebAssembly module, the pairs parity_cases
// judged natively (standard input), and says how many agree.
// Usage: node parity.js JUDGING.js JUDGING.wasm < cases
'use strict';
const fs = require('fs');
const path = require('path');

const [loader, wasm] = process.argv.slice(2);
const VidodJudging = require(path.resolve(loader));
VidodJudging({wasmBinary: fs.readFileSync(wasm)}).then((judging) => {
  const lines = fs.readFileSync(0, 'latin1').split('\n').filter((line) => line);
  let passed = 0, failed = 0;
  const buffer = judging._malloc(4096);
  for (const line of lines) {
    const [view, tolerances, hex, expected] = line.split(' ');
    const bytes = Buffer.from(hex, 'hex');
    judging.HEAPU8.set(bytes, buffer);
    const verdict = judging._vidod_judge_bytes(buffer, Number(view), Number(tolerances));
    if (verdict === Number(expected)) {
      ++passed;
    } else {
      if (++failed <= 10) console.log('different verdicts (' + verdict + ' here, ' + expected + ' natively): ' + line);
    }
  }
  console.log(passed + ' passed, ' + failed + ' failed');
  process.exit(failed === 0 && passed >= 10000 ? 0 : 1);
});
