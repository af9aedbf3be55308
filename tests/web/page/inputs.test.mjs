// Every input of the page becomes the program's own keys, one step per
// event: each row acts as a person would, through the browser's own input
// events, and checks the keys the page says it delivered; after each
// device's rows the picture must be house-snapshot's after those keys, at
// the canvas's buffer size.
import assert from 'node:assert/strict';
import { after, before, test } from 'node:test';
import { kSite, startBrowser } from '../support/browser.mjs';
import {
  canvasBox, compareWithDelivered, kDesktop, kPhone, kStepsAcrossPicture, keysSince, mouseDrag, openOn, pause,
  pinch, touchDrag, wheel,
} from '../support/devices.mjs';

const kHoldMs = 1000;
// A held button steps at once, again after half a second, then 30 times a second.
const kRepeatDelayMs = 500;
const kRepeatIntervalMs = 1000 / 30;
const kRepeatingKeys = ['Left', 'Right', 'Up', 'Down', '+', '-', 'o', 'c', 'x', 'z'];

const button = (key) => `#controls button[data-key="${key}"]`;

async function centreOf(page, selector) {
  const box = await (await page.$(selector)).boundingBox();
  return [box.x + box.width / 2, box.y + box.height / 2];
}

// Holds for kHoldMs and returns how long the hold really lasted.
async function holding(press, release) {
  const start = Date.now();
  await press();
  await pause(kHoldMs);
  await release();
  return Date.now() - start;
}

// A held button: more than one step, and no more than its pace allows.
function checkHeld(counts, key, heldMs) {
  assert.deepEqual(Object.keys(counts), [key]);
  const most = 2 + Math.floor((heldMs - kRepeatDelayMs) / kRepeatIntervalMs);
  assert.ok(counts[key] > 1 && counts[key] <= most, `${counts[key]} steps in ${heldMs} ms`);
}

// Whole steps of a drag over `distance` CSS pixels.
const steps = (context, distance) => Math.trunc(distance / context.step);

const kDesktopRows = [
  ['a mouse drag turns the house, and keeps turning it outside the picture',
    async ({ page, centre }) => mouseDrag(page, centre, [400, 50]),
    (counts, context) => assert.deepEqual(counts, { Left: steps(context, 400), Up: steps(context, 50) })],
  ['a drag back the other way',
    async ({ page, centre }) => mouseDrag(page, centre, [-200, -100]),
    (counts, context) => assert.deepEqual(counts, { Right: steps(context, 200), Down: steps(context, 100) })],
  ['the wheel zooms, 5 steps a notch',
    async ({ client, centre }) => {
      await wheel(client, centre, -300);
      await wheel(client, centre, 100);
    },
    (counts) => assert.deepEqual(counts, { '+': 15, '-': 5 })],
  ['a click on each button is one step of its key',
    async ({ page }) => {
      for (const key of kRepeatingKeys) await page.click(button(key));
    },
    (counts) => assert.deepEqual(counts, Object.fromEntries(kRepeatingKeys.map((key) => [key, 1])))],
  ['a button held with the mouse repeats as a held key does',
    async (context) => {
      await context.page.mouse.move(...await centreOf(context.page, button('x')));
      context.heldMs = await holding(() => context.page.mouse.down(), () => context.page.mouse.up());
    },
    (counts, context) => checkHeld(counts, 'x', context.heldMs)],
  ['Space and Enter on a button are a step each, and held Enter repeats',
    async (context) => {
      await context.page.focus(button('o'));
      await context.page.keyboard.press('Space');
      await context.page.keyboard.press('Enter');
      context.heldMs = await holding(() => context.page.keyboard.down('Enter'), () => context.page.keyboard.up('Enter'));
    },
    (counts, context) => checkHeld({ o: counts.o - 2 }, 'o', context.heldMs)],
];

const kPhoneRows = [
  ['a finger drag turns the house',
    async ({ client, centre: [x, y] }) => touchDrag(client, [x, y], [x - 150, y - 60]),
    (counts, context) => assert.deepEqual(counts, { Right: steps(context, 150), Down: steps(context, 60) })],
  ['spreading two fingers to twice as far apart zooms in 69 steps of 1 %',
    async ({ client, centre }) => pinch(client, centre, 100, 200),
    (counts) => assert.deepEqual(counts, { '+': 69 })],
  ['bringing them back together zooms out as far',
    async ({ client, centre }) => pinch(client, centre, 200, 100),
    (counts) => assert.deepEqual(counts, { '-': 69 })],
  ['a tap on a button is one step',
    async ({ page }) => page.tap(button('o')),
    (counts) => assert.deepEqual(counts, { o: 1 })],
  ['a finger held on a button repeats as a held key does',
    async (context) => {
      const [x, y] = await centreOf(context.page, button('c'));
      const touch = (type, points) => context.client.send('Input.dispatchTouchEvent', { type, touchPoints: points });
      context.heldMs = await holding(() => touch('touchStart', [{ x, y }]), () => touch('touchEnd', []));
    },
    (counts, context) => checkHeld(counts, 'c', context.heldMs)],
];

let session;
before(async () => { session = await startBrowser(kSite); });
after(async () => { await session.close(); });

for (const [device, rows] of [[kDesktop, kDesktopRows], [kPhone, kPhoneRows]]) {
  test(`on the ${device.name} (${device.width} x ${device.height}, ratio ${device.ratio}), every input is exact`,
    async (t) => {
      const { page, faults, client } = await openOn(session, device);
      const box = await canvasBox(page);
      const context = { page, client, centre: [box.x + box.width / 2, box.y + box.height / 2],
                        step: box.width / kStepsAcrossPicture };
      for (const [name, act, check] of rows) {
        await t.test(name, async () => {
          const from = await page.evaluate(() => Module.keysDelivered.length);
          await act(context);
          check(await keysSince(page, from), context);
        });
      }
      assert.equal(await compareWithDelivered(page, `inputs-${device.name}`), null);
      assert.deepEqual(faults, []);
      await page.close();
    });
}
