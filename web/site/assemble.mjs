// Assembles the site from the compiled program and the page's sources:
//
//   node web/site/assemble.mjs SITE_DIR PROGRAM_DIR
//
// The site is one flat folder: what index.html reaches through the names
// files give in quotes ('./input/keys.js', '../numbers.js', "house.wasm"),
// found in web/page/ from the naming file's folder, in PROGRAM_DIR (the
// build's: emscripten's output and the posters, web/site/poster.mjs) or,
// for the icons, in data/icons/. Scripts, styles and the program are named
// after their content, so a new build is a new set of names from index.html
// down; index.html gets the key table, the policy and the theme colour, the
// worker its build's files. New files are written before the files that
// name them and old builds' files removed last, so a page loading meanwhile
// finds every file it asks for. docs/web.md has the details.
import crypto from 'node:crypto';
import fs from 'node:fs';
import path from 'node:path';
import { fileURLToPath } from 'node:url';
import { kMetaContentSecurityPolicy } from '../server/security_policy.mjs';
import { fileType, isContentNamed, kCompressedCopies, writeWhole } from '../server/site_files.mjs';
import { fillPage } from './key_help.mjs';
import { kStepsFile } from './frame_steps.mjs';
import { kPosterSides, posterName } from './poster.mjs';

const kRoot = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '../..');
const kPage = path.join(kRoot, 'web/page');
const kUsage = 'usage: node web/site/assemble.mjs SITE_DIR PROGRAM_DIR';
const kEntries = ['index.html', 'manifest.webmanifest', 'sw.js'];
// Files the site takes from elsewhere than web/page/.
const kIcons = { 'icon.png': 'house-64.png', 'icon-192.png': 'house-192.png', 'icon-512.png': 'house-512.png' };
const kBuiltFiles = ['house.js', 'house.wasm', 'house-export.js', 'house-export.wasm', ...kPosterSides.map(posterName),
  kStepsFile];
// Named after their content: everything but the service worker, which a
// browser finds again only under its own name, and the entries.
const kContentNamedTypes = new Set(['.js', '.mjs', '.css', '.wasm', '.json']);
const kDigestDigits = 10;
// A file named in quotes, with or without "./" and a path of folders, up
// ("../") or down.
const kReference = /(["'])(\.\/)?((?:\.\.\/|[a-z_]+\/)*)([A-Za-z0-9_-]+\.(?:html|js|mjs|css|wasm|png|json|webmanifest))\1/g;
const kTextTypes = new Set(['.html', '.js', '.mjs', '.css', '.webmanifest']);
// A module's static import or re-export: `import x from './a.js';`,
// `} from '../b.js';`, `import './c.js';`.
const kStaticImport = /^(?:import|export|\})[^;'"]*?(?:from\s*)?(["'])([^"']+\.js)\1/gm;
const kPageModule = 'page.js';
const kLoader = 'page_loader.js';

const isText = (name) => kTextTypes.has(path.extname(name));
const namedByContent = (name) => kContentNamedTypes.has(path.extname(name)) && name !== 'sw.js';

// The paths `text` refers to, each once, in order.
export function references(text) {
  return [...new Set([...text.matchAll(kReference)].map((match) => match[3] + match[4]))];
}

// `text` with every reference to a name of `names` (a Map from the
// source's name to the site's) written as the site's name, in the site's
// one folder.
export function renamed(text, names) {
  // A module's path up a folder is one in the same folder: "./".
  return text.replace(kReference, (whole, quote, dot = '', folders, name) =>
    (names.has(name) ? `${quote}${dot || (folders.startsWith('../') ? './' : '')}${names.get(name)}${quote}` : whole));
}

function contentName(name, bytes) {
  const digest = crypto.createHash('sha256').update(bytes).digest('hex').slice(0, kDigestDigits);
  const extension = path.extname(name);
  return `${name.slice(0, -extension.length)}.${digest}${extension}`;
}

// The site's names for `files` (a Map from name to Buffer, text files as
// they refer to each other by their source names) and the files as the
// site has them. A file is named once every file it names has been, so the
// references between named files must not go round in a circle.
export function nameByContent(files) {
  const names = new Map();
  const site = new Map();
  const visiting = new Set();
  function visit(name, trail) {
    if (site.has(name)) return;
    if (visiting.has(name)) throw new Error(`${[...trail, name].join(' -> ')}: files named after their content cannot name each other in a circle`);
    visiting.add(name);
    let bytes = files.get(name);
    if (isText(name)) {
      const text = bytes.toString('utf8');
      for (const other of references(text).map((reference) => path.posix.basename(reference))) {
        if (files.has(other) && namedByContent(other)) visit(other, [...trail, name]);
      }
      bytes = Buffer.from(renamed(text, names));
    }
    visiting.delete(name);
    site.set(name, bytes);
    if (namedByContent(name)) names.set(name, contentName(name, bytes));
  }
  for (const name of files.keys()) visit(name, []);
  return { names, site };
}

// The sky, the scene's clear colour, as CSS writes it: "#33ccff".
export function skyColour(palette) {
  const sky = /const Rgb kSkyBlue = \{([0-9.]+)f, ([0-9.]+)f, ([0-9.]+)f\};/.exec(palette);
  if (!sky) throw new Error('src/viewer/palette.h has no kSkyBlue of the form {R.Rf, G.Gf, B.Bf}');
  return `#${sky.slice(1).map((value) => Math.round(Number(value) * 255).toString(16).padStart(2, '0')).join('')}`;
}

function replaceOnce(text, what, by, file) {
  if (!text.includes(what)) throw new Error(`${file} has no "${what}" to fill in`);
  return text.replace(what, () => by);
}

// The modules `entry` (a path from web/page/) imports, and theirs, by
// their paths from web/page/; not those it loads only when asked
// (`import('...')`).
export function staticImports(entry, readSource) {
  const found = new Set();
  const waiting = [entry];
  while (waiting.length) {
    const module = waiting.shift();
    for (const [, , imported] of readSource(module).matchAll(kStaticImport)) {
      const reached = path.posix.join(path.posix.dirname(module), imported);
      if (!found.has(reached)) waiting.push(reached);
      found.add(reached);
    }
  }
  return [...found];
}

// A page script as the site serves it: without its lines of comment, which
// are for the sources' readers and would be a third of the bytes a first
// visit loads. A line inside a template literal (a shader's source) stays.
export function withoutCommentLines(text) {
  let inTemplate = false;
  return text.split('\n').filter((line) => {
    const keep = inTemplate || !/^\s*\/\//.test(line);
    if ((line.split('`').length - 1) % 2) inTemplate = !inTemplate;
    return keep;
  }).join('\n');
}

// index.html as the site serves it, but for the content names.
function finishPage(page, { usage, sky, sizes }) {
  let html = fillPage(page, usage);
  html = replaceOnce(html, '<meta charset="utf-8">\n', '<meta charset="utf-8">\n' +
    `<meta http-equiv="Content-Security-Policy" content="${kMetaContentSecurityPolicy}">\n` +
    `<meta name="theme-color" content="${sky}">\n`, 'index.html');
  return html.replace(/data-size-of="([^"]*)"/g, (whole, name) => {
    if (!sizes.has(name)) throw new Error(`index.html asks for the size of ${name}, which is not a site file`);
    return `max="${sizes.get(name)}"`;
  });
}

function finishManifest(manifest, sky) {
  return `${JSON.stringify({ ...JSON.parse(manifest), theme_color: sky, background_color: sky }, null, 2)}\n`;
}

// The worker with the build's name (a digest of its files' names) and
// its files: all of the site but the worker itself.
function finishWorker(worker, siteNames) {
  const files = siteNames.filter((name) => name !== 'sw.js').sort();
  const build = crypto.createHash('sha256').update(files.join('\n')).digest('hex').slice(0, kDigestDigits);
  let text = replaceOnce(worker, "const kBuild = '';", `const kBuild = '${build}';`, 'sw.js');
  text = replaceOnce(text, 'const kFiles = [];', `const kFiles = ${JSON.stringify(files)};`, 'sw.js');
  return text;
}

// `reference` is a path from web/page/.
function sourceFile(reference, programDirectory) {
  const name = path.posix.basename(reference);
  if (kBuiltFiles.includes(name)) return path.join(programDirectory, name);
  if (reference.startsWith('../')) throw new Error(`${reference} lies outside web/page/`);
  if (kIcons[name]) return path.join(kRoot, 'data/icons', kIcons[name]);
  return path.join(kPage, reference);
}

// Every file the entries reach, by their names in the site.
function gatherSources(programDirectory) {
  const files = new Map();
  const sources = new Map();
  const waiting = [...kEntries];
  while (waiting.length) {
    const reference = waiting.shift();
    const name = path.posix.basename(reference);
    const file = sourceFile(reference, programDirectory);
    if (sources.has(name)) {
      if (sources.get(name) !== file) throw new Error(`${sources.get(name)} and ${file} would both be the site's ${name}`);
      continue;
    }
    if (!fs.existsSync(file)) throw new Error(`no ${file} for the site's ${name}`);
    const bytes = fs.readFileSync(file);
    sources.set(name, file);
    files.set(name, bytes);
    const folder = path.posix.dirname(reference);
    if (isText(name)) waiting.push(...references(bytes.toString('utf8')).map((other) => path.posix.join(folder, other)));
  }
  return files;
}

// Unchanged files are left alone, and with them their compressed copies.
function writeChanged(file, bytes) {
  if (fs.existsSync(file) && fs.readFileSync(file).equals(bytes)) return;
  writeWhole(file, bytes);
}

export function assemble(siteDirectory, programDirectory) {
  const sources = gatherSources(programDirectory);
  for (const [name, bytes] of sources) {
    if (path.extname(name) !== '.js' || kBuiltFiles.includes(name)) continue;
    sources.set(name, Buffer.from(withoutCommentLines(bytes.toString('utf8'))));
  }
  const sky = skyColour(fs.readFileSync(path.join(kRoot, 'src/viewer/palette.h'), 'utf8'));
  const sizes = new Map([...sources].map(([name, bytes]) => [name, bytes.length]));
  const usage = fs.readFileSync(path.join(kRoot, 'docs/usage.md'), 'utf8');
  sources.set('index.html', Buffer.from(finishPage(sources.get('index.html').toString('utf8'), { usage, sky, sizes })));
  // The loader asks for the page's modules all at once, each of which
  // would otherwise wait for the module that imports it.
  const modules = staticImports(kPageModule, (module) => fs.readFileSync(path.join(kPage, module), 'utf8'));
  sources.set(kLoader, Buffer.from(replaceOnce(sources.get(kLoader).toString('utf8'), 'const kModules = [];',
    `const kModules = [${modules.map((module) => `'${module}'`).join(', ')}];`, kLoader)));
  sources.set('manifest.webmanifest', Buffer.from(finishManifest(sources.get('manifest.webmanifest').toString('utf8'), sky)));

  const { names, site } = nameByContent(sources);
  const siteName = (name) => names.get(name) ?? name;
  const worker = finishWorker(site.get('sw.js').toString('utf8'), [...site.keys()].map(siteName));
  site.set('sw.js', Buffer.from(worker));

  fs.mkdirSync(siteDirectory, { recursive: true });
  const last = ['sw.js', 'index.html'];
  const order = [...[...site.keys()].filter((name) => !last.includes(name)), ...last];
  for (const name of order) writeChanged(path.join(siteDirectory, siteName(name)), site.get(name));
  const kept = new Set(order.map(siteName));
  const copies = kCompressedCopies.map((copy) => copy.suffix);
  for (const entry of fs.readdirSync(siteDirectory, { withFileTypes: true })) {
    const plain = copies.reduce((name, suffix) => (name.endsWith(suffix) ? name.slice(0, -suffix.length) : name), entry.name);
    if (entry.isFile() && fileType(plain) && !kept.has(plain)) fs.rmSync(path.join(siteDirectory, entry.name));
  }
  return { names: [...kept], contentNamed: [...kept].filter(isContentNamed).length };
}

if (process.argv[1] === fileURLToPath(import.meta.url)) {
  const args = process.argv.slice(2);
  if (args.length !== 2) {
    console.error(kUsage);
    process.exit(2);
  }
  try {
    assemble(args[0], args[1]);
  } catch (error) {
    console.error(`assemble: ${error.message}`);
    process.exit(1);
  }
}
