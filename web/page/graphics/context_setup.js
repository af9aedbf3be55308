// What the page does on the picture's context as it makes it, on whichever
// thread draws (picture_context.js), while the program is still arriving:
// it asks the context's limits and compiles the one shader program the GL
// layer (web/wasm/gl_batch.cpp) draws every frame with, vertices already in
// clip space, each with its colour. The layer takes the program at its
// first frame, and again once a lost context is back. The attributes'
// locations are the layer's kClipAttribute and kColourAttribute.
const kVertexShader = `attribute vec4 clipPosition;
attribute vec4 colour;
varying vec3 fragmentColour;
void main() {
  fragmentColour = colour.rgb;
  gl_Position = clipPosition;
}
`;
const kFragmentShader = `precision mediump float;
varying vec3 fragmentColour;
void main() { gl_FragColor = vec4(fragmentColour, 1.0); }
`;
const kClipAttribute = 0;
const kColourAttribute = 1;
// Where the calls are recorded and run on a worker (remote_context.js),
// the handle the program goes by.
export const kBatchProgramHandle = 0;

// The largest side of a drawing buffer the context draws into.
export function largestSide(gl) {
  const viewport = gl.getParameter(gl.MAX_VIEWPORT_DIMS);
  return Math.min(viewport[0], viewport[1], gl.getParameter(gl.MAX_RENDERBUFFER_SIZE));
}

// Compiling and linking only start here: the browser finishes them on
// threads of its own, and only a question about them would wait.
export function compileBatchProgram(gl) {
  const program = gl.createProgram();
  for (const [type, source] of [[gl.VERTEX_SHADER, kVertexShader], [gl.FRAGMENT_SHADER, kFragmentShader]]) {
    const shader = gl.createShader(type);
    gl.shaderSource(shader, source);
    gl.compileShader(shader);
    gl.attachShader(program, shader);
    // Kept by the program it is attached to, and freed with it.
    gl.deleteShader(shader);
  }
  gl.bindAttribLocation(program, kClipAttribute, 'clipPosition');
  gl.bindAttribLocation(program, kColourAttribute, 'colour');
  gl.linkProgram(program);
  return program;
}

// Why the program did not link, or null where it did. This waits for the
// link: asked only where it no longer waits on the page (on the worker,
// or once the link is known to be done). A lost context links nothing and
// is not a failure of the program's.
export function linkFailure(gl, program) {
  if (gl.isContextLost() || gl.getProgramParameter(program, gl.LINK_STATUS)) return null;
  return gl.getProgramInfoLog(program) || 'the shaders did not link';
}
