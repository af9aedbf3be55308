// "How it's drawn": the picture as the program makes it. The program
// clears the picture to the sky and then draws its frame as a fixed run of
// pieces (each glBegin ... glEnd), in the order its routines call each
// other, the depth test keeping or hiding each piece pixel by pixel. A
// slider from 0 to the piece count redraws the picture up to that step,
// the newest piece outlined (the GL layer's Module.showSteps), and says
// which part the piece is and which of the program's routines drew it;
// Play runs through the whole frame. A tap on the picture lists every
// piece that covered that pixel, each a button that takes the slider to it.
//
// The steps and their words are what house-snapshot --steps recorded as
// the program drew its frame (frame_steps.js); a pixel's history comes
// from the model export's module on its worker, for the keys delivered, at
// the picture's drawing buffer size. page.js imports this module, and so
// the steps and the style, only when the toggle is first pressed.
//
// While the panel is open the picture is not the live view, and the
// program gets no keys (Escape closes it); closed, the live view is drawn
// again, as the program left it. A lost context draws the step again once
// it is back, as it does the live view.
import { loadSteps } from './frame_steps.js';
import { deliveredKeyText } from './input/keys.js';
import { pixelHistorian } from './loading/export_module.js';
import { withCommas } from './numbers.js';

// As the build names it, after its content.
const kStyle = 'how_drawn.css';
// Play shows the whole frame's making in this long; where motion is to be
// reduced it shows a part at a time instead, this long each.
const kPlayMs = 4000;
const kPartMs = 1000;
// As the picture's name waits for the keys to pause, the live region
// waits for the slider to rest.
const kQuietMs = 400;
const kLiveView = -1;

function make(tag, properties = {}, ...children) {
  const element = Object.assign(document.createElement(tag), properties);
  element.append(...children);
  return element;
}

// The panel's style, which only it needs; without it the panel is plain.
function loadStyle() {
  return new Promise((resolve) => {
    const link = make('link', { rel: 'stylesheet', href: kStyle, onload: resolve, onerror: resolve });
    document.head.append(link);
  });
}

// A button named by a sign: the sign is shown, the name said.
function signButton(id, sign, name) {
  const button = make('button', { id, type: 'button', textContent: sign });
  button.setAttribute('aria-label', name);
  return button;
}

// The slider between a step back and a step on, the sentence that says
// the step and Play, then a pixel's history.
function makePanel(count) {
  const slider = make('input', { id: 'step-slider', type: 'range', min: 0, max: count, step: 1, value: count });
  const panel = make('section', { id: 'how-drawn', hidden: true },
    make('h2', { id: 'how-drawn-heading', textContent: 'How it\'s drawn' }),
    make('p', { textContent: `The program clears the picture to the sky, then draws ${withCommas(count)} pieces ` +
      'one after another; at each pixel the depth test keeps a piece only where it is nearer than what is there. ' +
      'Escape brings back the live view.' }),
    make('label', { htmlFor: 'step-slider', textContent: 'Step', className: 'unseen' }),
    make('div', { className: 'step-row' }, signButton('step-back', '◀', 'Step back'), slider,
      signButton('step-on', '▶', 'Step on')),
    make('p', { id: 'step-words' }),
    make('button', { id: 'step-play', type: 'button', textContent: 'Play' }),
    make('h2', { id: 'pixel-heading', textContent: 'A pixel\'s history' }),
    make('p', { id: 'pixel-words', textContent: 'Tap or click the picture to list every piece that covered that ' +
      'pixel (counted from the left and from the top, in the picture\'s own pixels), in the order drawn.' }),
    make('ol', { id: 'pixel-history' }));
  panel.setAttribute('aria-labelledby', 'how-drawn-heading');
  panel.querySelector('ol').setAttribute('aria-labelledby', 'pixel-heading');
  return panel;
}

// `toggle` opens and closes the panel, which goes first in `side`, the
// column beside the picture (below it on a narrow screen), where the
// view's buttons, `controls`, are held while it is open; `stage` holds the
// picture, `liveRegion` the polite live region under it. Opens the panel
// at once. Returns { tap(event) }, true where the panel took the tap.
export function startHowDrawn(program, { toggle, side, controls, stage, liveRegion }) {
  const canvas = program.canvas;
  const historian = pixelHistorian();
  const style = loadStyle();
  const said = make('span', { className: 'unseen' });
  const status = make('p', { id: 'how-drawn-status', role: 'status' });
  const mark = make('div', { id: 'pixel-mark', hidden: true });
  mark.setAttribute('aria-hidden', 'true');
  liveRegion.append(' ', said);
  stage.append(mark);
  toggle.after(status);
  let steps = null;
  let panel = null;
  let open = false;
  let playing = null;  // cancels Play, while it runs
  let quiet = null;
  let timing = false;
  let asked = 0;
  const byId = (id) => panel.querySelector(`#${id}`);
  const current = () => Number(byId('step-slider').value);

  // The time from asking for a step to its frame on the screen, on the
  // page's performance timeline as 'step redraw': the program draws it at
  // its next animation frame.
  function timeRedraw() {
    if (timing) return;
    timing = true;
    const start = performance.now();
    const check = () => {
      if (program.framePending()) {
        requestAnimationFrame(check);
        return;
      }
      timing = false;
      performance.measure('step redraw', { start });
    };
    requestAnimationFrame(check);
  }

  // The outline as wide as a CSS pixel.
  function outlinePixels() {
    const shown = canvas.getBoundingClientRect().width;
    return shown > 0 ? Math.max(1, Math.round(canvas.width / shown)) : 1;
  }

  function showStep(step) {
    const slider = byId('step-slider');
    const sentence = steps.stepWords(step);
    slider.value = step;
    slider.setAttribute('aria-valuetext', sentence);
    byId('step-words').textContent = sentence;
    for (const button of byId('pixel-history').querySelectorAll('button')) {
      if (Number(button.dataset.step) === step) button.setAttribute('aria-current', 'step');
      else button.removeAttribute('aria-current');
    }
    program.showSteps(step, outlinePixels());
    timeRedraw();
    clearTimeout(quiet);
    quiet = setTimeout(() => { said.textContent = sentence; }, kQuietMs);
  }

  function stopPlay() {
    playing?.();
    playing = null;
    if (panel) byId('step-play').textContent = 'Play';
  }

  // From the step shown, or from the sky once at the end, to the end.
  function play() {
    const from = current() >= steps.count ? 0 : current();
    byId('step-play').textContent = 'Pause';
    if (matchMedia('(prefers-reduced-motion: reduce)').matches) {
      const timer = setInterval(() => {
        showStep(steps.partEnd(current()));
        if (current() >= steps.count) stopPlay();
      }, kPartMs);
      playing = () => clearInterval(timer);
      showStep(from);
      return;
    }
    let begun = null;
    let frame = null;
    const advance = (now) => {
      begun ??= now;
      const step = Math.min(steps.count, from + Math.floor(((now - begun) / kPlayMs) * steps.count));
      if (step !== current()) showStep(step);
      if (step >= steps.count) stopPlay();
      else frame = requestAnimationFrame(advance);
    };
    playing = () => cancelAnimationFrame(frame);
    frame = requestAnimationFrame(advance);
  }

  function listHistory([x, y, width, height], seen) {
    const shown = seen.findLast((piece) => piece.kept);
    const where = `Pixel ${x}, ${y} of ${width} × ${height}`;
    const covered = `${seen.length} piece${seen.length === 1 ? '' : 's'} covered it`;
    byId('pixel-words').textContent = shown
      ? `${where}: ${covered}; it shows step ${withCommas(shown.step)}, ${steps.part(shown.step)}.`
      : `${where}: no piece covered it; it shows the cleared sky.`;
    byId('pixel-history').replaceChildren(...seen.map((piece) => {
      const swatch = make('span', { className: 'swatch' });
      swatch.style.background = piece.colour;
      const button = make('button', { type: 'button' }, swatch, steps.pieceWords(piece));
      button.dataset.step = piece.step;
      if (piece.step === current()) button.setAttribute('aria-current', 'step');
      button.addEventListener('click', () => {
        stopPlay();
        showStep(piece.step);
      });
      return make('li', {}, button);
    }));
    clearTimeout(quiet);
    said.textContent = byId('pixel-words').textContent;
  }

  // The pixel of the drawing buffer under the tap, marked on the picture;
  // a later tap's answer replaces an earlier one's.
  async function tapAt(event) {
    const box = canvas.getBoundingClientRect();
    const [left, top] = [event.clientX - box.left, event.clientY - box.top];
    const [width, height] = [canvas.width, canvas.height];
    const [x, y] = [Math.floor((left / box.width) * width), Math.floor((top / box.height) * height)];
    if (x < 0 || y < 0 || x >= width || y >= height) return;
    Object.assign(mark.style, { left: `${left}px`, top: `${top}px` });
    mark.hidden = false;
    const ask = ++asked;
    const start = performance.now();
    const keys = deliveredKeyText(' ');
    try {
      if (keys === null) throw new Error('the view is past what the history can follow');
      const { pieces: seen, ms } = await (await historian)(keys, width, height, x, y);
      if (ask !== asked || !open) return;
      listHistory([x, y, width, height], seen);
      performance.measure('pixel history', { start, detail: { workerMs: ms, pieces: seen.length } });
    } catch (error) {
      if (ask !== asked || !open) return;
      byId('pixel-words').textContent = `The history of pixel ${x}, ${y} could not be worked out: ${error.message}.`;
      byId('pixel-history').replaceChildren();
    }
  }

  // While a step shows, the picture is not the live view and takes no
  // keys: a screen reader is told so, and told the step; closed, the live
  // view's name and keys come back as they were.
  let liveNaming = [];
  function nameStepView(showingSteps) {
    if (showingSteps) {
      liveNaming = ['aria-label', 'aria-keyshortcuts', 'aria-describedby'].map((name) => [name, canvas.getAttribute(name)]);
      canvas.removeAttribute('aria-keyshortcuts');
      canvas.setAttribute('aria-label', '3D house, as the program draws it, step by step');
      canvas.setAttribute('aria-describedby', 'step-words');
      return;
    }
    for (const [name, value] of liveNaming) {
      if (value === null) canvas.removeAttribute(name);
      else canvas.setAttribute(name, value);
    }
  }

  function close() {
    if (!open) return;
    open = false;
    nameStepView(false);
    stopPlay();
    clearTimeout(quiet);
    said.textContent = '';
    toggle.setAttribute('aria-expanded', 'false');
    document.body.classList.remove('showing-steps');
    if (panel) panel.hidden = true;
    mark.hidden = true;
    controls.inert = false;
    if (panel?.contains(document.activeElement)) toggle.focus();
    if (!program.stopped) program.showSteps(kLiveView, 1);
  }

  let loading = null;
  async function openPanel() {
    if (open || program.stopped) return;
    open = true;
    toggle.setAttribute('aria-expanded', 'true');
    status.textContent = '';
    try {
      loading ??= Promise.all([loadSteps(), style]);
      [steps] = await loading;
    } catch (error) {
      loading = null;
      if (open) status.textContent = `${error.message}.`;
      open = false;
      toggle.setAttribute('aria-expanded', 'false');
      return;
    }
    if (!open) return;
    if (!panel) {
      panel = makePanel(steps.count);
      side.prepend(panel);
      toggle.setAttribute('aria-controls', panel.id);
      startControls();
    }
    panel.hidden = false;
    document.body.classList.add('showing-steps');
    nameStepView(true);
    controls.inert = true;
    showStep(current());
    // The module compiles what the history calls as it is first called.
    historian.then((history) => history('', 1, 1, 0, 0)).catch(() => {});
  }

  function startControls() {
    const slider = byId('step-slider');
    slider.addEventListener('input', () => {
      stopPlay();
      showStep(current());
    });
    byId('step-play').addEventListener('click', () => (playing ? stopPlay() : play()));
    for (const [id, by] of [['step-back', -1], ['step-on', 1]]) {
      byId(id).addEventListener('click', () => {
        stopPlay();
        showStep(Math.max(0, Math.min(steps.count, current() + by)));
      });
    }
  }

  toggle.addEventListener('click', () => (open ? close() : openPanel()));
  document.addEventListener('keydown', (event) => {
    if (event.key === 'Escape' && open) close();
  });
  program.whenStopped(close);
  openPanel();
  return {
    tap(event) {
      if (!open) return false;
      tapAt(event);
      return true;
    },
  };
}
