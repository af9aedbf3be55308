// The page's reader of the key language against the cases every reader of
// it shares (tests/key_sequences.txt), and its writer against its reader.
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import { test } from 'node:test';
import { fileURLToPath } from 'node:url';
import { formatKeySequence, parseKeySequence } from '../../web/page/input/key_language.mjs';

const kList = path.join(path.dirname(fileURLToPath(import.meta.url)), '../key_sequences.txt');

// A sequence as the list writes it: \t, \n, \r, \\ and \xNN for bytes,
// the bytes read as UTF-8.
function unescaped(written) {
  const bytes = [];
  for (let at = 0; at < written.length; ++at) {
    if (written[at] !== '\\' || at + 1 === written.length) {
      bytes.push(...Buffer.from(written[at]));
      continue;
    }
    const kind = written[++at];
    if (kind === 'x') {
      bytes.push(parseInt(written.slice(at + 1, at + 3), 16));
      at += 2;
    } else {
      bytes.push(({ t: 9, n: 10, r: 13 })[kind] ?? kind.charCodeAt(0));
    }
  }
  return Buffer.from(bytes).toString('utf8');
}

// "s100*12 c111" as presses; "-" is none.
function pressesWritten(written) {
  if (written === '-') return [];
  return written.split(' ').flatMap((word) => {
    const [key, repeat = '1'] = word.split('*');
    return Array(Number(repeat)).fill({ special: key[0] === 's', code: Number(key.slice(1)) });
  });
}

const kCases = fs.readFileSync(kList, 'utf8').split('\n')
  .filter((line) => line && !line.startsWith('#'))
  .map((line) => line.split('\t'));

test('reads every case of the shared list as the C++ reader does', () => {
  assert.ok(kCases.length > 30);
  for (const [sequence, expected] of kCases) {
    const text = unescaped(sequence);
    if (expected.startsWith('error ')) {
      assert.throws(() => parseKeySequence(text), { message: expected.slice(6) }, sequence);
    } else {
      assert.deepEqual(parseKeySequence(text), pressesWritten(expected), sequence);
    }
  }
});

test('writes runs counted, with either separator, and reads them back', () => {
  assert.equal(formatKeySequence(parseKeySequence('Left Left o*54 +*3')), 'Left*2 o*54 +*3');
  assert.equal(formatKeySequence(parseKeySequence('~ space tilde * F12 enter'), '~'),
    'space~tilde~*~F12~enter');
  assert.equal(formatKeySequence(parseKeySequence('o*10000 o*5')), 'o*10000 o*5');
  for (const [sequence, expected] of kCases.filter(([, expected]) => !expected.startsWith('error '))) {
    const presses = pressesWritten(expected);
    for (const separator of [' ', '~']) {
      assert.deepEqual(parseKeySequence(formatKeySequence(presses, separator)), presses, sequence);
    }
  }
  assert.throws(() => formatKeySequence([{ special: false, code: 27 }]), /no word for the key/);
});
