// What the page shows when the picture cannot be what it should: a
// heading, a sentence and, where it helps, a button that acts on it (start
// again, try again). In place of the picture when the program cannot go
// on; over it, as a band that lets the keys and gestures through, while
// the program goes on and the picture is only briefly away.
const element = (id) => document.getElementById(id);
const notice = element('notice');
const button = element('reload');
let act = null;

button.addEventListener('click', () => act?.());

// `action`: { label, run } for the button, or null for none. `over`: the
// picture stays, with its focus, under the notice.
export function showNotice(heading, text, { action = null, over = false } = {}) {
  const canvas = element('canvas');
  element('notice-heading').textContent = heading;
  element('notice-text').textContent = text;
  notice.classList.toggle('over', over);
  canvas.hidden = !over;
  element('view-name').hidden = !over;
  element('hint').hidden = !over;
  element('loading').hidden = true;
  notice.hidden = false;
  act = action?.run ?? null;
  button.hidden = !action;
  if (action) {
    button.textContent = action.label;
    button.focus();
  }
}

// The picture back, with the keys unless the person gave them elsewhere.
export function hideNotice() {
  const canvas = element('canvas');
  const focus = document.activeElement;
  const refocus = !focus || focus === document.body || notice.contains(focus);
  notice.hidden = true;
  canvas.hidden = false;
  element('view-name').hidden = false;
  element('hint').hidden = false;
  act = null;
  if (refocus) canvas.focus({ preventScroll: true });
}

// Starting again keeps the view: the address carries its keys.
export const kStartAgain = { label: 'Start again', run: () => location.reload() };
