// The built page under its security policy in Debian's Chromium: a page
// that keeps to the policy (its styles in a file, no inline script) draws
// with nothing on the console, whether the server sends the policy or the
// page carries it in a <meta> tag; a page that breaks it is refused.
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
// any, moved to page.css, and the changes asked for; compressed as the
// build compresses.
function pageVariant(directory, { meta, inlineScript }) {
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
  if (inlineScript) html = html.replace('</body>', '<script>document.title = "inline";</script>\n$&');
  fs.writeFileSync(path.join(directory, 'index.html'), html);
  const compressed = spawnSync(process.execPath, [path.join(repositoryRoot, 'web/precompress.mjs'), directory]);
  assert.equal(compressed.status, 0, String(compressed.stderr));
}

const kVariants = [
  ['the server sends the policy', { meta: false, inlineScript: false }, {}],
  ['the page carries the policy', { meta: true, inlineScript: false }, { contentSecurityPolicy: false }],
  ['an inline script is refused', { meta: false, inlineScript: true }, {}],
];

for (const [name, change, serverOptions] of kVariants) {
  test(`under the security policy: ${name}`, async () => {
    const scratch = fs.mkdtempSync(path.join(os.tmpdir(), 'house-policy-'));
    const site = path.join(scratch, 'site');
    pageVariant(site, change);
    const session = await startBrowser(site, [], serverOptions);
    try {
      const { page, faults } = await openPage(session);
      await waitForFrames(page, 0);
      const wasm = await page.evaluate(() => performance.getEntriesByType('resource')
        .filter((entry) => entry.name.endsWith('/house.wasm'))
        .map((entry) => entry.encodedBodySize < entry.decodedBodySize));
      assert.deepEqual(wasm, [true], 'house.wasm arrives compressed');
      if (change.inlineScript) {
        assert.notEqual(await page.title(), 'inline');
        assert.equal(faults.length, 1, faults.join('\n'));
        assert.match(faults[0], /^console error: .*Content Security Policy/);
      } else {
        assert.deepEqual(faults, []);
      }
    } finally {
      await session.close();
      fs.rmSync(scratch, { recursive: true, force: true });
    }
  });
}
