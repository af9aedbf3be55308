// The picture's graphics taken away and given back. A browser may take a
// page's WebGL context at any time (a GPU reset, a driver update, a phone
// reclaiming a background tab's memory); the page asks for it back and
// says so over the picture. The program runs on meanwhile, so keys,
// gestures and buttons move the view as usual. Once the context is back,
// the GL layer makes again what it had made and the view is drawn as it now
// is. A context that has not come back after kRestoreWaitMs in sight says
// so, with the offer to start again, which keeps the view: the address
// carries its keys.
import { hideNotice, kStartAgain, showNotice } from '../loading/notice.js';

const kRestoreWaitMs = 5000;

export function startGraphics(program) {
  const canvas = program.canvas;
  // Read also by what names the part under a tap (in_view.js): while the
  // picture is gone, nothing is under it.
  program.graphicsLost = false;
  let waiting = null;

  function giveUp() {
    waiting = null;
    if (!program.graphicsLost || program.stopped) return;
    showNotice('The graphics could not be restored',
      'The browser has not given the page its graphics back. Start again to go on from the same view.',
      { action: kStartAgain });
  }

  // A hidden tab's context often comes back only once it is shown again:
  // the wait counts from then.
  function wait() {
    if (!program.graphicsLost) return;
    if (document.hidden) {
      document.addEventListener('visibilitychange', wait, { once: true });
      return;
    }
    clearTimeout(waiting);
    waiting = setTimeout(giveUp, kRestoreWaitMs);
  }

  canvas.addEventListener('webglcontextlost', (event) => {
    event.preventDefault();  // else the browser never gives it back
    if (program.stopped) return;
    program.graphicsLost = true;
    canvas.classList.add('lost');
    // How it's drawn holds the keys while it shows a step.
    const stillWork = document.body.classList.contains('showing-steps')
      ? 'The step shows again once they are back.' : 'The keys, gestures and buttons still work.';
    showNotice('The graphics were reset; drawing again…', stillWork, { over: true });
    wait();
  });

  canvas.addEventListener('webglcontextrestored', () => {
    program.graphicsLost = false;
    canvas.classList.remove('lost');
    clearTimeout(waiting);
    if (program.stopped) return;
    hideNotice();
    program.restoreGraphics();
  });
}
