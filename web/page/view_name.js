// The picture's accessible name, in words: where the eye is and how the
// gates stand, read from the program's scene state. The canvas carries it
// as its name (role="img"), and the caption under the picture, a polite
// live region, says it once the keys have paused, so that a screen reader
// is told where a drag or a held button ended rather than every step.
import { onKeysDelivered } from './input/keys.js';
import { withCommas } from './numbers.js';

const kQuietMs = 400;
// The ground lies 10 below the centre of the scene, which the eye looks at.
const kGroundY = -10;
const kSides = ['front', 'front left', 'left', 'back left', 'back', 'back right', 'right', 'front right'];
// A gate is shut within one step (about 1.7°) of 0 and fully open from
// about 90° (it stops at 93°).
const kShutDegrees = 2;
const kOpenDegrees = 90;

const degrees = (radians) => Math.round((radians * 180) / Math.PI);

// Zoom out has no limit short of the largest float, so a distance can have
// 39 digits. Whole with separators below a million, as read aloud; then
// rounded to two figures, in millions up to trillions and as a power of ten
// beyond, where names run out that anyone knows.
const kWholeBelow = 1e6;
const kNamedLarge = ['million', 'billion', 'trillion'];
const kSuperscripts = '⁰¹²³⁴⁵⁶⁷⁸⁹';

function spokenNumber(value) {
  const whole = Math.round(value);
  if (whole < kWholeBelow) return withCommas(whole);
  // Rounded first, so that 999,960,000 is about 1 billion, not 1,000 million.
  const [figures, power] = value.toExponential(1).split('e').map(Number);
  const name = kNamedLarge[Math.floor(power / 3) - 2];
  if (name) return `about ${Number((figures * 10 ** (power % 3)).toPrecision(2))} ${name}`;
  const superscript = [...String(power)].map((digit) => kSuperscripts[digit]).join('');
  return `about ${figures} × 10${superscript}`;
}

// A gate's state in words from how far it has swung, in degrees: the same
// in the picture's name and in the list of what is in view.
export function gateWords(swingDegrees) {
  const swing = Math.round(swingDegrees);
  if (swing <= kShutDegrees) return 'closed';
  if (swing >= kOpenDegrees) return 'open';
  return `open ${swing}°`;
}

// Left and right as a person facing the front of the house sees them: the
// front faces -z, and +x is on that person's left.
function describeView([x, y, z], driveGate, walkGate) {
  const ground = Math.hypot(x, z);
  const bearing = Math.atan2(x, -z);
  const side = kSides[(Math.round(bearing / (Math.PI / 4)) + kSides.length) % kSides.length];
  const rise = degrees(Math.atan2(y, ground));
  const height = y < kGroundY ? 'below the ground'
    : rise > 0 ? `${rise}° above level` : rise < 0 ? `${-rise}° below level` : 'level';
  const distance = spokenNumber(Math.hypot(x, y, z));
  return `Seen from the ${side}, ${height}, ${distance} from the centre. ` +
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
    const name = currentView(program);
    canvas.setAttribute('aria-label', name);
    if (caption.textContent !== name) caption.textContent = name;
  }
  // Once drawn: a link's keys, replayed at the start, are in the first
  // frame, and the name says so from the first moment.
  program.whenFirstDrawn(update);
  onKeysDelivered(() => {
    clearTimeout(quiet);
    quiet = setTimeout(update, kQuietMs);
  });
}
