// Help that fits the device: where the main pointer is coarse (a touch
// screen), the help on touch and buttons comes before the key table, in
// the page's order as well as on screen, so a screen reader meets it first
// too.
export function arrangeHelp(keyHelp, touchHelp) {
  const coarse = matchMedia('(pointer: coarse)');
  function arrange() {
    if (coarse.matches) keyHelp.before(touchHelp);
    else touchHelp.before(keyHelp);
  }
  arrange();
  coarse.addEventListener('change', arrange);
}
