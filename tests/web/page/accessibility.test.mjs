// The page for people who do not see the picture or do not use a mouse:
// the picture's name says what is in view and follows every change, the
// Tab key reaches every button and the list of what is in view in the
// order they are shown, and Lighthouse finds nothing to improve in
// accessibility, best practices and search-engine readiness.
import assert from 'node:assert/strict';
import { after, before, test } from 'node:test';
import { PNG } from 'pngjs';
import { kSite, startBrowser } from '../support/browser.mjs';
import { canvasBox, kDesktop, kPhone, mouseDrag, openOn } from '../support/devices.mjs';
import { runLighthouse, shortfalls } from '../support/lighthouse.mjs';

const kFirstView = 'Seen from the front, 3° above level, 200 from the centre. Drive gate closed, walk gate closed.';
// Links that open far out, and the distance as the name says it: zoom out
// has no limit short of the largest float.
const kDistances = [
  ['-*300', '3,963'],
  ['-*1000', 'about 4.2 million'],
  ['-*3000', 'about 1.84 × 10¹⁵'],
  ['-*10000', 'about 3.4 × 10³⁸'],
];
const kTabOrder = [
  'How it\'s drawn', 'Orbit left', 'Orbit right', 'Orbit up', 'Orbit down', 'Zoom in', 'Zoom out',
  'Open drive gate', 'Close drive gate', 'Open walk gate', 'Close walk gate', 'Full screen', 'In view', 'Copy link',
];

// The picture's name once it has changed from `previous` (to `expected`,
// where given: on a loaded machine the keys may pause, and the name
// follow, half-way through a run), and the live region, which must say
// the same first.
async function nameAfter(page, previous, expected = null) {
  await page.waitForFunction((name, wanted) => {
    const said = document.getElementById('view-words').textContent;
    return said !== name && (wanted === null || said === wanted);
  }, {}, previous, expected).catch(() => {});
  return page.evaluate(() => {
    const canvas = document.getElementById('canvas');
    const caption = document.getElementById('view-name');
    return { role: canvas.getAttribute('role'), name: canvas.getAttribute('aria-label'),
             live: caption.getAttribute('aria-live'), said: caption.firstElementChild.textContent };
  });
}

// After Left, Down, +, o and x, once each.
const kStepped = 'Seen from 4° to the left of the front, 2° below level, 198 from the centre. Drive gate open 2°, walk gate open 2°.';
const named = (words) => ({ role: 'application', name: `3D house: s${words.slice(1)}`, live: 'polite', said: words });
// The page's colour, and its focus blue (5.4:1 against it, 3.3:1 against
// the sky), 3.5 CSS pixels out from the middle of each side of the picture.
const kPageColour = [238, 241, 244];
const kRingColour = [31, 95, 191];
async function ringColours(page) {
  const { x, y, width, height } = await canvasBox(page);
  const shot = PNG.sync.read(Buffer.from(await page.screenshot()));
  const scale = shot.width / await page.evaluate(() => innerWidth);
  const at = ([left, top]) => (Math.floor(top * scale) * shot.width + Math.floor(left * scale)) * 4;
  return [[x - 3.5, y + height / 2], [x + width + 3.5, y + height / 2], [x + width / 2, y - 3.5], [x + width / 2, y + height + 3.5]]
    .map((point) => [...shot.data.subarray(at(point), at(point) + 3)]);
}

let session;
before(async () => { session = await startBrowser(kSite); });
after(async () => { await session.close(); });

test('the picture is a 3D view that takes keys, named by what is in view, and the name follows each press and a drag', async () => {
  const { page, faults } = await openOn(session, kDesktop);
  assert.deepEqual(await nameAfter(page, ''), named(kFirstView));
  assert.equal(await page.$eval('#canvas', (canvas) => canvas.ariaRoleDescription), '3D view');
  // Every press heard: a turn is 4.0°, a tilt and a gate's swing 1.7°, a zoom 1 %.
  let said = kFirstView;
  for (const key of ['ArrowLeft', 'ArrowDown', '+', 'o', 'x']) {
    await page.keyboard.press(key);
    const heard = (await nameAfter(page, said)).said;
    assert.notEqual(heard, said, key);
    said = heard;
  }
  assert.deepEqual(await nameAfter(page, '', kStepped), named(kStepped));
  // 45 steps of a drag across the picture: about half-way round.
  const box = await canvasBox(page);
  await mouseDrag(page, [box.x + 5, box.y + box.height / 2], [box.width - 10, 0]);
  const turned = await nameAfter(page, kStepped);
  assert.deepEqual(turned, named(turned.said));
  assert.match(turned.said, /^Seen from (1\d\d° to the (left|right) of the front|the back), 2° below level, 198 from/);
  assert.deepEqual(faults, []);
  await page.close();
});

test('a distance is said as a person says it, with separators or rounded, out to the largest', async () => {
  for (const [keys, distance] of kDistances) {
    const { page, faults } = await openOn(session, kDesktop, `#keys=${keys}`);
    const far = kFirstView.replace('200', distance);
    assert.deepEqual(await nameAfter(page, ''), named(far), keys);
    assert.deepEqual(faults, []);
    await page.close();
  }
});

test('a ring round the picture while the keys go to it, none once a click or a tap gave it them', async () => {
  for (const device of [kDesktop, kPhone]) {
    const { page, faults } = await openOn(session, device);
    assert.deepEqual(await ringColours(page), Array(4).fill(kRingColour), device.name);
    const box = await canvasBox(page);
    await (device.touch ? page.touchscreen.tap(box.x + 9, box.y + 9) : page.mouse.click(box.x + 9, box.y + 9));
    assert.deepEqual(await ringColours(page), Array(4).fill(kPageColour), device.name);
    assert.deepEqual(faults, []);
    await page.close();
  }
});

test('Tab reaches every button and the list of what is in view, in the order they are shown', async () => {
  const { page, faults } = await openOn(session, kDesktop);
  const reached = [];
  for (let i = 0; i < kTabOrder.length; ++i) {
    await page.keyboard.press('Tab');
    reached.push(await page.evaluate(() => {
      const reachedElement = document.activeElement;
      const label = document.getElementById(reachedElement.getAttribute('aria-labelledby'));
      return (label ?? reachedElement).textContent.trim().replace(/^[◀▲▼] | [▶+−]$/g, '');
    }));
  }
  assert.deepEqual(reached, kTabOrder);
  assert.deepEqual(faults, []);
  await page.close();
});

test('Lighthouse scores accessibility, best practices and search-engine readiness at 100', async () => {
  const categories = ['accessibility', 'best-practices', 'seo'];
  const lhr = await runLighthouse(kSite, categories);
  for (const category of categories) {
    assert.deepEqual(shortfalls(lhr, category), [], category);
    assert.equal(lhr.categories[category].score, 1, category);
  }
});
