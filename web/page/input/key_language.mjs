// The key language, as house-snapshot's --keys reads it (headless/keys/
// key_sequence.h says it in full): words such as "Left*12" or "o",
// separated by whitespace or by "~", so that a sequence fits in an address
// ("#keys=Left*12~o*54~+*3"). The same names, counts, limits and messages
// as the C++ reader; tests/key_sequences.txt holds the cases both must read
// alike.
//
//   parseKeySequence(text)        the presses, { special, code } each: a
//                                 GLUT special-key code (100 is Left) or a
//                                 character code; throws an Error saying
//                                 what it could not read
//   formatKeySequence(presses, separator = ' ')
//                                 the presses written back, runs counted
//   formatKeyRuns(runs, separator = ' ')
//                                 the same from runs, { special, code,
//                                 count } each

const kMostRepeats = 10000;
const kMostPresses = 100000;
const kLongestShownWord = 40;
const kSeparators = /[ \t\n\r~]+/;
const kFunctionKeys = 12;

// GLUT's codes for its special keys.
const kSpecialNames = new Map([
  [100, 'Left'], [101, 'Up'], [102, 'Right'], [103, 'Down'], [104, 'PageUp'],
  [105, 'PageDown'], [106, 'Home'], [107, 'End'], [108, 'Insert'],
  ...Array.from({ length: kFunctionKeys }, (_, i) => [i + 1, `F${i + 1}`]),
]);
// Characters that cannot be written as themselves, by the name written for
// them.
const kCharacterNames = new Map([
  [32, 'space'], [126, 'tilde'], [9, 'tab'], [13, 'enter'], [8, 'backspace'], [127, 'delete'],
]);
// Every name read, in lower case: those above, and other names for
// characters that can also stand for themselves.
const kNamedKeys = new Map([
  ...[...kSpecialNames].map(([code, name]) => [name.toLowerCase(), { special: true, code }]),
  ...[...kCharacterNames].map(([code, name]) => [name, { special: false, code }]),
  ...[['plus', 43], ['minus', 45], ['asterisk', 42], ['star', 42], ['return', 13]]
    .map(([name, code]) => [name, { special: false, code }]),
]);

// Names match without regard to case, in ASCII only, as in C++.
function lowerAscii(text) {
  return text.replace(/[A-Z]/g, (letter) => letter.toLowerCase());
}

function printableAscii(code) {
  return code >= 0x21 && code < 0x7f;
}

// As the C++ tools quote text: control characters and the C1 controls as
// escapes (the latter as their UTF-8 bytes), the rest as it is.
function quoted(text) {
  let shown = "'";
  for (const character of text) {
    const code = character.codePointAt(0);
    if (character === '\n') shown += '\\n';
    else if (character === '\t') shown += '\\t';
    else if (character === '\\') shown += '\\\\';
    else if (code < 0x20 || code === 0x7f) shown += `\\x${code.toString(16).padStart(2, '0')}`;
    else if (code >= 0x80 && code < 0xa0) shown += `\\xc2\\x${code.toString(16)}`;
    else shown += character;
  }
  return `${shown}'`;
}

function quotedWord(word) {
  const characters = Array.from(word);
  if (characters.length <= kLongestShownWord) return quoted(word);
  return `${quoted(characters.slice(0, kLongestShownWord).join(''))} (cut short: the first ` +
    `${kLongestShownWord} of ${characters.length} characters)`;
}

function countUpTo(text, largest) {
  if (!/^[0-9]+$/.test(text) || text.length > String(largest).length) return null;
  const value = Number(text);
  return value >= 1 && value <= largest ? value : null;
}

function keyNamed(name) {
  if (name.length === 1 && printableAscii(name.charCodeAt(0))) {
    return { special: false, code: name.charCodeAt(0) };
  }
  const lower = lowerAscii(name);
  if (lower === 'escape' || lower === 'esc') {
    throw new Error(`key ${quotedWord(name)} is refused: Escape would end the program`);
  }
  if (kNamedKeys.has(lower)) return { ...kNamedKeys.get(lower) };
  const number = /^[Ff]/.test(name) ? countUpTo(name.slice(1), kFunctionKeys) : null;
  if (number !== null) return { special: true, code: number };
  throw new Error(`unknown key name ${quotedWord(name)}`);
}

export function parseKeySequence(text) {
  const presses = [];
  for (const word of text.split(kSeparators).filter(Boolean)) {
    // The repeat mark is the last '*' that is not the first character.
    const star = word.lastIndexOf('*');
    let [name, repeat] = [word, 1];
    if (star > 0) {
      name = word.slice(0, star);
      repeat = countUpTo(word.slice(star + 1), kMostRepeats);
      if (repeat === null) {
        throw new Error(`bad repeat count in ${quotedWord(word)}: N in NAME*N must be a whole ` +
          `number from 1 to ${kMostRepeats}`);
      }
    }
    const press = keyNamed(name);
    if (presses.length + repeat > kMostPresses) {
      throw new Error(`too many key presses: at most ${kMostPresses} in all`);
    }
    for (let i = 0; i < repeat; ++i) presses.push({ ...press });
  }
  return presses;
}

function wordFor(press) {
  if (press.special && kSpecialNames.has(press.code)) return kSpecialNames.get(press.code);
  if (!press.special && kCharacterNames.has(press.code)) return kCharacterNames.get(press.code);
  if (!press.special && printableAscii(press.code)) return String.fromCharCode(press.code);
  throw new Error(`no word for the key ${JSON.stringify(press)}`);
}

const sameKey = (a, b) => a.special === b.special && a.code === b.code;

// Runs of one key may follow each other (as where a key between them was
// left out); each word is at most kMostRepeats presses.
export function formatKeyRuns(runs, separator = ' ') {
  const presses = runs.reduce((sum, run) => sum + run.count, 0);
  if (presses > kMostPresses) throw new Error(`too many key presses: at most ${kMostPresses} in all`);
  const words = [];
  for (let at = 0; at < runs.length;) {
    const word = wordFor(runs[at]);
    let count = 0;
    for (const key = runs[at]; at < runs.length && sameKey(runs[at], key); ++at) count += runs[at].count;
    for (; count > 0; count -= kMostRepeats) {
      const repeat = Math.min(count, kMostRepeats);
      words.push(repeat === 1 ? word : `${word}*${repeat}`);
    }
  }
  return words.join(separator);
}

export function formatKeySequence(presses, separator = ' ') {
  return formatKeyRuns(presses.map(({ special, code }) => ({ special, code, count: 1 })), separator);
}
