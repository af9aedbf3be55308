// The picture's WebGL context on a worker (context_worker.js): the canvas
// gives its control to the worker as an OffscreenCanvas, so that no wait
// for the GPU (making the context, compiling, and, where the browser
// composites in software, reading each frame back to show it) ever falls
// on the page's thread.
//
// The program's GL layer calls the context here as it would a WebGL one.
// It records each call with its arguments, the objects it makes being
// numbered handles, and sends the calls of one task to the worker as one
// message. Nothing the layer calls asks for an answer it would wait for:
// whether the context is lost, the worker says when it changes. Vertex
// data is copied out of the program's memory, which the next frame reuses,
// into buffers that go to the worker and come back when the frame is on
// the screen, so that a frame allocates nothing.
import { kBatchProgramHandle } from './context_setup.js';

// Sent and not yet on the screen: one frame being drawn and one on its way
// keep the worker busy; the program's next frame waits, so that the
// picture never falls behind the keys.
const kMostFramesInFlight = 2;
// The calls the GL layer and emscripten's GL make on the picture's
// context besides those below; any other is an error where it is made,
// not a call lost on the way.
const kRecordedCalls = ['clear', 'clearColor', 'enable', 'disable', 'viewport', 'useProgram', 'bindBuffer',
  'enableVertexAttribArray', 'vertexAttribPointer', 'drawElements'];

class RemoteContext {
  #worker;
  #calls = [];
  #transfers = [];
  #spare = [];  // buffers back from the worker
  #nextHandle = kBatchProgramHandle + 1;
  lost = false;

  constructor(worker, canvas) {
    this.#worker = worker;
    this.canvas = canvas;
  }

  #record(call) {
    if (this.#calls.length === 0) queueMicrotask(() => this.send());
    this.#calls.push(call);
  }

  send() {
    if (this.#calls.length === 0) return;
    this.#worker.postMessage({ calls: this.#calls }, this.#transfers);
    this.#calls = [];
    this.#transfers = [];
  }

  // A copy of `view` in a buffer that goes to the worker.
  #carry(view) {
    const bytes = new Uint8Array(view.buffer, view.byteOffset, view.byteLength);
    const fits = this.#spare.findIndex((buffer) => buffer.byteLength >= bytes.length);
    const buffer = fits >= 0 ? this.#spare.splice(fits, 1)[0] : new ArrayBuffer(2 ** Math.ceil(Math.log2(bytes.length || 1)));
    const copy = new Uint8Array(buffer, 0, bytes.length);
    copy.set(bytes);
    this.#transfers.push(buffer);
    return copy;
  }

  takeBack(buffers) {
    this.#spare.push(...buffers);
  }

  isContextLost() {
    return this.lost;
  }

  // Only the tests' way to take the context away and give it back.
  getExtension(name) {
    if (name !== 'WEBGL_lose_context') return null;
    return {
      loseContext: () => this.#worker.postMessage({ lose: true }),
      restoreContext: () => this.#worker.postMessage({ restore: true }),
    };
  }

  createBuffer() {
    const handle = { handle: this.#nextHandle++ };
    this.#record(['createBuffer', handle]);
    return handle;
  }

  bufferData(target, data, usage) {
    this.#record(['bufferData', target, ArrayBuffer.isView(data) ? this.#carry(data) : data, usage]);
  }

  resize(width, height) {
    this.#record(['resize', width, height]);
  }

  frame(number) {
    this.#record(['frame', number]);
    this.send();
  }

  static {
    for (const name of kRecordedCalls) {
      this.prototype[name] = function record(...args) {
        this.#record([name, ...args]);
      };
    }
  }
}

// After the transfer the canvas's own width and height no longer follow
// its drawing buffer, and setting them throws. These stand in for them, so
// that the program's GLUT and the page's sizing read and set the buffer's
// size as on a canvas of their own; a new size reaches the worker in order
// with the calls.
function followBuffer(canvas, context) {
  const size = [canvas.width, canvas.height];
  ['width', 'height'].forEach((property, index) => {
    Object.defineProperty(canvas, property, {
      configurable: true,
      get: () => size[index],
      set: (value) => {
        if (size[index] === value) return;
        size[index] = value;
        context.resize(size[0], size[1]);
      },
    });
  });
}

// { graphics }: the picture's graphics (as picture_context.js describes
// them) on the worker page_loader.js started, once it has made its
// context, or null where the worker could not make one, which the program
// has been told. Null where this browser cannot draw WebGL on a worker:
// the canvas is still the page's.
export async function startRemoteGraphics(program, started, attributes) {
  const canvas = program.canvas;
  const { worker, drawsWebGL } = await started;
  if (!drawsWebGL) {
    worker.terminate();
    return null;
  }
  const offscreen = canvas.transferControlToOffscreen();
  const context = new RemoteContext(worker, canvas);
  followBuffer(canvas, context);
  const waiting = [];
  let framesSent = 0;
  let framesInFlight = 0;
  const tell = (type) => canvas.dispatchEvent(new Event(type, { cancelable: true }));

  const ready = new Promise((resolve) => {
    worker.onmessage = ({ data }) => {
      if (data.ready) resolve(data.ready);
      if ('failed' in data) {
        resolve(null);
        if (data.failed === null) program.onWebGLUnavailable();
        else program.onGraphicsFailed(data.failed);
      }
      if (data.lost) {
        context.lost = true;
        tell('webglcontextlost');
      }
      if (data.restored) {
        context.lost = false;
        tell('webglcontextrestored');
      }
      if ('drawn' in data) {
        context.takeBack(data.buffers);
        --framesInFlight;
        if (data.shown) program.onFrameDrawn();
        while (waiting.length && framesInFlight < kMostFramesInFlight) waiting.shift()();
      }
    };
  });
  worker.onerror = (event) => program.onAbort(`the graphics worker failed: ${event.message || 'it could not be loaded'}`);
  worker.postMessage({ canvas: offscreen, attributes }, [offscreen]);
  const limits = await Promise.race([ready, new Promise((resolve) => worker.addEventListener('error', () => resolve(null)))]);
  if (!limits) return { graphics: null };
  const batchProgram = { handle: kBatchProgramHandle };
  return { graphics: {
    context,
    largestSide: limits.largestSide,
    batchProgram: () => batchProgram,
    batchProgramReady: () => true,
    frameSent() {
      ++framesInFlight;
      context.frame(++framesSent);
    },
    afterFrame(callback) {
      if (framesInFlight < kMostFramesInFlight) callback();
      else waiting.push(callback);
    },
    get framesInFlight() { return framesInFlight; },
    // The worker has compiled the shader program again before it says so.
    contextRestored() {},
  } };
}
