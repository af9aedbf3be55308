// Appended to house.js (emcc --post-js), so it sees the GLUT emulation's
// state; it runs before the program's main. It puts right where the
// emulation behaves unlike a desktop GLUT (keys, the window's size, full
// screen, the GL context: docs/web.md says how) and lets the page drive
// the program:
//   Module.deliverKey(special, code)   one key event to specialKeys or
//       keyboard; false when the program is not running
//   Module.resizeWindow(width, height, drawNow)   a window of that many
//       pixels: the buffer, reshape, then a frame (at once with drawNow)
//   Module.restoreGraphics()   the GL context is back: make again, draw
//   Module.framePending()   whether a frame has been asked for and is not
//       on the screen yet
//   Module.showSteps(step, outlinePixels)   the frame drawn only up to its
//       piece `step`, outlined, from the next frame on, and no keys for the
//       program meanwhile; step -1 the live view again (gl_batch.cpp)
// It takes the GL context the page made, Module.graphics
// (web/page/picture_context.js), and calls the page's
// Module.onWindowSizeRequested() (the program asked for a window size) and
// Module.onWebGLUnavailable() (no GL context).
(function () {
  'use strict';

  // The program ended itself (Escape calls exit(0)): nothing may run after
  // that, as nothing does after a process exits, so no queued frame is
  // drawn and no further key is delivered.
  function endProgram(status) {
    ABORT = true;
    if (Module['onProgramEnded']) Module['onProgramEnded'](status);
  }

  function callProgram(callback, first, second) {
    try {
      getWasmTableEntry(callback)(first, second, 0);
    } catch (e) {
      if (!(e instanceof ExitStatus)) throw e;
      endProgram(e.status);
    }
  }

  // While the picture shows a step of the frame's making it is not the
  // live view, and the live view's keys would move what no one sees.
  var showingSteps = false;

  Module['deliverKey'] = function (special, code) {
    var callback = special ? GLUT.specialFunc : GLUT.keyboardFunc;
    if (ABORT || !callback || showingSteps) return false;
    callProgram(callback, code, 0);
    return true;
  };

  Module['resizeWindow'] = function (width, height, drawNow) {
    if (ABORT || !GLUT.reshapeFunc) return;
    var canvas = Module['canvas'];
    if (canvas.width !== width) canvas.width = width;
    if (canvas.height !== height) canvas.height = height;
    callProgram(GLUT.reshapeFunc, width, height);
    if (drawNow && GLUT.displayFunc) getWasmTableEntry(GLUT.displayFunc)();
    else _glutPostRedisplay();
  };

  Module['restoreGraphics'] = function () {
    if (ABORT) return;
    Module['graphics'].contextRestored();
    _restoreGraphics();
    if (GLUT.displayFunc) getWasmTableEntry(GLUT.displayFunc)();
  };

  Module['showSteps'] = function (step, outlinePixels) {
    if (ABORT) return;
    showingSteps = step >= 0;
    _showSteps(step, outlinePixels);
    _glutPostRedisplay();
  };

  // The page reads the keys typed on the picture itself
  // (web/page/input/typing.js), also those typed before the program runs.
  GLUT.onKeydown = function () {};

  // The emulation turns touches into mouse events for GLUT's mouse
  // callbacks, which the program does not register, from listeners on the
  // whole window that would also stop the page from scrolling; the page
  // reads touches itself, as pointer events on the picture.
  GLUT.touchHandler = function () {};

  // Every size the program asks for (500 x 500 at start and on "w") is the
  // page's window size, which the page turns into a drawing buffer once the
  // program's callback has returned; the emulation's own reshape with the
  // size asked for comes first and is replaced before any frame is drawn.
  Browser.setCanvasSize = function () {
    if (Module['onWindowSizeRequested']) Module['onWindowSizeRequested']();
  };
  GLUT.onFullscreenEventChange = function () {};

  Browser.requestFullscreen = function () {
    var stage = Module['canvas'].parentNode;
    if (document.fullscreenElement || !stage.requestFullscreen) return;
    if (navigator.userActivation && !navigator.userActivation.isActive) return;
    // A refusal (a page in a frame that forbids it) leaves the window as it is.
    stage.requestFullscreen().catch(function () {});
  };
  Browser.exitFullscreen = function () {
    if (!document.fullscreenElement) return false;
    document.exitFullscreen().catch(function () {});
    return true;
  };
  // In full screen the keys go to the picture, as a full-screen window has
  // them on the desktop, also when a button asked for it; back in the
  // window they stay with the picture unless they were given elsewhere.
  document.addEventListener('fullscreenchange', function () {
    var canvas = Module['canvas'];
    var focus = document.activeElement;
    if (document.fullscreenElement || !focus || focus === document.body || canvas.parentNode.contains(focus)) {
      canvas.focus({preventScroll: true});
    }
  });

  // The window's GL context is the one the page made while the program was
  // arriving, for the display mode the program asks for; without one
  // nothing the program draws can be shown, and it stops where a desktop
  // GLUT would give up, before any callback is registered.
  Browser.createContext = function (canvas, useWebGL, setInModule, attributes) {
    var graphics = Module['graphics'];
    if (!graphics) {
      ABORT = true;
      if (Module['onWebGLUnavailable']) Module['onWebGLUnavailable']();
      throw 'unwind';
    }
    for (var name in attributes) {
      if (attributes[name] !== graphics.attributes[name]) {
        abort('the page made the GL context with ' + name + ' ' + graphics.attributes[name] +
              ', and the program asks for ' + attributes[name]);
      }
    }
    GL.makeContextCurrent(GL.registerContext(graphics.context, graphics.attributes));
    Module.ctx = graphics.context;
    Module.useWebGL = true;
    Browser.moduleContextCreatedCallbacks.forEach(function (callback) { callback(); });
    Browser.init();
    return graphics.context;
  };

  // Where a worker draws, a frame is on the screen some time after the
  // program sent it: its next frame is asked of the browser only once the
  // worker has caught up, so that the picture never falls behind the keys.
  var requestFrame = Browser.requestAnimationFrame;
  Browser.requestAnimationFrame = function (callback) {
    var graphics = Module['graphics'];
    if (!graphics) return requestFrame.call(Browser, callback);
    graphics.afterFrame(function () { requestFrame.call(Browser, callback); });
  };

  Module['framePending'] = function () {
    var graphics = Module['graphics'];
    return Boolean(GLUT.requestedAnimationFrame || (graphics && graphics.framesInFlight > 0));
  };
})();
