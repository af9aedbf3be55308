// Starts the page, a classic script run once the page is read (defer), so
// that it holds up neither the page nor its poster. At once, the worker that
// will draw the picture (remote_context.js): it fetches its module and
// asks whether this browser can draw WebGL on a worker at all (WebKitGTK
// has OffscreenCanvas but no WebGL on it) while the poster is shown, and
// is left on Module, which the page's modules take over (program.js).
// Where the page draws on its own thread (`?graphics=page`, or no
// OffscreenCanvas), no worker.
//
// Once the poster is decoded (at once where a link shows none), the page's
// modules, all together (page.js, and kModules: every module it imports,
// filled in by the site's assembly), so that none waits for the one that
// imports it; they then run in a task of their own, after the poster's
// first paint, and fetch the program. A poster not decoded within kMostWaitMs
// (a tab in the background, a poster that does not arrive) holds the page
// back no longer.
(() => {
  const kProbeWaitMs = 5000;
  const kMostWaitMs = 2000;
  const kPage = '../page.js';
  const kModules = [];

  function startWorker() {
    const worker = new Worker('../graphics/context_worker.js', { type: 'module' });
    const drawsWebGL = new Promise((resolve) => {
      const timer = setTimeout(() => resolve(false), kProbeWaitMs);
      const answer = (drawn) => {
        clearTimeout(timer);
        resolve(drawn);
      };
      worker.addEventListener('message', ({ data }) => answer(Boolean(data.probed)), { once: true });
      worker.addEventListener('error', () => answer(false), { once: true });
      worker.postMessage({ probe: true });
    });
    window.Module = { graphicsWorker: { worker, drawsWebGL } };
  }

  function preload(module) {
    const link = document.createElement('link');
    link.rel = 'modulepreload';
    link.href = module;
    document.head.append(link);
  }

  let started = false;
  function start() {
    if (started) return;
    started = true;
    for (const module of [kPage, ...kModules]) preload(module);
    requestAnimationFrame(() => setTimeout(() => {
      const script = document.createElement('script');
      script.type = 'module';
      script.src = kPage;
      document.head.append(script);
    }, 0));
  }

  if (!/[?&]graphics=page\b/.test(location.search) && 'transferControlToOffscreen' in HTMLCanvasElement.prototype) {
    startWorker();
  }
  if (document.documentElement.classList.contains('linked-view')) start();
  else document.getElementById('poster').decode().catch(() => {}).then(start);
  setTimeout(start, kMostWaitMs);
})();
