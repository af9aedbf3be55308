// The picture's WebGL context taken away and given back, as a GPU reset or
// a phone reclaiming memory does it (WEBGL_lose_context): each time the
// page says so, keys, a drag and buttons move the view meanwhile, and once
// the context is back the picture is house-snapshot's after every key the
// page delivered; a context that never comes back is said to be lost, with
// the offer to start again from the same view.
import assert from 'node:assert/strict';
import { after, before, test } from 'node:test';
import { kSite, startBrowser, waitForFrames } from '../support/browser.mjs';
import {
  browserKeys, canvasBox, compareWithDelivered, deliveredKeys, kDesktop, mouseDrag, noticeShown, openOn, settle,
} from '../support/devices.mjs';
import { compareWithSnapshot } from '../support/pictures.mjs';

// The page waits this long in sight for the context to come back.
const kRestoreWaitMs = 5000;
const kFloodKeys = ['ArrowLeft', 'ArrowRight', 'ArrowUp', 'ArrowDown', '+', '-', 'o', 'c', 'x', 'z'];
const kFloodPresses = 300;

// The extension is asked for while the context is there and kept: a lost
// context offers none.
function loseContext(page) {
  return page.evaluate(() => {
    window.contextControl = Module.ctx.getExtension('WEBGL_lose_context');
    window.contextControl.loseContext();
  });
}
const restoreContext = (page) => page.evaluate(() => window.contextControl.restoreContext());

async function press(page, keys) {
  for (const key of keys) await page.keyboard.press(key);
}

// Each row: what happens between the loss and the restore, and after.
const kRounds = [
  ['keys while lost', async (page) => {
    await loseContext(page);
    await press(page, browserKeys('Left*5 o*4 + +'));
    await restoreContext(page);
  }],
  ['a drag and a button while lost', async (page) => {
    await loseContext(page);
    const box = await canvasBox(page);
    await mouseDrag(page, [box.x + 50, box.y + 250], [250, -50]);
    await page.click('#controls button[data-key="x"]');
    await page.focus('#canvas');
    await restoreContext(page);
  }],
  ['lost and restored during a flood of keys', async (page) => {
    for (let i = 0; i < kFloodPresses; ++i) {
      if (i === kFloodPresses / 3) await loseContext(page);
      if (i === (2 * kFloodPresses) / 3) await restoreContext(page);
      await page.keyboard.press(kFloodKeys[(i * 7 + (i >> 3)) % kFloodKeys.length]);
    }
  }],
];

let session;
before(async () => { session = await startBrowser(kSite); });
after(async () => { await session.close(); });

test('lost and restored three times, the page says so and then draws the view every key delivered made', async () => {
  const { page, faults } = await openOn(session, kDesktop);
  for (const [index, [name, round]] of kRounds.entries()) {
    const seen = [];
    const watcher = setInterval(async () => seen.push(await noticeShown(page).catch(() => null)), 20);
    const delivered = await page.evaluate(() => Module.keysDelivered.length);
    await round(page);
    await page.waitForFunction(() => document.getElementById('notice').hidden);
    clearInterval(watcher);
    await settle(page);
    assert.ok(seen.some((shown) => shown?.heading === 'The graphics were reset; drawing again…' &&
      shown.picture && shown.button === null), `${name}: the page said so over the picture`);
    assert.ok(await page.evaluate((from) => Module.keysDelivered.length > from, delivered), name);
    assert.equal(await page.evaluate(() => document.activeElement.id), 'canvas', name);
    assert.equal(await compareWithDelivered(page, `restored-${index}`), null, name);
  }
  assert.deepEqual(faults, []);
  await page.close();
});

test('a context that never comes back is said to be lost, and starting again keeps the view', async () => {
  const { page, faults } = await openOn(session, kDesktop);
  await press(page, browserKeys('o*10 Left*3'));
  const keys = await deliveredKeys(page);
  await page.waitForFunction(() => location.hash !== '');
  await loseContext(page);
  await page.waitForFunction(() => document.getElementById('notice-heading').textContent ===
    'The graphics could not be restored', { timeout: kRestoreWaitMs + 5000 });
  const { text, ...shown } = await noticeShown(page);
  assert.deepEqual(shown, {
    heading: 'The graphics could not be restored', button: 'Start again', focused: 'reload', picture: false, loading: false,
  });
  await Promise.all([page.waitForNavigation(), page.click('#reload')]);
  await waitForFrames(page, 0);
  assert.equal(await compareWithSnapshot(await page.$('#canvas'), keys, 'started-again'), null);
  assert.deepEqual(faults, []);
  await page.close();
});
