// The site's files fetched whole: with their progress, checked against the
// content their names promise, and, where one cannot be used, the cause in
// words a person can act on. The program and the model export are loaded
// through here.
import { withCommas } from '../numbers.js';

const kStallMs = 20000;

// The file's name as a person knows it, without the build's digest.
export function plainName(url) {
  return url.split('/').pop().replace(/\.[0-9a-f]{8,}(?=\.[^./]+$)/, '');
}

export const kibibytes = (bytes) => withCommas(Math.round(bytes / 1024));

// Why a file could not be used, in words that end "…could not be loaded: ".
export class DeliveryError extends Error {}

function unreachable() {
  return navigator.onLine === false ? 'the browser is offline' : 'the server could not be reached';
}

// The file's bytes, with `onProgress(received)` as they come; `fresh`
// past any copy the browser keeps.
export async function download(url, onProgress = () => {}, { fresh = false } = {}) {
  const controller = new AbortController();
  let stalled = false;
  let timer = null;
  const watch = () => {
    clearTimeout(timer);
    timer = setTimeout(() => { stalled = true; controller.abort(); }, kStallMs);
  };
  let received = 0;
  try {
    watch();
    let response;
    try {
      response = await fetch(url, { signal: controller.signal, cache: fresh ? 'reload' : 'default' });
    } catch {
      throw new DeliveryError(stalled ? `nothing arrived for ${kStallMs / 1000} seconds` : unreachable());
    }
    if (!response.ok) {
      throw new DeliveryError(`the server answered ${response.status}${response.statusText ? ` ${response.statusText}` : ''}`);
    }
    const reader = response.body.getReader();
    const chunks = [];
    for (;;) {
      let part;
      try {
        part = await reader.read();
      } catch {
        const after = `after ${withCommas(received)} bytes`;
        throw new DeliveryError(stalled ? `it stopped arriving ${after}, and nothing more came for ${kStallMs / 1000} seconds`
          : `the download broke off ${after}`);
      }
      if (part.done) break;
      chunks.push(part.value);
      received += part.value.length;
      onProgress(received);
      watch();
    }
    const bytes = new Uint8Array(received);
    let at = 0;
    for (const chunk of chunks) {
      bytes.set(chunk, at);
      at += chunk.length;
    }
    return bytes;
  } finally {
    clearTimeout(timer);
  }
}

// A file named after its content must have that content: the first digits
// of its SHA-256. Where the browser offers no digests (a page served over
// plain HTTP from another machine) the size alone is checked.
export async function checkWhole(url, bytes, expectedBytes = null) {
  if (expectedBytes !== null && bytes.length !== expectedBytes) {
    throw new DeliveryError(`it arrived with ${withCommas(bytes.length)} of its ` +
      `${withCommas(expectedBytes)} bytes`);
  }
  const digits = /\.([0-9a-f]{8,})\.[^./]+$/.exec(url)?.[1];
  if (!digits || !globalThis.crypto?.subtle) return;
  const digest = new Uint8Array(await crypto.subtle.digest('SHA-256', bytes));
  const hex = Array.from(digest, (byte) => byte.toString(16).padStart(2, '0')).join('');
  if (!hex.startsWith(digits)) throw new DeliveryError('it arrived damaged: its content is not the one this page was built with');
}

// A checked script run as one of the page's own (the policy runs no other
// kind): the browser takes it from its cache. `ran()` says whether it did
// what it is there for.
export function runScript(url, ran) {
  return new Promise((resolve, reject) => {
    const script = document.createElement('script');
    script.src = url;
    script.onload = () => (ran() ? resolve() : reject(new DeliveryError('it did not run')));
    script.onerror = () => reject(new DeliveryError(unreachable()));
    document.body.appendChild(script);
  });
}

// The WebAssembly in `bytes` compiled, or a DeliveryError where it is not
// a program this browser can run.
export async function compileWasm(bytes) {
  try {
    return await WebAssembly.compile(bytes);
  } catch (error) {
    throw new DeliveryError(`it is not a program this browser can run (${error.message})`);
  }
}

// An emscripten loader's instantiateWasm hook, which instantiates the
// module `compiled` (a promise of one) once it is there, and gives
// `failed` a DeliveryError where it does not fit the script that asks.
// The loader then runs the module's start (a program's main), in a task of
// its own, so that the browser may paint between.
export function instantiateFrom(compiled, scriptUrl, failed) {
  return (imports, receiveInstance) => {
    compiled.then(async (module) => {
      try {
        const instance = await WebAssembly.instantiate(module, imports);
        await new Promise((resolve) => setTimeout(resolve, 0));
        receiveInstance(instance, module);
      } catch (error) {
        if (!(error instanceof WebAssembly.LinkError)) throw error;
        throw new DeliveryError(`it does not fit ${plainName(scriptUrl)} (${error.message})`);
      }
    }).catch(failed);
    return {};
  };
}
