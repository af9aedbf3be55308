// The frame's steps for the page's "How it's drawn": what house-snapshot
// --steps recorded as the program drew its frame, read at build time into a
// small JSON file that the page fetches when someone opens it. The pieces,
// their parts and the routines that drew them are the same in every view
// (only where they land changes), so one recording serves every view.
//
//   node web/site/frame_steps.mjs HOUSE_SNAPSHOT OUTPUT_DIR
//
// writes OUTPUT_DIR/frame-steps.json, only where it is missing or older
// than HOUSE_SNAPSHOT:
//   { count, parts: [name], routines: [name], files: [path],
//     runs: [[pieces, primitive, vertices, colour, part, chain, own, file]] }
// Each run is that many pieces in a row alike; part indexes parts, chain is
// the routines (indexes into routines, outermost first), own the index of
// the piece's own routine and file that of its file.
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import path from 'node:path';
import { fileURLToPath } from 'node:url';
import { writeWhole } from '../server/site_files.mjs';

export const kStepsFile = 'frame-steps.json';

// One line of --steps: fields apart by two or more spaces.
function readLine(line) {
  const [number, primitive, vertices, colour, part, chain, own] = line.trim().split(/ {2,}/);
  const [ownRoutine, ownFile] = own.split(' in ');
  return { number: Number(number), primitive, vertices: Number(vertices), colour, part, chain: chain.split(' > '), ownRoutine, ownFile };
}

// The steps as the page reads them, from house-snapshot --steps's text.
export function stepsFromLines(text) {
  const lists = { parts: [], routines: [], files: [] };
  const indexIn = (list, value) => {
    const at = lists[list].indexOf(value);
    return at >= 0 ? at : lists[list].push(value) - 1;
  };
  const runs = [];
  let count = 0;
  for (const line of text.split('\n').filter((l) => l.trim())) {
    const step = readLine(line);
    if (step.number !== ++count) throw new Error(`step ${count} is missing`);
    const piece = [step.primitive, step.vertices, step.colour, indexIn('parts', step.part),
      step.chain.map((name) => indexIn('routines', name)), indexIn('routines', step.ownRoutine), indexIn('files', step.ownFile)];
    const last = runs[runs.length - 1];
    if (last && JSON.stringify(last.slice(1)) === JSON.stringify(piece)) ++last[0];
    else runs.push([1, ...piece]);
  }
  return { count, ...lists, runs };
}

export function recordSteps(snapshotTool, directory) {
  const file = path.join(directory, kStepsFile);
  const kept = fs.statSync(file, { throwIfNoEntry: false });
  if (kept && kept.mtimeMs > fs.statSync(snapshotTool).mtimeMs) return kept.size;
  const text = execFileSync(snapshotTool, ['--steps'], { encoding: 'utf8', maxBuffer: 64 << 20 });
  const bytes = Buffer.from(JSON.stringify(stepsFromLines(text)));
  writeWhole(file, bytes);
  return bytes.length;
}

if (process.argv[1] === fileURLToPath(import.meta.url)) {
  const args = process.argv.slice(2);
  if (args.length !== 2) {
    console.error('usage: node web/site/frame_steps.mjs HOUSE_SNAPSHOT OUTPUT_DIR');
    process.exit(2);
  }
  try {
    fs.mkdirSync(args[1], { recursive: true });
    console.log(`frame steps: ${kStepsFile} ${recordSteps(args[0], args[1])} bytes`);
  } catch (error) {
    console.error(`frame steps: ${error.message}`);
    process.exit(1);
  }
}
