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
// A vertex as the layer lays it out: its clip position, four floats, then
// its colour, four bytes.
const kColourOffset = 16;
const kVertexBytes = kColourOffset + 4;
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

// Where the browser draws in software, the first draw with the program
// builds the renderer's code for its shaders, vertex layout and targets,
// and the first frame waits for it. A triangle and a line drawn into a
// target of the drawing buffer's kind, off the screen, on a new context
// (while the program is still arriving), builds it sooner; nothing of it
// stays bound.
export function warmUpBatchProgram(gl, program) {
  const target = gl.createFramebuffer();
  const colour = gl.createTexture();
  const depth = gl.createRenderbuffer();
  const vertices = gl.createBuffer();
  const indices = gl.createBuffer();
  gl.bindTexture(gl.TEXTURE_2D, colour);
  gl.texImage2D(gl.TEXTURE_2D, 0, gl.RGB, 1, 1, 0, gl.RGB, gl.UNSIGNED_BYTE, null);
  gl.bindRenderbuffer(gl.RENDERBUFFER, depth);
  gl.renderbufferStorage(gl.RENDERBUFFER, gl.DEPTH_STENCIL, 1, 1);
  gl.bindFramebuffer(gl.FRAMEBUFFER, target);
  gl.framebufferTexture2D(gl.FRAMEBUFFER, gl.COLOR_ATTACHMENT0, gl.TEXTURE_2D, colour, 0);
  gl.framebufferRenderbuffer(gl.FRAMEBUFFER, gl.DEPTH_STENCIL_ATTACHMENT, gl.RENDERBUFFER, depth);
  gl.viewport(0, 0, 1, 1);
  gl.enable(gl.DEPTH_TEST);
  gl.useProgram(program);
  gl.bindBuffer(gl.ARRAY_BUFFER, vertices);
  gl.bufferData(gl.ARRAY_BUFFER, 3 * kVertexBytes, gl.STREAM_DRAW);
  gl.bindBuffer(gl.ELEMENT_ARRAY_BUFFER, indices);
  gl.bufferData(gl.ELEMENT_ARRAY_BUFFER, new Uint16Array([0, 1, 2]), gl.STREAM_DRAW);
  gl.enableVertexAttribArray(kClipAttribute);
  gl.enableVertexAttribArray(kColourAttribute);
  gl.vertexAttribPointer(kClipAttribute, 4, gl.FLOAT, false, kVertexBytes, 0);
  gl.vertexAttribPointer(kColourAttribute, 4, gl.UNSIGNED_BYTE, true, kVertexBytes, kColourOffset);
  gl.drawElements(gl.TRIANGLES, 3, gl.UNSIGNED_SHORT, 0);
  gl.drawElements(gl.LINES, 2, gl.UNSIGNED_SHORT, 0);
  gl.disableVertexAttribArray(kClipAttribute);
  gl.disableVertexAttribArray(kColourAttribute);
  gl.bindBuffer(gl.ARRAY_BUFFER, null);
  gl.bindBuffer(gl.ELEMENT_ARRAY_BUFFER, null);
  gl.useProgram(null);
  gl.disable(gl.DEPTH_TEST);
  gl.bindFramebuffer(gl.FRAMEBUFFER, null);
  gl.bindRenderbuffer(gl.RENDERBUFFER, null);
  gl.bindTexture(gl.TEXTURE_2D, null);
  gl.viewport(0, 0, gl.drawingBufferWidth, gl.drawingBufferHeight);
  for (const made of [vertices, indices]) gl.deleteBuffer(made);
  gl.deleteFramebuffer(target);
  gl.deleteRenderbuffer(depth);
  gl.deleteTexture(colour);
  gl.flush();
}
