// The page's modules (page.js), started once the poster is on the screen,
// or at once where a link shows no poster: until then the poster has the
// network and the page's thread to itself, and is painted the sooner. A
// classic script run once the page is read (defer), not a module, whose
// imports the browser would fetch at once. A poster not shown within
// kMostWaitMs (a tab in the background, a poster that does not arrive)
// holds the page back no longer.
(() => {
  const kMostWaitMs = 2000;
  let started = false;
  const start = () => {
    if (started) return;
    started = true;
    const script = document.createElement('script');
    script.type = 'module';
    script.src = '../page.js';
    document.head.append(script);
  };
  if (document.documentElement.classList.contains('linked-view')) {
    start();
    return;
  }
  document.getElementById('poster').decode().catch(() => {})
    .then(() => requestAnimationFrame(() => setTimeout(start, 0)));
  setTimeout(start, kMostWaitMs);
})();
