// The page's key table, made from docs/usage.md, which the README's key
// block and house(1) are made from as well, so the three never differ.
//
//   node web/site/key_help.mjs PAGE USAGE > OUT   PAGE with its key-table line filled
//
// The line of PAGE that holds only kMarker becomes the table of USAGE's
// "## Keys" section and the paragraph after it.
import fs from 'node:fs';
import { fileURLToPath } from 'node:url';

const kMarker = '<!-- The key table from docs/usage.md -->';

const escapeHtml = (text) => text.replace(/&/g, '&amp;').replace(/</g, '&lt;').replace(/>/g, '&gt;');

// The small part of Markdown the section uses: `code` as keys, *words* in
// italics.
function inline(text) {
  return escapeHtml(text)
    .replace(/`([^`]*)`/g, '<kbd>$1</kbd>')
    .replace(/\*([^*]+)\*/g, '<em>$1</em>');
}

// "Left / Right" and "`o` / `c`" alike: each key of the cell a <kbd>.
function keysCell(text) {
  return text.split(' / ').map((key) => `<kbd>${escapeHtml(key.replace(/`/g, ''))}</kbd>`).join(' / ');
}

function cells(row) {
  return row.split('|').slice(1, -1).map((cell) => cell.trim());
}

// The Keys section's table, as header cells and rows of cells, and the
// paragraph that follows it.
export function keysSection(usage) {
  const lines = usage.split('\n');
  const start = lines.indexOf('## Keys');
  if (start < 0) throw new Error('docs/usage.md has no "## Keys" section');
  let at = start + 1;
  while (at < lines.length && !lines[at].startsWith('|')) ++at;
  const table = [];
  for (; at < lines.length && lines[at].startsWith('|'); ++at) table.push(cells(lines[at]));
  if (table.length < 3) throw new Error('docs/usage.md: the Keys section has no table');
  while (at < lines.length && lines[at] === '') ++at;
  const paragraph = [];
  for (; at < lines.length && lines[at] !== '' && !lines[at].startsWith('#'); ++at) paragraph.push(lines[at]);
  return { header: table[0], rows: table.slice(2), note: paragraph.join(' ') };
}

function keyTableHtml(usage) {
  const { header, rows, note } = keysSection(usage);
  const head = header.map((cell) => `<th scope="col">${inline(cell)}</th>`).join('');
  const body = rows.map(([keys, action]) => `<tr><td>${keysCell(keys)}</td><td>${inline(action)}</td></tr>`);
  return [
    `<table id="key-table">`,
    `<thead><tr>${head}</tr></thead>`,
    `<tbody>`, ...body, `</tbody>`,
    `</table>`,
    ...(note ? [`<p>${inline(note)}</p>`] : []),
  ].join('\n');
}

export function fillPage(page, usage) {
  const lines = page.split('\n');
  const at = lines.findIndex((line) => line.trim() === kMarker);
  if (at < 0) throw new Error(`the page has no line "${kMarker}"`);
  const indent = lines[at].slice(0, lines[at].indexOf('<'));
  lines.splice(at, 1, ...keyTableHtml(usage).split('\n').map((line) => indent + line));
  return lines.join('\n');
}

if (process.argv[1] === fileURLToPath(import.meta.url)) {
  try {
    const [page, usage] = process.argv.slice(2).map((file) => fs.readFileSync(file, 'utf8'));
    process.stdout.write(fillPage(page, usage));
  } catch (error) {
    console.error(`key_help: ${error.message}`);
    process.exit(1);
  }
}
