// The buttons, one for each of the program's actions, for people without a
// keyboard and for those who cannot drag. Each sends its key (its
// data-key, in the key language). A tap or a click is one step; held down
// by a pointer, or by Space or Enter, it repeats as a held key does: after
// a pause, some 30 steps a second, so holding "Open drive gate" swings the
// gate as holding "o" does. Buttons marked data-once (full screen and back)
// act once, on the click, which the browser counts as a person's request.
// The program reads the data-key words, in its own key language; until it
// runs, the steps are kept for it (keys.js).
import { pressKeyWord } from './keys.js';

const kRepeatDelayMs = 500;
const kRepeatIntervalMs = 1000 / 30;
const kActivationKeys = new Set([' ', 'Enter']);

function keyOf(button) {
  return () => pressKeyWord(button.dataset.key);
}

// Steps once now and then repeats, until the returned stop is called or
// the program no longer takes keys.
function hold(step) {
  let delay = null;
  let interval = null;
  const stop = () => {
    clearTimeout(delay);
    clearInterval(interval);
  };
  const repeat = () => {
    if (!step()) stop();
  };
  if (step()) delay = setTimeout(() => { interval = setInterval(repeat, kRepeatIntervalMs); }, kRepeatDelayMs);
  return stop;
}

function startRepeating(button) {
  const step = keyOf(button);
  let stop = null;
  const end = () => {
    if (stop) stop();
    stop = null;
  };
  const begin = () => {
    end();
    stop = hold(step);
  };

  button.addEventListener('pointerdown', (event) => {
    if (event.pointerType === 'mouse' && event.button !== 0) return;
    button.setPointerCapture(event.pointerId);
    begin();
  });
  for (const type of ['pointerup', 'pointercancel', 'lostpointercapture', 'blur']) {
    button.addEventListener(type, end);
  }
  // Held keys send their own repeats; the button keeps to its own pace.
  button.addEventListener('keydown', (event) => {
    if (!kActivationKeys.has(event.key)) return;
    event.preventDefault();  // no click: the step is taken here
    if (!event.repeat) begin();
  });
  button.addEventListener('keyup', (event) => {
    if (!kActivationKeys.has(event.key)) return;
    event.preventDefault();
    end();
  });
  // A pointer's click has been a step already, at pointerdown; a click
  // with no pointer behind it (from assistive technology) is one step.
  button.addEventListener('click', (event) => {
    if (event.detail === 0) step();
  });
  // A long touch is a held button, not a request for a menu.
  button.addEventListener('contextmenu', (event) => event.preventDefault());
}

export function startButtons(container) {
  const buttons = container.querySelectorAll('button[data-key]');
  for (const button of buttons) {
    if (button.hasAttribute('data-once')) button.addEventListener('click', keyOf(button));
    else startRepeating(button);
  }
  // Full screen is offered only where the browser has it (not, for one,
  // on an iPhone).
  if (!document.fullscreenEnabled) {
    for (const button of document.querySelectorAll('[data-needs-fullscreen]')) button.hidden = true;
  }
}
