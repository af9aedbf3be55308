// The page for people who do not see the picture or do not use a mouse:
// the picture's name says what is in view and follows every change, the
// Tab key reaches every button and the list of what is in view in the
// order they are shown, and Lighthouse finds nothing to improve in
// accessibility, best practices and search-engine readiness.
import assert from 'node:assert/strict';
import { after, before, test } from 'node:test';
import { kSite, startBrowser } from '../support/browser.mjs';
import { canvasBox, kDesktop, mouseDrag, openOn } from '../support/devices.mjs';
import { runLighthouse, shortfalls } from '../support/lighthouse.mjs';

const kFirstView = 'Seen from the front, 3° above level, 200 from the centre. Drive gate closed, walk gate closed.';
// Links that open far out, and the distance as the name says it: zoom out
// has no limit short of the largest float.
const kDistances = [
  ['-*300', '3,963'],
  ['-*1000', 'about 4.2 million'],
  ['-*3000', 'about 1.8 × 10¹⁵'],
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

let session;
before(async () => { session = await startBrowser(kSite); });
after(async () => { await session.close(); });

test('the picture is named by what is in view, and the name follows a key and a drag', async () => {
  const { page, faults } = await openOn(session, kDesktop);
  assert.deepEqual(await nameAfter(page, ''), { role: 'img', name: kFirstView, live: 'polite', said: kFirstView });
  // One step (1.7°) is as far as a closing key brings a gate back: still closed.
  for (const key of ['o', 'o', 'o']) await page.keyboard.press(key);
  const opened = kFirstView.replace('Drive gate closed', 'Drive gate open 5°');
  assert.deepEqual(await nameAfter(page, kFirstView, opened), { role: 'img', name: opened, live: 'polite', said: opened });
  // 45 steps of a drag across the picture: about half-way round.
  const box = await canvasBox(page);
  await mouseDrag(page, [box.x + 5, box.y + box.height / 2], [box.width - 10, 0]);
  const { name, said } = await nameAfter(page, opened);
  assert.equal(said, name);
  assert.match(name, /^Seen from the back, 3° above level, 200 from the centre\. Drive gate open 5°/);
  assert.deepEqual(faults, []);
  await page.close();
});

test('a distance is said as a person says it, with separators or rounded, out to the largest', async () => {
  for (const [keys, distance] of kDistances) {
    const { page, faults } = await openOn(session, kDesktop, `#keys=${keys}`);
    const far = kFirstView.replace('200', distance);
    assert.deepEqual(await nameAfter(page, ''), { role: 'img', name: far, live: 'polite', said: far }, keys);
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
