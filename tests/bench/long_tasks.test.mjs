// The web benchmark's reading of a trace (long_tasks.mjs) on traces made
// up here: the page's renderer thread and no other, the test driver's
// tasks and the navigation's commit left out, a task within another part
// of it, the stretch of time a task must overlap, and where its time went.
// Needs node only.
import assert from 'node:assert/strict';
import { test } from 'node:test';
import { longestTask, mainThreadTasks } from './long_tasks.mjs';

const kPage = { pid: 7, tid: 1 };
const kStart = 5_000_000;  // the navigation, in the trace's microseconds
const navigation = (url, where = kPage) =>
  ({ name: 'navigationStart', ph: 'R', ts: kStart, ...where, args: { data: { documentLoaderURL: url } } });
const event = (name, startMs, ms, { url, where = kPage } = {}) =>
  ({ name, ph: 'X', ts: kStart + startMs * 1000, dur: ms * 1000, ...where, ...(url ? { args: { data: { url } } } : {}) });
const task = (startMs, ms, where) => event('ThreadControllerImpl::RunTask', startMs, ms, { where });

const kTrace = [
  navigation('about:blank', { pid: 3, tid: 1 }),
  navigation('http://127.0.0.1:8080/'),
  task(-40, 30),                                                  // before the navigation
  task(-5, 12), event('DocumentLoader::CommitNavigation', -4, 10),
  task(10, 60), event('Layout', 12, 52), event('Paint', 65, 4),
  task(100, 80), event('FunctionCall', 101, 70, { url: 'http://127.0.0.1:8080/house.0123abcdef.js' }),
  event('RunTask', 110, 20),                                      // within the task above
  task(200, 300, { pid: 7, tid: 2 }),                             // another thread
  task(600, 200), event('FunctionCall', 601, 190, { url: 'pptr:evaluate;WaitTask' }),
  task(900, 55), event('EventDispatch', 901, 50),
];

test('the page\'s tasks: its renderer thread only, from its navigation, a task within another part of it', () => {
  assert.deepEqual(mainThreadTasks({ traceEvents: kTrace }), [
    { startMs: -5, ms: 12, notThePage: true, contents: ['DocumentLoader::CommitNavigation 10'] },
    { startMs: 10, ms: 60, notThePage: false, contents: ['Layout 52', 'Paint 4'] },
    { startMs: 100, ms: 80, notThePage: false, contents: ['FunctionCall house.js 70'] },
    { startMs: 600, ms: 200, notThePage: true, contents: ['FunctionCall pptr:evaluate;WaitTask 190'] },
    { startMs: 900, ms: 55, notThePage: false, contents: ['EventDispatch 50'] },
  ]);
  assert.throws(() => mainThreadTasks([navigation('about:blank')]), /no navigation to the page/);
});

test('the longest task overlapping a stretch of time, the driver\'s and the navigation\'s left out', () => {
  const tasks = mainThreadTasks(kTrace);
  const kCases = [
    [0, 1000, 100],    // the driver's 200 ms task does not count
    [0, 5, null],      // nor does the navigation's
    [0, 50, 10],
    [65, 70, 10],      // started before, still running
    [185, 590, null],  // nothing runs then
    [700, 950, 900],
  ];
  for (const [from, to, start] of kCases) {
    assert.equal(longestTask(tasks, from, to)?.startMs ?? null, start, `${from} to ${to} ms`);
  }
});
