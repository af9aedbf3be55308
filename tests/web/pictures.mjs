// Pictures for the browser tests: the page's canvas as the browser shows
// it, the native renderer's picture of the same view from house-snapshot,
// and a count of the pixels where they differ.
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { PNG } from 'pngjs';
import { repositoryRoot } from './browser.mjs';

const kSnapshot = process.env.HOUSE_SNAPSHOT ||
  path.join(repositoryRoot, 'build/tools/house-snapshot');
// Where a failed comparison leaves its two pictures.
export const kPictureDirectory = process.env.HOUSE_WEB_PICTURES ||
  path.join(os.tmpdir(), 'house-web-pictures');

// A pixel differs when one of its channels is off by more than this many
// 8-bit steps: the two renderers may round an edge or a colour differently.
export const kChannelTolerance = 6;
// Fewer than this share of the pixels may differ.
export const kMostDifferingShare = 0.01;

const kArrowNames = { Left: 'ArrowLeft', Right: 'ArrowRight', Up: 'ArrowUp', Down: 'ArrowDown' };

// Keys written as house-snapshot reads them ("Left*3 o +*10"), as the
// names the browser's keyboard takes.
export function browserKeys(sequence) {
  const keys = [];
  for (const word of sequence.split(' ').filter(Boolean)) {
    const star = word.lastIndexOf('*');
    const name = star > 0 ? word.slice(0, star) : word;
    const count = star > 0 ? Number(word.slice(star + 1)) : 1;
    for (let i = 0; i < count; ++i) keys.push(kArrowNames[name] || name);
  }
  return keys;
}

export function snapshot(sequence, width, height, file) {
  const size = ['--size', `${width}x${height}`];
  const keys = sequence ? ['--keys', sequence] : [];
  execFileSync(kSnapshot, [...size, ...keys, file], { stdio: 'pipe' });
  return PNG.sync.read(fs.readFileSync(file));
}

export function differingPixels(actual, expected) {
  let count = 0;
  for (let i = 0; i < actual.data.length; i += 4) {
    for (let channel = 0; channel < 3; ++channel) {
      if (Math.abs(actual.data[i + channel] - expected.data[i + channel]) > kChannelTolerance) {
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
export async function compareWithSnapshot(canvas, sequence, name) {
  fs.mkdirSync(kPictureDirectory, { recursive: true });
  const webFile = path.join(kPictureDirectory, `${name}-web.png`);
  const expectedFile = path.join(kPictureDirectory, `${name}-expected.png`);
  const actual = PNG.sync.read(Buffer.from(await canvas.screenshot({ type: 'png' })));
  const expected = snapshot(sequence, actual.width, actual.height, expectedFile);
  const differing = differingPixels(actual, expected);
  const total = actual.width * actual.height;
  if (differing < kMostDifferingShare * total) {
    fs.rmSync(expectedFile, { force: true });
    return null;
  }
  fs.writeFileSync(webFile, PNG.sync.write(actual));
  return `${name}: ${differing} of ${total} pixels differ by more than ${kChannelTolerance} ` +
    `steps after keys "${sequence}"; see ${webFile} and ${expectedFile}`;
}
