// Starts the page, a classic script run once the page is read (defer), so
// that it holds up neither the page nor its poster.
//
// The worker that will draw the picture (remote_context.js) is started as
// soon as the page's first paint is on the screen, not before: its thread
// and its question for the GPU would hold the poster back (on a software
// renderer, by as much as they take). It fetches its module and asks
// whether this browser can draw WebGL on a worker at all (WebKitGTK has
// OffscreenCanvas but no WebGL on it) while the page's modules arrive, and
// the answer is left on Module, which they take over (program.js). Where
// the page draws on its own thread (`?graphics=page`, or no
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

  // Resolves once the browser says its first paint is on the screen, or
  // after kMostWaitMs (a tab in the background).
  function firstPaint() {
    return new Promise((resolve) => {
      setTimeout(resolve, kMostWaitMs);
      if (!PerformanceObserver.supportedEntryTypes?.includes('paint')) resolve();
      else new PerformanceObserver((entries, observer) => {
        observer.disconnect();
        resolve();
      }).observe({ type: 'paint', buffered: true });
    });
  }

  // { worker, drawsWebGL }, once the worker has answered.
  async function startWorker() {
    await firstPaint();
    const worker = new Worker('../graphics/context_worker.js', { type: 'module' });
    const drawsWebGL = await new Promise((resolve) => {
      const timer = setTimeout(() => resolve(false), kProbeWaitMs);
      const answer = (drawn) => {
        clearTimeout(timer);
        resolve(drawn);
      };
      worker.addEventListener('message', ({ data }) => answer(Boolean(data.probed)), { once: true });
      worker.addEventListener('error', () => answer(false), { once: true });
      worker.postMessage({ probe: true });
    });
    return { worker, drawsWebGL };
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
    window.Module = { graphicsWorker: startWorker() };
  }
  if (document.documentElement.classList.contains('linked-view')) start();
  else document.getElementById('poster').decode().catch(() => {}).then(start);
  setTimeout(start, kMostWaitMs);
})();
