// The program's files delivered slowly or broken, by the test's own server:
// the page shows how much of house.wasm has arrived, and a file that does
// not arrive whole gives a message naming it and the cause, with "Try
// again", which works once the file is back. The browser reports nothing
// but the failed request itself: no uncaught error.
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import { after, before, test } from 'node:test';
import { kSite, openPage, siteFile, startBrowserWithBrokenFiles, waitForFrames } from '../support/browser.mjs';
import { compareWithDelivered, kDesktop, noticeShown, openOn, pause } from '../support/devices.mjs';

const kWasm = siteFile(kSite, 'house.wasm');
const kScript = siteFile(kSite, 'house.js');
const kWasmBytes = fs.readFileSync(path.join(kSite, kWasm));
const kSlowParts = 6;
const kSlowPartMs = 150;

const wasmHead = (response) =>
  response.writeHead(200, { 'Content-Type': 'application/wasm', 'Content-Length': kWasmBytes.length });

function answer(response, status, type, body, headers = {}) {
  response.writeHead(status, { 'Content-Type': type, 'Content-Length': Buffer.byteLength(body), ...headers });
  response.end(body);
}

// Each row: the file, what the server does instead of sending it, and what
// the page must say.
const kBroken = [
  ['a house.wasm cut off half-way', kWasm, (response) => {
    wasmHead(response);
    response.write(kWasmBytes.subarray(0, kWasmBytes.length >> 1), () => response.destroy());
  }, /^house\.wasm could not be loaded: the download broke off after [\d,]+ bytes\.$/],
  ['a 404 for house.js', kScript, (response) => answer(response, 404, 'text/plain', 'Not Found\n'),
    /^house\.js could not be loaded: the server answered 404 Not Found\.$/],
  ['a 500 for house.wasm', kWasm, (response) => answer(response, 500, 'text/plain', 'Internal Server Error\n'),
    /^house\.wasm could not be loaded: the server answered 500 Internal Server Error\.$/],
  // Kept by the browser as the real file would be: "Try again" must get
  // past its copy.
  ['a house.wasm with one byte changed', kWasm, (response) => {
    const damaged = Buffer.from(kWasmBytes);
    damaged[damaged.length - 9] ^= 0x40;
    answer(response, 200, 'application/wasm', damaged, { 'Cache-Control': 'public, max-age=31536000, immutable' });
  }, /^house\.wasm could not be loaded: it arrived damaged: its content is not the one this page was built with\.$/],
];

let session;
before(async () => { session = await startBrowserWithBrokenFiles(kSite); });
after(async () => { await session.close(); });

for (const [name, file, send, message] of kBroken) {
  test(`${name}: the page names the file and the cause, and "Try again" works once it is back`, async () => {
    session.brokenFiles.set(file, send);
    const { page, faults } = await openOn(session, kDesktop, '', { drawn: false, isolated: true });
    await page.waitForSelector('#notice:not([hidden])');
    const { text, ...shown } = await noticeShown(page);
    assert.match(text, message);
    assert.deepEqual(shown, {
      heading: 'The house could not be loaded', button: 'Try again', focused: 'reload', picture: false, loading: false,
    });
    await pause(200);  // room for anything late
    const others = faults.filter((fault) => !fault.includes(`/${file}`));
    assert.deepEqual(others, [], 'nothing but the failed request itself');

    session.brokenFiles.clear();
    faults.length = 0;
    await Promise.all([page.waitForNavigation(), page.click('#reload')]);
    await waitForFrames(page, 0);
    assert.equal(await compareWithDelivered(page, 'after-try-again'), null);
    assert.deepEqual(faults, []);
    await page.close();
  });
}

test('while house.wasm arrives slowly the page shows how much of it has come, then draws', async () => {
  session.brokenFiles.set(kWasm, (response) => {
    wasmHead(response);
    const part = Math.ceil(kWasmBytes.length / kSlowParts);
    let at = 0;
    const next = () => {
      response.write(kWasmBytes.subarray(at, at + part));
      at += part;
      if (at < kWasmBytes.length) setTimeout(next, kSlowPartMs);
      else response.end();
    };
    next();
  });
  // Every state of the bar, as the page sets it: a poll from here could
  // miss the parts on a busy machine.
  const watchBar = () => document.addEventListener('DOMContentLoaded', () => {
    const bar = document.getElementById('loading-progress');
    window.barStates = [];
    new MutationObserver(() => barStates.push({
      amount: document.getElementById('loading-amount').textContent, value: bar.value, max: bar.max,
      shown: !document.getElementById('loading').hidden,
    })).observe(bar, { attributes: true });
  });
  const { page, faults } = await openPage(session, { prepare: (opened) => opened.evaluateOnNewDocument(watchBar), isolated: true });
  await waitForFrames(page, 0);
  const total = Math.round(kWasmBytes.length / 1024);
  const seen = new Set();
  for (const { amount, value, max, shown } of await page.evaluate(() => barStates)) {
    if (!shown) continue;
    assert.match(amount, new RegExp(`^\\d+ of ${total} KB$`));
    assert.equal(max, kWasmBytes.length);
    seen.add(value);
  }
  session.brokenFiles.clear();
  const partway = [...seen].filter((value) => value > 0 && value < kWasmBytes.length);
  assert.ok(partway.length >= 2, `the bar stood part-way at ${partway.length} places: ${[...seen]}`);
  assert.equal(await page.$eval('#loading', (element) => element.hidden), true);
  assert.deepEqual(faults, []);
  await page.close();
});
