// The site's service worker: it keeps this build's files, so that a page
// opened once opens again with no network, and it lets the browser offer
// the page as an app. The browser checks this file on every load (it is
// served no-cache); a new build writes a new one, with its own name and
// files, which is taken on at once and drops the files of older builds.
//
// - The page itself (a navigation to the site) comes from the network, so
//   a new build shows on the next load, and from the kept copy when the
//   network fails, answers with an error or takes longer than
//   kNetworkWaitMs.
// - Files named after their content never change: the kept copy first
//   (where the browser routes them there itself, without this worker).
// - The others (icons, the manifest) from the network first.
//
// A file is kept only whole: a content-named file only with the content
// its name says, index.html only naming this build's files.

// Written by the site's assembly: this build's name and files.
const kBuild = '';
const kFiles = [];

const kCachePrefix = 'house-';
const kCache = `${kCachePrefix}${kBuild}`;
const kPage = 'index.html';
const kNetworkWaitMs = 4000;
const kDigits = /\.([0-9a-f]{8,})\.[^./]+$/;

const siteUrl = (name) => new URL(name, self.registration.scope).href;
const kKept = new Set(kFiles.map(siteUrl));
const kPageUrls = new Set([siteUrl('./'), siteUrl(kPage)]);

async function sha256(bytes) {
  const digest = new Uint8Array(await crypto.subtle.digest('SHA-256', bytes));
  return Array.from(digest, (byte) => byte.toString(16).padStart(2, '0')).join('');
}

// Whether `bytes` are what this build's `name` must hold.
async function whole(name, bytes) {
  const digits = kDigits.exec(name)?.[1];
  if (digits) return (await sha256(bytes)).startsWith(digits);
  if (name !== kPage) return true;
  const named = new TextDecoder().decode(bytes).match(/[\w-]+\.[0-9a-f]{8,}\.\w+/g) ?? [];
  return named.every((file) => kFiles.includes(file));
}

async function keepBuild() {
  const cache = await caches.open(kCache);
  await Promise.all(kFiles.map(async (name) => {
    const response = await fetch(name, { cache: 'no-cache' });
    if (!response.ok) throw new Error(`${name}: the server answered ${response.status}`);
    if (!(await whole(name, await response.clone().arrayBuffer()))) throw new Error(`${name} is not this build's`);
    await cache.put(name, response);
  }));
}

// Where the browser can route a request itself (Chromium), a file named
// after its content comes from the kept copy without this worker: answered
// here, the page's twenty modules, asked for all at once, each waited its
// turn on this worker's thread, and came 130 to 270 ms after they were
// asked. A file the copy lacks comes from the network.
function routeKeptFiles(event) {
  try {
    const urlPattern = new URLPattern({ baseURL: self.registration.scope, pathname: '*.*.*' });
    return event.addRoutes({ condition: { urlPattern }, source: { cacheName: kCache } }).catch(() => {});
  } catch {
    return null;  // no routes here: every request comes to the handler below
  }
}

self.addEventListener('install', (event) => {
  event.waitUntil(Promise.all([routeKeptFiles(event), keepBuild()]).then(() => self.skipWaiting()));
});

self.addEventListener('activate', (event) => {
  event.waitUntil((async () => {
    for (const name of await caches.keys()) {
      if (name.startsWith(kCachePrefix) && name !== kCache) await caches.delete(name);
    }
    await self.clients.claim();
  })());
});

async function kept(request) {
  const cache = await caches.open(kCache);
  return cache.match(request, { ignoreSearch: true, ignoreVary: true });
}

// The network's answer if it is a good one and comes in time, else the
// kept copy; the network's answer or failure where there is no copy.
async function networkFirst(request, copy) {
  const network = fetch(request);
  network.catch(() => {});  // a failure is answered below, not left unhandled
  const timedOut = new Promise((resolve) => setTimeout(resolve, kNetworkWaitMs, null));
  try {
    const response = await Promise.race([network, timedOut]);
    if (response?.ok) return response;
  } catch {
    // no network: the copy below
  }
  return (await copy()) ?? network;
}

self.addEventListener('fetch', (event) => {
  const request = event.request;
  if (request.method !== 'GET') return;
  const url = new URL(request.url);
  url.hash = '';
  const address = url.href.replace(/\?.*$/, '');
  if (request.mode === 'navigate' && kPageUrls.has(address)) {
    event.respondWith(networkFirst(request, () => kept(siteUrl(kPage))));
  } else if (kKept.has(address) && kDigits.test(url.pathname)) {
    event.respondWith(kept(request).then((copy) => copy ?? fetch(request)));
  } else if (kKept.has(address)) {
    event.respondWith(networkFirst(request, () => kept(request)));
  }
});
