// What the site's files are to a browser: their types, which of them are
// worth compressing, the compressed copies kept beside them, and which are
// named after their content. The server and the build's compression step
// both read this; it needs no npm package.
import fs from 'node:fs';
import path from 'node:path';

// Only these are served. PNG is compressed already; the others are text,
// WebAssembly or glTF, which shrink by half or more.
const kTypes = {
  '.html': { mime: 'text/html; charset=utf-8', compressible: true },
  '.css': { mime: 'text/css; charset=utf-8', compressible: true },
  '.js': { mime: 'text/javascript; charset=utf-8', compressible: true },
  '.mjs': { mime: 'text/javascript; charset=utf-8', compressible: true },
  '.json': { mime: 'application/json', compressible: true },
  '.webmanifest': { mime: 'application/manifest+json', compressible: true },
  // Compiled while it downloads only when sent as application/wasm.
  '.wasm': { mime: 'application/wasm', compressible: true },
  '.glb': { mime: 'model/gltf-binary', compressible: true },
  '.svg': { mime: 'image/svg+xml', compressible: true },
  '.png': { mime: 'image/png', compressible: false },
};

// Beside a file F: F.br and F.gz, each named after the Accept-Encoding
// token it answers, best first.
export const kCompressedCopies = [
  { encoding: 'br', suffix: '.br' },
  { encoding: 'gzip', suffix: '.gz' },
];

// The type of a site file by its name, or undefined for a file the site
// does not serve.
export function fileType(name) {
  return kTypes[path.extname(name).toLowerCase()];
}

// A name with a dot-separated segment of at least 8 lowercase hex digits
// just before its extension (house.3f9a0c1d.wasm) says its content: a
// change of content is a change of name, so such a file never goes stale.
export function isContentNamed(name) {
  return /\.[0-9a-f]{8,}\.[^./]+$/.test(path.basename(name));
}

// Writes `bytes` to `file` whole or not at all: a server reading the site
// meanwhile finds the old file or the new one, never a part.
export function writeWhole(file, bytes) {
  const temporary = path.join(path.dirname(file), `.${path.basename(file)}.${process.pid}.tmp`);
  try {
    fs.writeFileSync(temporary, bytes);
    fs.renameSync(temporary, file);
  } finally {
    fs.rmSync(temporary, { force: true });
  }
}
