// The built page under its security policy in Debian's Chromium: a page
// that keeps to the policy (its styles in a file) draws with nothing on the
// console, whether the server sends the policy or the page carries it in a
// <meta> tag, and an inline script is refused either way.
import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { test } from 'node:test';
import { kMetaContentSecurityPolicy } from '../../web/security_policy.mjs';
import { openPage, repositoryRoot, startBrowser, waitForFrames } from './browser.mjs';

const kSite = process.env.HOUSE_WEB_SITE || path.join(repositoryRoot, 'build-web');

// A copy of the built site with the page's inline styles, if it still has
// any, moved to page.css, and the policy in a <meta> tag if asked for;
// compressed as the build compresses.
function pageVariant(directory, meta) {
  fs.mkdirSync(directory);
  for (const name of fs.readdirSync(kSite).filter((name) => !/\.(br|gz)$/.test(name))) {
    fs.copyFileSync(path.join(kSite, name), path.join(directory, name));
  }
  let html = fs.readFileSync(path.join(directory, 'index.html'), 'utf8');
  const style = /<style>([\s\S]*?)<\/style>\n?/.exec(html);
  if (style) {
    fs.writeFileSync(path.join(directory, 'page.css'), style[1]);
    html = html.replace(style[0], '<link rel="stylesheet" href="page.css">\n');
  }
  if (meta) {
    html = html.replace('<meta charset="utf-8">',
      `$&\n<meta http-equiv="Content-Security-Policy" content="${kMetaContentSecurityPolicy}">`);
  }
  fs.writeFileSync(path.join(directory, 'index.html'), html);
  const compressed = spawnSync(process.execPath, [path.join(repositoryRoot, 'web/precompress.mjs'), directory]);
  assert.equal(compressed.status, 0, String(compressed.stderr));
}

const kVariants = [
  ['the server sends', false, {}],
  ['the page carries', true, { contentSecurityPolicy: false }],
];

for (const [name, meta, serverOptions] of kVariants) {
  test(`the page draws with a clean console under the policy ${name}, which refuses inline scripts`, async () => {
    const scratch = fs.mkdtempSync(path.join(os.tmpdir(), 'house-policy-'));
    const site = path.join(scratch, 'site');
    pageVariant(site, meta);
    const session = await startBrowser(site, [], serverOptions);
    try {
      const { page, faults } = await openPage(session);
      await waitForFrames(page, 0);
      const wasm = await page.evaluate(() => performance.getEntriesByType('resource')
        .filter((entry) => entry.name.endsWith('/house.wasm'))
        .map((entry) => entry.encodedBodySize < entry.decodedBodySize));
      assert.deepEqual(wasm, [true], 'house.wasm arrives compressed');
      assert.deepEqual(faults, []);
      await page.addScriptTag({ content: 'window.inlineRan = true;' });
      assert.equal(await page.evaluate(() => window.inlineRan), undefined);
      assert.equal(faults.length, 1, faults.join('\n'));
      assert.match(faults[0], /^console error: .*Content Security Policy/);
    } finally {
      await session.close();
      fs.rmSync(scratch, { recursive: true, force: true });
    }
  });
}
