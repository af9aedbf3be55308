// The page laid out on any screen: from 320 CSS pixels wide up no sideways
// scrolling, the whole square picture in view, buttons a finger can hit,
// controls beside the picture where there is room and below it where
// there is not; a drawing buffer of the displayed size in device pixels,
// which follows a turned phone, capped in full screen; the page scrolling
// under a finger everywhere but on the picture.
import assert from 'node:assert/strict';
import { after, before, test } from 'node:test';
import { kSite, startBrowser } from '../support/browser.mjs';
import {
  canvasBox, changeDevice, compareWithDelivered, kDesktop, kPhone, openOn, pause, settle, touchDrag,
} from '../support/devices.mjs';

const kSmallestTarget = 44;
const kLargestBufferSide = 2048;

const kNarrowPhone = { name: 'narrow phone', width: 320, height: 640, ratio: 2, touch: true };
const kTurnedPhone = { ...kPhone, name: 'turned phone', width: kPhone.height, height: kPhone.width };
const kSharpLaptop = { ...kDesktop, name: 'laptop', ratio: 2 };

function layoutOf(page) {
  return page.evaluate((smallest) => {
    const visible = (element) => element.getClientRects().length > 0;
    const canvas = document.getElementById('canvas').getBoundingClientRect();
    const controls = document.getElementById('controls').getBoundingClientRect();
    return {
      scrollWidth: document.documentElement.scrollWidth,
      clientWidth: document.documentElement.clientWidth,
      canvas: { left: canvas.left, right: canvas.right, width: canvas.width, height: canvas.height },
      controlsBeside: controls.top < canvas.bottom && controls.left >= canvas.right,
      smallButtons: [...document.querySelectorAll('button')].filter(visible)
        .map((button) => [button.textContent.trim(), button.getBoundingClientRect()])
        .filter(([, box]) => box.width < smallest || box.height < smallest).map(([name]) => name),
      firstHelp: document.querySelector('#help h3').textContent,
    };
  }, kSmallestTarget);
}

// The buffer is the displayed size times the ratio, rounded.
async function checkBuffer(page, ratio) {
  const box = await canvasBox(page);
  assert.deepEqual(box.buffer, [Math.round(box.width * ratio), Math.round(box.height * ratio)]);
  return box;
}

let session;
before(async () => { session = await startBrowser(kSite); });
after(async () => { await session.close(); });

for (const device of [kNarrowPhone, kPhone, kDesktop]) {
  test(`at ${device.width} CSS pixels (${device.name}) the page fits and every button is large enough`, async () => {
    const { page, faults } = await openOn(session, device);
    const layout = await layoutOf(page);
    assert.ok(layout.scrollWidth <= layout.clientWidth, `${layout.scrollWidth} px wide in ${layout.clientWidth}`);
    assert.ok(layout.canvas.left >= 0 && layout.canvas.right <= layout.clientWidth);
    assert.equal(layout.canvas.width, layout.canvas.height);
    assert.equal(layout.canvas.width, Math.min(500, layout.clientWidth - 32));
    assert.deepEqual(layout.smallButtons, [], `buttons under ${kSmallestTarget} px`);
    assert.equal(layout.controlsBeside, !device.touch);
    assert.equal(layout.firstHelp, device.touch ? 'With touch or a mouse' : 'With the keys');
    await checkBuffer(page, device.ratio);
    assert.deepEqual(faults, []);
    await page.close();
  });
}

test('a finger drag on the picture turns the house and not the page; elsewhere it scrolls the page', async () => {
  const { page, faults, client } = await openOn(session, kPhone);
  const box = await canvasBox(page);
  const x = box.x + box.width / 2;
  await touchDrag(client, [x, box.y + box.height - 10], [x, box.y + 10]);
  await settle(page);
  assert.equal(await page.evaluate(() => scrollY), 0);
  assert.ok(await page.evaluate(() => Module.keysDelivered.length) > 0);
  const delivered = await page.evaluate(() => Module.keysDelivered.length);
  const below = box.y + box.height + 16;  // the caption
  await touchDrag(client, [x, below], [x, below - 280]);
  await page.waitForFunction(() => scrollY > 0);
  assert.equal(await page.evaluate(() => Module.keysDelivered.length), delivered);
  assert.deepEqual(faults, []);
  await page.close();
});

test('turning the phone reshapes the program to the new buffer and the picture still matches', async () => {
  const { page, faults } = await openOn(session, kPhone);
  await page.tap('#controls button[data-key="o"]');
  const upright = await checkBuffer(page, kPhone.ratio);
  await changeDevice(page, kTurnedPhone);
  await page.waitForFunction((width) => Module.canvas.width !== width, {}, upright.buffer[0]);
  const turned = await checkBuffer(page, kPhone.ratio);
  assert.ok(turned.height <= kTurnedPhone.height, 'the whole picture in view');
  assert.ok((await layoutOf(page)).controlsBeside);
  assert.equal(await compareWithDelivered(page, 'turned-phone'), null);
  assert.deepEqual(faults, []);
  await page.close();
});

test('at ratio 2 the picture is drawn at twice its size, full screen is capped, and w brings back 1000 x 1000',
  async () => {
    const { page, faults } = await openOn(session, kSharpLaptop);
    await page.keyboard.press('ArrowLeft');
    const box = await checkBuffer(page, 2);
    assert.deepEqual(box.buffer, [1000, 1000]);
    assert.equal(await compareWithDelivered(page, 'ratio-2'), null);

    await page.keyboard.press('f');
    await page.waitForFunction(() => document.fullscreenElement !== null && Module.canvas.width !== 1000);
    // 2560 x 1600 device pixels, scaled down as a whole to the largest side.
    const full = await canvasBox(page);
    assert.deepEqual(full.buffer, [kLargestBufferSide, (kLargestBufferSide * full.height) / full.width]);

    await page.keyboard.press('w');
    await page.waitForFunction(() => document.fullscreenElement === null && Module.canvas.width === 1000);
    await pause(100);
    assert.deepEqual((await canvasBox(page)).buffer, [1000, 1000]);
    assert.equal(await compareWithDelivered(page, 'ratio-2-after-w'), null);
    assert.deepEqual(faults, []);
    await page.close();
  });
