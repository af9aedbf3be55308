// The picture's WebGL context on a worker, for remote_context.js. The page
// hands over its canvas; this makes the context on it, compiles the GL
// layer's shader program and then runs the calls the page recorded, in
// order, with handles in place of the objects they made. Each frame is
// told back once it is on the screen, at this worker's next animation
// frame, with the buffers that carried its vertices, for the next frame.
//
// A lost context drops the calls that come meanwhile, as WebGL does, and
// is asked back; once it is, the objects made on it are forgotten and the
// shader program is compiled again before the page hears of it.
import {
  compileBatchProgram, kBatchProgramHandle, largestSide, linkFailure, warmUpBatchProgram,
} from './context_setup.js';

let canvas = null;
let gl = null;
let lost = false;
let losing = null;  // WEBGL_lose_context, asked for while the context is there
let objects = new Map();  // handle -> object on the current context
let newSize = null;  // the canvas's, taken on at the next call
const carriers = [];  // the buffers of the frame being drawn, to give back

const nextFrame = self.requestAnimationFrame?.bind(self) ?? ((callback) => setTimeout(callback, 16));

// A context of its own, on a canvas of its own, says whether WebGL works on
// a worker here at all, before the page gives up its canvas for good.
function drawsWebGL() {
  try {
    const test = new OffscreenCanvas(1, 1).getContext('webgl');
    test?.getExtension('WEBGL_lose_context')?.loseContext();
    return Boolean(test);
  } catch {
    return false;
  }
}

// The page hears `news` (the context is ready, or back) as soon as the
// program is compiling, so that the program starts while it links; its
// calls wait here behind the link, and a failure to link is told after.
function prepare(news) {
  const program = compileBatchProgram(gl);
  objects = new Map([[kBatchProgramHandle, program]]);
  postMessage(news);
  const failure = linkFailure(gl, program);
  if (failure) postMessage({ failed: failure });
  else warmUpBatchProgram(gl, program);
}

function start(offscreen, attributes) {
  canvas = offscreen;
  gl = canvas.getContext('webgl', attributes);
  if (!gl) {
    postMessage({ failed: null });
    return;
  }
  canvas.addEventListener('webglcontextlost', (event) => {
    event.preventDefault();  // else the browser never gives it back
    lost = true;
    postMessage({ lost: true });
  });
  canvas.addEventListener('webglcontextrestored', () => {
    lost = false;
    prepare({ restored: true });
  });
  losing = gl.getExtension('WEBGL_lose_context');
  prepare({ ready: { largestSide: largestSide(gl) } });
}

const object = (arg) => (arg !== null && typeof arg === 'object' && 'handle' in arg ? objects.get(arg.handle) ?? null : arg);

// A new size comes a side at a time (the width, then the height): both
// are taken on together, before the next call.
function resize() {
  const [width, height] = newSize;
  newSize = null;
  if (canvas.width !== width) canvas.width = width;
  if (canvas.height !== height) canvas.height = height;
}

function run([name, ...args]) {
  if (name === 'resize') {
    newSize = args;
    return;
  }
  if (newSize) resize();
  if (name === 'frame') {
    const shown = !lost;
    const buffers = carriers.splice(0);
    nextFrame(() => postMessage({ drawn: args[0], shown, buffers }, buffers));
  } else if (name === 'bufferData') {
    if (ArrayBuffer.isView(args[1])) carriers.push(args[1].buffer);
    if (!lost) gl.bufferData(args[0], args[1], args[2]);
  } else if (name === 'createBuffer') {
    if (!lost) objects.set(args[0].handle, gl.createBuffer());
  } else if (!lost) {
    gl[name](...args.map(object));
  }
}

onmessage = ({ data }) => {
  if (data.probe) postMessage({ probed: drawsWebGL() });
  if (data.canvas) start(data.canvas, data.attributes);
  if (data.lose) losing?.loseContext();
  if (data.restore) losing?.restoreContext();
  if (data.calls) for (const call of data.calls) run(call);
};
