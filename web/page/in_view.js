// "In view": the parts of the house that cover at least 1 % of the picture,
// largest first, each with its size and, for a gate, its state, in a list
// beside the picture, brought up to date once the keys pause; the caption
// (a polite live region) says the largest few after the eye's position,
// again only when they are other parts, not when they only change places.
// A tap or a click on the picture that is not a drag names the part under
// it, in a small label beside the pointer for two seconds and in the live
// region; over the sky, and while the graphics are lost and the picture
// is not there, it says nothing.
//
// What the view shows, pixel by pixel, comes from the model export's
// WebAssembly module given the keys the page delivered, on a worker
// (loading/export_module.js): its part map follows the program's camera
// and depth rule for any window size. The page starts this module, and so
// fetches the export, only once the first frame is drawn and the page is
// idle (page.js), so the first picture neither waits for them nor shares
// the network with them. Where the module cannot be had, or the keys are
// past what it can read again, the list stays empty: better nothing than
// something wrong.
import { deliveredKeyText, onKeysDelivered } from './input/keys.js';
import { partMapper } from './loading/export_module.js';
import { gateWords } from './view_name.js';

// As the picture's name waits for the keys to pause.
const kQuietMs = 400;
// The list's map: this many pixels on its longer side, in the picture's
// shape; a tap's map is the picture's CSS size, up to this many pixels (a
// 500 x 500 window whole, a 1,280 x 800 full screen at 1.4 CSS pixels a
// map pixel).
export const kListMapSide = 200;
const kMostTapMapPixels = 1 << 19;
const kLeastPercent = 1;
const kSaidInCaption = 3;
const kLabelMs = 2000;
// Between the pointer and the label, in CSS pixels: the label never
// covers the point it names.
const kLabelGap = 12;

// The size a person would say for each part, from the box round what it
// draws as it stands ([across, deep, high] in metres). A gate's leaves
// turn, so its width is worked back from how they stand: one leaf is as
// wide as it is long, whichever way it points; two leaves hinged on the
// posts of one opening stay within it until they swing past square.
const m = (value) => `${value.toFixed(1)} m`;
const plan = ([across, deep]) => `${across.toFixed(1)} × ${deep.toFixed(1)} m`;
const run = ([across, deep]) => `${m(Math.max(across, deep))} long`;
const face = ([across, deep, high]) => `${m(Math.max(across, deep))} wide, ${m(high)} high`;
const height = ([, , high]) => `${m(high)} high`;
const building = (metres) => `${plan(metres)}, ${height(metres)}`;
const gate = (leaves) => ([across, deep], swing) => {
  const radians = (swing * Math.PI) / 180;
  const width = leaves === 1 ? Math.hypot(across, deep) : across / (1 + Math.max(0, -Math.cos(radians)));
  return `${m(width)} wide, ${gateWords(swing)}`;
};
const kSizes = new Map([
  ['right fence', run], ['back fence', run], ['left fence', run], ['front fence', run],
  ['walk gate', gate(1)], ['drive gate', gate(2)],
  ['paving and garage ramp', plan], ['ground', plan], ['walls', building], ['front door', face],
  ['foundation and terrace', plan], ['porch', plan], ['roof', plan], ['chimneys', height],
  ['eaves', plan], ['garage door', face], ['windows', height],
]);

const capitalised = (name) => name[0].toUpperCase() + name.slice(1);

// "Drive gate, 4.8 m wide, open 52°" (`between` ", "), or "Roof: 13.0 ×
// 9.0 m" (": "); the name alone for a part the table does not size.
function partWords(name, part, between) {
  const size = kSizes.get(name)?.(part.metres, part.openDegrees);
  return size ? `${capitalised(name)}${between}${size}` : capitalised(name);
}

const sameParts = (names, others) =>
  names.length === others.length && names.every((name) => others.includes(name));

function inCaption(names) {
  const last = names.length > 1 ? ` and ${names[names.length - 1]}` : '';
  return `In view: ${names.slice(0, names.length > 1 ? -1 : 1).join(', ')}${last}.`;
}

// `width` x `height` scaled as a whole so that its longer side is `side`,
// or smaller where its area would pass `pixels`.
function scaledTo([width, height], { side = Math.max(width, height), pixels = Infinity }) {
  const scale = Math.min(side / Math.max(width, height), Math.sqrt(pixels / (width * height)));
  return [Math.max(1, Math.round(width * scale)), Math.max(1, Math.round(height * scale))];
}

// `list` the ul, `said` and `tapSaid` parts of the live region, `label`
// the element shown beside the pointer, inside `stage`. Returns what a tap
// on the picture is given to (gestures.js).
export function startInView(program, { list, said, tapSaid, label, stage }) {
  const canvas = program.canvas;
  const mapper = partMapper();
  let asked = 0;
  let quiet = null;
  let shown = null;
  let tapMap = null;  // { keys, width, height, map: a promise } of the last tap
  let saidNames = [];  // the parts the live region names now

  const currentKeys = () => (program.stopped ? null : deliveredKeyText(' '));

  // The map of the view after `keys`, on the page's performance timeline
  // with the worker's own time; null where it cannot be had.
  async function partMap(keys, [width, height]) {
    const start = performance.now();
    try {
      const map = await (await mapper)(keys, width, height);
      performance.measure('part map', { start, detail: { width, height, workerMs: map.ms } });
      return map;
    } catch {
      return null;
    }
  }

  async function update() {
    const ask = ++asked;
    const keys = currentKeys();
    const map = keys === null ? null
      : await partMap(keys, scaledTo([canvas.width, canvas.height], { side: kListMapSide }));
    if (ask !== asked) return;  // the keys have moved on, and a later one is coming
    const parts = (map?.inView ?? []).filter((part) => part.percent >= kLeastPercent)
      .map((part) => ({ name: map.names[part.number - 1], part }));
    list.replaceChildren(...parts.map(({ name, part }) => {
      const item = document.createElement('li');
      item.textContent = partWords(name, part, ', ');
      return item;
    }));
    const named = parts.slice(0, kSaidInCaption).map(({ name }) => name);
    if (!sameParts(named, saidNames)) {
      saidNames = named;
      said.textContent = named.length ? inCaption(named) : '';
    }
  }

  function hideLabel() {
    clearTimeout(shown);
    label.hidden = true;
    tapSaid.textContent = '';
  }

  // Beside the point, to its right and above where there is room (a
  // finger covers what is below it), else to its left, else above or
  // below it; always inside the picture. Its size is taken at the stage's
  // left edge, where it has the whole width to fill, and kept: placed
  // nearer the right edge, it would otherwise wrap to more lines than it
  // was placed for, and grow down over the point.
  function showLabel(words, x, y) {
    label.textContent = words;
    label.hidden = false;
    Object.assign(label.style, { left: '0px', top: '0px', width: '' });
    const width = Math.ceil(label.getBoundingClientRect().width);
    label.style.width = `${width}px`;
    const height = label.offsetHeight;
    const [stageWidth, stageHeight] = [stage.clientWidth, stage.clientHeight];
    const clamp = (value, most) => Math.max(0, Math.min(value, most));
    let left = x + kLabelGap;
    let top = clamp(y - kLabelGap - height, stageHeight - height);
    if (left + width > stageWidth) left = x - kLabelGap - width;
    if (left < 0) {
      left = clamp(x - width / 2, stageWidth - width);
      top = y - kLabelGap - height >= 0 ? y - kLabelGap - height : y + kLabelGap;
    }
    label.style.left = `${left}px`;
    label.style.top = `${top}px`;
    tapSaid.textContent = words;
    clearTimeout(shown);
    shown = setTimeout(hideLabel, kLabelMs);
  }

  // A tap before the export is there waits for it. Keys delivered while
  // the map is made leave the tap unanswered.
  async function onTap(event) {
    if (program.stopped || program.graphicsLost) return;
    const box = canvas.getBoundingClientRect();
    const [x, y] = [event.clientX - box.left, event.clientY - box.top];
    const keys = currentKeys();
    if (keys === null || x < 0 || y < 0 || x >= box.width || y >= box.height) return;
    const [width, height] = scaledTo([box.width, box.height], { pixels: kMostTapMapPixels });
    if (!tapMap || tapMap.keys !== keys || tapMap.width !== width || tapMap.height !== height) {
      tapMap = { keys, width, height, map: partMap(keys, [width, height]) };
    }
    const map = await tapMap.map;
    if (currentKeys() !== keys || program.graphicsLost) return;
    const column = Math.min(width - 1, Math.floor((x / box.width) * width));
    const row = Math.min(height - 1, Math.floor((y / box.height) * height));
    const number = map?.pixels[row * width + column] ?? 0;
    const part = map?.inView.find((inView) => inView.number === number);
    if (!part) {
      hideLabel();
      return;
    }
    showLabel(partWords(map.names[number - 1], part, ': '), x, y);
  }

  mapper.then(update, () => {});
  // A label names a part of the picture: it goes with the picture.
  canvas.addEventListener('webglcontextlost', hideLabel);
  program.whenStopped(() => {
    hideLabel();
    ++asked;
    list.replaceChildren();
    said.textContent = '';
  });
  onKeysDelivered(() => {
    hideLabel();
    clearTimeout(quiet);
    quiet = setTimeout(update, kQuietMs);
  });
  return onTap;
}
