// A link to the view: the address carries the keys delivered, opening it
// in a fresh page replays them to the same picture, a link the page cannot
// read leaves the first view and says why, and a view too long for a link
// is said to be so rather than cut short.
import assert from 'node:assert/strict';
import { after, before, test } from 'node:test';
import { kLongestLink } from '../../../web/page/input/view_link.js';
import { kSite, startBrowser } from '../support/browser.mjs';
import { canvasBox, compareWithDelivered, deliveredKeys, kDesktop, kPhone, openOn, touchDrag } from '../support/devices.mjs';
import { formatKeys } from '../support/key_language.mjs';
import { compareWithSnapshot } from '../support/pictures.mjs';

// Waits until the address carries the keys delivered so far.
async function currentLink(page) {
  const expected = formatKeys(await page.evaluate(() => Module.keysDelivered), '~');
  await page.waitForFunction((keys) => decodeURIComponent(location.hash) === `#keys=${keys}`, {}, expected);
  return page.evaluate(() => location.href);
}

let session;
before(async () => { session = await startBrowser(kSite); });
after(async () => { await session.close(); });

test('a link taken after keys, a drag and buttons opens to the same picture, and copies', async () => {
  const { page, faults, client } = await openOn(session, kPhone);
  await session.context.overridePermissions(session.url,
    ['clipboard-read', 'clipboard-sanitized-write']);
  const historyAtOpen = await page.evaluate(() => history.length);
  await page.evaluate(() => document.getElementById('canvas').focus());
  // Space and * change nothing, in any state: the link leaves them out.
  for (const key of ['+', 'Space', '+', 'ArrowUp', '*', 'o']) await page.keyboard.press(key);
  const box = await canvasBox(page);
  await touchDrag(client, [box.x + 300, box.y + 200], [box.x + 40, box.y + 150]);
  await page.tap('#controls button[data-key="x"]');
  const link = await currentLink(page);
  assert.match(link, /#keys=\+\*2~Up~o~Right\*\d+~.*~x$/);
  assert.equal(await page.evaluate(() => history.length), historyAtOpen, 'no history entries added');

  await page.tap('#copy-link');
  await page.waitForFunction(() => document.getElementById('link-status').textContent === 'Link copied.');
  assert.equal(await page.evaluate(() => navigator.clipboard.readText()), link);

  const opened = await openOn(session, kDesktop, new URL(link).hash);
  await opened.page.waitForFunction((count) => Module.keysDelivered.length === count, {},
    await page.evaluate(() => Module.keysDelivered.length));
  assert.equal(await deliveredKeys(opened.page), await deliveredKeys(page));
  assert.equal(await compareWithDelivered(opened.page, 'link-opened'), null);
  assert.deepEqual([...faults, ...opened.faults], []);

  // Keys of the last moment before the page is left are in its address when
  // the person comes back.
  await Promise.all([page.waitForNavigation(), page.evaluate(() => {
    for (let i = 0; i < 3; ++i) Module.pressKey(false, 'o'.charCodeAt(0));
    location.assign('about:blank');
  })]);
  const { currentIndex, entries } = await client.send('Page.getNavigationHistory');
  assert.match(entries[currentIndex - 1].url, /~x~o\*3$/);
  await page.close();
  await opened.page.close();
});

// Each row: a fragment the page cannot use and what it must say.
const kUnreadable = [
  ['an unknown key name', '#keys=Left~bogus~o', /unknown key name 'bogus'/],
  ['a huge count', '#keys=o*99999999', /bad repeat count in 'o\*99999999'/],
  ['more presses than any view needs', '#keys=o*10000~'.padEnd(200, 'o*10000~'), /too many key presses/],
  ['Escape', '#keys=o~Escape', /Escape would end the program/],
  ['a broken escape', '#keys=o~%E0%A4%A', /not properly escaped/],
  ['100 KB of keys', `#keys=${'o~'.repeat(51200)}`, /102,400 characters long, more than the 4,000/],
];

test('a link the page cannot read leaves the first view and says what it could not read', async () => {
  for (const [name, fragment, message] of kUnreadable) {
    const { page, faults } = await openOn(session, kDesktop, fragment);
    const status = await page.$eval('#link-status', (element) => element.textContent);
    assert.match(status, message, name);
    assert.match(status, /The picture shows the first view/, name);
    assert.equal(await page.evaluate(() => Module.keysDelivered.length), 0, name);
    if (name === 'Escape') {
      assert.equal(await compareWithSnapshot(await page.$('#canvas'), '', 'link-unreadable'), null);
    }
    assert.deepEqual(faults, [], name);
    await page.close();
  }
});

test('a view too long for a link is said to be so, and the address drops its keys', async () => {
  const { page, faults } = await openOn(session, kDesktop, '#keys=o');
  // Left and Right by turns: every key a word of its own.
  await page.evaluate((count) => {
    for (let i = 0; i < count; ++i) Module.pressKey(true, i % 2 ? 102 : 100);
  }, kLongestLink / 4);
  await page.waitForFunction(() => document.getElementById('copy-link').disabled);
  assert.match(await page.$eval('#link-status', (element) => element.textContent), /too many steps for a link/);
  assert.equal(await page.evaluate(() => location.hash), '');
  assert.equal(await compareWithDelivered(page, 'link-too-long'), null);
  assert.deepEqual(faults, []);
  await page.close();
});

test('another link pasted into the same tab is opened', async () => {
  const { page, faults } = await openOn(session, kDesktop, '#keys=o*10');
  await page.waitForFunction(() => Module.keysDelivered.length === 10);
  await Promise.all([page.waitForNavigation(), page.evaluate(() => { location.hash = '#keys=x*5~tilde~Left'; })]);
  await page.waitForFunction(() => window.Module && Module.keysDelivered.length === 6);
  assert.equal(await deliveredKeys(page), 'x*5 Left');
  assert.deepEqual(faults, []);
  await page.close();
});
