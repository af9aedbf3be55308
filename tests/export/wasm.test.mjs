// The model export built to WebAssembly, as the page will load it, against
// house-export for the same keys: the same structure, and every number the
// same or, where the two C libraries' sin and cos part, one float step off;
// and the same part map and parts in view.
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import { createRequire } from 'node:module';
import path from 'node:path';
import { before, test } from 'node:test';
import { repositoryRoot } from '../web/support/browser.mjs';
import { PNG } from 'pngjs';
import { exportModel, kExport } from './glb.mjs';
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

test('the module maps a view as house-export --part-map does, and lists its parts', (t) => {
  for (const [keys, width, height] of [['', 200, 200], ['o*54 x*20 Up*9', 160, 120]]) {
    const started = performance.now();
    const map = wasm.partMap(keys, width, height);
    const ms = performance.now() - started;
    const run = (mode) => execFileSync(kExport, [...mode, '--keys', keys, '--size', `${width}x${height}`],
      { stdio: ['ignore', 'pipe', 'pipe'] });
    const native = PNG.sync.read(run(['--part-map', '-']));
    const differing = map.pixels.filter((part, i) => part !== native.data[i * 4]).length;
    t.diagnostic(`"${keys}" at ${width}x${height}: ${ms.toFixed(1)} ms, ${differing} pixels unlike the tool's`);
    assert.ok(differing <= map.pixels.length / 1000, `${differing} pixels differ after "${keys}"`);
    // The list: the same parts in the same order, each as large as the map
    // says, a gate as far open.
    const rows = run(['--parts']).toString().trim().split('\n').map((row) => row.split(/ {2,}/));
    assert.deepEqual(map.inView.map((part) => map.names[part.number - 1]), rows.map((row) => row[0]), keys);
    for (const part of map.inView) {
      assert.equal(part.pixels, map.pixels.filter((p) => p === part.number).length);
      if (part.openDegrees !== undefined) {
        const row = rows.find((r) => r[0] === map.names[part.number - 1]);
        assert.equal(row[3], Math.round(part.openDegrees) ? `open ${Math.round(part.openDegrees)}\u00b0` : 'shut');
      }
    }
  }
  assert.throws(() => wasm.partMap('', 0, 10),
    { message: 'size 0x10 is outside what the part map accepts (1x1 to 16384x16384)' });
});
