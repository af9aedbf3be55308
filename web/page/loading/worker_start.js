// Starts the worker that will draw the picture (remote_context.js) as the
// page is read, a classic script in the head: the first frame waits on it
// longest. The worker fetches its module and asks whether this browser can
// draw WebGL on a worker at all (WebKitGTK has OffscreenCanvas but no WebGL
// on it) while the poster, the page's modules and the program arrive. It is
// left on Module, which the page's modules take over (loading/program.js).
// Where the page draws on its own thread (`?graphics=page`, or no
// OffscreenCanvas), no worker.
(() => {
  const kProbeWaitMs = 5000;
  if (/[?&]graphics=page\b/.test(location.search) || !('transferControlToOffscreen' in HTMLCanvasElement.prototype)) {
    return;
  }
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
})();
