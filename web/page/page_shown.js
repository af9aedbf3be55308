// Once the page, with its poster, is on the screen. Until then the page
// asks for nothing it does not show: the program's files and the picture's
// WebGL context wait, so that they neither share the network with the
// poster nor keep the GPU process, which also puts the page's frames on the
// screen, from showing the first of them (on a software renderer, for most
// of a second). The browser says when its first paint has reached the
// screen; the poster, decoded, is on it at the next frame. A page or poster
// not shown within kMostWaitMs (a tab in the background, a poster that does
// not arrive) holds nothing back any longer.
const kMostWaitMs = 2000;

let shown = null;

function firstPaint() {
  return new Promise((resolve) => {
    if (!PerformanceObserver.supportedEntryTypes?.includes('paint')) {
      resolve();
      return;
    }
    new PerformanceObserver((entries, observer) => {
      observer.disconnect();
      resolve();
    }).observe({ type: 'paint', buffered: true });
  });
}

export function pageShown() {
  if (shown) return shown;
  const poster = document.getElementById('poster');
  const linked = document.documentElement.classList.contains('linked-view');
  const nextFrame = () => new Promise((resolve) => requestAnimationFrame(() => setTimeout(resolve, 0)));
  const posterShown = linked ? Promise.resolve() : poster.decode().catch(() => {}).then(nextFrame);
  const atMost = new Promise((resolve) => setTimeout(resolve, kMostWaitMs));
  shown = Promise.race([Promise.all([firstPaint(), posterShown]), atMost]);
  return shown;
}
