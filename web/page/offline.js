// The page as an app that opens with no network: once the first frame is
// drawn, the service worker (sw.js) is registered, which keeps this
// build's files. Where it cannot be (a page opened from a file, a browser
// that refuses it), the page works as before, only not offline.
export function startOffline(program) {
  if (!('serviceWorker' in navigator)) return;
  program.whenFirstDrawn(() => {
    navigator.serviceWorker.register('sw.js').catch(() => {});
  });
}
