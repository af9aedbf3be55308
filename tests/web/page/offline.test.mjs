// The page as an app: opened once, it opens again with no network at the
// same view and makes its 3D model there, and the browser may install it;
// a new build is picked up, whole, on the next load, and the old one is
// dropped.
import assert from 'node:assert/strict';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { after, before, test } from 'node:test';
import { assemble } from '../../../web/site/assemble.mjs';
import { kStepsFile } from '../../../web/site/frame_steps.mjs';
import { kPosterSides, posterName } from '../../../web/site/poster.mjs';
import { kSite, repositoryRoot, startBrowser, waitForFrames } from '../support/browser.mjs';
import { browserKeys, deliveredKeys, kDesktop, openOn } from '../support/devices.mjs';
import { compareWithSnapshot } from '../support/pictures.mjs';

// house.js and house.wasm as emscripten wrote them, and the posters, for
// the site's assembly.
const kProgram = process.env.HOUSE_WEB_PROGRAM || path.join(repositoryRoot, 'build/wasm/web/wasm');
const kNamedByContent = /^[\w-]+\.[0-9a-f]{8,}\.\w+$/;

// Until the service worker has kept the site and controls the page.
async function keptForOffline(page) {
  await page.evaluate(async () => {
    await navigator.serviceWorker.ready;
    if (navigator.serviceWorker.controller) return;
    await new Promise((resolve) => navigator.serviceWorker.addEventListener('controllerchange', resolve, { once: true }));
  });
}

// The name of the cache the site's service worker keeps its build in.
function cacheOf(site) {
  return `house-${/const kBuild = '(\w+)'/.exec(fs.readFileSync(path.join(site, 'sw.js'), 'utf8'))[1]}`;
}

// The site's own files the page has loaded, by name.
async function filesLoaded(page) {
  return page.evaluate(() => performance.getEntriesByType('resource')
    .map((entry) => new URL(entry.name))
    .filter((url) => url.origin === location.origin)
    .map((url) => url.pathname.slice(1)));
}

let scratch;
before(() => { scratch = fs.mkdtempSync(path.join(os.tmpdir(), 'house-offline-')); });
after(() => fs.rmSync(scratch, { recursive: true, force: true }));

test('opened once, the page opens again at the same view with no network, and is installable', async () => {
  const session = await startBrowser(kSite, { ownProfile: true });
  try {
    const { page, faults, client } = await openOn(session, kDesktop);
    for (const key of browserKeys('Left*3 o*5')) await page.keyboard.press(key);
    const keys = await deliveredKeys(page);
    await page.waitForFunction(() => location.hash !== '');
    await keptForOffline(page);
    assert.deepEqual((await client.send('Page.getInstallabilityErrors')).installabilityErrors, []);

    await page.setOfflineMode(true);
    session.server.close();
    session.server.closeAllConnections();
    // Where the browser routes them itself, files named after their
    // content come from the kept copy without the service worker's script.
    const routes = new Map();
    await client.send('Network.enable');
    client.on('Network.responseReceived', ({ response }) => {
      const name = new URL(response.url).pathname.slice(1);
      if (kNamedByContent.test(name)) routes.set(name, response.serviceWorkerRouterInfo?.matchedSourceType);
    });
    await page.reload();
    await waitForFrames(page, 0);
    assert.ok(routes.size > 20, `${routes.size} content-named files loaded`);
    assert.deepEqual([...routes].filter(([, source]) => source !== 'cache'), []);
    assert.equal(await compareWithSnapshot(await page.$('#canvas'), keys, 'offline'), null);
    await page.click('#download-model');
    await page.waitForFunction(() => /^Downloaded house\.glb/.test(document.getElementById('model-status').textContent));
    assert.deepEqual(faults, []);
  } finally {
    await session.close();
  }
});

test('a new build shows whole on the next load, and the old one is dropped', async () => {
  const site = path.join(scratch, 'site');
  const first = assemble(site, kProgram).names;
  const session = await startBrowser(site);
  try {
    const { page, faults } = await openOn(session, kDesktop);
    await keptForOffline(page);
    assert.deepEqual(await page.evaluate(() => caches.keys()), [cacheOf(site)]);

    const program = path.join(scratch, 'program');
    fs.mkdirSync(program);
    for (const name of ['house.js', 'house-export.js', 'house-export.wasm', kStepsFile, ...kPosterSides.map(posterName)]) {
      fs.copyFileSync(path.join(kProgram, name), path.join(program, name));
    }
    // A custom section (id 0, 12 bytes) named "build" holding "second":
    // the same program, other bytes.
    fs.writeFileSync(path.join(program, 'house.wasm'),
      Buffer.concat([fs.readFileSync(path.join(kProgram, 'house.wasm')), Buffer.from([0, 12, 5]), Buffer.from('buildsecond')]));
    const second = assemble(site, program).names;
    const renamed = second.filter((name) => kNamedByContent.test(name) && !first.includes(name));
    assert.deepEqual(renamed.map((name) => name.replace(/\.[0-9a-f]+\./, '.')).sort(),
      ['house.js', 'house.wasm', 'page.js', 'page_loader.js', 'program.js']);

    await page.reload();
    await waitForFrames(page, 0);
    const loaded = (await filesLoaded(page)).filter((name) => kNamedByContent.test(name));
    assert.deepEqual(loaded.filter((name) => !second.includes(name)), [], 'files of the old build');
    for (const name of renamed) assert.ok(loaded.includes(name), `${name} of the new build`);
    assert.equal(await compareWithSnapshot(await page.$('#canvas'), '', 'new-build'), null);

    // The new worker takes over and keeps the new build only.
    await page.waitForFunction(async (name) => (await caches.keys()).join() === name, {}, cacheOf(site));
    const kept = await page.evaluate(async (name) =>
      (await (await caches.open(name)).keys()).map((request) => new URL(request.url).pathname.slice(1)).sort(), cacheOf(site));
    assert.deepEqual(kept, second.filter((name) => name !== 'sw.js').sort());
    assert.deepEqual(faults, []);
  } finally {
    await session.close();
  }
});
