// The model export's part maps and pixel histories on a thread of its own
// (export_module.js starts it): the browser compiles the module's
// functions as they are first called, which takes the page's thread well
// past 50 ms, and each answer takes some milliseconds more. A classic worker, so that it runs the
// export's script as the page would; the page has fetched and checked
// that script and compiled the WebAssembly, and sends the compiled module.
/* global createHouseExport */
let exporter = null;
// What the page may ask of the module here.
const kCalls = new Set(['partMap', 'pixelHistory']);

async function start({ script, module }) {
  importScripts(script);
  const quiet = () => {};
  exporter = await new Promise((resolve, reject) => {
    createHouseExport({
      instantiateWasm(imports, receiveInstance) {
        WebAssembly.instantiate(module, imports).then((instance) => receiveInstance(instance, module), reject);
        return {};
      },
      print: quiet,
      printErr: quiet,
    }).then(resolve, reject);
  });
  exporter.partMap('', 1, 1);  // every function it calls compiled, here
}

self.onmessage = async ({ data }) => {
  if (data.module) {
    try {
      await start(data);
      postMessage({ ready: true });
    } catch (error) {
      postMessage({ failed: String(error?.message ?? error) });
    }
    return;
  }
  const { id, call, args } = data;
  const begun = performance.now();
  try {
    if (!kCalls.has(call)) throw new Error(`no ${call} here`);
    const answer = exporter[call](...args);
    postMessage({ id, answer, ms: performance.now() - begun }, answer.pixels ? [answer.pixels.buffer] : []);
  } catch (error) {
    postMessage({ id, failed: String(error?.message ?? error) });
  }
};
