// The one way keys reach the program from the page: typed on the canvas,
// made from gestures and buttons, or replayed from a link, every key goes
// through pressKey, which hands it to the program's own key callback and
// records it. Keys made while the program is arriving (the poster shows)
// are kept, in order, and reach it once it runs, after a link's keys, as
// if made then. The record is what a link to the view is made of, and what
// the picture can be checked against: runs of one key, so that a held
// button or a long drag is one entry. It holds only the keys the program
// acts on: any other (Space, a letter it does not use) changes nothing in
// any state, so a link is the same view without it. It is kept only while
// a link could still carry it, and from then on the keys are only
// counted, so that a session of any length keeps the page the same size.
// The record is written in the key language by the program's own writer
// (Module.formatKeys), which answers also once the program has ended, so
// the link to the view before Escape stays.

// A link holds 4,000 characters, and a run takes at least two of them (a
// key and a separator): past 2,000 runs no link can carry the view, so the
// record stops at the next power of two.
const kMostRecordedRuns = 2048;
const runKeys = new Uint16Array(kMostRecordedRuns);  // special << 8 | code
const runCounts = new Uint32Array(kMostRecordedRuns);
// The keys the program acts on (src/viewer/keys.cpp), by GLUT's fixed
// codes: the arrows through specialKeys (100 Left to 103 Down), and
// through keyboard the zoom, full screen and the window, and the gates'
// keys, which act in some state if not in every one. Escape ends the
// program, and no link carries it.
const kActingSpecials = new Set([100, 101, 102, 103]);
const kActingCharacters = new Set([...'+-fwocxz'].map((character) => character.charCodeAt(0)));
const acts = (special, code) => (special ? kActingSpecials : kActingCharacters).has(code);
let runs = 0;
let complete = true;
const listeners = [];
let notifying = false;

// Listeners hear once per batch of keys, after the batch: a replayed link
// or a burst of steps from one gesture is one change.
function changed() {
  if (notifying) return;
  notifying = true;
  queueMicrotask(() => {
    notifying = false;
    for (const listener of listeners) listener();
  });
}

function record(special, code) {
  if (!acts(special, code)) return;
  const key = (special ? 0x100 : 0) | code;
  if (runs > 0 && runKeys[runs - 1] === key) {
    ++runCounts[runs - 1];
  } else if (runs < kMostRecordedRuns) {
    runKeys[runs] = key;
    runCounts[runs] = 1;
    ++runs;
  } else {
    complete = false;
  }
}

function deliver(special, code) {
  if (!window.Module.deliverKey || !window.Module.deliverKey(special, code)) return false;
  if (complete) record(special, code);
  changed();
  return true;
}

// The presses made while the program is arriving, each a { special, code }
// or a { word } of the key language (a button's), which only the program
// reads; null once it runs.
let arriving = [];
const wordKeys = new Map();  // word -> { special, code }, as the program read it

function keyOf({ word, ...key }) {
  if (word === undefined) return key;
  if (!wordKeys.has(word)) wordKeys.set(word, window.Module.parseKeys(word)[0]);
  return wordKeys.get(word);
}

function press(key) {
  if (arriving === null) {
    const { special, code } = keyOf(key);
    return deliver(special, code);
  }
  if (window.Module.stopped) return false;
  arriving.push(key);
  return true;
}

// special: a GLUT special-key code (100 Left, 101 Up, 102 Right, 103 Down);
// otherwise an 8-bit character code. False when the program has ended,
// never started, or takes no keys now.
export function pressKey(special, code) {
  return press({ special, code });
}

// A key by its word in the key language ("Left", "+", "o").
export function pressKeyWord(word) {
  return press({ word });
}

export function pressKeys(presses) {
  for (const { special, code } of presses) {
    if (!pressKey(special, code)) return;
  }
}

// The program runs: a link's presses first, then those made meanwhile.
export function openKeys(linkPresses) {
  const early = arriving ?? [];
  arriving = null;
  pressKeys(linkPresses);
  for (const key of early) {
    if (!press(key)) return;
  }
}

export function onKeysDelivered(listener) {
  listeners.push(listener);
}

// The record as { special, code, count } runs, or null once it has grown
// past what a link can carry.
function deliveredRuns() {
  if (!complete) return null;
  return Array.from(runKeys.subarray(0, runs), (key, run) =>
    ({ special: key >= 0x100, code: key & 0xff, count: runCounts[run] }));
}

// The view as the key language writes it ("Left*12~o*54" with separator
// "~"), which house-snapshot and house-export read to make the same view.
// Null once the record has grown past what a link can carry, or past the
// presses the language reads.
export function deliveredKeyText(separator) {
  const runs = deliveredRuns();
  if (runs === null) return null;
  // No key has reached the program, which may not be there yet.
  if (runs.length === 0) return '';
  try {
    return window.Module.formatKeys(runs, separator);
  } catch {
    return null;
  }
}

// The tests press keys as the page does, and read the record, press by
// press, as keysDelivered (null once it has grown past what a link can
// carry).
export function startKeys(program) {
  program.pressKey = pressKey;
  Object.defineProperty(program, 'keysDelivered', {
    get: () => deliveredRuns()?.flatMap(({ special, code, count }) => Array(count).fill({ special, code })) ?? null,
  });
}
