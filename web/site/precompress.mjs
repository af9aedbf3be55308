// Writes beside each of the site's files that is worth compressing a brotli
// copy (F.br) and a gzip copy (F.gz), each only when smaller than the file,
// for the server to send to browsers that take them. Copies newer than
// their file are kept; stale ones, those no longer smaller and those whose
// file is gone are removed. Each copy appears whole, by a rename.
//
//   node web/site/precompress.mjs SITE_DIR
import fs from 'node:fs';
import path from 'node:path';
import zlib from 'node:zlib';
import { fileType, kCompressedCopies, writeWhole } from '../server/site_files.mjs';

const kCompressors = {
  br: (bytes) => zlib.brotliCompressSync(bytes, {
    params: {
      [zlib.constants.BROTLI_PARAM_QUALITY]: zlib.constants.BROTLI_MAX_QUALITY,
      [zlib.constants.BROTLI_PARAM_SIZE_HINT]: bytes.length,
    },
  }),
  gzip: (bytes) => zlib.gzipSync(bytes, { level: zlib.constants.Z_BEST_COMPRESSION }),
};

// Every file under `directory`, leaving out hidden names as the server does.
function siteFiles(directory) {
  return fs.readdirSync(directory, { withFileTypes: true, recursive: true })
    .filter((entry) => entry.isFile())
    .map((entry) => path.join(entry.parentPath ?? entry.path, entry.name))
    .filter((file) => !path.relative(directory, file).split(path.sep).some((part) => part.startsWith('.')));
}

// Brings the copies of one file up to date; returns each copy's size
// (the file's own where there is no smaller copy).
function compressFile(file) {
  const stats = fs.statSync(file);
  let bytes = null;
  const sizes = {};
  for (const { encoding, suffix } of kCompressedCopies) {
    const copy = file + suffix;
    const copyStats = fs.statSync(copy, { throwIfNoEntry: false });
    if (copyStats && copyStats.mtimeMs >= stats.mtimeMs) {
      sizes[encoding] = copyStats.size;
      continue;
    }
    bytes ??= fs.readFileSync(file);
    const compressed = kCompressors[encoding](bytes);
    if (compressed.length < bytes.length) {
      writeWhole(copy, compressed);
      sizes[encoding] = compressed.length;
    } else {
      fs.rmSync(copy, { force: true });
      sizes[encoding] = bytes.length;
    }
  }
  return sizes;
}

function precompress(directory) {
  const files = siteFiles(directory);
  const suffixes = kCompressedCopies.map((copy) => copy.suffix);
  let siteBytes = 0;
  const saved = Object.fromEntries(kCompressedCopies.map((copy) => [copy.encoding, 0]));
  for (const file of files) {
    const suffix = suffixes.find((candidate) => file.endsWith(candidate));
    if (suffix) {
      if (!fs.existsSync(file.slice(0, -suffix.length))) fs.rmSync(file);
      continue;
    }
    const type = fileType(file);
    if (!type) continue;
    const size = fs.statSync(file).size;
    siteBytes += size;
    if (!type.compressible) continue;
    for (const [encoding, copySize] of Object.entries(compressFile(file))) saved[encoding] += size - copySize;
  }
  const savings = Object.entries(saved).map(([encoding, bytes]) => `${encoding} saves ${bytes}`).join(', ');
  console.log(`precompress: ${siteBytes} bytes in ${directory}; ${savings}`);
}

const args = process.argv.slice(2);
if (args.length !== 1 || !fs.statSync(args[0], { throwIfNoEntry: false })?.isDirectory()) {
  console.error(args.length === 1 ? `precompress: no folder ${JSON.stringify(args[0])}`
    : 'usage: node web/site/precompress.mjs SITE_DIR');
  process.exit(2);
}
try {
  precompress(args[0]);
} catch (error) {
  console.error(`precompress: ${error.message}`);
  process.exit(1);
}
