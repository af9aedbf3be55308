// The exported model drawn by another renderer: three.js in Debian's
// headless Chromium, with the camera the model holds, against
// house-snapshot's picture of the same keys. Each model is written by
// house-export into a scratch site with three.js and model_view.html.
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { fileURLToPath } from 'node:url';
import { after, before, test } from 'node:test';
import { PNG } from 'pngjs';
import { kCanvasSize, repositoryRoot, startBrowser } from '../web/support/browser.mjs';
import {
  differingPixels, kExport, kOtherRendererShare, kOtherRendererSteps, kPictureDirectory, snapshot,
} from '../web/support/pictures.mjs';

const here = path.dirname(fileURLToPath(import.meta.url));
// The program's clear colour, as palette.h writes it.
const kSky = /kSkyBlue = \{([^}]*)\}/.exec(
  fs.readFileSync(path.join(repositoryRoot, 'src/viewer/palette.h'), 'utf8'))[1]
  .split(',').map((channel) => parseFloat(channel));
// What the page needs of three.js, where its modules expect each other.
const kThreeFiles = [
  'build/three.module.js', 'build/three.core.js',
  'examples/jsm/loaders/GLTFLoader.js', 'examples/jsm/utils/BufferGeometryUtils.js',
  'examples/jsm/utils/SkeletonUtils.js',
];
const kLoadTimeoutMs = 10000;

const kViews = [
  ['first-frame', ''],
  ['gates-open', 'o*54 x*54'],
  ['from-above', 'Up*40 Left*7'],
  ['from-behind', 'Left*45 Up*3'],
  ['close-up', '+*69 o*30 Right*4'],
  ['gates-open-above', 'o*54 x*54 Up*18 -*50 Right*6'],
];

let site;
let session;
let page;

before(async () => {
  site = fs.mkdtempSync(path.join(os.tmpdir(), 'house-model-view-'));
  for (const file of kThreeFiles) {
    fs.mkdirSync(path.dirname(path.join(site, 'three', file)), { recursive: true });
    fs.copyFileSync(path.join(here, 'node_modules/three', file), path.join(site, 'three', file));
  }
  fs.copyFileSync(path.join(here, 'model_view.html'), path.join(site, 'index.html'));
  fs.copyFileSync(path.join(here, 'model_view.mjs'), path.join(site, 'model_view.mjs'));
  for (const [name, keys] of kViews) {
    execFileSync(kExport, ['--keys', keys, path.join(site, `${name}.glb`)], { stdio: 'pipe' });
  }
  // The page's import map is inline, which the site's security policy
  // would refuse: it is not the page under test here.
  session = await startBrowser(site, { server: { contentSecurityPolicy: false } });
  page = await session.context.newPage();
  const errors = [];
  page.on('pageerror', (error) => errors.push(error.message));
  page.on('requestfailed', (request) => errors.push(`request failed: ${request.url()}`));
  await page.goto(session.url, { waitUntil: 'load' });
  await page.waitForFunction(() => window.modelViewReady === true, { timeout: kLoadTimeoutMs })
    .catch((error) => assert.fail(`${error.message}: ${errors.join('; ')}`));
  assert.deepEqual(errors, []);
});

after(async () => {
  await session?.close();
  if (site) fs.rmSync(site, { recursive: true, force: true });
});

for (const [name, keys] of kViews) {
  test(`three.js draws the model of "${keys}" as house-snapshot draws the view`, async (t) => {
    const held = await page.evaluate((url, sky) => window.drawModel(url, sky), `${name}.glb`, kSky);
    assert.deepEqual(held, { cameras: 1, animations: 2 });
    const canvas = await page.$('#model');
    const drawn = PNG.sync.read(Buffer.from(await canvas.screenshot({ type: 'png' })));
    fs.mkdirSync(kPictureDirectory, { recursive: true });
    const drawnFile = path.join(kPictureDirectory, `model-${name}-three.png`);
    const expectedFile = path.join(kPictureDirectory, `model-${name}-expected.png`);
    fs.writeFileSync(drawnFile, PNG.sync.write(drawn));
    const expected = snapshot(keys, kCanvasSize, kCanvasSize, expectedFile);
    const differing = differingPixels(drawn, expected);
    const total = kCanvasSize * kCanvasSize;
    t.diagnostic(`${name}: ${differing} of ${total} pixels differ by more than ${kOtherRendererSteps} steps`);
    assert.ok(differing < kOtherRendererShare * total,
      `${differing} of ${total} pixels differ; see ${drawnFile} and ${expectedFile}`);
    // three.js's picture stays: docs/model-export.md shows one.
    fs.rmSync(expectedFile);
  });
}
