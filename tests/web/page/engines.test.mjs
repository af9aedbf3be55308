// One scenario in one browser engine, in a real window on a private X
// server (headless Firefox offers no WebGL here; on an X server each engine
// draws with Mesa or SwiftShader):
//
//   node tests/web/page/engines.test.mjs chromium|firefox|webkit
//
// The poster, then the first frame, each within the browser tests'
// tolerance of house-snapshot's starting view; keys and a drag, each
// matched against house-snapshot after the keys the page recorded; the
// picture's accessible name and the address following the view; the
// context lost and restored where the engine can lose one; how it is drawn:
// two steps, a pixel's history, a lost context, Escape. An engine that
// is not installed is skipped, saying so, with exit status 77, which CTest
// counts as skipped.
import assert from 'node:assert/strict';
import { test } from 'node:test';
import { pageUrl, startServer } from '../../../web/server/serve.mjs';
import { kSite, repositoryRoot } from '../support/browser.mjs';
import { browserKeys } from '../support/devices.mjs';
import { kEngines, missing, startDriver, startXServer } from '../support/engines.mjs';
import { holdingServer } from '../support/held_files.mjs';
import { formatKeys } from '../support/key_language.mjs';
import { comparePicture, kListedHistory, kLoadingBarBoxes, kStepTo, kWalkGateStep, listedHistory } from '../support/pictures.mjs';

const kSkipped = 77;
const kWaitMs = 30000;
const kKeys = 'Left*3 Up o*4 x*2 +*2';
// After those keys and whatever turn the drag makes.
const kGates = /Drive gate open 7°, walk gate open 3°\.$/;
const pause = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

const engine = process.argv[2];
if (!(engine in kEngines)) {
  console.error(`usage: node tests/web/page/engines.test.mjs ${Object.keys(kEngines).join('|')}`);
  process.exit(2);
}

async function waitFor(driver, expression, what) {
  for (const start = Date.now(); !(await driver.evaluate(expression));) {
    if (Date.now() - start > kWaitMs) throw new Error(`${engine}: no ${what} after ${kWaitMs / 1000} s`);
    await pause(50);
  }
}

// Every frame asked for is on the screen, and the browser has painted since.
async function settled(driver) {
  await waitFor(driver, 'Module.framesDrawn > 0 && !Module.framePending()', 'frame drawn');
  await driver.evaluate('new Promise((resolve) => requestAnimationFrame(() => requestAnimationFrame(() => resolve(true))))');
}

async function pictureOf(driver, id) {
  return driver.picture(await driver.evaluate(`(() => {
    const box = document.getElementById('${id}').getBoundingClientRect();
    return { x: box.x, y: box.y, width: box.width, height: box.height };
  })()`));
}

// Over WebDriver BiDi an object met twice in one answer comes back the
// second time as undefined, and the record repeats one object a run: the
// keys come as JSON.
async function deliveredKeys(driver, separator = ' ') {
  return formatKeys(JSON.parse(await driver.evaluate('JSON.stringify(Module.keysDelivered)')), separator);
}

// The window shows a frame some time after the page counts it drawn (a
// worker's frame goes through the compositor), longer on a loaded
// machine: the picture is taken again until it matches or the wait is up.
async function compareDelivered(driver, name, until = null) {
  await settled(driver);
  const keys = await deliveredKeys(driver);
  for (const start = Date.now(); ;) {
    const failure = comparePicture(await pictureOf(driver, 'canvas'), keys, `${engine}-${name}`, [], until);
    if (!failure || Date.now() - start > kWaitMs) return failure;
    await pause(250);
  }
}

test(`the page in ${engine}: poster, first frame, keys, a drag, its name and address, a lost context`, async (t) => {
  const why = missing(engine);
  if (why) {
    t.skip(why);
    process.exitCode = kSkipped;
    return;
  }
  const x = await startXServer(repositoryRoot);
  const holding = holdingServer(kSite);
  const server = await startServer(kSite, 0, holding.options);
  let driver = null;
  try {
    driver = await startDriver(engine, x.display);
    holding.hold('house.wasm');
    await driver.open(pageUrl(server));
    // Loaded, decoded (WebKit decodes a picture only as it paints it) and painted.
    await waitFor(driver, "document.getElementById('poster').complete", 'poster');
    await driver.evaluate(`document.getElementById('poster').decode()
      .then(() => new Promise((resolve) => requestAnimationFrame(() => requestAnimationFrame(() => resolve(true)))))`);
    const poster = await pictureOf(driver, 'poster');
    assert.equal(comparePicture(poster, '', `${engine}-poster`, await driver.evaluate(kLoadingBarBoxes)), null);
    holding.release('house.wasm');

    await waitFor(driver, 'window.Module && Module.framesDrawn > 0', 'first frame');
    const drawing = await driver.evaluate(`({ worker: !Module.graphics.context.getParameter,
      ratio: devicePixelRatio, buffer: [Module.canvas.width, Module.canvas.height] })`);
    t.diagnostic(`${driver.version}: ${drawing.worker ? 'drawn on a worker' : "drawn on the page's thread"}, ` +
      `ratio ${drawing.ratio}, buffer ${drawing.buffer.join(' x ')}`);
    assert.equal(await compareDelivered(driver, 'first-frame'), null);
    const firstName = await driver.evaluate("document.getElementById('canvas').getAttribute('aria-label')");

    await driver.evaluate("(document.getElementById('canvas').focus(), true)");
    await driver.keys(browserKeys(kKeys));
    assert.equal(await compareDelivered(driver, 'keys'), null);
    const box = await driver.evaluate("(() => { const b = document.getElementById('canvas').getBoundingClientRect(); return [b.x, b.y, b.width, b.height]; })()");
    await driver.drag([box[0] + 30, box[1] + box[3] / 2], [box[2] / 3, box[3] / 10]);
    assert.equal(await compareDelivered(driver, 'drag'), null);

    // The name and the address once the keys have paused.
    const address = `#keys=${await deliveredKeys(driver, '~')}`;
    await waitFor(driver, `location.hash === ${JSON.stringify(address)} &&
      document.getElementById('canvas').getAttribute('aria-label') === '3D house: s' + document.getElementById('view-words').textContent.slice(1) &&
      document.getElementById('canvas').getAttribute('aria-label') !== ${JSON.stringify(firstName)}`, 'name and address of the view');
    assert.match(await driver.evaluate("document.getElementById('canvas').getAttribute('aria-label')"), kGates);
    // The export module on a worker lists what is in view.
    await waitFor(driver, "document.querySelectorAll('#in-view-list li').length > 2", 'list of what is in view');

    // WEBGL_lose_context is asked for while the context is there: a lost
    // context offers none. `meanwhile` runs while it is lost.
    async function loseAndRestore(name, meanwhile, until = null) {
      const frames = await driver.evaluate(`(window.losing = Module.ctx.getExtension('WEBGL_lose_context'))
        ? (losing.loseContext(), Module.framesDrawn) : -1`);
      if (frames < 0) {
        t.diagnostic(`${engine} offers no WEBGL_lose_context: no lost context`);
        return;
      }
      await waitFor(driver, "!document.getElementById('notice').hidden", 'notice of lost graphics');
      await meanwhile();
      await driver.evaluate('(losing.restoreContext(), true)');
      await waitFor(driver, `Module.framesDrawn > ${frames} && document.getElementById('notice').hidden`, 'frame on the restored context');
      assert.equal(await compareDelivered(driver, name, until), null);
    }
    await loseAndRestore('restored', () => driver.keys(['ArrowRight']));

    await driver.evaluate("(document.getElementById('how-drawn-toggle').click(), true)");
    await waitFor(driver, "Boolean(document.getElementById('step-slider'))", 'step slider');
    for (const step of [kWalkGateStep - 1, kWalkGateStep]) {
      await driver.evaluate(kStepTo(step));
      assert.equal(await compareDelivered(driver, `step-${step}`, step), null);
    }
    await driver.click([box[0] + box[2] / 2, box[1] + box[3] / 2]);
    await waitFor(driver, "Boolean(document.querySelector('#pixel-history li'))", 'pixel history');
    const listed = listedHistory(await driver.evaluate(kListedHistory), await deliveredKeys(driver));
    assert.deepEqual(listed.lines, listed.expected);
    await loseAndRestore('step-restored', async () => {}, kWalkGateStep);
    await driver.keys(['Escape']);
    assert.equal(await compareDelivered(driver, 'steps-closed'), null);
  } finally {
    await driver?.close().catch(() => {});
    server.close();
    x.stop();
  }
});
