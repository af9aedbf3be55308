// One Chromium for the browser tests of a run, started before them and
// stopped after them by CTest (the fixture shared_chromium). Each test file
// takes a browser context of its own in it (startBrowser in browser.mjs),
// so files that run side by side share no cache, storage or window.
//
//   node tests/web/support/chromium.mjs start|stop DIR
//
// start leaves the browser's DevTools address in DIR/endpoint, which the
// tests find through HOUSE_SHARED_CHROMIUM; stop ends it and removes DIR.
import { spawn } from 'node:child_process';
import fs from 'node:fs';
import path from 'node:path';
import { setTimeout as sleep } from 'node:timers/promises';
import { chromiumArguments, kChromium } from './browser.mjs';

const kStartTimeoutMs = 30000;

async function start(directory) {
  fs.rmSync(directory, { recursive: true, force: true });
  const profile = path.join(directory, 'profile');
  fs.mkdirSync(profile, { recursive: true });
  // A process group of its own, so that it outlives this script and stop
  // ends every process it started.
  const browser = spawn(kChromium, chromiumArguments(profile, ['--remote-debugging-port=0']),
    { detached: true, stdio: 'ignore' });
  browser.unref();
  fs.writeFileSync(path.join(directory, 'pid'), `${browser.pid}\n`);
  const portFile = path.join(profile, 'DevToolsActivePort');
  for (const deadline = Date.now() + kStartTimeoutMs; !fs.existsSync(portFile); await sleep(50)) {
    if (Date.now() > deadline) throw new Error(`${kChromium} did not start within ${kStartTimeoutMs / 1000} s`);
  }
  const [port, address] = fs.readFileSync(portFile, 'utf8').trim().split('\n');
  fs.writeFileSync(path.join(directory, 'endpoint'), `ws://127.0.0.1:${port}${address}\n`);
}

function stop(directory) {
  const pidFile = path.join(directory, 'pid');
  if (fs.existsSync(pidFile)) {
    try {
      process.kill(-Number(fs.readFileSync(pidFile, 'utf8')), 'SIGKILL');
    } catch (error) {
      if (error.code !== 'ESRCH') throw error;
    }
  }
  fs.rmSync(directory, { recursive: true, force: true });
}

const [command, directory] = process.argv.slice(2);
if (!directory || !['start', 'stop'].includes(command)) {
  console.error('usage: node tests/web/support/chromium.mjs start|stop DIR');
  process.exit(2);
}
try {
  if (command === 'start') await start(directory);
  else stop(directory);
} catch (error) {
  console.error(`chromium: ${error.message}`);
  process.exit(1);
}
