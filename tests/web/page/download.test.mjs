// "Download 3D model": after keys, a drag and a held button, the page saves
// the model house-export writes for the keys the page delivered; a module
// file that does not arrive whole is named with its cause, and the button
// works again once it is back.
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { after, before, test } from 'node:test';
import { modelDifferences } from '../../export/model_compare.mjs';
import { kSite, siteFile, startBrowserWithBrokenFiles } from '../support/browser.mjs';
import { browserKeys, canvasBox, deliveredKeys, kDesktop, mouseDrag, openOn, pause } from '../support/devices.mjs';
import { kExport } from '../support/pictures.mjs';


let session;
let scratch;
before(async () => {
  scratch = fs.mkdtempSync(path.join(os.tmpdir(), 'house-download-'));
  session = await startBrowserWithBrokenFiles(kSite);
});
after(async () => {
  await session.close();
  fs.rmSync(scratch, { recursive: true, force: true });
});

// Presses the button and waits for what it says; the file it saved, if
// any, from `folder`.
async function download(page, folder) {
  await page.click('#download-model');
  await page.waitForFunction(() => !/^Making/.test(document.getElementById('model-status').textContent));
  const said = await page.$eval('#model-status', (element) => element.textContent);
  const file = path.join(folder, 'house.glb');
  while (said.startsWith('Downloaded') && !fs.existsSync(file)) await pause(50);
  return { said, file };
}

async function pageSavingTo(folder) {
  const opened = await openOn(session, kDesktop, '', { isolated: true });
  await opened.client.send('Page.setDownloadBehavior', { behavior: 'allow', downloadPath: folder });
  return opened;
}

test('the model saved is house-export\'s for the keys the page delivered', async () => {
  const folder = fs.mkdtempSync(path.join(scratch, 'saved-'));
  const { page, faults } = await pageSavingTo(folder);
  await page.focus('#canvas');
  for (const key of browserKeys('Left*7 x*31 + + Up*3')) await page.keyboard.press(key);
  const box = await canvasBox(page);
  await mouseDrag(page, [box.x + box.width * 0.3, box.y + box.height / 2], [box.width * 0.4, 0]);
  const gate = await (await page.$('button[data-key="o"]')).boundingBox();
  await page.mouse.move(gate.x + 10, gate.y + 10);
  await page.mouse.down();
  await pause(900);
  await page.mouse.up();

  const keys = await deliveredKeys(page);
  assert.match(keys, /o\*\d+/, 'the held button swung the drive gate');
  const { said, file } = await download(page, folder);
  const saved = fs.readFileSync(file);
  assert.match(said, new RegExp(`^Downloaded house\\.glb \\(${Math.round(saved.length / 1024)} KB\\)`));
  const native = execFileSync(kExport, ['--keys', keys, '-'], { maxBuffer: 1 << 24 });
  assert.deepEqual(modelDifferences(new Uint8Array(native), new Uint8Array(saved)), [], keys);
  assert.deepEqual(faults, []);
  await page.close();
});

// Each row: the module's file that fails, and the status the server gives.
const kBroken = [
  ['house-export.js', 404, /^The 3D model could not be made: house-export\.js could not be loaded: the server answered 404 Not Found\. Press the button to try again\.$/],
  ['house-export.wasm', 500, /^The 3D model could not be made: house-export\.wasm could not be loaded: the server answered 500 Internal Server Error\. Press the button to try again\.$/],
];

for (const [name, status, message] of kBroken) {
  test(`a ${status} for ${name} is named with its cause, and the button works once the file is back`, async () => {
    const folder = fs.mkdtempSync(path.join(scratch, 'broken-'));
    // Broken from the start, so that the service worker cannot keep it.
    const file = siteFile(kSite, name);
    session.brokenFiles.set(file, (response) => {
      response.writeHead(status, { 'Content-Type': 'text/plain' });
      response.end(`${status}\n`);
    });
    const { page, faults } = await pageSavingTo(folder);
    assert.match((await download(page, folder)).said, message);
    assert.deepEqual(faults.filter((fault) => !fault.includes(`/${file}`)), [], 'nothing but the failed request');
    session.brokenFiles.clear();
    faults.length = 0;
    assert.match((await download(page, folder)).said, /^Downloaded house\.glb/);
    assert.deepEqual(faults, []);
    await page.close();
  });
}
