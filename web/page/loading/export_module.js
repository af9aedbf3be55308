// The model export compiled to WebAssembly (house-export.js and .wasm), a
// module of its own that the page loads only after its first frame: for
// the parts in view (in_view.js) once the page is idle, or for the 3D
// model (model_download.js) when someone asks first. Its script and its
// WebAssembly are fetched side by side through the page's checked
// delivery; one load serves both, and one that failed is tried again,
// past any copy the browser keeps of a damaged file, the next time it is
// asked for.
import { checkWhole, compileWasm, DeliveryError, download, instantiateFrom, plainName, runScript } from './delivery.js';

// As the build names them, after their content.
const kScript = 'house-export.js';
const kWasm = 'house-export.wasm';

let loading = null;
let loaded = null;
let fresh = false;

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

async function load() {
  const whole = async (url) => {
    const bytes = await download(url, undefined, { fresh });
    await checkWhole(url, bytes);
    return bytes;
  };
  const compiled = naming(kWasm, whole(kWasm).then(compileWasm));
  compiled.catch(() => {});  // heard through the module's promise below
  await naming(kScript, whole(kScript)
    .then(() => runScript(kScript, () => typeof window.createHouseExport === 'function')));
  return new Promise((resolve, reject) => {
    const failed = (error) => naming(kWasm, Promise.reject(error)).catch(reject);
    const quiet = () => {};
    window.createHouseExport({ instantiateWasm: instantiateFrom(compiled, kScript, failed), print: quiet, printErr: quiet })
      .then(resolve, reject);
  });
}

// The module, once it is there; a failure names the file and its cause.
export function exportModule() {
  loading ??= load().then((module) => {
    loaded = module;
    return module;
  }, (error) => {
    loading = null;
    fresh = true;
    throw error;
  });
  return loading;
}

// The module if it has loaded, else null: for what would rather say
// nothing than fetch it again.
export const loadedExportModule = () => loaded;
