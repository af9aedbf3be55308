// The page on the devices the browser tests emulate, the inputs they send
// as the browser's own input events, and what the page says it delivered
// or shows in its notice.
import { openPage, waitForFrames } from './browser.mjs';
import { formatKeys, parseKeys } from './key_language.mjs';
import { compareWithSnapshot } from './pictures.mjs';

export const kDesktop = { name: 'desktop', width: 1280, height: 800, ratio: 1, touch: false };
export const kPhone = { name: 'phone', width: 390, height: 844, ratio: 3, touch: true };
// A drag across the whole picture is this many steps.
export { kStepsAcrossPicture } from '../../../web/page/input/gestures.js';

// Puppeteer's own emulation (the DevTools protocol's device metrics and
// touch emulation underneath), so that its screenshots know the ratio.
function viewport(device) {
  return { width: device.width, height: device.height, deviceScaleFactor: device.ratio,
           isMobile: device.touch, hasTouch: device.touch };
}

// The page loaded on `device`, its first frame drawn unless `drawn` is
// false, `isolated` as openPage has it; `client` sends input events
// through the DevTools protocol.
export async function openOn(session, device, fragment = '', { drawn = true, isolated = false } = {}) {
  const prepare = (page) => page.setViewport(viewport(device));
  const opened = await openPage(session, { prepare, fragment, isolated });
  if (drawn) await waitForFrames(opened.page, 0);
  return { ...opened, client: await opened.page.createCDPSession() };
}

// The same page turned, or moved to another screen.
export async function changeDevice(page, device) {
  await page.setViewport(viewport(device));
}

// Until a frame has been drawn after everything sent so far: two animation
// frames, the program's redraw being asked for before the first, and then
// until no frame is waiting to be drawn (a worker's comes later).
export async function settle(page) {
  await page.evaluate(() => new Promise((resolve) => requestAnimationFrame(() => requestAnimationFrame(resolve))));
  await page.waitForFunction(() => !Module.framePending?.());
}

// The browser's names for the keys whose character is not their name.
const kSpecialKeys = new Map([
  [100, 'ArrowLeft'], [101, 'ArrowUp'], [102, 'ArrowRight'], [103, 'ArrowDown'],
  [104, 'PageUp'], [105, 'PageDown'], [106, 'Home'], [107, 'End'], [108, 'Insert'],
  ...Array.from({ length: 12 }, (_, i) => [i + 1, `F${i + 1}`]),
]);
const kControlKeys = new Map([[9, 'Tab'], [13, 'Enter'], [8, 'Backspace'], [127, 'Delete']]);

// A sequence in the key language ("Left*3 o +*10"), as the names the
// browser's keyboard takes.
export function browserKeys(sequence) {
  return parseKeys(sequence).map(({ special, code }) =>
    (special ? kSpecialKeys : kControlKeys).get(code) ?? String.fromCharCode(code));
}

// The keys the page has delivered, as house-snapshot reads them.
export async function deliveredKeys(page) {
  return formatKeys(await page.evaluate(() => Module.keysDelivered), ' ');
}

// Compares the picture, once drawn, with house-snapshot's after the keys
// the page says it delivered (up to piece `until`, where given): null when
// they match, else why not.
export async function compareWithDelivered(page, name, until = null) {
  await settle(page);
  return compareWithSnapshot(await page.$('#canvas'), await deliveredKeys(page), name, until);
}

// The notice over or in place of the picture, null while it is hidden;
// `picture` and `loading` say whether those are shown.
export function noticeShown(page) {
  return page.evaluate(() => {
    const byId = (id) => document.getElementById(id);
    return byId('notice').hidden ? null : {
      heading: byId('notice-heading').textContent, text: byId('notice-text').textContent,
      button: byId('reload').hidden ? null : byId('reload').textContent, focused: document.activeElement.id,
      picture: !byId('canvas').hidden, loading: !byId('loading').hidden,
    };
  });
}

export async function canvasBox(page) {
  return page.$eval('#canvas', (canvas) => {
    const box = canvas.getBoundingClientRect();
    return { x: box.x, y: box.y, width: box.width, height: box.height, buffer: [canvas.width, canvas.height] };
  });
}

// The mouse pressed at `from` and moved `by` ([x, y] in CSS pixels)
// before it is let go.
export async function mouseDrag(page, [x, y], [dx, dy]) {
  await page.mouse.move(x, y);
  await page.mouse.down();
  await page.mouse.move(x + dx, y + dy, { steps: 20 });
  await page.mouse.up();
}

// Fingers placed by `fingersAt(t)` as t goes from 0 to 1 in `moves` moves.
async function touchGesture(client, fingersAt, moves) {
  const send = (type, touchPoints) => client.send('Input.dispatchTouchEvent', { type, touchPoints });
  await send('touchStart', fingersAt(0));
  for (let move = 1; move <= moves; ++move) await send('touchMove', fingersAt(move / moves));
  await send('touchEnd', []);
}

// One finger from `from` to `to` ([x, y] in CSS pixels).
export function touchDrag(client, [x0, y0], [x1, y1]) {
  return touchGesture(client, (t) => [{ x: x0 + (x1 - x0) * t, y: y0 + (y1 - y0) * t, id: 1 }], 10);
}

// Two fingers on either side of `centre`, from `fromApart` to `toApart`
// CSS pixels apart.
export function pinch(client, [x, y], fromApart, toApart) {
  return touchGesture(client, (t) => {
    const apart = fromApart + (toApart - fromApart) * t;
    return [{ x: x - apart / 2, y, id: 1 }, { x: x + apart / 2, y, id: 2 }];
  }, 20);
}

export async function wheel(client, [x, y], deltaY) {
  await client.send('Input.dispatchMouseEvent', { type: 'mouseWheel', x, y, deltaX: 0, deltaY });
}

export const pause = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

// The keys delivered since `from` presses had been, counted by name:
// { Left: 36, Up: 4 }.
export async function keysSince(page, from) {
  const presses = await page.evaluate((start) => Module.keysDelivered.slice(start), from);
  const counts = {};
  for (const press of presses) {
    const name = formatKeys([press]);
    counts[name] = (counts[name] || 0) + 1;
  }
  return counts;
}
