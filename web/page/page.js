// The page round the program: starts it and gives it the keys, gestures
// and buttons, a drawing buffer as sharp as the screen, words for what is
// in view and what is under a tap, a link to it and its 3D model, and how
// its picture is drawn; keeps it drawing through lost graphics, and keeps
// the site for use with no network. Loaded as a
// module, so nothing here becomes a global but Module, through which the
// program's loader and the page talk.
import { arrangeHelp } from './help.js';
import { startButtons } from './input/buttons.js';
import { startGestures } from './input/gestures.js';
import { startGraphics } from './graphics/graphics.js';
import { startKeys } from './input/keys.js';
import { startTyping } from './input/typing.js';
import { startOffline } from './offline.js';
import { startModelDownload } from './model_download.js';
import { createProgram, loadProgram } from './loading/program.js';
import { startSizing } from './sizing.js';
import { startViewLink } from './input/view_link.js';
import { startViewName } from './view_name.js';

const element = (id) => document.getElementById(id);
// Where the browser cannot say when it is idle, this long after asking;
// where it can, at most the longer wait.
const kIdleFallbackMs = 1000;
const kMostIdleWaitMs = 5000;
const whenIdle = (callback) => (window.requestIdleCallback
  ? requestIdleCallback(callback, { timeout: kMostIdleWaitMs }) : setTimeout(callback, kIdleFallbackMs));
const canvas = element('canvas');
const hint = element('hint');

function showFocus() {
  hint.textContent = document.activeElement === canvas
    ? 'The keys go to the picture.'
    : 'Click or Tab to the picture to give it the keys.';
}

const program = createProgram(canvas);
loadProgram(program);
startKeys(program);
startTyping(canvas);
startSizing(program);
startGraphics(program);
startOffline(program);
startButtons(document.body);
startViewName(program, element('view-words'));
// What is in view, and what is under a tap, come once the first frame is
// drawn and the page is idle: neither their script nor the model export
// they read is any part of the first load.
let tapped = () => {};
let howDrawn = null;
startGestures(canvas, { onTap: (event) => howDrawn?.tap(event) || tapped(event) });
const firstDrawn = new Promise((resolve) => program.whenFirstDrawn(resolve));
program.whenFirstDrawn(() => whenIdle(async () => {
  try {
    const { startInView } = await import('./in_view.js');
    tapped = startInView(program, {
      list: element('in-view-list'), said: element('in-view-words'), tapSaid: element('tap-words'),
      label: element('part-label'), stage: element('stage'),
    });
  } catch {
    // Without it the page is whole but for the list; nothing to say.
  }
}));
startViewLink(program, {
  copyButton: element('copy-link'), status: element('link-status'),
  linkBox: element('link-box'), linkText: element('link-text'),
});
startModelDownload(program, {
  offer: element('model-offer'), button: element('download-model'), status: element('model-status'),
});
arrangeHelp(element('key-help'), element('touch-help'));
// "How it's drawn", with the steps and the style it reads, loads when its
// toggle is first pressed, once the first frame is drawn; from then on it
// answers the toggle itself. It is offered only while the program runs.
const howDrawnToggle = element('how-drawn-toggle');
howDrawnToggle.addEventListener('click', function startHowDrawnOnce() {
  howDrawnToggle.removeEventListener('click', startHowDrawnOnce);
  firstDrawn.then(() => import('./how_drawn.js')).then(({ startHowDrawn }) => {
    howDrawn = startHowDrawn(program, {
      toggle: howDrawnToggle, side: element('side'), controls: element('controls'), stage: element('stage'),
      liveRegion: element('view-name'),
    });
  }).catch(() => howDrawnToggle.addEventListener('click', startHowDrawnOnce));
});
program.whenStopped(() => { howDrawnToggle.hidden = true; });

canvas.addEventListener('focus', showFocus);
canvas.addEventListener('blur', showFocus);
canvas.focus({ preventScroll: true });
showFocus();
