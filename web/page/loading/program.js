// The program's loading, start and end: the Module object through which
// emscripten's loader and the page talk, the count of frames drawn, and
// what the page says when the program cannot run or has ended.
//
// house.js and house.wasm are fetched side by side as the page's modules
// start, after the poster, the WebAssembly with its progress shown as
// bytes of its size, and each is checked before it runs: whole (a file
// named after its content must have that content) and, for the
// WebAssembly, a program this browser can compile. A file that does not
// arrive, or not whole, is named with the cause, with the offer to try
// again; so is one that stops arriving for a while. Meanwhile the page makes the picture's WebGL context
// (picture_context.js), and the program starts once both are there. The
// caption under the picture says that the house is loading until the
// program starts; then it says what is in view. Until its first frame the
// picture is the poster (or, for a link, the empty stage) and the canvas
// is not shown.
import {
  checkWhole, compileWasm, DeliveryError, download, instantiateFrom, kibibytes, plainName, runScript,
} from './delivery.js';
import { kStartAgain, showNotice } from './notice.js';
import { makePictureContext } from '../graphics/picture_context.js';

// Where the program's start has got to, on the page's performance
// timeline, which the web benchmark reads: the first frame is firstFrameMs.
const kCompiledMark = 'house: program compiled';
const kGraphicsMark = 'house: graphics ready';
const kStartedMark = 'house: program started';

// As the build names them, after their content.
const kScript = 'house.js';
const kWasm = 'house.wasm';

const element = (id) => document.getElementById(id);

// The object the program's loader reads, made the page's one global,
// Module. `started` callbacks run once main has registered the program's
// callbacks, before its first frame; `drawn` ones after the first frame;
// `stopped` ones once it cannot go on, for whatever reason.
export function createProgram(canvas) {
  const started = [];
  const drawn = [];
  const stopped = [];
  const module = {
    canvas,
    graphicsWorker: window.Module?.graphicsWorker ?? null,  // page_loader.js: its start, a promise
    graphics: null,      // picture_context.js
    framesDrawn: 0,
    firstFrameMs: null,  // from the start of navigation
    stopped: false,      // ended, or never started
    postRun: [() => {
      performance.mark(kStartedMark);
      element('loading').hidden = true;
      started.forEach((callback) => callback());
    }],
    onFrameDrawn() {
      if (module.framesDrawn++ > 0) return;
      module.firstFrameMs = performance.now();
      canvas.classList.remove('waiting');
      element('poster').hidden = true;
      drawn.forEach((callback) => callback());
    },
    onProgramEnded() {
      module.stop('The program has ended',
        'Escape quits the program. Start it again to go on looking at the house.', kStartAgain);
    },
    onAbort(what) {
      module.stop('The program stopped', `It reported: ${what}`, kStartAgain);
    },
    onWebGLUnavailable() {
      module.stop('This browser cannot draw the house',
        'The house is drawn with WebGL, which this browser does not offer or has turned off. ' +
        'Turn on WebGL or hardware acceleration in its settings, or open the page in another browser.', null);
    },
    onGraphicsFailed(reason) {
      module.stop('This browser cannot draw the house',
        `Its WebGL could not prepare the drawing (${reason.trim()}). Open the page in another browser.`, null);
    },
    // Only the first reason the program cannot go on is shown.
    stop(heading, text, action) {
      if (module.stopped) return;
      module.stopped = true;
      showNotice(heading, text, { action });
      stopped.forEach((callback) => callback());
    },
    whenStarted(callback) { started.push(callback); },
    whenFirstDrawn(callback) { drawn.push(callback); },
    whenStopped(callback) { stopped.push(callback); },
  };
  window.Module = module;
  return module;
}

// "Try again" fetches the file afresh, past any copy the browser keeps of
// a damaged one, and loads the page again.
function tryAgain(url) {
  return {
    label: 'Try again',
    run: async () => {
      await fetch(url, { cache: 'reload' }).catch(() => {});
      location.reload();
    },
  };
}

function showProgress(received, total) {
  if (total > 0) element('loading-progress').value = Math.min(received, total);
  element('loading-amount').textContent = total > 0
    ? `${kibibytes(received)} of ${kibibytes(total)} KB`
    : `${kibibytes(received)} KB`;
}

export function loadProgram(program) {
  const failed = (url) => (error) => {
    if (!(error instanceof DeliveryError)) throw error;
    program.stop('The house could not be loaded', `${plainName(url)} could not be loaded: ${error.message}.`,
      tryAgain(url));
  };
  const bar = element('loading-progress');
  const wasmBytes = bar.max > 1 ? bar.max : null;
  showProgress(0, wasmBytes);
  const wasm = download(kWasm, (received) => showProgress(received, wasmBytes))
    .then(async (bytes) => {
      await checkWhole(kWasm, bytes, wasmBytes);
      const compiled = await compileWasm(bytes);
      performance.mark(kCompiledMark);
      return compiled;
    });
  wasm.catch(failed(kWasm));

  const context = makePictureContext(program).then(() => performance.mark(kGraphicsMark));
  context.catch((error) => program.onAbort(`the picture's graphics could not be made: ${error.message}`));

  // The loader asks for the program once house.js runs; it calls main
  // only after receiveInstance, and so once the context is made. A
  // download that fails before house.js has run is said above already.
  const ready = context.then(() => wasm);
  ready.catch(() => {});
  program.instantiateWasm = instantiateFrom(ready, kScript, failed(kWasm));

  download(kScript)
    .then(async (bytes) => {
      await checkWhole(kScript, bytes);
      await runScript(kScript, () => Boolean(window.Module.deliverKey));
    })
    .catch(failed(kScript));
}
