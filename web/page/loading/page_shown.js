// Once the page, with its poster, is on the screen (page_loader.js starts
// the page once the poster is painted). Until then the page asks for
// nothing it does not show: the program's files and the picture's WebGL
// context wait, so that they neither share the network with the poster nor
// keep the GPU process, which also puts the page's frames on the screen,
// from showing the first of them (on a software renderer, for most of a
// second). The browser says when its first paint has reached the screen.
// A first paint not shown within kMostWaitMs (a tab in the background)
// holds nothing back any longer.
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
  shown ??= Promise.race([firstPaint(), new Promise((resolve) => setTimeout(resolve, kMostWaitMs))]);
  return shown;
}
