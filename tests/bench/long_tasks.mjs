// The page's main thread read from a Chromium performance trace (Chrome's
// JSON trace format): its tasks, each one run of the renderer's main
// thread's scheduler, timed from the page's navigation, and the longest in
// a stretch of time. Tasks not of the page's making are marked: the test's
// own (puppeteer's evaluations, whose scripts are named "pptr:") and the
// browser's commit of the navigation, which makes the page's window before
// any of the page is read. Every other task counts, the browser's work for
// the page (parsing, layout, paint) as well as the page's own scripts.
export const kLongTaskMs = 50;
const kTaskNames = new Set(['ThreadControllerImpl::RunTask', 'RunTask']);
const kNamedInTask = 3;

// "house.js" for http://127.0.0.1:8080/house.0123456789.js.
const scriptName = (url) => url.split('/').pop().replace(/\.[0-9a-f]{8,}(?=\.[^.]+$)/, '');

// The events of one task: those of `events` (sorted by start) from `first`
// on that start before it ends.
function* inside(events, first, task) {
  for (let i = first; i < events.length && events[i].ts <= task.ts + task.dur; ++i) {
    if (events[i] !== task && !kTaskNames.has(events[i].name)) yield events[i];
  }
}

// Where a task's time went, the longest first: "Layout 52".
function contents(events, first, task) {
  const longest = new Map();
  for (const event of inside(events, first, task)) {
    const url = event.args?.data?.url;
    const name = url ? `${event.name} ${scriptName(url)}` : event.name;
    longest.set(name, Math.max(longest.get(name) ?? 0, event.dur ?? 0));
  }
  return [...longest].sort((a, b) => b[1] - a[1]).slice(0, kNamedInTask)
    .map(([name, us]) => `${name} ${Math.round(us / 1000)}`);
}

// The page's main-thread tasks in `trace` as { startMs, ms, contents,
// notThePage }, started from the page's navigation. A task run within
// another (a nested run loop) is part of it.
export function mainThreadTasks(trace) {
  const events = trace.traceEvents ?? trace;
  const navigation = events.find((event) => event.name === 'navigationStart' &&
    /^https?:/.test(event.args?.data?.documentLoaderURL ?? ''));
  if (!navigation) throw new Error('the trace has no navigation to the page');
  const onThread = events.filter((event) => event.pid === navigation.pid && event.tid === navigation.tid &&
    event.ph === 'X').sort((a, b) => a.ts - b.ts || b.dur - a.dur);
  const tasks = [];
  let end = -Infinity;  // of the task running: a task within it is part of it
  onThread.forEach((task, first) => {
    if (!kTaskNames.has(task.name) || task.ts < end) return;
    end = task.ts + task.dur;
    if (end < navigation.ts) return;
    tasks.push({
      startMs: (task.ts - navigation.ts) / 1000,
      ms: task.dur / 1000,
      notThePage: [...inside(onThread, first, task)].some((event) => event.name === 'DocumentLoader::CommitNavigation' ||
        /^pptr:/.test(event.args?.data?.url ?? '')),
      contents: contents(onThread, first, task),
    });
  });
  return tasks;
}

// The longest of the page's `tasks` that overlap [fromMs, toMs]; null
// where there is none.
export function longestTask(tasks, fromMs, toMs) {
  return tasks.filter((task) => !task.notThePage && task.startMs <= toMs && task.startMs + task.ms >= fromMs)
    .reduce((longest, task) => (!longest || task.ms > longest.ms ? task : longest), null);
}
