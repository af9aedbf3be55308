// The web frame beside the native one, measured in the same run, the
// page's main thread on a phone, and Lighthouse's view of the page on a
// phone: prints figures and asserts nothing.
//
//   node tests/bench/web_bench.mjs --site DIR --native HOUSE_BENCH [--frames N] [--rounds R]
//
// Web: the program's display() in headless Chromium, each frame followed by
// a one-pixel read, which waits until the browser's GPU process has drawn
// it, as the native figure waits for glFinish; at the window's 500x500 and
// at the drawing buffer of a 390-pixel phone at ratio 3. The page draws on
// its own thread for this (?graphics=page), where the program's calls meet
// the GL as they do natively. Native: house-bench's figure (a) at the same
// size, the same display() on Mesa's software renderer. The two take
// turns, `rounds` times, so that load from other work on the machine falls
// on both; the figures are the medians of the rounds' medians.
//
// The main thread (main_thread.mjs): the longest task from navigation to
// the first frame, and while a finger drags and holds a button, on the
// phone, with the processor as it is and slowed down four times as
// Lighthouse slows it; the median of a few loads each.
//
// The first frame: from navigation to the first paint, to each step of the
// program's start that the page marks, and to the first frame, on a
// desktop window and the phone, the median of a few loads, and a first
// visit with nothing cached.
//
// How it's drawn at 500x500, drawn on a worker and on the page's thread: a
// step and a pixel's history, as the page's performance timeline has them.
import { execFileSync } from 'node:child_process';
import os from 'node:os';
import { openPage, startBrowser, waitForFrames } from '../web/support/browser.mjs';
import { kDesktop, kPhone, openOn } from '../web/support/devices.mjs';
import { kStepTo } from '../web/support/pictures.mjs';
import { runLighthouse } from '../web/support/lighthouse.mjs';
import { kLongTaskMs } from './long_tasks.mjs';
import { measureMainThread } from './main_thread.mjs';

const kPageLoads = 5;
const kTracedLoads = 3;
const kSlowdowns = [1, 4];
const kLighthouseRuns = 3;
const kCategories = ['performance', 'accessibility', 'best-practices', 'seo'];
const kOnPagesThread = '?graphics=page';
const kWarmUpFrames = 20;
// Steps and taps timed in "How it's drawn".
const kTimedSteps = 40;
const kTimedTaps = 12;
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

// The native program frame at `size` ("500x500"), in ms: the median of
// house-bench's repetitions of program_frame at that size, from its JSON
// report.
function nativeFrameMs(houseBench, size) {
  const scale = { ns: 1e-6, us: 1e-3, ms: 1, s: 1e3 };
  const report = JSON.parse(execFileSync(houseBench, [
    `--size=${size}`, '--startup-runs=0', `--benchmark_filter=^program_frame/${size}$`,
    `--benchmark_repetitions=${kNativeRepetitions}`, '--benchmark_format=json',
  ], { stdio: ['ignore', 'pipe', 'pipe'] }).toString());
  const row = report.benchmarks.find((b) => b.name === `program_frame/${size}_median`);
  if (!row) throw new Error(`house-bench reported no program_frame/${size}_median`);
  return row.real_time * scale[row.time_unit];
}

// Milliseconds from the start of navigation to the first paint, to each
// step of the program's start the page marks ("house: ..."), and to the
// end of the first frame, on `device`: the medians of fresh loads of the
// page in one browser context, and a first visit, with nothing cached.
async function firstFrameMs(session, device) {
  const loadTimes = async (isolated) => {
    const { page, faults } = await openOn(session, device, '', { isolated });
    const times = await page.evaluate(() => Object.fromEntries([
      ...performance.getEntriesByName('first-contentful-paint').map((entry) => ['first paint', entry.startTime]),
      ...performance.getEntriesByType('mark').filter((mark) => mark.name.startsWith('house: '))
        .map((mark) => [mark.name.slice('house: '.length), mark.startTime]),
      ['first frame', Module.firstFrameMs],
    ]));
    if (faults.length) throw new Error(faults.join('\n'));
    await page.close();
    return times;
  };
  const firstVisit = await loadTimes(true);
  const loads = [];
  for (let load = 0; load < kPageLoads; ++load) loads.push(await loadTimes(false));
  const steps = Object.keys(loads[0]).map((step) => [step, median(loads.map((times) => times[step]))]);
  return { steps: steps.sort((a, b) => a[1] - b[1]), firstVisit: firstVisit['first frame'] };
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

// "How it's drawn" opened on `page`, in ms: the step redraws and the pixel
// histories (the first, then the others, with the worker's own time).
async function howDrawnMs(page) {
  await page.click('#how-drawn-toggle');
  await page.waitForSelector('#step-slider');
  const count = await page.$eval('#step-slider', (slider) => Number(slider.max));
  const box = await page.$eval('#canvas', (canvas) => canvas.getBoundingClientRect().toJSON());
  const timed = async (name, act) => {
    const before = await page.evaluate((n) => performance.getEntriesByName(n).length, name);
    await act();
    await page.waitForFunction((n, was) => performance.getEntriesByName(n).length > was, {}, name, before);
  };
  for (let i = 1; i <= kTimedSteps; ++i) await timed('step redraw', () => page.evaluate(kStepTo(Math.round((i * count) / (kTimedSteps + 1)))));
  for (let i = 0; i < kTimedTaps; ++i) {
    await timed('pixel history', () => page.mouse.click(box.x + (box.width * ((i % 4) + 0.5)) / 4, box.y + (box.height * ((i >> 2) + 1.5)) / 5));
  }
  const [steps, [first, ...histories]] = await page.evaluate(() => ['step redraw', 'pixel history']
    .map((name) => performance.getEntriesByName(name).map((entry) => [entry.duration, entry.detail?.workerMs])));
  // The first step redraw is the panel's opening.
  const [step, history, worker] = [steps.slice(1), histories, histories].map((rows, i) => median(rows.map((row) => row[+(i === 2)])));
  return { step, first: first[0], history, worker };
}

// A long task's script as a file name ("house.js", without the digest
// the site names it by), the page itself as index.html; Lighthouse's own
// words ("Unattributable") as they are.
function scriptName(url) {
  if (!/^https?:/.test(url)) return url;
  return new URL(url).pathname.slice(1).replace(/\.[0-9a-f]{8,}(?=\.[^.]+$)/, '') || 'index.html';
}

// Lighthouse's four scores, its paint and blocking figures and the long
// tasks of each run, under its simulated slow phone.
async function lighthouseOnAPhone(site) {
  const runs = [];
  for (let run = 0; run < kLighthouseRuns; ++run) {
    const lhr = await runLighthouse(site, kCategories);
    const ms = (audit) => lhr.audits[audit].numericValue;
    runs.push({
      scores: kCategories.map((category) => Math.round(lhr.categories[category].score * 100)),
      paintMs: [ms('first-contentful-paint'), ms('largest-contentful-paint')],
      blockingMs: ms('total-blocking-time'),
      longTasks: (lhr.audits['long-tasks'].details?.items || [])
        .map((task) => `${task.duration.toFixed(0)} ms ${scriptName(task.url)}`),
    });
  }
  return runs;
}

// The median load's longest task in each stretch, at each slowdown.
async function mainThread(session) {
  const figures = [];
  for (const slowdown of kSlowdowns) {
    const loads = [];
    for (let load = 0; load < kTracedLoads; ++load) loads.push(await measureMainThread(session, slowdown));
    const middle = (stretch) => loads.map((load) => load[stretch])
      .sort((a, b) => (a?.ms ?? 0) - (b?.ms ?? 0))[loads.length >> 1];
    figures.push({ slowdown, toFirstFrame: middle('toFirstFrame'), whileTouched: middle('whileTouched') });
  }
  return figures;
}

const taskText = (task) => (task ? `${task.ms.toFixed(0)} ms (${task.contents.join(', ')})` : 'none');

async function main() {
  const options = parseOptions(process.argv.slice(2));
  const load = os.loadavg()[0];
  const session = await startBrowser(options.site);
  const line = (label, value) => console.log(`  ${label.padEnd(58)}${value}`);
  try {
    // The window's page at ratio 1, and the phone's.
    const window = (await openPage(session, { fragment: kOnPagesThread })).page;
    await waitForFrames(window, 0);
    const pages = [window, (await openOn(session, kPhone, kOnPagesThread)).page];
    const sizes = [];
    for (const page of pages) sizes.push((await page.evaluate(() => [Module.canvas.width, Module.canvas.height])).join('x'));
    const web = sizes.map(() => []);
    const native = sizes.map(() => []);
    for (let round = 0; round < options.rounds; ++round) {
      for (let i = 0; i < pages.length; ++i) {
        native[i].push(nativeFrameMs(options.native, sizes[i]));
        await pages[i].bringToFront();
        web[i].push(await webFrameMs(pages[i], options.frames));
      }
    }
    for (let i = 0; i < pages.length; ++i) {
      const [webMs, nativeMs] = [median(web[i]), median(native[i])];
      console.log(`Frame at ${sizes[i]}${i ? ' (a 390-pixel phone at ratio 3)' : ''}, ms (median of ${options.rounds} rounds; a web round is ${options.frames} frames, a native one house-bench's median of ${kNativeRepetitions} repetitions)`);
      line('web: display() in headless Chromium (SwiftShader WebGL)', webMs.toFixed(2));
      line('native (a): display() on Mesa (house-bench)', nativeMs.toFixed(2));
      line('budget, web frame at most 2 x native: web / native', (webMs / nativeMs).toFixed(2));
      line('rounds, web', web[i].map((v) => v.toFixed(2)).join(' '));
      line('rounds, native', native[i].map((v) => v.toFixed(2)).join(' '));
    }
    for (let i = 0; i < pages.length; ++i) await pages[i].close();
    console.log(`How it's drawn at 500x500, drawn on a worker and on the page's thread, ms (medians of ${kTimedSteps} steps and ${kTimedTaps - 1} taps)`);
    for (const [where, fragment] of [['worker', ''], ["page's thread", kOnPagesThread]]) {
      const { page } = await openPage(session, { fragment });
      await waitForFrames(page, 0);
      const ms = await howDrawnMs(page);
      line(`${where}: a step, from the slider to the screen`, ms.step.toFixed(1));
      line(`${where}: a history, tap to list, first; then (worker)`,
        `${ms.first.toFixed(1)}; ${ms.history.toFixed(1)} (${ms.worker.toFixed(1)})`);
      await page.close();
    }
    console.log(`Navigation to the first paint, each step of the program's start and its first frame, ms (median of ${kPageLoads} loads)`);
    for (const device of [kDesktop, kPhone]) {
      const { steps, firstVisit } = await firstFrameMs(session, device);
      line(`${device.name}: ${steps.map(([step]) => step).join(', ')}`, steps.map(([, ms]) => ms.toFixed(0)).join(' '));
      line(`${device.name}: budget, first frame under 1000 ms; a first visit`, `${steps.at(-1)[1].toFixed(0)}; ${firstVisit.toFixed(0)}`);
    }
    console.log(`The main thread on the phone, longest task of the median of ${kTracedLoads} loads (budget: none over ${kLongTaskMs} ms)`);
    for (const { slowdown, toFirstFrame, whileTouched } of await mainThread(session)) {
      const speed = slowdown === 1 ? 'processor as it is' : `processor ${slowdown}x slower`;
      line(`to the first frame, ${speed}`, taskText(toFirstFrame));
      line(`while dragged and held, ${speed}`, taskText(whileTouched));
    }
  } finally {
    await session.close();
  }
  const runs = await lighthouseOnAPhone(options.site);
  const medianRun = (pick) => [...runs].sort((a, b) => pick(a) - pick(b))[runs.length >> 1];
  const middle = medianRun((run) => run.scores[0]);
  console.log(`Lighthouse, mobile (a simulated slow phone), ${kLighthouseRuns} runs`);
  for (const [i, run] of runs.entries()) {
    line(`run ${i + 1}: performance, accessibility, best practices, SEO`, run.scores.join(' '));
    line(`run ${i + 1}: contentful paint (first, largest), blocking, ms`,
      [...run.paintMs, run.blockingMs].map((ms) => ms.toFixed(0)).join(' '));
  }
  line('performance score, median', middle.scores[0]);
  line('largest contentful paint, median, ms', medianRun((run) => run.paintMs[1]).paintMs[1].toFixed(0));
  line('total blocking time, median, ms', medianRun((run) => run.blockingMs).blockingMs.toFixed(0));
  line('long tasks of the median run', middle.longTasks.join(', ') || 'none');
  console.log(`Load average when the run began: ${load.toFixed(2)} on ${os.cpus().length} cores`);
}

main().catch((error) => {
  console.error(`bench: ${error.message}`);
  process.exit(1);
});
