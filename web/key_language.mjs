// The key language house-snapshot --keys reads, in JavaScript: words such
// as "Left", "o" or "plus", each optionally followed by "*N" (pressed N
// times in a row), separated by whitespace or "~" (which needs no escaping
// in an address, so a view fits in a link as #keys=Left*12~o*54~+*3).
//
// parseKeySequence(text) returns the presses in order, each
// { special, code }: special is true for GLUT's special keys (100 Left,
// 101 Up, 102 Right, 103 Down, ...), false for an 8-bit character code.
// It throws an Error saying what it could not read. formatKeySequence
// writes presses back, runs counted, in words parseKeySequence reads.

const kMostRepeats = 10000;
const kMostPresses = 100000;
const kSeparators = /[\s~]+/;

// Names that ignore case, for keys that cannot be written as themselves.
const kNamedCharacters = {
  space: 32, plus: 43, minus: 45, asterisk: 42, star: 42, tab: 9, enter: 13, return: 13,
  backspace: 8, delete: 127, tilde: 126,
};
const kNamedSpecials = {
  left: 100, up: 101, right: 102, down: 103, pageup: 104, pagedown: 105,
  home: 106, end: 107, insert: 108,
};
const kFunctionKeys = 12;

// How formatKeySequence writes the keys that have no single-character form.
const kCharacterWords = { 32: 'space', 42: 'asterisk', 9: 'tab', 13: 'enter', 8: 'backspace', 127: 'delete', 126: 'tilde' };
const kSpecialWords = {
  100: 'Left', 101: 'Up', 102: 'Right', 103: 'Down', 104: 'PageUp', 105: 'PageDown',
  106: 'Home', 107: 'End', 108: 'Insert',
};

// A word as messages show it: quoted, and cut short when very long.
function shown(word) {
  const kLongestShown = 40;
  const text = word.length > kLongestShown ? `${word.slice(0, kLongestShown)}…` : word;
  return `'${text.replace(/[\u0000-\u001f\u007f]/g, (c) => `\\x${c.charCodeAt(0).toString(16).padStart(2, '0')}`)}'`;
}

function countUpTo(text, largest) {
  if (!/^[0-9]+$/.test(text) || text.length > String(largest).length) return null;
  const value = Number(text);
  return value >= 1 && value <= largest ? value : null;
}

function keyNamed(name) {
  const single = name.length === 1 ? name.charCodeAt(0) : 0;
  if (single > 32 && single < 127) return { special: false, code: single };
  const lower = name.toLowerCase();
  if (lower === 'escape' || lower === 'esc') {
    throw new Error(`key ${shown(name)} is refused: Escape would end the program`);
  }
  if (Object.hasOwn(kNamedCharacters, lower)) return { special: false, code: kNamedCharacters[lower] };
  if (Object.hasOwn(kNamedSpecials, lower)) return { special: true, code: kNamedSpecials[lower] };
  const functionKey = lower.startsWith('f') ? countUpTo(lower.slice(1), kFunctionKeys) : null;
  if (functionKey !== null) return { special: true, code: functionKey };
  throw new Error(`unknown key name ${shown(name)}`);
}

export function parseKeySequence(text) {
  const presses = [];
  for (const word of String(text).split(kSeparators)) {
    if (!word) continue;
    // The repeat mark is the last '*' that is not the first character, so
    // "*" and "**3" name the asterisk key itself.
    const star = word.lastIndexOf('*');
    let name = word;
    let repeats = 1;
    if (star > 0) {
      name = word.slice(0, star);
      repeats = countUpTo(word.slice(star + 1), kMostRepeats);
      if (repeats === null) {
        throw new Error(`bad repeat count in ${shown(word)}: N in NAME*N must be a whole number from 1 to ${kMostRepeats}`);
      }
    }
    const press = keyNamed(name);
    if (presses.length + repeats > kMostPresses) {
      throw new Error(`too many key presses: at most ${kMostPresses} in all`);
    }
    for (let i = 0; i < repeats; ++i) presses.push({ special: press.special, code: press.code });
  }
  return presses;
}

function keyWord({ special, code }) {
  if (special) {
    if (Object.hasOwn(kSpecialWords, code)) return kSpecialWords[code];
    if (code >= 1 && code <= kFunctionKeys) return `F${code}`;
  } else {
    if (Object.hasOwn(kCharacterWords, code)) return kCharacterWords[code];
    if (code > 32 && code < 127) return String.fromCharCode(code);
  }
  throw new Error(`no name for ${special ? 'special key' : 'character'} ${code}`);
}

export function formatKeySequence(presses, separator = ' ') {
  const words = [];
  for (let at = 0; at < presses.length;) {
    let end = at + 1;
    while (end < presses.length && end - at < kMostRepeats &&
           presses[end].special === presses[at].special && presses[end].code === presses[at].code) ++end;
    const word = keyWord(presses[at]);
    words.push(end - at > 1 ? `${word}*${end - at}` : word);
    at = end;
  }
  return words.join(separator);
}
