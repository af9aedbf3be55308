// Gestures on the picture, as the program's own keys: a drag turns the
// eye (Left / Right across, Up / Down along), the mouse wheel, a
// trackpad's scroll or pinch and a two-finger pinch zoom (+ / -). Mouse,
// pen and touch are one path, Pointer Events, with the pointer captured so
// that a drag that leaves the picture keeps going. Each step is one key,
// so every rule of the keys (the azimuth's wrap, the stops of the
// elevation and the zoom) holds exactly as on the keyboard. A press let go
// where it was, soon, is a tap, not a drag: it turns nothing, and
// `onTap(event)` hears of it.
import { pressKey } from './keys.js';
import { kSpecialCodes } from './typing.js';

// The keys by GLUT's codes, which are fixed: the gestures need them before
// the program, and its key language, arrive.
const kLeft = { special: true, code: kSpecialCodes.ArrowLeft };
const kUp = { special: true, code: kSpecialCodes.ArrowUp };
const kRight = { special: true, code: kSpecialCodes.ArrowRight };
const kDown = { special: true, code: kSpecialCodes.ArrowDown };
const kZoomIn = { special: false, code: '+'.charCodeAt(0) };
const kZoomOut = { special: false, code: '-'.charCodeAt(0) };

// A drag across the whole picture is this many steps: 45 steps of 0.07
// radian turn the eye half-way round the house. The same distance is one
// step up or down, so a drag from top to bottom covers about the whole
// range of the elevation.
export const kStepsAcrossPicture = 45;
// One step of zoom moves the eye 1 % nearer or farther, so a pinch that
// changes the fingers' distance by 1 % is one step: the house follows the
// fingers.
const kPinchStepRatio = 1.01;
// Wheel movement per zoom step, in pixels: a mouse wheel's notch (about
// 100 pixels) is 5 steps. A trackpad pinch arrives as a wheel with Ctrl
// held, in much smaller amounts, and a notch of a wheel in lines or pages
// is converted at these sizes.
const kWheelPixelsPerStep = 20;
const kPinchWheelPixelsPerStep = 2;
const kWheelLinePixels = 40;
// A tap stays within this many CSS pixels of where it went down and lasts
// no longer than this; a drag takes its first steps only once it has left
// that circle, with all the distance it has come, so that a tap is never
// also a step and a drag's steps are as many as ever.
const kTapSlopPixels = 8;
const kTapMs = 600;

function press(key, times) {
  for (let i = 0; i < times; ++i) pressKey(key.special, key.code);
}

// Moves an accumulated distance on by whole steps; returns the signed
// number of steps and leaves the remainder.
function takeSteps(accumulator, stepSize) {
  const steps = Math.trunc(accumulator.value / stepSize);
  accumulator.value -= steps * stepSize;
  return steps;
}

// A pointer on the picture gives it the keys, without the focus ring,
// which says that the keyboard is what moves the picture: given again,
// the focus drops a ring the keyboard gave it.
function giveKeys(canvas) {
  if (canvas.matches(':focus-visible')) canvas.blur();
  canvas.focus({ preventScroll: true, focusVisible: false });
}

export function startGestures(canvas, { onTap = () => {} } = {}) {
  const pointers = new Map();  // pointerId -> last { x, y }
  let gesture = null;  // from the first pointer down to the last up: { x, y, at, tap }
  const across = { value: 0 };
  const along = { value: 0 };
  const wheel = { value: 0 };
  let pinch = null;  // { distance } at the last step, while two pointers are down

  const stepSize = () => canvas.getBoundingClientRect().width / kStepsAcrossPicture;

  function fingersApart() {
    const [a, b] = [...pointers.values()];
    return Math.hypot(a.x - b.x, a.y - b.y);
  }

  // Anchors a new gesture on the pointers now down: one drags, two pinch.
  function restart() {
    across.value = 0;
    along.value = 0;
    pinch = pointers.size === 2 ? { distance: fingersApart() } : null;
  }

  function drag(dx, dy) {
    const size = stepSize();
    across.value += dx;
    along.value += dy;
    if (gesture.tap) return;
    // As if grabbing the house: a drag to the right turns its left side
    // towards the eye, which Left does by circling the eye to the left; a
    // drag down shows it from higher up.
    const sideways = takeSteps(across, size);
    press(sideways > 0 ? kLeft : kRight, Math.abs(sideways));
    const vertical = takeSteps(along, size);
    press(vertical > 0 ? kUp : kDown, Math.abs(vertical));
  }

  function pinchTo(distance) {
    while (distance >= pinch.distance * kPinchStepRatio) {
      press(kZoomIn, 1);
      pinch.distance *= kPinchStepRatio;
    }
    while (distance <= pinch.distance / kPinchStepRatio) {
      press(kZoomOut, 1);
      pinch.distance /= kPinchStepRatio;
    }
  }

  canvas.addEventListener('pointerdown', (event) => {
    if (event.pointerType === 'mouse' && event.button !== 0) return;
    if (pointers.size >= 2) return;  // a third finger changes nothing
    giveKeys(canvas);
    canvas.setPointerCapture(event.pointerId);
    pointers.set(event.pointerId, { x: event.clientX, y: event.clientY });
    if (pointers.size === 1) gesture = { x: event.clientX, y: event.clientY, at: event.timeStamp, tap: true };
    else gesture.tap = false;
    restart();
  });

  canvas.addEventListener('pointermove', (event) => {
    const last = pointers.get(event.pointerId);
    if (!last) return;
    const dx = event.clientX - last.x;
    const dy = event.clientY - last.y;
    last.x = event.clientX;
    last.y = event.clientY;
    if (Math.hypot(event.clientX - gesture.x, event.clientY - gesture.y) > kTapSlopPixels) gesture.tap = false;
    if (pointers.size === 1) drag(dx, dy);
    else pinchTo(fingersApart());
  });

  function release(event) {
    if (!pointers.delete(event.pointerId)) return;
    restart();  // a finger left of a pinch drags on from where it is
    if (pointers.size > 0) return;
    if (event.type === 'pointerup' && gesture.tap && event.timeStamp - gesture.at <= kTapMs) onTap(event);
    gesture = null;
  }
  canvas.addEventListener('pointerup', release);
  canvas.addEventListener('pointercancel', release);
  canvas.addEventListener('lostpointercapture', release);

  // A long press while a finger turns the house is part of the gesture,
  // not a request for the browser's menu.
  canvas.addEventListener('contextmenu', (event) => {
    if (pointers.size > 0) event.preventDefault();
  });

  canvas.addEventListener('wheel', (event) => {
    event.preventDefault();  // over the picture the wheel zooms it, not the page
    const unit = event.deltaMode === WheelEvent.DOM_DELTA_LINE ? kWheelLinePixels
      : event.deltaMode === WheelEvent.DOM_DELTA_PAGE ? canvas.getBoundingClientRect().height : 1;
    wheel.value += event.deltaY * unit;
    const steps = takeSteps(wheel, event.ctrlKey ? kPinchWheelPixelsPerStep : kWheelPixelsPerStep);
    // Scrolling up (a negative delta) or spreading the fingers zooms in.
    press(steps < 0 ? kZoomIn : kZoomOut, Math.abs(steps));
  }, { passive: false });
}
