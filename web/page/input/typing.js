// The keys typed on the picture, as GLUT passes them to the program: the
// arrows to its specialKeys by their fixed codes, a character to its
// keyboard. The page reads them itself, in place of the GLUT emulation
// (web/wasm/glut_fixes.js), from the moment the page's modules run, so
// that keys typed while the poster shows and the program is arriving are
// kept for it (keys.js) rather than dropped.
import { pressKey } from './keys.js';

// GLUT's codes for the keys the program reads through specialKeys.
export const kSpecialCodes = { ArrowLeft: 100, ArrowUp: 101, ArrowRight: 102, ArrowDown: 103 };
// Named keys that are characters to GLUT.
const kNamedCharacters = { Escape: 27, Enter: 13, Backspace: 8, Delete: 127 };
const kHighestCharacter = 255;

function characterCode(event) {
  if (Object.hasOwn(kNamedCharacters, event.key)) return kNamedCharacters[event.key];
  if (event.key.length !== 1) return null;
  const code = event.key.charCodeAt(0);
  return code <= kHighestCharacter ? code : null;
}

export function startTyping(canvas) {
  canvas.addEventListener('keydown', (event) => {
    if (event.ctrlKey || event.altKey || event.metaKey) return;
    const special = kSpecialCodes[event.key];
    const code = special ?? characterCode(event);
    if (code === null) return;
    event.preventDefault();
    pressKey(special !== undefined, code);
  });
}
