// Appended to house.js and house-export.js: the key language, the
// program's own (key_language.cpp), for the page and the tests.
//   Module.parseKeys(text)   the presses the text spells, { special, code }
//       each: a GLUT special-key code (100 is Left) or a character's code;
//       throws an Error with the reader's one-line message
//   Module.formatKeys(runs, separator = ' ')   runs { special, code,
//       count } written as words ("Left*12"), count 1 where there is none,
//       so presses are written too; throws an Error for a key with no word
//       or too many presses
// Both answer once the WebAssembly is instantiated, and still after the
// program has ended: they keep no state of the program's.
(function () {
  'use strict';

  // The text in the module's buffer, as UTF-8; its length in bytes.
  function toProgram(text) {
    var bytes = lengthBytesUTF8(text);
    stringToUTF8(text, _houseKeyText(bytes), bytes + 1);
    return bytes;
  }

  function refusal() {
    return new Error(UTF8ToString(_houseKeyError()));
  }

  Module['parseKeys'] = function (text) {
    var count = _houseParseKeys(toProgram(String(text)));
    if (count < 0) throw refusal();
    var presses = [];
    for (var at = _houseKeyPresses() >> 2, end = at + count; at < end; ++at) {
      presses.push({special: HEAP32[at] >= 0x100, code: HEAP32[at] & 0xff});
    }
    return presses;
  };

  Module['formatKeys'] = function (runs, separator) {
    var at = _houseKeyRuns(runs.length) >> 2;
    for (var i = 0; i < runs.length; ++i) {
      HEAP32[at++] = runs[i].special ? 1 : 0;
      HEAP32[at++] = runs[i].code;
      HEAP32[at++] = runs[i].count === undefined ? 1 : runs[i].count;
    }
    var written = _houseFormatKeyRuns(runs.length, toProgram(separator === undefined ? ' ' : String(separator)));
    if (!written) throw refusal();
    return UTF8ToString(written);
  };
})();
