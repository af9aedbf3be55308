// Debian's Chromium, headless, driven through the DevTools protocol, and
// the built page served to it from the loopback address. Shared by the
// browser tests and the web benchmark.
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { fileURLToPath } from 'node:url';
import puppeteer from 'puppeteer-core';
import { pageUrl, startServer } from '../../../web/server/serve.mjs';

export const repositoryRoot = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '../../..');
export const kCanvasSize = 500;
// The site the tests load: the build's (tests/web/CMakeLists.txt), else
// the one tools/web.sh builds.
export const kSite = process.env.HOUSE_WEB_SITE || path.join(repositoryRoot, 'build-web');
export const kChromium = process.env.HOUSE_CHROMIUM || '/usr/bin/chromium';
const kStartTimeoutMs = 30000;
const defaultViewport = { width: 1000, height: 700 };

// Without the background-networking switches Chromium keeps trying to
// reach its services, which a closed network refuses. With no GPU, WebGL
// runs on the SwiftShader software renderer, which Chromium asks to be
// chosen explicitly.
const kQuietSwitches = [
  '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
  '--disable-background-networking', '--disable-component-update', '--disable-sync',
  '--enable-unsafe-swiftshader',
];
// With software compositing Chromium reads every WebGL frame back to show
// it, and its GL backend warns about the stall each time: a note about the
// headless setup, not about the page.
const kCompositorReadback = /GL Driver Message \(OpenGL, Performance, .*\): GPU stall due to ReadPixels/;

// The name a site gives a file named after its content: "house.wasm" is
// served as house.3f9a0c1d2e.wasm.
export function siteFile(siteDirectory, name) {
  const extension = path.extname(name);
  const pattern = new RegExp(`^${name.slice(0, -extension.length)}\\.[0-9a-f]{8,}\\${extension}$`);
  const found = fs.readdirSync(siteDirectory).filter((file) => pattern.test(file));
  if (found.length !== 1) throw new Error(`${siteDirectory} has ${found.length} files for ${name}: ${found.join(', ')}`);
  return found[0];
}

// Chromium's switches as puppeteer starts it for the tests, headless, with
// `userDataDir` as its profile.
export function chromiumArguments(userDataDir, extraSwitches = []) {
  return puppeteer.defaultArgs({ headless: true, userDataDir, args: [...kQuietSwitches, ...extraSwitches] });
}

// The browser the run shares (tests/web/support/chromium.mjs), where there is one:
// starting a browser for each file would cost more than most files' tests.
async function connectShared() {
  const endpointFile = process.env.HOUSE_SHARED_CHROMIUM;
  if (!endpointFile || !fs.existsSync(endpointFile)) return null;
  return puppeteer.connect({ browserWSEndpoint: fs.readFileSync(endpointFile, 'utf8').trim(), defaultViewport });
}

// Starts the server on a free port and gives the caller a browser context
// of its own (its own cache, storage and window): in the run's shared
// browser, or in a browser started for it with a fresh profile where
// `switches` such as --disable-webgl change the browser, where the caller
// asks for an `ownProfile` (a context in a shared browser is an incognito
// one, which a page cannot be installed from), or where none is shared.
// `server` holds startServer's options.
export async function startBrowser(siteDirectory, options = {}) {
  const { switches = [], ownProfile = false } = options;
  const server = await startServer(siteDirectory, 0, options.server);
  const url = pageUrl(server);
  const shared = switches.length === 0 && !ownProfile ? await connectShared() : null;
  if (shared) {
    const context = await shared.createBrowserContext();
    async function close() {
      await context.close();
      await shared.disconnect();
      server.close();
    }
    return { browser: shared, context, server, url, close };
  }
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'house-chromium-'));
  let browser;
  try {
    browser = await puppeteer.launch({
      executablePath: kChromium,
      headless: true,
      args: [...kQuietSwitches, `--user-data-dir=${profile}`, ...switches],
      defaultViewport,
      timeout: kStartTimeoutMs,
    });
  } catch (error) {
    server.close();
    fs.rmSync(profile, { recursive: true, force: true });
    throw error;
  }
  async function close() {
    await browser.close();
    server.close();
    fs.rmSync(profile, { recursive: true, force: true });
  }
  return { browser, context: browser.defaultBrowserContext(), server, url, close };
}

// startBrowser whose server answers the site's files in `brokenFiles`
// (a Map from file name to `send(response)`) itself, as the tests have a
// file arrive broken.
export async function startBrowserWithBrokenFiles(siteDirectory) {
  const brokenFiles = new Map();
  const intercept = (request, response) => {
    const send = brokenFiles.get(new URL(request.url, 'http://site').pathname.slice(1));
    send?.(response);
    return Boolean(send);
  };
  const session = await startBrowser(siteDirectory, { server: { intercept } });
  return { ...session, brokenFiles };
}

// Opens the page and records everything that would show a fault: console
// errors and warnings, uncaught exceptions, failed or refused requests.
// `prepare(page)` runs before the page loads (to emulate a device, say) and
// `fragment` ("#keys=...") is added to its address. An `isolated` page has
// a browser context of its own (its own cache and service workers), which
// closes with it.
export async function openPage(session, { prepare = null, fragment = '', isolated = false } = {}) {
  let page;
  if (isolated) {
    const context = await session.browser.createBrowserContext();
    page = await context.newPage();
    page.once('close', () => context.close().catch(() => {}));
  } else {
    page = await session.context.newPage();
  }
  if (prepare) await prepare(page);
  const faults = [];
  page.on('console', (message) => {
    const type = message.type();
    if ((type === 'error' || type === 'warn') && !kCompositorReadback.test(message.text())) {
      const source = message.location()?.url;
      faults.push(`console ${type}: ${message.text()}${source ? ` (${source})` : ''}`);
    }
  });
  page.on('pageerror', (error) => faults.push(`page error: ${error.message}`));
  page.on('requestfailed', (request) => faults.push(`request failed: ${request.url()}`));
  page.on('response', (response) => {
    if (response.status() >= 400) faults.push(`HTTP ${response.status()}: ${response.url()}`);
  });
  await page.goto(session.url + fragment, { waitUntil: 'load' });
  return { page, faults };
}

// Waits until the program has drawn more than `count` frames, and every
// frame asked for so far is on the screen.
export async function waitForFrames(page, count) {
  await page.waitForFunction((n) => window.Module && Module.framesDrawn > n && !Module.framePending?.(), {}, count);
}
