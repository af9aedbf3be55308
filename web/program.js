// The program's loading, start and end: the Module object through which
// emscripten's loader and the page talk, the count of frames drawn, and
// what the page says when the program cannot run or has ended.
//
// house.js and house.wasm are fetched side by side (index.html has the
// browser start on them at once, and the fetches here take what it got),
// the WebAssembly with its progress shown as bytes of its size, and each
// is checked before it runs: whole (a file named after its content must
// have that content) and, for the WebAssembly, a program this browser can
// compile. A file that does not arrive, or not whole, is named with the
// cause, with the offer to try again; so is one that stops arriving for
// kStallMs. The caption under the picture says that the house is loading
// until the program starts; then it says what is in view.
import { kStartAgain, showNotice } from './notice.js';

// As the build names them, after their content.
const kScript = 'house.js';
const kWasm = 'house.wasm';
const kStallMs = 20000;

const element = (id) => document.getElementById(id);

// The file's name as a person knows it, without the build's digest.
export function plainName(url) {
  return url.split('/').pop().replace(/\.[0-9a-f]{8,}(?=\.[^./]+$)/, '');
}

const kibibytes = (bytes) => Math.round(bytes / 1024).toLocaleString('en');

// Why a file could not be used, in words that end "…could not be loaded: ".
class DeliveryError extends Error {}

function unreachable() {
  return navigator.onLine === false ? 'the browser is offline' : 'the server could not be reached';
}

// The file's bytes, with `onProgress(received)` as they come.
async function download(url, onProgress = () => {}) {
  const controller = new AbortController();
  let stalled = false;
  let timer = null;
  const watch = () => {
    clearTimeout(timer);
    timer = setTimeout(() => { stalled = true; controller.abort(); }, kStallMs);
  };
  let received = 0;
  try {
    watch();
    let response;
    try {
      response = await fetch(url, { signal: controller.signal });
    } catch {
      throw new DeliveryError(stalled ? `nothing arrived for ${kStallMs / 1000} seconds` : unreachable());
    }
    if (!response.ok) {
      throw new DeliveryError(`the server answered ${response.status}${response.statusText ? ` ${response.statusText}` : ''}`);
    }
    const reader = response.body.getReader();
    const chunks = [];
    for (;;) {
      let part;
      try {
        part = await reader.read();
      } catch {
        const after = `after ${received.toLocaleString('en')} bytes`;
        throw new DeliveryError(stalled ? `it stopped arriving ${after}, and nothing more came for ${kStallMs / 1000} seconds`
          : `the download broke off ${after}`);
      }
      if (part.done) break;
      chunks.push(part.value);
      received += part.value.length;
      onProgress(received);
      watch();
    }
    const bytes = new Uint8Array(received);
    let at = 0;
    for (const chunk of chunks) {
      bytes.set(chunk, at);
      at += chunk.length;
    }
    return bytes;
  } finally {
    clearTimeout(timer);
  }
}

// A file named after its content must have that content: the first digits
// of its SHA-256. Where the browser offers no digests (a page served over
// plain HTTP from another machine) the size alone is checked.
async function checkWhole(url, bytes, expectedBytes = null) {
  if (expectedBytes !== null && bytes.length !== expectedBytes) {
    throw new DeliveryError(`it arrived with ${bytes.length.toLocaleString('en')} of its ` +
      `${expectedBytes.toLocaleString('en')} bytes`);
  }
  const digits = /\.([0-9a-f]{8,})\.[^./]+$/.exec(url)?.[1];
  if (!digits || !globalThis.crypto?.subtle) return;
  const digest = new Uint8Array(await crypto.subtle.digest('SHA-256', bytes));
  const hex = Array.from(digest, (byte) => byte.toString(16).padStart(2, '0')).join('');
  if (!hex.startsWith(digits)) throw new DeliveryError('it arrived damaged: its content is not the one this page was built with');
}

// The object the program's loader reads, made the page's one global,
// Module. `started` callbacks run once main has registered the program's
// callbacks, before its first frame; `drawn` ones after the first frame.
export function createProgram(canvas) {
  const started = [];
  const drawn = [];
  const module = {
    canvas,
    framesDrawn: 0,
    firstFrameMs: null,  // from the start of navigation
    stopped: false,      // ended, or never started
    postRun: [() => {
      element('loading').hidden = true;
      started.forEach((callback) => callback());
    }],
    onFrameDrawn() {
      if (module.framesDrawn++ > 0) return;
      module.firstFrameMs = performance.now();
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
    // Only the first reason the program cannot go on is shown.
    stop(heading, text, action) {
      if (module.stopped) return;
      module.stopped = true;
      showNotice(heading, text, { action });
    },
    whenStarted(callback) { started.push(callback); },
    whenFirstDrawn(callback) { drawn.push(callback); },
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

// house.js as a script of the page's own (the policy runs no other kind),
// once its bytes have been checked: the browser takes it from its cache.
function runScript(url) {
  return new Promise((resolve, reject) => {
    const script = document.createElement('script');
    script.src = url;
    script.onload = () => (window.Module.deliverKey ? resolve() : reject(new DeliveryError('it did not run')));
    script.onerror = () => reject(new DeliveryError(unreachable()));
    document.body.appendChild(script);
  });
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
      try {
        return await WebAssembly.compile(bytes);
      } catch (error) {
        throw new DeliveryError(`it is not a program this browser can run (${error.message})`);
      }
    });
  wasm.catch(failed(kWasm));

  // The loader asks for the program once house.js runs; it calls main
  // only after receiveInstance.
  program.instantiateWasm = (imports, receiveInstance) => {
    wasm.then(async (compiled) => {
      try {
        receiveInstance(await WebAssembly.instantiate(compiled, imports), compiled);
      } catch (error) {
        if (!(error instanceof WebAssembly.LinkError)) throw error;
        throw new DeliveryError(`it does not fit ${plainName(kScript)} (${error.message})`);
      }
    }).catch(failed(kWasm));
    return {};
  };

  download(kScript)
    .then(async (bytes) => {
      await checkWhole(kScript, bytes);
      await runScript(kScript);
    })
    .catch(failed(kScript));
}
