// Starts the page, a classic script run once the page is read (defer), so
// that it holds up neither the page nor its poster. Once the poster is
// decoded and painted (at once where a link shows none), it starts, side by
// side:
// - the worker that will draw the picture (remote_context.js), which
//   fetches its module and asks whether this browser can draw WebGL on a
//   worker at all (WebKitGTK has OffscreenCanvas but no WebGL on it); its
//   start is left on Module, which the page's modules take over
//   (program.js). Where the page draws on its own thread
//   (`?graphics=page`, or no OffscreenCanvas), no worker.
// - the page's modules, all together (page.js, and kModules: every module
//   it imports, filled in by the site's assembly), so that none waits for
//   the one that imports it, though asked for a few in each task; they run
//   in a task of their own and fetch the program.
// Started sooner, either holds the poster's paint back: the worker's
// question keeps the GPU process busy, and the modules count towards the
// paint in a simulated slow network (Lighthouse's). A poster not decoded
// within kMostWaitMs (a tab in the background, a poster that does not
// arrive) holds the page back no longer.
(() => {
  const kProbeWaitMs = 5000;
  const kMostWaitMs = 2000;
  const kPage = '../page.js';
  const kModules = [];
  // Each request costs the page's thread up to 10 ms: the twenty asked for
  // in one task made it 26 to 190 ms long.
  const kPreloadsPerTask = 4;

  const nextTask = () => (window.scheduler?.yield
    ? scheduler.yield() : new Promise((resolve) => setTimeout(resolve, 0)));

  // { worker, drawsWebGL }, once the worker has answered.
  async function startWorker() {
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

  async function startPage() {
    if (!/[?&]graphics=page\b/.test(location.search) && 'transferControlToOffscreen' in HTMLCanvasElement.prototype) {
      window.Module = { graphicsWorker: startWorker() };
    }
    const modules = [kPage, ...kModules];
    for (let first = 0; first < modules.length; first += kPreloadsPerTask) {
      if (first > 0) await nextTask();
      modules.slice(first, first + kPreloadsPerTask).forEach(preload);
    }
    const script = document.createElement('script');
    script.type = 'module';
    script.src = kPage;
    document.head.append(script);
  }

  let started = false;
  function start() {
    if (started) return;
    started = true;
    requestAnimationFrame(() => setTimeout(startPage, 0));
  }

  if (document.documentElement.classList.contains('linked-view')) start();
  else document.getElementById('poster').decode().catch(() => {}).then(start);
  setTimeout(start, kMostWaitMs);
})();
