// The program's loading, start and end: the Module object through which
// emscripten's loader and the page talk, the count of frames drawn, and
// the notice shown in place of the picture when the program cannot run
// or has ended. Until the program starts the caption under the picture
// says that the house is loading; then it says what is in view.
const caption = document.getElementById('view-name');
const notice = document.getElementById('notice');
const reload = document.getElementById('reload');

// In place of the picture: a heading, a sentence and, where starting
// again can help, a button that does it.
function showNotice(canvas, heading, text, offerReload) {
  document.getElementById('notice-heading').textContent = heading;
  document.getElementById('notice-text').textContent = text;
  canvas.hidden = true;
  caption.hidden = true;
  notice.hidden = false;
  reload.hidden = !offerReload;
  if (offerReload) reload.focus();
}

// The object the program's loader reads, made the page's one global,
// Module. `started` callbacks run once main has registered the program's
// callbacks, before its first frame.
export function createProgram(canvas) {
  const started = [];
  const module = {
    canvas,
    framesDrawn: 0,
    firstFrameMs: null,  // from the start of navigation
    postRun: [() => started.forEach((callback) => callback())],
    onFrameDrawn() {
      if (module.framesDrawn++ === 0) module.firstFrameMs = performance.now();
    },
    onProgramEnded() {
      showNotice(canvas, 'The program has ended',
        'Escape quits the program. Start it again to go on looking at the house.', true);
    },
    onAbort(what) {
      showNotice(canvas, 'The program stopped', `It reported: ${what}`, true);
    },
    onWebGLUnavailable() {
      showNotice(canvas, 'This browser cannot draw the house',
        'The house is drawn with WebGL, which this browser does not offer or has turned off. ' +
        'Turn on WebGL or hardware acceleration in its settings, or open the page in another browser.',
        false);
    },
    whenStarted(callback) { started.push(callback); },
  };
  reload.addEventListener('click', () => location.reload());
  window.Module = module;
  return module;
}

export function loadProgram(program) {
  const script = document.createElement('script');
  script.src = 'house.js';
  script.onerror = () => {
    showNotice(program.canvas, 'The program could not be loaded',
      'house.js did not arrive. Check that the server is still running.', true);
  };
  document.body.appendChild(script);
}
