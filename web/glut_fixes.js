// Appended to house.js (emcc --post-js), so it sees the GLUT emulation's
// state. It runs before the program's main, which is started only once the
// WebAssembly module has been compiled. It puts right where the emulation
// behaves unlike a desktop GLUT: keys and full screen.
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
// Full screen. The emulation wraps the canvas in a new element each time it
// asks for full screen, which moves the focus off the canvas, and a second
// "f" nests a second wrapper and takes the full-screen size for the one to
// return to. Here the canvas's own container goes full screen, and "f"
// while full screen changes nothing, as on the desktop.
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

  function deliver(callback, code) {
    try {
      getWasmTableEntry(callback)(code, 0, 0);
    } catch (e) {
      if (!(e instanceof ExitStatus)) throw e;
      endProgram(e.status);
    }
  }

  GLUT.onKeydown = function (event) {
    if (ABORT || document.activeElement !== Module['canvas']) return;
    if (event.ctrlKey || event.altKey || event.metaKey) return;
    var special = kSpecialCodes[event.key];
    if (special !== undefined) {
      event.preventDefault();
      if (GLUT.specialFunc) deliver(GLUT.specialFunc, special);
      return;
    }
    var code = characterCode(event);
    if (code === null) return;
    event.preventDefault();
    if (GLUT.keyboardFunc) deliver(GLUT.keyboardFunc, code);
  };
})();

(function () {
  'use strict';

  // The size "w" and leaving full screen come back to, kept from the first
  // "f" while full screen lasts.
  var windowedSize = null;
  Browser.requestFullscreen = function () {
    if (document.fullscreenElement) {
      GLUT.windowWidth = windowedSize[0];
      GLUT.windowHeight = windowedSize[1];
      return;
    }
    windowedSize = [GLUT.windowWidth, GLUT.windowHeight];
    // A refusal (a page in a frame that forbids it) leaves the window as it is.
    Module['canvas'].parentNode.requestFullscreen().catch(function () {});
  };
  Browser.exitFullscreen = function () {
    if (!document.fullscreenElement) return false;
    document.exitFullscreen();
    return true;
  };
})();
