// The frame's steps as the site carries them (frame-steps.json, which
// web/site/frame_steps.mjs records from house-snapshot --steps at build
// time: the pieces, their parts and the routines that drew them are the
// same in every view), and the words "How it's drawn" says them in: a
// step, and a piece of a pixel's history, as house-snapshot --pixel lists
// them.
import { checkWhole, download, plainName } from './loading/delivery.js';
import { withCommas } from './numbers.js';

// As the build names it, after its content.
const kStepsFile = 'frame-steps.json';
const kDepthDigits = 4;

class FrameSteps {
  // One entry a piece, step n at n - 1: { part, routine, file }, the
  // routine being the piece's own, not a shared helper it called.
  #pieces;

  constructor({ parts, routines, files, runs }) {
    this.#pieces = runs.flatMap(([times, , , , part, , own, file]) =>
      Array(times).fill({ part: parts[part], routine: routines[own], file: files[file] }));
  }

  get count() {
    return this.#pieces.length;
  }

  part(step) {
    return this.#pieces[step - 1].part;
  }

  // "Step 412 of 3,477: walk gate, drawn by drawWalkGate in
  // src/grounds/front_fence.cpp"; step 0 is the cleared sky.
  stepWords(step) {
    const of = `Step ${withCommas(step)} of ${withCommas(this.count)}`;
    if (step === 0) return `${of}: the cleared sky`;
    const { part, routine, file } = this.#pieces[step - 1];
    return `${of}: ${part}, drawn by ${routine} in ${file}`;
  }

  // A piece of a pixel's history (the export's pixelHistory): "Step 3,373:
  // walk gate, drawn by drawWalkGate in src/grounds/front_fence.cpp,
  // colour #b20000, depth 0.9887, kept".
  pieceWords({ step, colour, depth, kept, hiddenBy }) {
    const { part, routine, file } = this.#pieces[step - 1];
    const fate = kept ? 'kept' : hiddenBy ? `hidden by step ${withCommas(hiddenBy)}` : 'hidden, beyond the far plane';
    return `Step ${withCommas(step)}: ${part}, drawn by ${routine} in ${file}, colour ${colour}, ` +
      `depth ${depth.toFixed(kDepthDigits)}, ${fate}`;
  }

  // The last step of the part that the step after `step` begins (the
  // last step, from there).
  partEnd(step) {
    let end = Math.min(step + 1, this.count);
    while (end < this.count && this.#pieces[end].part === this.#pieces[end - 1].part) ++end;
    return end;
  }
}

// The steps, fetched and checked whole; a failure names the file.
export async function loadSteps() {
  try {
    const bytes = await download(kStepsFile);
    await checkWhole(kStepsFile, bytes);
    const recorded = JSON.parse(new TextDecoder().decode(bytes));
    const steps = new FrameSteps(recorded);
    if (steps.count !== recorded.count) throw new Error(`it holds ${steps.count} of its ${recorded.count} steps`);
    return steps;
  } catch (error) {
    throw new Error(`${plainName(kStepsFile)} could not be loaded: ${error.message}`);
  }
}
