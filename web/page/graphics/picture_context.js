// The picture's WebGL context, made by the page as its modules start, while
// the program is arriving, with the GL layer's shader program compiling on
// it: on the worker loading/page_loader.js started, where the browser can
// draw WebGL there (remote_context.js), so that no wait for the GPU falls
// on the page's thread; else on the page's own thread, as WebKitGTK must.
// The program's GLUT takes it in place of making one (glut_fixes.js).
// `?graphics=page` in the address draws on the page's thread anywhere, to
// compare the two.
//
// Either way the program finds Module.graphics:
//   context              the context, or what stands in for it
//   attributes           what it was made with (kContextAttributes)
//   largestSide          the largest side of a drawing buffer it draws
//   batchProgram()       the shader program on the current context
//   batchProgramReady()  false while the browser is still linking it;
//                        never waits
//   frameSent()          the GL layer has sent a frame
//   afterFrame(callback) runs `callback` once the program may send the
//                        next frame
//   framesInFlight       frames sent and not yet on the screen
//   contextRestored()    the context is back: make again what was made
// or null where there is no WebGL, which the program says as it starts.
import { compileBatchProgram, largestSide, linkFailure } from './context_setup.js';
import { startRemoteGraphics } from './remote_context.js';

// The context GLUT makes for the program's display mode (RGB, double
// buffered, with a depth buffer), with no extension enabled: the GL layer
// needs none, and emscripten would otherwise enable every one the browser
// offers, each a wait for the GPU process.
const kContextAttributes = {
  alpha: false, depth: true, stencil: false, antialias: false, majorVersion: 1, enableExtensionsByDefault: false,
};
const kCompletionStatus = 0x91B1;  // KHR_parallel_shader_compile's COMPLETION_STATUS_KHR

// The context on the page's thread. Its limits are asked once, as it is
// made, while the program is still arriving. Where the browser links
// shaders on threads of its own (KHR_parallel_shader_compile), frames ask
// whether the link is done, which never waits, and are not drawn until it
// is; whether it failed is asked once the first frame is out, when the
// answer no longer waits for anything.
function pageGraphics(program) {
  const gl = program.canvas.getContext('webgl', kContextAttributes);
  if (!gl) return null;
  let parallel;
  let batch;
  let linked;
  let checked;
  function prepare() {
    parallel = gl.getExtension('KHR_parallel_shader_compile');
    batch = compileBatchProgram(gl);
    linked = !parallel;
    checked = false;
  }
  prepare();
  return {
    context: gl,
    largestSide: largestSide(gl),
    batchProgram: () => batch,
    batchProgramReady() {
      linked ||= gl.getProgramParameter(batch, kCompletionStatus);
      return linked;
    },
    frameSent() {
      if (!checked) {
        checked = true;
        const failure = linkFailure(gl, batch);
        if (failure) program.onGraphicsFailed(failure);
      }
      program.onFrameDrawn();
    },
    afterFrame: (callback) => callback(),
    framesInFlight: 0,
    contextRestored: prepare,
  };
}

// Resolves once Module.graphics is set.
export async function makePictureContext(program) {
  // In a task of its own, after the one that starts the program's downloads.
  await new Promise((resolve) => setTimeout(resolve, 0));
  const worker = program.graphicsWorker;
  const remote = worker ? await startRemoteGraphics(program, worker, kContextAttributes) : null;
  const graphics = remote ? remote.graphics : pageGraphics(program);
  if (graphics) graphics.attributes = kContextAttributes;
  program.graphics = graphics;
}
