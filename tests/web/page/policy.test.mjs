// The built page under its security policy in Debian's Chromium: it draws,
// compiles its WebAssembly and registers its service worker with nothing on
// the console, whether the server sends the policy as well or the page's own
// <meta> tag carries it alone, and an inline script is refused either way.
import assert from 'node:assert/strict';
import { test } from 'node:test';
import { kMetaContentSecurityPolicy } from '../../../web/server/security_policy.mjs';
import { kSite, openPage, startBrowser, waitForFrames } from '../support/browser.mjs';


const kVariants = [
  ['the server sends and the page carries', {}],
  ['the page alone carries', { contentSecurityPolicy: false }],
];

for (const [name, serverOptions] of kVariants) {
  test(`the page draws and keeps its files with a clean console under the policy ${name}, which refuses inline scripts`, async () => {
    const session = await startBrowser(kSite, { server: serverOptions });
    try {
      const { page, faults } = await openPage(session);
      await waitForFrames(page, 0);
      assert.equal(await page.$eval('meta[http-equiv="Content-Security-Policy"]', (meta) => meta.content),
        kMetaContentSecurityPolicy);
      const wasm = await page.evaluate(() => performance.getEntriesByType('resource')
        .filter((entry) => /\/house\.[0-9a-f]{8,}\.wasm$/.test(entry.name))
        .map((entry) => entry.encodedBodySize < entry.decodedBodySize));
      assert.deepEqual(wasm, [true], 'house.wasm arrives compressed');
      await page.evaluate(() => navigator.serviceWorker.ready);
      assert.deepEqual(faults, []);
      await page.addScriptTag({ content: 'window.inlineRan = true;' });
      assert.equal(await page.evaluate(() => window.inlineRan), undefined);
      assert.ok(faults.length > 0);
      for (const fault of faults) assert.match(fault, /^console error: .*Content Security Policy/);
    } finally {
      await session.close();
    }
  });
}
