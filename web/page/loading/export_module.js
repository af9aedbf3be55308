// The model export compiled to WebAssembly (house-export.js and .wasm), a
// module of its own that the page fetches only after its first frame: for
// the parts in view (in_view.js) once the page is idle, or for the 3D
// model (model_download.js) when someone asks first. Its script and its
// WebAssembly are fetched side by side through the page's checked
// delivery, once for both; a fetch that failed is tried again, past any
// copy the browser keeps of a damaged file, the next time the model is
// asked for. The model is made on the page's thread, as the download
// asks; the part maps and pixel histories on a worker (export_worker.js),
// which keeps the module's compiling and its work off it.
import { checkWhole, compileWasm, DeliveryError, download, instantiateFrom, plainName, runScript } from './delivery.js';

// As the build names them, after their content.
const kScript = 'house-export.js';
const kWasm = 'house-export.wasm';

let files = null;
let fresh = false;
let exporter = null;
let asker = null;

// A failure of `promise` with the name of the file it was about, once.
function naming(url, promise) {
  return promise.catch((error) => {
    if (error instanceof DeliveryError && !error.file) {
      error.file = plainName(url);
      error.message = `${error.file} could not be loaded: ${error.message}`;
    }
    throw error;
  });
}

// The script fetched and checked, and the WebAssembly compiled.
function exportFiles() {
  const whole = async (url) => {
    const bytes = await download(url, undefined, { fresh });
    await checkWhole(url, bytes);
    return bytes;
  };
  files ??= (async () => {
    const compiled = naming(kWasm, whole(kWasm).then(compileWasm));
    compiled.catch(() => {});  // heard once the script is there
    await naming(kScript, whole(kScript));
    return compiled;
  })().catch((error) => {
    files = null;
    fresh = true;
    throw error;
  });
  return files;
}

// The module on the page's thread, once it is there; a failure names the
// file and its cause, and the next call tries again.
export function exportModule() {
  exporter ??= exportFiles().then(async (compiled) => {
    await naming(kScript, runScript(kScript, () => typeof window.createHouseExport === 'function'));
    return new Promise((resolve, reject) => {
      const failed = (error) => naming(kWasm, Promise.reject(error)).catch(reject);
      const quiet = () => {};
      window.createHouseExport({
        instantiateWasm: instantiateFrom(Promise.resolve(compiled), kScript, failed), print: quiet, printErr: quiet,
      }).then(resolve, reject);
    });
  }).catch((error) => {
    exporter = null;
    throw error;
  });
  return exporter;
}

// The module on the worker, as a promise of ask(call, ...args), which
// promises { answer, ms }: what the module's `call` returns and the
// worker's time for it. Made once: where the worker cannot start, or the
// files cannot be had, every call fails, and the page says nothing.
function exportWorker() {
  asker ??= exportFiles().then((compiled) => new Promise((resolve, reject) => {
    const worker = new Worker('export_worker.js');
    const waiting = new Map();
    let next = 0;
    worker.onerror = (event) => {
      event.preventDefault();
      reject(new Error('the export worker could not start'));
    };
    worker.onmessage = ({ data }) => {
      if (data.ready) {
        resolve((call, ...args) => new Promise((answer, fail) => {
          waiting.set(++next, { answer, fail });
          worker.postMessage({ id: next, call, args });
        }));
      } else if ('id' in data) {
        const { answer, fail } = waiting.get(data.id);
        waiting.delete(data.id);
        if ('failed' in data) fail(new Error(data.failed));
        else answer(data);
      } else {
        worker.terminate();
        reject(new Error(data.failed));
      }
    };
    worker.postMessage({ script: kScript, module: compiled });
  }));
  return asker;
}

// partMap(keys, width, height) on the worker, as a promise of what the
// module's partMap returns, with `ms`, the worker's time for it.
export function partMapper() {
  return exportWorker().then((ask) => async (keys, width, height) => {
    const { answer, ms } = await ask('partMap', keys, width, height);
    return { ...answer, ms };
  });
}

// pixelHistory(keys, width, height, x, y) on the worker, as a promise of
// { pieces, ms }: what the module's pixelHistory returns and the worker's
// time for it.
export function pixelHistorian() {
  return exportWorker().then((ask) => async (keys, width, height, x, y) => {
    const { answer, ms } = await ask('pixelHistory', keys, width, height, x, y);
    return { pieces: answer, ms };
  });
}
