// Lighthouse on the built page, in Debian's Chromium (never a downloaded
// browser), with its default mobile settings: a phone's screen and its
// simulated slow processor and network. Shared by the accessibility test
// and the web benchmark.
import * as chromeLauncher from 'chrome-launcher';
import lighthouse from 'lighthouse';
import { pageUrl, startServer } from '../../../web/server/serve.mjs';

const kChromium = process.env.HOUSE_CHROMIUM || '/usr/bin/chromium';
// As for the browser tests: no GPU, so WebGL runs on SwiftShader, and no
// attempts to reach services a closed network refuses.
const kSwitches = [
  '--headless=new', '--no-sandbox', '--disable-gpu', '--enable-unsafe-swiftshader',
  '--disable-background-networking', '--disable-component-update', '--disable-sync', '--no-first-run',
];

// Lighthouse's result (lhr) for the site's page, for the given categories
// ('performance', 'accessibility', 'best-practices', 'seo').
export async function runLighthouse(siteDirectory, categories) {
  const server = await startServer(siteDirectory, 0);
  let chrome;
  try {
    chrome = await chromeLauncher.launch({ chromePath: kChromium, chromeFlags: kSwitches });
    const result = await lighthouse(pageUrl(server),
      { port: chrome.port, output: 'json', logLevel: 'error', onlyCategories: categories });
    return result.lhr;
  } finally {
    if (chrome) await chrome.kill();
    server.close();
  }
}

// The audits of a category that did not score full marks, as "id: title".
export function shortfalls(lhr, category) {
  return lhr.categories[category].auditRefs
    .map((ref) => lhr.audits[ref.id])
    .filter((audit) => audit.score !== null && audit.score < 1)
    .map((audit) => `${audit.id}: ${audit.title}`);
}
