// The poster: the starting view as house-snapshot draws it, shown where the
// picture will be until the program's first frame is drawn. It is drawn at
// the picture's largest size (500 CSS pixels) for screens of ratio 1, 2
// and 3, and written again as a palette PNG: the scene is flat colours
// with no antialiasing, a dozen of them, so an index a pixel packs and
// compresses several times smaller than house-snapshot's RGB.
//
//   node web/site/poster.mjs HOUSE_SNAPSHOT OUTPUT_DIR
//
// writes OUTPUT_DIR/poster-500.png, -1000 and -1500, each only where it is
// missing or older than HOUSE_SNAPSHOT: the scene changes only with it.
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { fileURLToPath } from 'node:url';
import zlib from 'node:zlib';
import { writeWhole } from '../server/site_files.mjs';

// The picture's largest side in CSS pixels (page.css), times each ratio.
export const kPosterSides = [500, 1000, 1500];
export const posterName = (side) => `poster-${side}.png`;

const kSignature = Buffer.from([137, 80, 78, 71, 13, 10, 26, 10]);
const kMostColours = 256;

const kCrcTable = Array.from({ length: 256 }, (_, n) => {
  let c = n;
  for (let k = 0; k < 8; ++k) c = c & 1 ? 0xedb88320 ^ (c >>> 1) : c >>> 1;
  return c >>> 0;
});

function crc32(bytes) {
  let c = 0xffffffff;
  for (const byte of bytes) c = kCrcTable[(c ^ byte) & 0xff] ^ (c >>> 8);
  return (c ^ 0xffffffff) >>> 0;
}

function chunk(type, data) {
  const head = Buffer.alloc(8);
  head.writeUInt32BE(data.length, 0);
  head.write(type, 4, 'latin1');
  const crc = Buffer.alloc(4);
  crc.writeUInt32BE(crc32(Buffer.concat([head.subarray(4), data])), 0);
  return Buffer.concat([head, data, crc]);
}

function paeth(a, b, c) {
  const p = a + b - c;
  const [pa, pb, pc] = [Math.abs(p - a), Math.abs(p - b), Math.abs(p - c)];
  return pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
}

// The pixels of a PNG as house-snapshot writes it (8-bit RGB, not
// interlaced): { width, height, rgb }.
export function readRgbPng(bytes) {
  if (!bytes.subarray(0, 8).equals(kSignature)) throw new Error('not a PNG');
  let at = 8;
  let header = null;
  const data = [];
  while (at < bytes.length) {
    const length = bytes.readUInt32BE(at);
    const type = bytes.toString('latin1', at + 4, at + 8);
    const body = bytes.subarray(at + 8, at + 8 + length);
    if (type === 'IHDR') header = { width: body.readUInt32BE(0), height: body.readUInt32BE(4), depth: body[8], colour: body[9], interlace: body[12] };
    if (type === 'IDAT') data.push(body);
    at += 12 + length;
  }
  if (!header || header.depth !== 8 || header.colour !== 2 || header.interlace !== 0) {
    throw new Error('not an 8-bit RGB PNG without interlacing');
  }
  const { width, height } = header;
  const raw = zlib.inflateSync(Buffer.concat(data));
  const stride = width * 3;
  const rgb = Buffer.alloc(stride * height);
  for (let y = 0; y < height; ++y) {
    const filter = raw[y * (stride + 1)];
    const line = raw.subarray(y * (stride + 1) + 1, (y + 1) * (stride + 1));
    for (let x = 0; x < stride; ++x) {
      const left = x >= 3 ? rgb[y * stride + x - 3] : 0;
      const up = y > 0 ? rgb[(y - 1) * stride + x] : 0;
      const corner = x >= 3 && y > 0 ? rgb[(y - 1) * stride + x - 3] : 0;
      const predicted = [0, left, up, (left + up) >> 1, paeth(left, up, corner)][filter];
      if (predicted === undefined) throw new Error(`unknown PNG filter ${filter}`);
      rgb[y * stride + x] = (line[x] + predicted) & 0xff;
    }
  }
  return { width, height, rgb };
}

// The same pixels as a palette PNG, its indices packed as tightly as the
// number of colours allows; null where there are more than 256 colours.
export function writePalettePng({ width, height, rgb }) {
  const palette = new Map();
  const indices = new Uint8Array(width * height);
  for (let i = 0; i < indices.length; ++i) {
    const colour = (rgb[3 * i] << 16) | (rgb[3 * i + 1] << 8) | rgb[3 * i + 2];
    let index = palette.get(colour);
    if (index === undefined) {
      if (palette.size === kMostColours) return null;
      index = palette.size;
      palette.set(colour, index);
    }
    indices[i] = index;
  }
  const depth = [1, 2, 4, 8].find((bits) => palette.size <= 2 ** bits);
  const perByte = 8 / depth;
  const stride = Math.ceil(width / perByte);
  // Filter "none" on every row: with indices, the other filters' sums of
  // neighbours mean nothing and only spoil the runs deflate finds.
  const raw = Buffer.alloc((stride + 1) * height);
  for (let y = 0; y < height; ++y) {
    for (let x = 0; x < width; ++x) {
      const shift = 8 - depth * ((x % perByte) + 1);
      raw[y * (stride + 1) + 1 + Math.floor(x / perByte)] |= indices[y * width + x] << shift;
    }
  }
  const header = Buffer.alloc(13);
  header.writeUInt32BE(width, 0);
  header.writeUInt32BE(height, 4);
  header[8] = depth;
  header[9] = 3;  // palette
  const colours = Buffer.from([...palette.keys()].flatMap((c) => [c >> 16, (c >> 8) & 0xff, c & 0xff]));
  const compressed = zlib.deflateSync(raw, { level: 9, memLevel: 9, strategy: zlib.constants.Z_DEFAULT_STRATEGY });
  return Buffer.concat([kSignature, chunk('IHDR', header), chunk('PLTE', colours), chunk('IDAT', compressed),
    chunk('IEND', Buffer.alloc(0))]);
}

// Draws the posters into `directory`; returns their sizes in bytes.
export function drawPosters(snapshotTool, directory) {
  const toolTime = fs.statSync(snapshotTool).mtimeMs;
  const scratch = fs.mkdtempSync(path.join(os.tmpdir(), 'house-poster-'));
  try {
    return kPosterSides.map((side) => {
      const poster = path.join(directory, posterName(side));
      const kept = fs.statSync(poster, { throwIfNoEntry: false });
      if (kept && kept.mtimeMs > toolTime) return kept.size;
      const drawn = path.join(scratch, posterName(side));
      execFileSync(snapshotTool, ['--size', `${side}x${side}`, drawn], { stdio: 'pipe' });
      const original = fs.readFileSync(drawn);
      // house-snapshot's own file where a palette would not be smaller.
      const smaller = writePalettePng(readRgbPng(original));
      const bytes = smaller && smaller.length < original.length ? smaller : original;
      writeWhole(poster, bytes);
      return bytes.length;
    });
  } finally {
    fs.rmSync(scratch, { recursive: true, force: true });
  }
}

if (process.argv[1] === fileURLToPath(import.meta.url)) {
  const args = process.argv.slice(2);
  if (args.length !== 2) {
    console.error('usage: node web/site/poster.mjs HOUSE_SNAPSHOT OUTPUT_DIR');
    process.exit(2);
  }
  try {
    fs.mkdirSync(args[1], { recursive: true });
    const sizes = drawPosters(args[0], args[1]);
    console.log(`poster: ${kPosterSides.map((side, i) => `${posterName(side)} ${sizes[i]} bytes`).join(', ')}`);
  } catch (error) {
    console.error(`poster: ${error.message}`);
    process.exit(1);
  }
}
