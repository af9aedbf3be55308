// The three browser engines, each a real window on an X server, behind one
// small driver: Chromium through puppeteer-core and the DevTools protocol,
// Firefox ESR through puppeteer-core and WebDriver BiDi, WebKitGTK through
// WebKitWebDriver (which starts its MiniBrowser) and plain W3C WebDriver
// over HTTP. A driver opens a page, evaluates an expression there (a
// promise is awaited), types keys, drags or clicks the mouse, takes what
// the screen shows in a box, and closes.
import { spawn } from 'node:child_process';
import fs from 'node:fs';
import net from 'node:net';
import os from 'node:os';
import path from 'node:path';
import { PNG } from 'pngjs';
import puppeteer from 'puppeteer-core';

const kWindow = { width: 1200, height: 900 };
const kStartTimeoutMs = 60000;
const kMiniBrowser = '/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser';
// Where each engine is, and the Debian package that brings it.
export const kEngines = {
  chromium: { binary: process.env.HOUSE_CHROMIUM || '/usr/bin/chromium', package: 'chromium' },
  firefox: { binary: '/usr/bin/firefox-esr', package: 'firefox-esr' },
  webkit: { binary: '/usr/bin/WebKitWebDriver', package: 'webkit2gtk-driver' },
};
const kDragSteps = 20;
const pause = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

// Why `engine` cannot run here, or null where it can.
export function missing(engine) {
  const { binary, package: name } = kEngines[engine];
  const needed = engine === 'webkit' ? [binary, kMiniBrowser] : [binary];
  const absent = needed.find((file) => !fs.existsSync(file));
  return absent ? `${absent} is not installed (Debian's ${name}; tools/install-deps.sh --web)` : null;
}

// A driver on puppeteer-core: Chromium, or Firefox over WebDriver BiDi
// with its settings as they come (it draws WebGL with Mesa unasked).
async function puppeteerDriver(engine, display) {
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), `house-${engine}-`));
  const common = { executablePath: kEngines[engine].binary, headless: false, defaultViewport: null,
    env: { ...process.env, DISPLAY: display }, timeout: kStartTimeoutMs };
  const browser = engine === 'chromium'
    ? await puppeteer.launch({ ...common, args: ['--no-sandbox', '--no-first-run', '--disable-background-networking',
      '--disable-component-update', '--disable-sync', '--enable-unsafe-swiftshader', `--user-data-dir=${profile}`,
      `--window-size=${kWindow.width},${kWindow.height}`, '--window-position=0,0'] })
    : await puppeteer.launch({ ...common, browser: 'firefox', protocol: 'webDriverBiDi', userDataDir: profile,
      args: [`--width=${kWindow.width}`, `--height=${kWindow.height}`] });
  const page = (await browser.pages())[0] ?? await browser.newPage();
  return {
    version: await browser.version(),
    open: (url) => page.goto(url, { waitUntil: 'load' }),
    evaluate: (expression) => page.evaluate(expression),
    async keys(names) {
      for (const key of names) await page.keyboard.press(key);
    },
    async drag([x, y], [dx, dy]) {
      await page.mouse.move(x, y);
      await page.mouse.down();
      await page.mouse.move(x + dx, y + dy, { steps: kDragSteps });
      await page.mouse.up();
    },
    click: ([x, y]) => page.mouse.click(x, y),
    picture: async (box) => PNG.sync.read(Buffer.from(await page.screenshot({ clip: box, captureBeyondViewport: false }))),
    async close() {
      await browser.close();
      fs.rmSync(profile, { recursive: true, force: true });
    },
  };
}

// WebDriver's codes for the keys that are not characters.
const kWebDriverKeys = { ArrowLeft: '\uE012', ArrowUp: '\uE013', ArrowRight: '\uE014', ArrowDown: '\uE015', Escape: '\uE00C' };

function freePort() {
  return new Promise((resolve, reject) => {
    const server = net.createServer().listen(0, '127.0.0.1', () => {
      const { port } = server.address();
      server.close(() => resolve(port));
    }).on('error', reject);
  });
}

// WebKitGTK: WebKitWebDriver on a free port, which starts MiniBrowser for
// the session.
async function webkitDriver(display) {
  const port = await freePort();
  const driver = spawn(kEngines.webkit.binary, [`--port=${port}`], { env: { ...process.env, DISPLAY: display }, stdio: 'ignore' });
  const base = `http://127.0.0.1:${port}`;
  async function call(method, url, body) {
    const response = await fetch(base + url, { method, headers: { 'content-type': 'application/json' },
      body: body === undefined ? undefined : JSON.stringify(body) });
    const answer = await response.json();
    if (!response.ok) throw new Error(`WebDriver ${method} ${url}: ${answer.value?.error}: ${answer.value?.message}`);
    return answer.value;
  }
  try {
    for (const start = Date.now(); ;) {
      try {
        await call('GET', '/status');
        break;
      } catch (error) {
        if (Date.now() - start > kStartTimeoutMs) throw error;
        await pause(100);
      }
    }
    const session = await call('POST', '/session', { capabilities: { alwaysMatch: {
      'webkitgtk:browserOptions': { binary: kMiniBrowser, args: ['--automation'] },
    } } });
    const at = `/session/${session.sessionId}`;
    await call('POST', `${at}/window/rect`, { x: 0, y: 0, ...kWindow });
    const actions = async (list) => {
      await call('POST', `${at}/actions`, { actions: list });
      await call('DELETE', `${at}/actions`);
    };
    const evaluate = (expression) => call('POST', `${at}/execute/sync`, { script: `return (${expression});`, args: [] });
    return {
      version: `WebKitGTK ${session.capabilities.browserVersion}`,
      open: (url) => call('POST', `${at}/url`, { url }),
      evaluate,
      async keys(names) {
        for (const key of names) {
          const value = kWebDriverKeys[key] ?? key;
          await actions([{ type: 'key', id: 'keyboard', actions: [{ type: 'keyDown', value }, { type: 'keyUp', value }] }]);
        }
      },
      async drag([x, y], [dx, dy]) {
        const point = (t) => ({ type: 'pointerMove', duration: 10, origin: 'viewport',
          x: Math.round(x + dx * t), y: Math.round(y + dy * t) });
        await actions([{ type: 'pointer', id: 'mouse', parameters: { pointerType: 'mouse' }, actions: [
          { ...point(0), duration: 0 }, { type: 'pointerDown', button: 0 },
          ...Array.from({ length: kDragSteps }, (_, i) => point((i + 1) / kDragSteps)),
          { type: 'pointerUp', button: 0 }] }]);
      },
      click: ([x, y]) => actions([{ type: 'pointer', id: 'mouse', parameters: { pointerType: 'mouse' }, actions: [
        { type: 'pointerMove', duration: 0, origin: 'viewport', x: Math.round(x), y: Math.round(y) },
        { type: 'pointerDown', button: 0 }, { type: 'pointerUp', button: 0 }] }]),
      // An element's screenshot of a WebGL canvas comes out cut wrongly
      // here: the viewport's, cut to the box.
      async picture(box) {
        const whole = PNG.sync.read(Buffer.from(await call('GET', `${at}/screenshot`), 'base64'));
        const ratio = await evaluate('window.devicePixelRatio');
        const [x, y, width, height] = [box.x, box.y, box.width, box.height].map((value) => Math.round(value * ratio));
        const picture = new PNG({ width, height });
        PNG.bitblt(whole, picture, x, y, width, height, 0, 0);
        return picture;
      },
      async close() {
        await call('DELETE', at).catch(() => {});
        driver.kill();
      },
    };
  } catch (error) {
    driver.kill();
    throw error;
  }
}

export function startDriver(engine, display) {
  return engine === 'webkit' ? webkitDriver(display) : puppeteerDriver(engine, display);
}

// A private X server the project's way (tools/xvfb.sh): its DISPLAY and
// how to stop it.
export async function startXServer(repositoryRoot) {
  const xvfb = spawn(path.join(repositoryRoot, 'tools/xvfb.sh'), ['3'], { stdio: ['ignore', 'ignore', 'inherit', 'pipe'] });
  const display = await new Promise((resolve, reject) => {
    let text = '';
    xvfb.stdio[3].on('data', (chunk) => {
      text += chunk;
      if (text.includes('\n')) resolve(`:${text.trim()}`);
    });
    xvfb.once('exit', (code) => reject(new Error(`Xvfb ended with status ${code} before it took clients`)));
  });
  return { display, stop: () => xvfb.kill() };
}
