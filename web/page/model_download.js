// "Download 3D model": the scene of the view in the picture as a glTF file
// (house.glb) for Blender, a game engine or a 3D viewer. It is made by the
// model export compiled to WebAssembly, a module of its own
// (loading/export_module.js), fetched once the page is idle or the first
// time it is asked for (and kept by the service worker with the rest
// of the site, so it works offline too). The module is given the keys the
// page has delivered, so the file is the one `house-export --keys` writes
// for the same keys. It is offered only while the program runs: once it
// has ended there is no view to save, and "Start again" brings the offer
// back with the page.
import { exportModule } from './loading/export_module.js';
import { kibibytes } from './loading/delivery.js';
import { deliveredKeyText } from './input/keys.js';

const kFileName = 'house.glb';
const kModelType = 'model/gltf-binary';
// Long enough for the browser to have taken the file.
const kKeepFileMs = 60000;

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
  let busy = false;

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
      const model = (await exportModule()).exportModel(keys);
      // Ended while the module was fetched: the offer is gone.
      if (program.stopped) return;
      save(model);
      status.textContent = `Downloaded ${kFileName} (${kibibytes(model.length)} KB): the house as you see it now.`;
    } catch (error) {
      status.textContent = `The 3D model could not be made: ${error.message}. Press the button to try again.`;
    } finally {
      busy = false;
      button.removeAttribute('aria-busy');
    }
  });
}
