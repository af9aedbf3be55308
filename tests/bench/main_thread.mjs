// The page's main thread on a phone, read from a Chromium performance
// trace: the longest task from navigation to the first frame drawn, and
// while a finger drags across the picture and holds a button down, with
// the processor as it is and slowed down as Lighthouse slows it.
//
// What counts as a task: long_tasks.mjs.
import { canvasBox, changeDevice, kPhone, pause } from '../web/support/devices.mjs';
import { longestTask, mainThreadTasks } from './long_tasks.mjs';

const kCategories = ['-*', 'toplevel', 'devtools.timeline', 'disabled-by-default-devtools.timeline', 'v8.execute',
  'loading', 'blink.user_timing'];
const kDragMoves = 30;
const kHoldMs = 1500;
const kLastFramesMs = 100;

// Touches through the DevTools protocol, as a phone's finger sends them.
function touch(client, type, points) {
  return client.send('Input.dispatchTouchEvent', { type, touchPoints: points });
}

// One traced load of the page on the phone, `slowdown` times slower, then
// a drag across the picture and a button held: the longest task on the way
// to the first frame and the longest while the finger moves or holds.
export async function measureMainThread(session, slowdown) {
  // A context of its own: nothing kept from an earlier load.
  const context = await session.browser.createBrowserContext();
  const page = await context.newPage();
  await changeDevice(page, kPhone);
  const client = await page.createCDPSession();
  await client.send('Emulation.setCPUThrottlingRate', { rate: slowdown });
  await page.tracing.start({ categories: kCategories });
  await page.goto(session.url, { waitUntil: 'load' });
  await page.waitForFunction(() => window.Module?.framesDrawn > 0, { timeout: 60000 });
  const firstFrameMs = await page.evaluate(() => Module.firstFrameMs);
  await pause(500);
  const box = await canvasBox(page);
  const y = box.y + box.height / 2;
  const gestureFrom = await page.evaluate(() => performance.now());
  await touch(client, 'touchStart', [{ x: box.x + 10, y }]);
  for (let move = 1; move <= kDragMoves; ++move) {
    await touch(client, 'touchMove', [{ x: box.x + 10 + ((box.width - 20) * move) / kDragMoves, y }]);
    await pause(16);
  }
  await touch(client, 'touchEnd', []);
  const button = await page.$eval('#controls button[data-key="Left"]', (element) => {
    element.scrollIntoView({ block: 'center' });
    const rect = element.getBoundingClientRect();
    return { x: rect.x + rect.width / 2, y: rect.y + rect.height / 2 };
  });
  await touch(client, 'touchStart', [button]);
  await pause(kHoldMs);
  await touch(client, 'touchEnd', []);
  // The last frames drawn, and no more: what the page does once the finger
  // has left is not done while it drags or holds.
  await pause(kLastFramesMs);
  const gestureTo = await page.evaluate(() => performance.now());
  await pause(kLastFramesMs);
  const frames = await page.evaluate(() => Module.framesDrawn);
  const trace = JSON.parse(Buffer.from(await page.tracing.stop()).toString());
  await context.close();
  const tasks = mainThreadTasks(trace);
  return {
    firstFrameMs, frames, buffer: box.buffer,
    toFirstFrame: longestTask(tasks, 0, firstFrameMs),
    whileTouched: longestTask(tasks, gestureFrom, gestureTo),
  };
}
