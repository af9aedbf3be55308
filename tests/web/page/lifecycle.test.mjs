// The page over time: it draws nothing while nothing happens, while it is
// hidden behind another tab or frozen, or while the picture is scrolled out
// of view, and a key delivered while hidden shows once the page is back; a
// long session of key events leaves its memory where it was.
import assert from 'node:assert/strict';
import { after, before, test } from 'node:test';
import { kSite, startBrowser } from '../support/browser.mjs';
import { compareWithDelivered, kPhone, openOn, pause, settle } from '../support/devices.mjs';

const kQuietMs = 1000;
const kSessionKeys = 100000;
// Past the 2,048 runs a link can carry, so that the session starts from
// where it stays: the record full, the link said to be too long, and the
// page's code compiled for the keys.
const kFirstKeys = 10000;
// Keys dispatched between two frames.
const kKeysPerFrame = 1000;
// How far the long session may leave the JavaScript heap and the
// WebAssembly memory from where they stood after its first keys.
const kMostGrowth = 0.05;

const framesDrawn = (page) => page.evaluate(() => Module.framesDrawn);

// Each row: how the page is put out of sight or left alone, the gate key
// presses delivered meanwhile (drawn once the page is back), and how it is
// brought back.
const kQuietWays = [
  ['left alone', 0, async () => {}, async () => {}],
  ['hidden behind a second tab', 5, async (page, context) => {
    context.other = await page.browserContext().newPage();
    await context.other.bringToFront();
    await page.waitForFunction(() => document.visibilityState === 'hidden');
  }, async (page, context) => {
    await page.bringToFront();
    await context.other.close();
  }],
  ['frozen', 0, async (page, context) => {
    await context.client.send('Page.setWebLifecycleState', { state: 'frozen' });
  }, async (page, context) => {
    await context.client.send('Page.setWebLifecycleState', { state: 'active' });
  }],
  ['scrolled out of view', 0, async (page) => {
    await page.evaluate(() => window.scrollTo(0, document.body.scrollHeight));
    assert.ok(await page.$eval('#canvas', (canvas) => canvas.getBoundingClientRect().bottom < 0));
  }, async (page) => {
    await page.evaluate(() => window.scrollTo(0, 0));
  }],
];

let session;
before(async () => { session = await startBrowser(kSite); });
after(async () => { await session.close(); });

test('no frame for a second while the page is left alone, hidden, frozen or scrolled away; keys delivered while hidden are drawn once it is back', async () => {
  const { page, faults, client } = await openOn(session, kPhone);
  await settle(page);
  for (const [name, presses, away, back] of kQuietWays) {
    const context = { client };
    await away(page, context);
    const before = await framesDrawn(page);
    // A frozen page runs no script: nothing is evaluated there.
    if (presses) await page.evaluate((n) => { for (let i = 0; i < n; ++i) Module.pressKey(false, 'o'.charCodeAt(0)); }, presses);
    await pause(kQuietMs);
    const during = await framesDrawn(page);
    await back(page, context);
    assert.equal(during, before, `frames drawn while ${name}`);
    if (presses) {
      await page.waitForFunction((count) => Module.framesDrawn > count, {}, during);
      assert.equal(await compareWithDelivered(page, 'shown-again'), null, name);
    }
  }
  assert.deepEqual(faults, []);
  await page.close();
});

// Key events as the browser dispatches them to the focused picture, a
// frame drawn after every kKeysPerFrame (on the screen, where a worker
// draws it some frames later); every bound key but Escape and f.
async function dispatchKeys(page, count) {
  await page.evaluate(async (total, perFrame) => {
    const keys = ['ArrowLeft', 'ArrowUp', 'ArrowRight', 'ArrowDown', '+', '-', 'o', 'c', 'x', 'z', 'w'];
    const canvas = document.getElementById('canvas');
    for (let sent = 0; sent < total;) {
      for (const end = Math.min(total, sent + perFrame); sent < end; ++sent) {
        const key = keys[(sent * 7 + (sent >> 4)) % keys.length];
        canvas.dispatchEvent(new KeyboardEvent('keydown', { key, bubbles: true, cancelable: true }));
        canvas.dispatchEvent(new KeyboardEvent('keyup', { key, bubbles: true, cancelable: true }));
      }
      do await new Promise((resolve) => requestAnimationFrame(resolve));
      while (Module.framePending());
    }
  }, count, kKeysPerFrame);
}

// The JavaScript heap after a full collection, and the WebAssembly memory,
// once `count` key events have been dispatched and the address and the
// caption have followed them.
async function memoryAfterKeys(page, client, count) {
  await dispatchKeys(page, count);
  await pause(500);
  await client.send('HeapProfiler.collectGarbage');
  const { usedSize } = await client.send('Runtime.getHeapUsage');
  return { heap: usedSize, wasm: await page.evaluate(() => Module.HEAPU8.length) };
}

test(`${kSessionKeys.toLocaleString('en')} key events leave the heap and the WebAssembly memory where they were`, async () => {
  const { page, faults, client } = await openOn(session, kPhone);
  await page.focus('#canvas');
  const framesBefore = await framesDrawn(page);
  const early = await memoryAfterKeys(page, client, kFirstKeys);
  const late = await memoryAfterKeys(page, client, kSessionKeys);
  const frames = (await framesDrawn(page)) - framesBefore;
  assert.ok(frames >= (kFirstKeys + kSessionKeys) / kKeysPerFrame - 1, `${frames} frames`);
  console.log(`heap ${early.heap} -> ${late.heap} bytes, WebAssembly memory ${early.wasm} -> ${late.wasm} bytes`);
  for (const kind of ['heap', 'wasm']) assert.ok(late[kind] <= early[kind] * (1 + kMostGrowth), `${kind} ${early[kind]} -> ${late[kind]}`);
  assert.match(await page.$eval('#link-status', (status) => status.textContent), /too many steps for a link/);
  assert.deepEqual(faults, []);
  await page.close();
});
