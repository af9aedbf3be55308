// The one way keys reach the program from the page: typed on the canvas,
// made from gestures and buttons, or replayed from a link, every key goes
// through pressKey, which hands it to the program's own key callback and
// records it. The record, { special, code } per key delivered, is what a
// link to the view is made of, and what the picture can be checked against.
const delivered = [];
const listeners = [];
let notifying = false;

// Listeners hear once per batch of keys, after the batch: a replayed link
// or a burst of steps from one gesture is one change.
function changed() {
  if (notifying) return;
  notifying = true;
  queueMicrotask(() => {
    notifying = false;
    for (const listener of listeners) listener(delivered);
  });
}

// special: a GLUT special-key code (100 Left, 101 Up, 102 Right, 103 Down);
// otherwise an 8-bit character code. False when the program is not running.
export function pressKey(special, code) {
  if (!window.Module.deliverKey || !window.Module.deliverKey(special, code)) return false;
  delivered.push({ special, code });
  changed();
  return true;
}

export function pressKeys(presses) {
  for (const { special, code } of presses) {
    if (!pressKey(special, code)) return;
  }
}

export function onKeysDelivered(listener) {
  listeners.push(listener);
}

// The program's keyboard handler sends the keys typed on the canvas here;
// the record is where the tests read what the page delivered.
export function startKeys(program) {
  program.pressKey = pressKey;
  program.keysDelivered = delivered;
}
