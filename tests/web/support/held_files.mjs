// A site's server that holds chosen files back until the test lets them
// go, as a slow network would: what the page shows meanwhile can be looked
// at for as long as it takes. It also keeps every file asked for, with the
// time (Date.now()). `options` go to startServer (web/server/serve.mjs).
import fs from 'node:fs';
import path from 'node:path';
import { siteFile } from './browser.mjs';

export function holdingServer(site) {
  const held = new Map();  // the site's name -> the answers waiting
  const asked = [];
  const answer = (name, response) => {
    const bytes = fs.readFileSync(path.join(site, name));
    response.writeHead(200, { 'Content-Type': name.endsWith('.wasm') ? 'application/wasm' : 'text/javascript',
      'Content-Length': bytes.length });
    response.end(bytes);
  };
  return {
    asked,
    options: {
      intercept(request, response) {
        const name = decodeURIComponent(new URL(request.url, 'http://site').pathname.slice(1));
        asked.push({ name, at: Date.now() });
        if (!held.has(name)) return false;
        held.get(name).push(response);
        return true;
      },
    },
    // `name` as the sources name it: "house.wasm".
    hold(name) { held.set(siteFile(site, name), []); },
    release(name) {
      const siteName = siteFile(site, name);
      for (const response of held.get(siteName) ?? []) answer(siteName, response);
      held.delete(siteName);
    },
  };
}
