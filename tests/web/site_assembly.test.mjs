// The site's assembly (web/site/assemble.mjs) on the page's real sources and a
// stand-in program: every file a site file names is there under the name
// it is named by, each content-named file has the content its name says,
// the service worker lists the site, index.html carries the policy, the
// theme colour and the program's size, and a changed program renames
// exactly the files that lead to it and removes the old ones. Needs node
// only.
import assert from 'node:assert/strict';
import crypto from 'node:crypto';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { after, before, test } from 'node:test';
import { fileURLToPath } from 'node:url';
import {
  assemble, nameByContent, references, renamed, skyColour, withoutCommentLines,
} from '../../web/site/assemble.mjs';
import { kStepsFile } from '../../web/site/frame_steps.mjs';
import { kPosterSides, posterName } from '../../web/site/poster.mjs';
import { kMetaContentSecurityPolicy } from '../../web/server/security_policy.mjs';

const kRoot = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '../..');
const kNamedByContent = /\.([0-9a-f]{8,})\.[^.]+$/;

let scratch;
before(() => { scratch = fs.mkdtempSync(path.join(os.tmpdir(), 'house-assembly-')); });
after(() => fs.rmSync(scratch, { recursive: true, force: true }));

function program(name, wasmBytes) {
  const directory = path.join(scratch, name);
  fs.mkdirSync(directory);
  fs.writeFileSync(path.join(directory, 'house.js'), 'var wasmBinaryFile="house.wasm";/* the loader */\n');
  fs.writeFileSync(path.join(directory, 'house.wasm'), wasmBytes);
  fs.writeFileSync(path.join(directory, 'house-export.js'), 'var f="house-export.wasm";/* the model export */\n');
  fs.writeFileSync(path.join(directory, 'house-export.wasm'), wasmBytes.subarray(0, 8));
  for (const side of kPosterSides) fs.writeFileSync(path.join(directory, posterName(side)), `a ${side}-pixel poster`);
  fs.writeFileSync(path.join(directory, kStepsFile), '{"count":0,"parts":[],"routines":[],"files":[],"runs":[]}');
  return directory;
}

const read = (site, name) => fs.readFileSync(path.join(site, name));

test('references are file names in quotes, and only those are renamed', () => {
  const names = new Map([['keys.js', 'keys.0123456789.js'], ['house.wasm', 'house.abcdef0123.wasm']]);
  const kCases = [
    ["import { pressKey } from './keys.js';", ['keys.js'], "import { pressKey } from './keys.0123456789.js';"],
    ['<link rel="stylesheet" href="page.css">', ['page.css'], '<link rel="stylesheet" href="page.css">'],
    ['var f="house.wasm";f="house.wasm"', ['house.wasm'], 'var f="house.abcdef0123.wasm";f="house.abcdef0123.wasm"'],
    ["// keys.js and 'house.wasm did not arrive'", [], "// keys.js and 'house.wasm did not arrive'"],
    ["import { pressKey } from '../keys.js';", ['../keys.js'], "import { pressKey } from './keys.0123456789.js';"],
    ["'.../keys.js' 'Sub/keys.js' \"keys.js'", [], "'.../keys.js' 'Sub/keys.js' \"keys.js'"],
    ["import { pressKey } from './input/keys.js';", ['input/keys.js'], "import { pressKey } from './keys.0123456789.js';"],
    ['"icon-192.png" "manifest.webmanifest"', ['icon-192.png', 'manifest.webmanifest'], '"icon-192.png" "manifest.webmanifest"'],
  ];
  for (const [text, named, written] of kCases) {
    assert.deepEqual(references(text), named, text);
    assert.equal(renamed(text, names), written, text);
  }
});

test("a page script loses its lines of comment, not a line of a template literal or code's own", () => {
  const text = '// head\nconst a = 1;  // kept\n  // gone\nconst s = `x\n// a shader line\n`;\nconst u = \'//\';\n';
  assert.equal(withoutCommentLines(text), 'const a = 1;  // kept\nconst s = `x\n// a shader line\n`;\nconst u = \'//\';\n');
});

test('a file is named after its content, with the names of the files it names', () => {
  const files = (leaf) => new Map([
    ['index.html', Buffer.from('<script src="page.js"></script><link href="page.css">')],
    ['page.js', Buffer.from("import './keys.js'; import './help.js';")],
    ['keys.js', Buffer.from(`export const leaf = ${leaf};`)],
    ['help.js', Buffer.from('export const help = 1;')],
    ['page.css', Buffer.from('body {}')],
  ]);
  const one = nameByContent(files(1));
  const two = nameByContent(files(2));
  const changed = [...one.names.keys()].filter((name) => one.names.get(name) !== two.names.get(name));
  assert.deepEqual(changed.sort(), ['keys.js', 'page.js']);
  assert.ok(!one.names.has('index.html'), 'the page keeps its name');
  assert.equal(one.site.get('index.html').toString(),
    `<script src="${one.names.get('page.js')}"></script><link href="${one.names.get('page.css')}">`);
  const circle = new Map([['a.js', Buffer.from("import './b.js';")], ['b.js', Buffer.from("import './a.js';")]]);
  assert.throws(() => nameByContent(circle), /a\.js -> b\.js -> a\.js: .* in a circle/);
});

test("the sky's colour is read from the palette, which must say it", () => {
  assert.equal(skyColour(fs.readFileSync(path.join(kRoot, 'src/viewer/palette.h'), 'utf8')), '#33ccff');
  assert.equal(skyColour('const Rgb kSkyBlue = {0.0f, 0.5f, 1.0f};'), '#0080ff');
  assert.throws(() => skyColour('const Rgb kSky = {0.2f, 0.8f, 1.0f};'), /no kSkyBlue/);
});

test('the assembled site: whole, named by content, listed by its worker; a new program renames its way up', () => {
  const site = path.join(scratch, 'site');
  const firstWasm = Buffer.from([0, 0x61, 0x73, 0x6d, 1, 0, 0, 0]);
  const first = assemble(site, program('first', firstWasm)).names;

  // Every file a site file names is there; each content-named one holds
  // what its name says.
  for (const name of first.filter((file) => /\.(html|js|mjs|css|webmanifest)$/.test(file))) {
    for (const named of references(read(site, name).toString())) assert.ok(first.includes(named), `${name} names ${named}`);
  }
  for (const name of first.filter((file) => kNamedByContent.test(file))) {
    const digest = crypto.createHash('sha256').update(read(site, name)).digest('hex');
    assert.ok(digest.startsWith(kNamedByContent.exec(name)[1]), name);
  }
  assert.deepEqual(first.filter((file) => !kNamedByContent.test(file)).sort(),
    ['icon-192.png', 'icon-512.png', 'icon.png', 'index.html', 'manifest.webmanifest', ...kPosterSides.map(posterName), 'sw.js'].sort());
  const worker = read(site, 'sw.js').toString();
  assert.deepEqual(JSON.parse(/const kFiles = (\[.*\]);/.exec(worker)[1]), first.filter((name) => name !== 'sw.js').sort());

  const page = read(site, 'index.html').toString();
  assert.ok(page.includes(`<meta charset="utf-8">\n<meta http-equiv="Content-Security-Policy" content="${kMetaContentSecurityPolicy}">\n<meta name="theme-color" content="#33ccff">`));
  assert.match(page, new RegExp(`<progress id="loading-progress" max="${firstWasm.length}"`));
  assert.doesNotMatch(page, /data-size-of|<!-- The key table/);
  // The loader asks for every module the page imports, and not those it
  // loads only when asked for.
  const loader = read(site, first.find((name) => name.startsWith('page_loader.'))).toString();
  const preloaded = JSON.parse(/const kModules = (\[[^\]]*\]);/.exec(loader)[1].replace(/'/g, '"')).map((name) => name.replace(kNamedByContent, '.js'));
  assert.ok(['keys.js', 'typing.js', 'program.js', 'remote_context.js'].every((name) => preloaded.includes(name)), preloaded.join(' '));
  assert.ok(!preloaded.includes('in_view.js') && !preloaded.includes('how_drawn.js'), preloaded.join(' '));
  assert.equal(JSON.parse(read(site, 'manifest.webmanifest')).theme_color, '#33ccff');

  fs.writeFileSync(path.join(site, `${first.find((name) => name.startsWith('house.') && name.endsWith('.wasm'))}.br`), 'stale');
  const second = assemble(site, program('second', Buffer.concat([firstWasm, Buffer.from([0, 2, 1, 0x78])]))).names;
  const plain = (name) => name.replace(kNamedByContent, (whole) => whole.slice(whole.lastIndexOf('.')));
  assert.deepEqual(second.filter((name) => !first.includes(name)).map(plain).sort(),
    ['house.js', 'house.wasm', 'page.js', 'page_loader.js', 'program.js']);
  assert.deepEqual(fs.readdirSync(site).sort(), second.sort(), 'the old files, and their copies, are gone');
});
