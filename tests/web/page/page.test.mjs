// The page in Debian's Chromium, used as a person uses it: real key events
// to the focused canvas, the picture as the browser shows it, compared
// with the native renderer's picture after the same keys.
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import { after, before, describe, test } from 'node:test';
import { kCanvasSize, kSite, openPage, repositoryRoot, startBrowser, waitForFrames } from '../support/browser.mjs';
import { browserKeys } from '../support/devices.mjs';
import { compareWithSnapshot } from '../support/pictures.mjs';
import { keysSection } from '../../../web/site/key_help.mjs';

// The program's title, as window.h writes it.
const kTitle = /^const char kWindowTitle\[\] = "(.*)";$/m.exec(
  fs.readFileSync(path.join(repositoryRoot, 'src/viewer/window.h'), 'utf8'))[1];
// The page and its program, its posters, and the model export that a
// person may ask for and that names what is in view (with its part map and
// the key language both modules link), each with its compressed copies.
const kMostSiteBytes = 800 * 1024;
const kFloodPresses = 2000;

// Presses the keys and waits for the frame they ask for.
async function pressAndWait(page, sequence) {
  const drawn = await page.evaluate(() => Module.framesDrawn);
  for (const key of browserKeys(sequence)) await page.keyboard.press(key);
  await waitForFrames(page, drawn);
}

async function loadedPage(session) {
  const opened = await openPage(session);
  await waitForFrames(opened.page, 0);
  return opened;
}

// The keys of a long random session, written as house-snapshot reads them:
// every bound key but f and Escape, and some the program ignores.
function floodSequence(presses) {
  const keys = ['Left', 'Right', 'Up', 'Down', '+', '-', 'o', 'c', 'x', 'z', 'w', 'O', 'q'];
  let seed = 12345;
  const words = [];
  for (let i = 0; i < presses; ++i) {
    seed = (seed * 1103515245 + 12345) % 2147483648;
    words.push(keys[seed % keys.length]);
  }
  return words.join(' ');
}

// Each row starts from a fresh page.
const kViews = [
  ['first-frame', ''],
  ['orbit', 'Left*20 Up*12 Right*3'],
  ['zoom-and-gates', '+*30 o*54 x*20 Down*2'],
  ['limits-and-closing', 'o*60 c*30 x*5 z*9 -*40 Up*60 Left*50'],
  ['unbound-keys', 'O C X Z W F = Left q'],
  ['beyond-the-far-plane-and-back', '-*250 +*100'],
];

async function checkView(session, name, sequence) {
  const { page, faults } = await loadedPage(session);
  if (sequence) await pressAndWait(page, sequence);
  assert.deepEqual(faults, []);
  assert.equal(await compareWithSnapshot(await page.$('#canvas'), sequence, name), null);
  await page.close();
}

async function checkOpening(session) {
  const { page, faults } = await loadedPage(session);
  assert.equal(await page.title(), kTitle);
  const icon = await page.evaluate(async () => (await fetch('icon.png')).headers.get('content-type'));
  assert.equal(icon, 'image/png');
  const state = await page.evaluate(() => {
    const canvas = document.getElementById('canvas');
    const box = canvas.getBoundingClientRect();
    return { focused: document.activeElement === canvas, outline: getComputedStyle(canvas).outlineStyle,
             width: box.width, height: box.height };
  });
  assert.deepEqual(state, { focused: true, outline: 'solid', width: kCanvasSize, height: kCanvasSize });
  // The key table is docs/usage.md's, word for word.
  const keyRows = await page.$$eval('#key-table tbody tr',
    (rows) => rows.map((row) => [...row.cells].map((cell) => cell.textContent)));
  const usage = keysSection(fs.readFileSync(path.join(repositoryRoot, 'docs/usage.md'), 'utf8'));
  assert.deepEqual(keyRows, usage.rows.map((row) => row.map((cell) => cell.replace(/`/g, ''))));
  assert.deepEqual(faults, []);
  await page.close();
}

async function checkFocus(session) {
  const { page, faults } = await loadedPage(session);
  await page.setViewport({ width: 600, height: 300 });  // room to scroll
  await pressAndWait(page, 'Down*3 Left');
  assert.equal(await page.evaluate(() => window.scrollY), 0);
  await page.mouse.click(590, 290);  // outside the canvas: it loses the keys
  const drawn = await page.evaluate(() => Module.framesDrawn);
  for (const key of browserKeys('o*10 Down*3')) await page.keyboard.press(key);
  await new Promise((resolve) => setTimeout(resolve, 300));
  assert.equal(await page.evaluate(() => Module.framesDrawn), drawn);
  assert.ok(await page.evaluate(() => window.scrollY) > 0, 'without focus the arrows scroll the page');
  await page.evaluate(() => window.scrollTo(0, 0));
  await page.setViewport({ width: 1000, height: 700 });
  await page.click('#canvas');
  await pressAndWait(page, 'Left');
  assert.equal(await compareWithSnapshot(await page.$('#canvas'), 'Down*3 Left Left', 'refocused'), null);
  assert.deepEqual(faults, []);
  await page.close();
}

async function checkFullScreen(session) {
  const { page, faults } = await loadedPage(session);
  await pressAndWait(page, 'f');
  await page.waitForFunction(() => document.fullscreenElement !== null);
  // The picture fills the full-screen element, whatever screen.width says.
  await page.waitForFunction(() => Module.canvas.width === document.fullscreenElement.clientWidth &&
    Module.canvas.height === document.fullscreenElement.clientHeight);
  await pressAndWait(page, 'Left*4');
  const [stageSize, viewportSize] = await page.evaluate(() =>
    [[document.fullscreenElement.clientWidth, document.fullscreenElement.clientHeight], [innerWidth, innerHeight]]);
  assert.deepEqual(stageSize, viewportSize);
  await page.evaluate(() => Module.canvas.blur());  // the focus ring lies over the picture in full screen
  assert.equal(await compareWithSnapshot(await page.$('#canvas'), 'Left*4', 'full-screen'), null);
  await page.focus('#canvas');

  await pressAndWait(page, 'f');
  await pressAndWait(page, 'w');
  await page.waitForFunction(() => document.fullscreenElement === null);
  await pressAndWait(page, 'o*10');
  assert.deepEqual(await page.evaluate(() => [Module.canvas.width, Module.canvas.height]),
    [kCanvasSize, kCanvasSize]);
  assert.equal(await compareWithSnapshot(await page.$('#canvas'), 'Left*4 o*10', 'after-w'), null);
  assert.deepEqual(faults, []);
  await page.close();
}

async function checkEscape(session) {
  const { page, faults } = await loadedPage(session);
  await page.keyboard.press('o');
  await page.keyboard.press('Escape');
  await page.waitForSelector('#notice:not([hidden])');
  const notice = await page.$eval('#notice', (element) => element.textContent);
  assert.match(notice, /has ended/);
  assert.equal(await page.$eval('#canvas', (element) => element.hidden), true);
  // The link keeps the view before the end, written by the program's own
  // key language after the program has ended, and is still given.
  await page.waitForFunction(() => location.hash === '#keys=o');
  await page.$eval('#copy-link', (button) => button.click());
  await page.waitForFunction(() => document.getElementById('link-text').value === location.href);
  // No model of a view that has ended is offered; starting again offers it.
  const offered = () => page.$$eval('#model-offer, #download-model', (all) => all.map((element) => !element.hidden));
  assert.deepEqual(await offered(), [false, false]);
  const drawn = await page.evaluate(() => Module.framesDrawn);
  await page.evaluate(() => document.getElementById('canvas').focus());
  for (const key of browserKeys('o Left')) await page.keyboard.press(key);
  await new Promise((resolve) => setTimeout(resolve, 300));
  assert.equal(await page.evaluate(() => Module.framesDrawn), drawn, 'frames after the end');
  assert.deepEqual(faults, []);

  await Promise.all([page.waitForNavigation(), page.click('#reload')]);
  await waitForFrames(page, 0);
  assert.deepEqual(await offered(), [true, true]);
  assert.deepEqual(faults, []);
  await page.close();
}

async function checkFlood(session) {
  const { page, faults } = await loadedPage(session);
  const sequence = floodSequence(kFloodPresses);
  await pressAndWait(page, sequence);
  await pressAndWait(page, 'Left');
  assert.equal(await compareWithSnapshot(await page.$('#canvas'), `${sequence} Left`, 'flood'), null);
  assert.deepEqual(faults, []);
  await page.close();
}

function siteBytes() {
  return fs.readdirSync(kSite)
    .map((name) => path.join(kSite, name))
    .filter((file) => fs.statSync(file).isFile())
    .reduce((sum, file) => sum + fs.statSync(file).size, 0);
}

describe('the page in a browser with WebGL', () => {
  let session;
  before(async () => { session = await startBrowser(kSite); });
  after(async () => { await session.close(); });

  for (const [name, sequence] of kViews) {
    test(`the picture after "${sequence || 'no keys'}" matches the native one`,
      () => checkView(session, name, sequence));
  }
  test('opens with the program title, the icon and the keys on the canvas', () => checkOpening(session));
  test('arrows move the eye, not the page, and keys reach the program only while it has focus',
    () => checkFocus(session));
  test('f fills the screen with a right picture, a second f changes nothing, w brings back 500 x 500',
    () => checkFullScreen(session));
  test('Escape ends the program, the page says so and starts it again on request', () => checkEscape(session));
  test(`${kFloodPresses} keys in a row leave the program drawing the right picture`, () => checkFlood(session));
  test('the whole site is at most 800 KiB', () => {
    assert.ok(siteBytes() <= kMostSiteBytes, `${siteBytes()} bytes`);
  });
});

test('without WebGL the program stops at its context and the page says so instead of showing a blank box', async () => {
  const session = await startBrowser(kSite, { switches: ['--disable-webgl', '--disable-3d-apis'] });
  try {
    // Chromium's switches take WebGL from the page's thread only, not from
    // a worker's OffscreenCanvas: the page is asked to draw on its own.
    const { page, faults } = await openPage(session, { fragment: '?graphics=page' });
    await page.waitForSelector('#notice:not([hidden])');
    assert.match(await page.$eval('#notice', (element) => element.textContent), /WebGL/);
    assert.equal(await page.$eval('#canvas', (element) => element.hidden), true);
    assert.equal(await page.evaluate(() => Module.framesDrawn), 0);
    assert.deepEqual(faults, []);
  } finally {
    await session.close();
  }
});
