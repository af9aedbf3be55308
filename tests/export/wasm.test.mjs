// The model export built to WebAssembly, as the page will load it, against
// house-export for the same keys: the same structure, and every number the
// same or, where the two C libraries' sin and cos part, one float step off.
import assert from 'node:assert/strict';
import fs from 'node:fs';
import { createRequire } from 'node:module';
import path from 'node:path';
import { before, test } from 'node:test';
import { repositoryRoot } from '../web/browser.mjs';
import { exportModel, readGlb } from './glb.mjs';

const kModule = process.env.HOUSE_EXPORT_MODULE ||
  path.join(repositoryRoot, 'build-wasm/web/house-export.js');
const kFloat = 5126;
const kViews = ['', 'o*54 x*54', 'o*17 x*31 Left*23 Up*11 +*40', 'Right*70 Down -*120 o*54 c*20'];

let wasm;

before(async () => {
  const createHouseExport = createRequire(import.meta.url)(kModule);
  // Node has a fetch that cannot read files, which the module would try
  // first: it is handed its code instead.
  wasm = await createHouseExport({ wasmBinary: fs.readFileSync(kModule.replace(/\.js$/, '.wasm')) });
});

// How many floats lie between two: 0 for the same, 1 for neighbours.
function floatSteps(a, b) {
  const bits = new Int32Array(new Float32Array([a, b]).buffer);
  const ordered = (i) => (i < 0 ? -2147483648 - i : i);
  return Math.abs(ordered(bits[0]) - ordered(bits[1]));
}

// Every difference between two parsed JSON values, with its path.
function jsonDifferences(a, b, where = '') {
  if (typeof a === 'number' && typeof b === 'number') {
    return floatSteps(a, b) <= 1 ? [] : [`${where}: ${a} and ${b}`];
  }
  if (typeof a !== 'object' || a === null || typeof b !== 'object' || b === null) {
    return a === b ? [] : [`${where}: ${JSON.stringify(a)} and ${JSON.stringify(b)}`];
  }
  const keys = new Set([...Object.keys(a), ...Object.keys(b)]);
  return [...keys].flatMap((key) => jsonDifferences(a[key], b[key], `${where}/${key}`));
}

// Every float of the binary chunk more than a step apart, and every other
// byte that differs, by accessor.
function binaryDifferences(native, other) {
  const differences = [];
  native.json.accessors.forEach((accessor, index) => {
    const view = native.json.bufferViews[accessor.bufferView];
    const a = native.binary.subarray(view.byteOffset, view.byteOffset + view.byteLength);
    const b = other.binary.subarray(view.byteOffset, view.byteOffset + view.byteLength);
    if (accessor.componentType === kFloat) {
      const fa = new Float32Array(a.slice().buffer), fb = new Float32Array(b.slice().buffer);
      const apart = fa.findIndex((value, i) => floatSteps(value, fb[i]) > 1);
      if (apart >= 0) differences.push(`accessor ${index}[${apart}]: ${fa[apart]} and ${fb[apart]}`);
    } else if (Buffer.compare(Buffer.from(a), Buffer.from(b)) !== 0) {
      differences.push(`accessor ${index} differs`);
    }
  });
  return differences;
}

test('the WebAssembly module writes the model house-export writes', (t) => {
  for (const keys of kViews) {
    const started = performance.now();
    const fromWasm = wasm.exportModel(keys);
    const wasmMs = performance.now() - started;
    const native = exportModel(keys);
    t.diagnostic(`"${keys}": ${fromWasm.length} bytes in ${wasmMs.toFixed(0)} ms` +
      `${Buffer.compare(Buffer.from(fromWasm), Buffer.from(native)) === 0 ? ', the very same bytes' : ''}`);
    const a = readGlb(native), b = readGlb(fromWasm);
    assert.deepEqual(jsonDifferences(a.json, b.json), [], keys);
    assert.equal(b.binary.length, a.binary.length, keys);
    assert.deepEqual(binaryDifferences(a, b), [], keys);
  }
});

test('the module refuses keys it cannot read with the tool\'s message', () => {
  assert.throws(() => wasm.exportModel('o Esc'),
    { message: "key 'Esc' is refused: Escape would end the program" });
  assert.throws(() => wasm.exportModel('F13'), { message: "unknown key name 'F13'" });
  assert.ok(wasm.exportModel('o').length > 0);
});
