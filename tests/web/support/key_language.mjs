// The key language in node, for the tests to read and write keys as the
// page does: the program's own reader and writer (headless/keys), from the
// model export's WebAssembly module, which links them as the page's
// program does (web/wasm/key_language.js says what the calls take).
import fs from 'node:fs';
import { createRequire } from 'node:module';
import path from 'node:path';
import { repositoryRoot } from './browser.mjs';

const kModule = path.resolve(process.env.HOUSE_WEB_PROGRAM || path.join(repositoryRoot, 'build/wasm/web/wasm'),
  'house-export.js');
// Node has a fetch that cannot read files, which the module would try
// first: it is handed its code instead.
const language = await createRequire(import.meta.url)(kModule)({
  wasmBinary: fs.readFileSync(kModule.replace(/\.js$/, '.wasm')),
});

export const parseKeys = (text) => language.parseKeys(text);
export const formatKeys = (runs, separator) => language.formatKeys(runs, separator);
