// What is in view: a tap or a click names the part that house-export's
// part map has under it, never under its label, and nothing over the sky
// or while the graphics are lost; a drag names nothing;
// the list beside the picture after a run of keys is house-export's
// --parts for the same keys, at the list's map size. How it is drawn: a
// step is house-snapshot's --until picture, a tap lists its --pixel
// history, and closing gives back the live view and its keys.
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { after, before, test } from 'node:test';
import { PNG } from 'pngjs';
import { kListMapSide } from '../../../web/page/in_view.js';
import { kSite, startBrowser } from '../support/browser.mjs';
import { browserKeys, canvasBox, compareWithDelivered, kDesktop, kPhone, mouseDrag, openOn, pause } from '../support/devices.mjs';
import { kExport, kListedHistory, kStepTo, kWalkGateStep, listedHistory } from '../support/pictures.mjs';

const kListKeys = 'Left*6 Up*4 o*30 x*20 + +';

let session;
let scratch;
before(async () => {
  scratch = fs.mkdtempSync(path.join(os.tmpdir(), 'house-in-view-'));
  session = await startBrowser(kSite);
});
after(async () => {
  await session.close();
  fs.rmSync(scratch, { recursive: true, force: true });
});

// The middle of the widest square of `name`'s pixels (or the sky's) in
// house-export's map of the starting view at `width` x `height`, as
// fractions of the picture.
function pointOf(name, width, height) {
  const file = path.join(scratch, 'map.png');
  const numbers = execFileSync(kExport, ['--part-map', file, '--size', `${width}x${height}`], { encoding: 'utf8' });
  const number = name === 'sky' ? 0 : Number(new RegExp(`^(\\d+) +${name}$`, 'm').exec(numbers)[1]);
  const { data } = PNG.sync.read(fs.readFileSync(file));
  const is = (x, y) => data[(y * width + x) * 4] === number;
  for (let reach = 8; reach >= 0; --reach) {
    for (let y = reach; y < height - reach; ++y) {
      for (let x = reach; x < width - reach; ++x) {
        let all = true;
        for (let dy = -reach; all && dy <= reach; ++dy) for (let dx = -reach; all && dx <= reach; ++dx) all = is(x + dx, y + dy);
        if (all) return [(x + 0.5) / width, (y + 0.5) / height];
      }
    }
  }
  throw new Error(`no ${name} in view`);
}

const said = (page) => page.evaluate(() => ({
  words: document.getElementById('tap-words').textContent,
  label: document.getElementById('part-label').hidden ? null : document.getElementById('part-label').textContent,
}));

const kTaps = [
  [kDesktop, 'windows', /^Windows: 1\.2 m high$/],
  [kPhone, 'walls', /^Walls: 12\.0 × 8\.0 m, 2\.3 m high$/],
  [{ ...kPhone, width: 360 }, 'garage door', /^Garage door: 3\.4 m wide, 2\.1 m high$/],
  [kDesktop, 'sky', null],
  [kDesktop, 'walls', null, 'lost'],
];

test('a tap names the part under it, as house-export maps it, for two seconds; the sky, lost graphics and a drag name nothing', async () => {
  for (const [device, part, words, lost] of kTaps) {
    const { page, faults } = await openOn(session, device);
    await page.waitForFunction(() => document.querySelectorAll('#in-view-list li').length > 0);
    if (lost) await page.evaluate(() => Module.ctx.getExtension('WEBGL_lose_context').loseContext());
    await page.waitForFunction((lostNow) => Module.graphicsLost === lostNow, {}, Boolean(lost));
    const box = await canvasBox(page);
    const [u, v] = pointOf(part, Math.round(box.width), Math.round(box.height));
    const at = [box.x + u * box.width, box.y + v * box.height];
    await (device.touch ? page.touchscreen.tap(...at) : page.mouse.click(...at));
    await pause(300);
    const tapped = await said(page);
    assert.deepEqual(tapped, words ? { words: tapped.words, label: tapped.words } : { words: '', label: null }, part);
    if (words) assert.match(tapped.words, words);
    assert.ok(await page.$eval('#part-label', (label, [x, y]) => {
      const box = label.getBoundingClientRect();
      return label.hidden || x < box.left || x > box.right || y < box.top || y > box.bottom;
    }, at), `${part}: the label covers the point`);
    assert.equal(await page.evaluate(() => Module.keysDelivered.length), 0, 'a tap is no step of a drag');
    await pause(2000);
    assert.deepEqual(await said(page), { words: '', label: null }, `${part}, two seconds on`);
    await mouseDrag(page, at, [box.width / 4, 0]);
    await pause(300);
    assert.deepEqual(await said(page), { words: '', label: null }, `${part}: a drag`);
    assert.deepEqual(faults, []);
    await page.close();
  }
});

// "walk gate   1.8%  1.1 x 0.7 x 1.1 m  open 34°" -> the name, the share and the rest.
function exportedParts(keys) {
  const lines = execFileSync(kExport, ['--parts', '--keys', keys, '--size', `${kListMapSide}x${kListMapSide}`],
    { encoding: 'utf8' }).trim().split('\n');
  return lines.map((line) => /^(.+?) {2,}([\d.]+)% +(.*)$/.exec(line).slice(1))
    .filter(([, percent]) => Number(percent) >= 1);
}

test('after a run of keys the list is house-export\'s parts over 1 %, largest first, and the live region does not say the same three again', async () => {
  const { page, faults } = await openOn(session, kDesktop);
  await page.waitForFunction(() => document.querySelectorAll('#in-view-list li').length > 0);
  const atStart = await page.$eval('#in-view-words', (element) => element.textContent);
  await page.focus('#canvas');
  for (const key of browserKeys(kListKeys)) await page.keyboard.press(key);
  const typed = await page.evaluate(() => performance.now());
  await page.waitForFunction((since) => performance.getEntriesByName('part map').some((entry) => entry.startTime > since), {}, typed);
  const listed = await page.$$eval('#in-view-list li', (items) => items.map((item) => item.textContent));
  const expected = exportedParts(kListKeys);
  assert.deepEqual(listed.map((item) => item.split(',')[0].toLowerCase()), expected.map(([name]) => name));
  for (const [i, [name, , rest]] of expected.entries()) {
    const figures = rest.match(/\d+\.\d/g);
    if (name.endsWith('gate')) assert.match(listed[i], new RegExp(`, ${rest.match(/open \d+°|shut/)[0].replace('shut', 'closed')}$`));
    else for (const figure of listed[i].match(/\d+\.\d/g)) assert.ok(figures.includes(figure), `${listed[i]} against ${rest}`);
  }
  // The three largest at the start, only in another order: not said again.
  assert.deepEqual(expected.slice(0, 3).map(([name]) => name).sort(), ['front fence', 'ground', 'paving and garage ramp']);
  assert.equal(await page.$eval('#in-view-words', (element) => element.textContent), atStart);
  assert.deepEqual(faults, []);
  await page.close();
});

// The step before the walk gate's: a post of the front fence.
const kBeforeWalkGate = 'Step 3,372 of 3,477: front fence, drawn by drawPost in src/grounds/fence.cpp';

test('how it is drawn: a step is house-snapshot --until, a tap lists its --pixel history, closing gives back the live view and its keys', async () => {
  for (const device of [kDesktop, kPhone]) {
    const { page, faults } = await openOn(session, device);
    const press = async (selector) => (device.touch ? (await page.$(selector)).tap() : page.click(selector));
    const delivered = () => page.evaluate(() => Module.keysDelivered.length);
    await press('#how-drawn-toggle');
    await page.waitForSelector('#step-slider');
    await page.evaluate(kStepTo(kWalkGateStep));
    assert.equal(await compareWithDelivered(page, `step-${device.name}`, kWalkGateStep), null);
    await press('#step-back');
    assert.equal(await compareWithDelivered(page, `step-back-${device.name}`, kWalkGateStep - 1), null);
    assert.equal(await page.$eval('#step-slider', (slider) => slider.getAttribute('aria-valuetext')), kBeforeWalkGate);
    await page.waitForFunction((words) => document.getElementById('view-name').textContent.includes(words), {}, kBeforeWalkGate);

    const box = await canvasBox(page);
    const [u, v] = pointOf('walk gate', Math.round(box.width), Math.round(box.height));
    const at = [box.x + u * box.width, box.y + v * box.height];
    await (device.touch ? page.touchscreen.tap(...at) : page.mouse.click(...at));
    await page.waitForSelector('#pixel-history li');
    const { pixel: [x, y], size, lines, expected } = listedHistory(await page.evaluate(kListedHistory), '');
    assert.deepEqual(size, box.buffer);
    assert.ok(Math.abs(x - u * size[0]) <= device.ratio && Math.abs(y - v * size[1]) <= device.ratio, `${x}, ${y}`);
    assert.deepEqual(lines, expected);
    const shown = lines.findLastIndex((line) => line.endsWith(', kept'));
    assert.match(lines[shown], /^Step 3,373: walk gate, drawn by drawWalkGate in src\/grounds\/front_fence.cpp, /);
    await press(`#pixel-history li:nth-child(${shown + 1}) button`);
    assert.equal(await page.$eval('#step-slider', (slider) => Number(slider.value)), kWalkGateStep);

    const before = await delivered();
    await page.focus('#canvas');
    await page.keyboard.press('ArrowLeft');
    assert.equal(await delivered(), before, 'no key reaches the program while a step is shown');
    const keysOffered = () => page.$eval('#canvas', (canvas) => canvas.getAttribute('aria-keyshortcuts'));
    assert.equal(await keysOffered(), null, 'nor does the picture offer any');
    await page.keyboard.press('Escape');
    assert.equal(await page.$eval('#how-drawn-toggle', (toggle) => toggle.getAttribute('aria-expanded')), 'false');
    assert.match(await keysOffered(), /^ArrowLeft /);
    assert.equal(await compareWithDelivered(page, `steps-closed-${device.name}`), null);
    await page.keyboard.press('ArrowLeft');
    assert.equal(await delivered(), before + 1);
    assert.deepEqual(faults, []);
    await page.close();
  }
});
