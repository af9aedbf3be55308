// The picture's accessible name, in words: where the eye is and how the
// gates stand, read from the program's scene state. The canvas carries it
// as its name ("3D house: seen from the front, …"), and the caption under
// the picture, a polite live region, says it once the keys have paused,
// so that a screen reader is told where a drag or a held button ended
// rather than every step. The words are fine enough that every single
// press of a key that changes the view changes them too: the direction
// and the height in whole degrees (a step is 4.0° round and 1.7° up or
// down), the distance to three figures (a step is 1 %), and each gate's
// swing in whole degrees (a step is 1.7°).
import { onKeysDelivered } from './input/keys.js';
import { withCommas } from './numbers.js';

const kQuietMs = 400;
// The ground lies 10 below the centre of the scene, which the eye looks at.
const kGroundY = -10;
const kHalfTurn = 180;

const degrees = (radians) => Math.round((radians * kHalfTurn) / Math.PI);

// Zoom out has no limit short of the largest float, so a distance can have
// 39 digits. Whole with separators below a million, as read aloud; then
// rounded to three figures, which a step of 1 % always changes, in
// millions up to trillions and as a power of ten beyond, where names run
// out that anyone knows.
const kWholeBelow = 1e6;
const kNamedLarge = ['million', 'billion', 'trillion'];
const kFigures = 3;
const kSuperscripts = '⁰¹²³⁴⁵⁶⁷⁸⁹';

function spokenNumber(value) {
  const whole = Math.round(value);
  if (whole < kWholeBelow) return withCommas(whole);
  // Rounded first, so that 999,960,000 is about 1 billion, not 1,000 million.
  const [figures, power] = value.toExponential(kFigures - 1).split('e').map(Number);
  const name = kNamedLarge[Math.floor(power / 3) - 2];
  if (name) return `about ${Number((figures * 10 ** (power % 3)).toPrecision(kFigures))} ${name}`;
  const superscript = [...String(power)].map((digit) => kSuperscripts[digit]).join('');
  return `about ${figures} × 10${superscript}`;
}

// A gate's state in words from how far it has swung, in degrees, as
// house-export's parts say it: the same in the picture's name and in the
// list of what is in view. A gate closed by its key stops one step short
// of where it started (1.7°), and is drawn so: "open 2°".
export function gateWords(swingDegrees) {
  const swing = Math.round(swingDegrees);
  return swing === 0 ? 'closed' : `open ${swing}°`;
}

// Left and right as the person looking sees them, from the front, where
// the eye starts: the front faces -z, and from there +x is on the
// person's left, where the Left key circles the eye.
function direction(x, z) {
  const bearing = degrees(Math.atan2(x, -z));
  if (bearing === 0) return 'the front';
  if (Math.abs(bearing) === kHalfTurn) return 'the back';
  return `${Math.abs(bearing)}° to the ${bearing > 0 ? 'left' : 'right'} of the front`;
}

function height(y, ground) {
  const rise = degrees(Math.atan2(y, ground));
  const words = rise > 0 ? `${rise}° above level` : rise < 0 ? `${-rise}° below level` : 'level';
  return y < kGroundY ? `${words}, under the ground` : words;
}

function describeView([x, y, z], driveGate, walkGate) {
  const distance = spokenNumber(Math.hypot(x, y, z));
  return `Seen from ${direction(x, z)}, ${height(y, Math.hypot(x, z))}, ${distance} from the centre. ` +
    `Drive gate ${gateWords(degrees(driveGate))}, walk gate ${gateWords(degrees(walkGate))}.`;
}

function currentView(program) {
  const eye = [0, 1, 2].map((axis) => program._sceneEye(axis));
  return describeView(eye, program._sceneGateAngle(0), program._sceneGateAngle(1));
}

export function startViewName(program, caption) {
  const canvas = program.canvas;
  let quiet = null;
  function update() {
    const words = currentView(program);
    canvas.setAttribute('aria-label', `3D house: ${words[0].toLowerCase()}${words.slice(1)}`);
    if (caption.textContent !== words) caption.textContent = words;
  }
  // Once drawn: a link's keys, replayed at the start, are in the first
  // frame, and the name says so from the first moment.
  program.whenFirstDrawn(update);
  onKeysDelivered(() => {
    clearTimeout(quiet);
    quiet = setTimeout(update, kQuietMs);
  });
}
