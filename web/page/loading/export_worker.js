// The model export's part map on a thread of its own (export_module.js
// starts it): the browser compiles the module's functions as they are
// first called, which takes the page's thread well past 50 ms, and each
// map takes some milliseconds more. A classic worker, so that it runs the
// export's script as the page would; the page has fetched and checked
// that script and compiled the WebAssembly, and sends the compiled module.
/* global createHouseExport */
let exporter = null;

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
  const { id, keys, width, height } = data;
  const begun = performance.now();
  try {
    const map = exporter.partMap(keys, width, height);
    postMessage({ id, map, ms: performance.now() - begun }, [map.pixels.buffer]);
  } catch (error) {
    postMessage({ id, failed: String(error?.message ?? error) });
  }
};
