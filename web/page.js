// The page round the program: starts it where WebGL is available, keeps the
// keys with its canvas and says so when the program cannot run or has ended.
// Loaded as a module, so nothing here becomes a global but Module, through
// which the program's loader and the page talk.
const canvas = document.getElementById('canvas');
const loading = document.getElementById('loading');
const hint = document.getElementById('hint');
const notice = document.getElementById('notice');
const reload = document.getElementById('reload');

// In place of the picture: a heading, a sentence and, where starting
// again can help, a button that does it.
function showNotice(heading, text, offerReload) {
  document.getElementById('notice-heading').textContent = heading;
  document.getElementById('notice-text').textContent = text;
  canvas.hidden = true;
  loading.hidden = true;
  hint.hidden = true;
  notice.hidden = false;
  reload.hidden = !offerReload;
  if (offerReload) reload.focus();
}

// Tried on a canvas of its own: the program's context must be made with
// the program's own settings.
function webglAvailable() {
  try {
    const probe = document.createElement('canvas');
    return !!(window.WebGLRenderingContext && probe.getContext('webgl'));
  } catch (e) {
    return false;
  }
}

function showFocus() {
  hint.textContent = document.activeElement === canvas
    ? 'The keys go to the picture.'
    : 'Click the picture to give it the keys.';
}

// What the program's loader reads, and the page's part in the frames and
// the program's end.
function programModule() {
  const module = {
    canvas: canvas,
    framesDrawn: 0,
    firstFrameMs: null,  // from the start of navigation
    onFrameDrawn: function () {
      if (module.framesDrawn++ === 0) {
        module.firstFrameMs = performance.now();
        loading.hidden = true;
      }
    },
    onProgramEnded: function () {
      showNotice('The program has ended',
        'Escape quits the program. Start it again to go on looking at the house.', true);
    },
    onAbort: function (what) {
      showNotice('The program stopped', 'It reported: ' + what, true);
    },
  };
  return module;
}

function startProgram() {
  canvas.addEventListener('focus', showFocus);
  canvas.addEventListener('blur', showFocus);
  canvas.addEventListener('mousedown', function () { canvas.focus(); });
  window.Module = programModule();
  const script = document.createElement('script');
  script.src = 'house.js';
  script.onerror = function () {
    showNotice('The program could not be loaded',
      'house.js did not arrive. Check that the server is still running.', true);
  };
  document.body.appendChild(script);
  canvas.focus();
  showFocus();
}

reload.addEventListener('click', function () { location.reload(); });
if (webglAvailable()) {
  startProgram();
} else {
  showNotice('This browser cannot draw the house',
    'The house is drawn with WebGL, which this browser does not offer or has turned off. ' +
    'Turn on WebGL or hardware acceleration in its settings, or open the page in another browser.',
    false);
}
