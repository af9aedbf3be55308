// Pictures for the browser tests: the page's canvas as the browser shows
// it, the native renderer's picture of the same view from house-snapshot,
// and a count of the pixels where they differ.
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { PNG } from 'pngjs';
import { withCommas } from '../../../web/page/numbers.js';
import { repositoryRoot } from './browser.mjs';

// The tools whose pictures and maps the browser's are checked against.
const kSnapshot = process.env.HOUSE_SNAPSHOT ||
  path.join(repositoryRoot, 'build/tools/house-snapshot');
export const kExport = process.env.HOUSE_EXPORT || path.join(repositoryRoot, 'build/tools/house-export');
// Where a failed comparison leaves its two pictures.
export const kPictureDirectory = process.env.HOUSE_WEB_PICTURES ||
  path.join(os.tmpdir(), 'house-web-pictures');

// How far the page's picture may lie from house-snapshot's, at any canvas
// size. The browser draws with SwiftShader and the snapshot with Mesa's
// llvmpipe: the two round colours their own way (a channel a few 8-bit
// steps apart) and may cover an edge pixel on either side of the line
// (a share of the pixels quite another colour).
export const kOtherRendererSteps = 6;
export const kOtherRendererShare = 0.01;

// The view after `sequence`, with only the frame's first `until` pieces
// where that is given.
export function snapshot(sequence, width, height, file, until = null) {
  const size = ['--size', `${width}x${height}`];
  const keys = sequence ? ['--keys', sequence] : [];
  const steps = until === null ? [] : ['--until', String(until)];
  execFileSync(kSnapshot, [...size, ...keys, ...steps, file], { stdio: 'pipe' });
  return PNG.sync.read(fs.readFileSync(file));
}

// The walk gate is the frame's piece 3,373 in every view. Expressions, for
// any engine's driver: "How it's drawn" at `step`, and the pixel history
// it lists, as JSON.
export const kWalkGateStep = 3373;
export const kStepTo = (step) => `(() => { const slider = document.getElementById('step-slider');
  slider.value = ${step}; return slider.dispatchEvent(new Event('input')); })()`;
export const kListedHistory = `JSON.stringify([document.getElementById('pixel-words').textContent,
  [...document.querySelectorAll('#pixel-history button')].map((button) => button.textContent)])`;

// The history the page lists (kListedHistory's answer) for the view after
// `sequence`, beside house-snapshot --pixel's for that pixel in the page's
// words ("Step 3,373: walk gate, drawn by drawWalkGate in src/grounds/…"):
// { pixel: [x, y], size: [width, height], lines, expected }.
export function listedHistory(listed, sequence) {
  const [words, lines] = JSON.parse(listed);
  const [x, y, width, height] = /^Pixel (\d+), (\d+) of (\d+) × (\d+)/.exec(words).slice(1).map(Number);
  const keys = sequence ? ['--keys', sequence] : [];
  const native = execFileSync(kSnapshot, ['--pixel', `${x},${y}`, '--size', `${width}x${height}`, ...keys],
    { encoding: 'utf8' }).split('\n').filter(Boolean);
  const expected = native.map((line) => {
    const [step, part, routine, file, colour, depth, fate] = line.trim().split(/ {2,}/);
    const said = fate.replace(/^hidden by (\d+)$/, (whole, by) => `hidden by step ${withCommas(by)}`).replace(':', ',');
    return `Step ${withCommas(step)}: ${part}, drawn by ${routine} in ${file}, colour ${colour}, ` +
      `depth ${Number(depth.split(' ')[1]).toFixed(4)}, ${said}`;
  });
  return { pixel: [x, y], size: [width, height], lines, expected };
}

export function differingPixels(actual, expected, steps = kOtherRendererSteps) {
  let count = 0;
  for (let i = 0; i < actual.data.length; i += 4) {
    for (let channel = 0; channel < 3; ++channel) {
      if (Math.abs(actual.data[i + channel] - expected.data[i + channel]) > steps) {
        ++count;
        break;
      }
    }
  }
  return count;
}

// Compares the canvas with house-snapshot's picture after the same keys.
// Returns a message naming both saved pictures when they do not match,
// and null when they do.
export async function compareWithSnapshot(canvas, sequence, name, until = null) {
  return comparePicture(PNG.sync.read(Buffer.from(await canvas.screenshot({ type: 'png' }))), sequence, name, [], until);
}

// The same for a picture taken already, leaving out `masked` boxes
// ([left, top, right, bottom]) of both, and drawn only `until` a piece.
export function comparePicture(actual, sequence, name, masked = [], until = null) {
  fs.mkdirSync(kPictureDirectory, { recursive: true });
  const webFile = path.join(kPictureDirectory, `${name}-web.png`);
  const expectedFile = path.join(kPictureDirectory, `${name}-expected.png`);
  const expected = snapshot(sequence, actual.width, actual.height, expectedFile, until);
  for (const picture of [actual, expected]) paintOver(picture, masked);
  const differing = differingPixels(actual, expected);
  const total = actual.width * actual.height;
  if (differing < kOtherRendererShare * total) {
    fs.rmSync(expectedFile, { force: true });
    return null;
  }
  fs.writeFileSync(webFile, PNG.sync.write(actual));
  return `${name}: ${differing} of ${total} pixels differ by more than ${kOtherRendererSteps} ` +
    `steps after keys "${sequence}"${until === null ? '' : ` up to piece ${until}`}; see ${webFile} and ${expectedFile}`;
}

// An expression, for any engine's driver, for the boxes of the loading bar
// and its words over the picture, in device pixels from the picture's
// corner: what lies over the poster, and is no part of it.
export const kLoadingBarBoxes = `(() => {
  const corner = document.getElementById('stage').getBoundingClientRect();
  return ['loading-progress', 'loading-amount'].map((id) => {
    const box = document.getElementById(id).getBoundingClientRect();
    return [box.left - corner.left, box.top - corner.top, box.right - corner.left, box.bottom - corner.top]
      .map((value, i) => (i < 2 ? Math.floor : Math.ceil)(value * devicePixelRatio));
  });
})()`;

// The boxes painted black in `picture`, to be left out of a comparison.
export function paintOver(picture, boxes) {
  for (const [left, top, right, bottom] of boxes) {
    for (let y = Math.max(0, top); y < Math.min(picture.height, bottom); ++y) {
      const row = 4 * y * picture.width;
      picture.data.fill(0, row + 4 * Math.max(0, left), row + 4 * Math.min(picture.width, right));
    }
  }
}
