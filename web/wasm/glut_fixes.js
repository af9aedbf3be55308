// Appended to house.js (emcc --post-js), so it sees the GLUT emulation's
// state. It runs before the program's main, which is started only once the
// WebAssembly module has been compiled. It puts right where the emulation
// behaves unlike a desktop GLUT (keys, the window's size, full screen, a
// missing GL) and gives the page what it needs to drive the program:
//
//   Module.deliverKey(special, code)  calls the program's specialKeys or
//       keyboard callback once, as GLUT does for one key event; false when
//       the program is not running. The page's own Module.pressKey, through
//       which every key the page sends goes, calls it; keys typed on the
//       canvas go to Module.pressKey too.
//   Module.resizeWindow(width, height, drawNow)  gives the program a window
//       of that many pixels: the canvas's drawing buffer, then reshape, then
//       a frame, at once with drawNow (a resized buffer is blank, and when
//       the browser is already painting, the next animation frame would
//       come one frame late) or else at the next animation frame.
//   Module.onWindowSizeRequested()  the page's: the program asked for a
//       window size (at start and on "w"); the page answers with
//       resizeWindow, once the program's callback has returned.
//   Module.onWebGLUnavailable()  the page's: the program could not get its
//       GL context and has stopped.
//   Module.restoreGraphics()  the browser has given back the GL context it
//       took away: the GL layer makes again what it had made on it, and
//       the view is drawn at once, as the keys since have left it.
//
// Keys. The emulation reads keys from the whole window and by US key codes:
// "+" arrives as "=" unless Shift is held on a US layout, and a key pressed
// while the reload button has focus would still reach the program. Here the
// program gets a key only while its canvas has focus, as a window gets keys
// only while focused, and a character key arrives as the character the
// layout produced, as the desktop's GLUT delivers it. Keys held with Ctrl,
// Alt or Meta, Tab and the function keys stay the browser's: the program
// binds none of them.
//
// The window's size. The emulation takes the size the program asks for as
// the canvas's size in pixels, and the screen's size in full screen. Here
// the page lays the picture out in CSS pixels and the drawing buffer is the
// displayed size in device pixels, so the program's reshape always gets the
// pixels it draws into, as a window of that size would on the desktop.
//
// Full screen. The emulation wraps the canvas in a new element each time it
// asks for full screen, which moves the focus off the canvas, and a second
// "f" nests a second wrapper. Here the canvas's own container goes full
// screen, "f" while full screen changes nothing, as on the desktop, and a
// request the browser would refuse (no click or key behind it, as when a
// link's keys are replayed) is not made.
(function () {
  'use strict';

  // GLUT's codes for the keys the program reads through specialKeys.
  var kSpecialCodes = {ArrowLeft: 100, ArrowUp: 101, ArrowRight: 102, ArrowDown: 103};
  // Named keys that are characters to GLUT.
  var kNamedCharacters = {Escape: 27, Enter: 13, Backspace: 8, Delete: 127};
  var kHighestCharacter = 255;

  function characterCode(event) {
    if (kNamedCharacters.hasOwnProperty(event.key)) return kNamedCharacters[event.key];
    if (event.key.length !== 1) return null;
    var code = event.key.charCodeAt(0);
    return code <= kHighestCharacter ? code : null;
  }

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

  Module['deliverKey'] = function (special, code) {
    var callback = special ? GLUT.specialFunc : GLUT.keyboardFunc;
    if (ABORT || !callback) return false;
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
    _restoreGraphics();
    if (GLUT.displayFunc) getWasmTableEntry(GLUT.displayFunc)();
  };

  function press(special, code) {
    (Module['pressKey'] || Module['deliverKey'])(special, code);
  }

  GLUT.onKeydown = function (event) {
    if (ABORT || document.activeElement !== Module['canvas']) return;
    if (event.ctrlKey || event.altKey || event.metaKey) return;
    var special = kSpecialCodes[event.key];
    if (special !== undefined) {
      event.preventDefault();
      press(true, special);
      return;
    }
    var code = characterCode(event);
    if (code === null) return;
    event.preventDefault();
    press(false, code);
  };

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

  // Without a GL context nothing the program draws can be shown; it stops
  // where a desktop GLUT would give up, before any callback is registered.
  var createContext = Browser.createContext;
  Browser.createContext = function () {
    var context = createContext.apply(Browser, arguments);
    if (context) return context;
    ABORT = true;
    if (Module['onWebGLUnavailable']) Module['onWebGLUnavailable']();
    throw 'unwind';
  };
})();
