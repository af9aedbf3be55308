// The model export built to WebAssembly, as the page will load it, against
// house-export for the same keys: the same structure, and every number the
// same or, where the two C libraries' sin and cos part, one float step off.
import assert from 'node:assert/strict';
import fs from 'node:fs';
import { createRequire } from 'node:module';
import path from 'node:path';
import { before, test } from 'node:test';
import { repositoryRoot } from '../web/browser.mjs';
import { exportModel } from './glb.mjs';
import { modelDifferences } from './model_compare.mjs';

const kModule = process.env.HOUSE_EXPORT_MODULE ||
  path.join(repositoryRoot, 'build/wasm/web/wasm/house-export.js');
const kViews = ['', 'o*54 x*54', 'o*17 x*31 Left*23 Up*11 +*40', 'Right*70 Down -*120 o*54 c*20'];

let wasm;

before(async () => {
  const createHouseExport = createRequire(import.meta.url)(kModule);
  // Node has a fetch that cannot read files, which the module would try
  // first: it is handed its code instead.
  wasm = await createHouseExport({ wasmBinary: fs.readFileSync(kModule.replace(/\.js$/, '.wasm')) });
});

test('the WebAssembly module writes the model house-export writes', (t) => {
  for (const keys of kViews) {
    const started = performance.now();
    const fromWasm = wasm.exportModel(keys);
    const wasmMs = performance.now() - started;
    const native = exportModel(keys);
    t.diagnostic(`"${keys}": ${fromWasm.length} bytes in ${wasmMs.toFixed(0)} ms` +
      `${Buffer.compare(Buffer.from(fromWasm), Buffer.from(native)) === 0 ? ', the very same bytes' : ''}`);
    assert.deepEqual(modelDifferences(native, fromWasm), [], keys);
  }
});

test('the module refuses keys it cannot read with the tool\'s message', () => {
  assert.throws(() => wasm.exportModel('o Esc'),
    { message: "key 'Esc' is refused: Escape would end the program" });
  assert.throws(() => wasm.exportModel('F13'), { message: "unknown key name 'F13'" });
  assert.ok(wasm.exportModel('o').length > 0);
});
