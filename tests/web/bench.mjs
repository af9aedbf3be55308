// The web frame beside the native one, measured in the same run: prints
// figures and asserts nothing.
//
//   node tests/web/bench.mjs --site DIR --native HOUSE_BENCH [--frames N] [--rounds R]
//
// Web: the program's display() at 500x500 in headless Chromium, each frame
// followed by a one-pixel read, which waits until the browser's GPU process
// has drawn it, as the native figure waits for glFinish. Native: house-bench's
// figure (a), the same display() on Mesa's software renderer. The two take
// turns, `rounds` times, so that load from other work on the machine falls
// on both; the figures are the medians of the rounds' medians.
import { execFileSync } from 'node:child_process';
import os from 'node:os';
import { openPage, startBrowser, waitForFrames } from './browser.mjs';

const kFrameSize = '500x500';
const kPageLoads = 5;
const kWarmUpFrames = 20;
// Google Benchmark picks its own iteration counts; it repeats the whole
// measurement this often and reports the median.
const kNativeRepetitions = 5;

function median(values) {
  const sorted = [...values].sort((a, b) => a - b);
  const middle = sorted.length >> 1;
  return sorted.length % 2 ? sorted[middle] : (sorted[middle - 1] + sorted[middle]) / 2;
}

function parseOptions(argv) {
  const options = { frames: 200, rounds: 3, site: null, native: null };
  for (let i = 0; i < argv.length; i += 2) {
    const [name, value] = [argv[i], argv[i + 1]];
    if (name === '--frames' || name === '--rounds') {
      const count = Number(value);
      if (!Number.isInteger(count) || count < 1) throw new Error(`${name} needs a whole number above 0`);
      options[name.slice(2)] = count;
    } else if (name === '--site' || name === '--native') {
      if (!value) throw new Error(`${name} needs a path`);
      options[name.slice(2)] = value;
    } else {
      throw new Error(`unknown option ${name}`);
    }
  }
  if (!options.site || !options.native) throw new Error('--site and --native are required');
  return options;
}

// The native program frame at 500x500, in ms: the median of house-bench's
// repetitions of program_frame/500x500, from its JSON report.
function nativeFrameMs(houseBench) {
  const scale = { ns: 1e-6, us: 1e-3, ms: 1, s: 1e3 };
  const report = JSON.parse(execFileSync(houseBench, [
    `--benchmark_filter=^program_frame/${kFrameSize}$`,
    `--benchmark_repetitions=${kNativeRepetitions}`, '--benchmark_format=json',
  ], { stdio: ['ignore', 'pipe', 'pipe'] }).toString());
  const row = report.benchmarks.find((b) => b.name === `program_frame/${kFrameSize}_median`);
  if (!row) throw new Error(`house-bench reported no program_frame/${kFrameSize}_median`);
  return row.real_time * scale[row.time_unit];
}

// Milliseconds from the start of navigation to the end of the first frame,
// over fresh loads of the page.
async function firstFrameMs(session) {
  const times = [];
  for (let load = 0; load < kPageLoads; ++load) {
    const { page, faults } = await openPage(session);
    await waitForFrames(page, 0);
    times.push(await page.evaluate(() => Module.firstFrameMs));
    if (faults.length) throw new Error(faults.join('\n'));
    await page.close();
  }
  return median(times);
}

// The median web frame in ms. display() is reached through the function
// GLUT keeps for it; the emulation leaves its state in page globals.
async function webFrameMs(page, frames) {
  return median(await page.evaluate((count, warmUp) => {
    const display = getWasmTableEntry(GLUT.displayFunc);
    const pixel = new Uint8Array(4);
    const times = [];
    for (let i = 0; i < warmUp + count; ++i) {
      const start = performance.now();
      display();
      GLctx.readPixels(0, 0, 1, 1, GLctx.RGBA, GLctx.UNSIGNED_BYTE, pixel);
      if (i >= warmUp) times.push(performance.now() - start);
    }
    return times;
  }, frames, kWarmUpFrames));
}

async function main() {
  const options = parseOptions(process.argv.slice(2));
  const load = os.loadavg()[0];
  const session = await startBrowser(options.site);
  try {
    const { page } = await openPage(session);
    await waitForFrames(page, 0);
    const web = [];
    const native = [];
    for (let round = 0; round < options.rounds; ++round) {
      native.push(nativeFrameMs(options.native));
      web.push(await webFrameMs(page, options.frames));
    }
    const firstFrame = await firstFrameMs(session);
    const [webMs, nativeMs] = [median(web), median(native)];
    const line = (label, value) => console.log(`  ${label.padEnd(58)}${value}`);
    console.log(`Frame at ${kFrameSize}, ms (median of ${options.rounds} rounds; a web round is ${options.frames} frames, a native one house-bench's median of ${kNativeRepetitions} repetitions)`);
    line('web: display() in headless Chromium (SwiftShader WebGL)', webMs.toFixed(2));
    line('native (a): display() on Mesa (house-bench)', nativeMs.toFixed(2));
    line('budget, web frame at most 2 x native: web / native', (webMs / nativeMs).toFixed(2));
    line('rounds, web', web.map((v) => v.toFixed(2)).join(' '));
    line('rounds, native', native.map((v) => v.toFixed(2)).join(' '));
    console.log(`Navigation to the first drawn frame, ms (median of ${kPageLoads} loads)`);
    line('budget, web first frame under 1000 ms: web', firstFrame.toFixed(0));
    console.log(`Load average when the run began: ${load.toFixed(2)} on ${os.cpus().length} cores`);
  } finally {
    await session.close();
  }
}

main().catch((error) => {
  console.error(`bench: ${error.message}`);
  process.exit(1);
});
