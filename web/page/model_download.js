// "Download 3D model": the scene of the view in the picture as a glTF file
// (house.glb) for Blender, a game engine or a 3D viewer. It is made by the
// model export compiled to WebAssembly, a module of its own, fetched the
// first time it is asked for (and kept by the service worker with the rest
// of the site, so it works offline too). The module is given the keys the
// page has delivered, so the file is the one `house-export --keys` writes
// for the same keys. It is offered only while the program runs: once it
// has ended there is no view to save, and "Start again" brings the offer
// back with the page.
import { checkWhole, compileWasm, DeliveryError, download, instantiateFrom, kibibytes, plainName, runScript }
  from './loading/delivery.js';
import { deliveredKeyText } from './input/keys.js';

// As the build names them, after their content.
const kScript = 'house-export.js';
const kWasm = 'house-export.wasm';
const kFileName = 'house.glb';
const kModelType = 'model/gltf-binary';
// Long enough for the browser to have taken the file.
const kKeepFileMs = 60000;

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

// The export module, its script and its WebAssembly fetched side by side
// and checked. `fresh` after a failure: past any copy the browser keeps of
// a damaged file.
async function loadExporter(fresh) {
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

function save(bytes) {
  const url = URL.createObjectURL(new Blob([bytes], { type: kModelType }));
  const link = document.createElement('a');
  link.href = url;
  link.download = kFileName;
  document.body.append(link);
  link.click();
  link.remove();
  setTimeout(() => URL.revokeObjectURL(url), kKeepFileMs);
}

export function startModelDownload(program, { offer, button, status }) {
  let exporter = null;
  let busy = false;
  let fresh = false;

  program.whenStopped(() => {
    for (const element of [offer, button, status]) element.hidden = true;
    status.textContent = '';
  });

  button.addEventListener('click', async () => {
    if (busy || program.stopped) return;
    const keys = deliveredKeyText(' ');
    if (keys === null) {
      status.textContent = 'This view took too many steps to be made again as a model. ' +
        'Start again from the first view to download one.';
      return;
    }
    busy = true;
    button.setAttribute('aria-busy', 'true');
    status.textContent = 'Making the 3D model…';
    try {
      exporter ??= loadExporter(fresh);
      const model = (await exporter).exportModel(keys);
      // Ended while the module was fetched: the offer is gone.
      if (program.stopped) return;
      save(model);
      status.textContent = `Downloaded ${kFileName} (${kibibytes(model.length)} KB): the house as you see it now.`;
    } catch (error) {
      exporter = null;
      fresh = true;
      status.textContent = `The 3D model could not be made: ${error.message}. Press the button to try again.`;
    } finally {
      busy = false;
      button.removeAttribute('aria-busy');
    }
  });
}
