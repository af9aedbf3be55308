// house-export's models for the tests in node: written by the tool, read
// back as their JSON and binary chunk, and loaded by three.js's own glTF
// loader, which needs no browser for a model without textures.
import { execFileSync } from 'node:child_process';
import { GLTFLoader } from 'three/addons/loaders/GLTFLoader.js';
import { kExport } from '../web/support/pictures.mjs';

export { readGlb } from './model_compare.mjs';
export { kExport };

// The .glb bytes of the scene after `keys`, from house-export's standard output.
export function exportModel(keys) {
  return new Uint8Array(execFileSync(kExport, ['--keys', keys, '-'], { stdio: ['ignore', 'pipe', 'pipe'] }));
}

export function loadModel(bytes) {
  const copy = bytes.slice().buffer;
  return new GLTFLoader().parseAsync(copy, '');
}
