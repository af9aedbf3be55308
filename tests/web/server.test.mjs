// The page's server on its own, with a client of raw bytes on 127.0.0.1:
// what it refuses, what it answers and how, and that it stays up through
// failing files, crowds and slow clients. Needs node only.
import assert from 'node:assert/strict';
import { execFileSync, spawn } from 'node:child_process';
import fs from 'node:fs';
import net from 'node:net';
import os from 'node:os';
import path from 'node:path';
import { fileURLToPath } from 'node:url';
import { Worker } from 'node:worker_threads';
import zlib from 'node:zlib';
import { after, before, describe, test } from 'node:test';
import { startServer } from '../../web/server/serve.mjs';

const kWeb = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '../../web');
const kSecret = 'SECRET-OUTSIDE-THE-SITE';

// A site shaped like the built one, files of a served type outside it, and
// links out of it; then the build's compression step over it.
function makeSite(scratch) {
  const site = path.join(scratch, 'site');
  const files = {
    'index.html': `<!doctype html><title>house</title>${'<p>The house on its plot.</p>\n'.repeat(100)}`,
    'page.js': Array.from({ length: 120 }, (_, i) => `const step${i} = ${i * 7 % 13};\n`).join(''),
    'house.js': Array.from({ length: 2000 }, (_, i) => `function f${i}(a) { return a * ${i}; }\n`).join(''),
    'house.wasm': Buffer.from(Array.from({ length: 40000 }, (_, i) => (i * i) % 251 & (i % 7 ? 0xff : 0))),
    'house.3f9a0c1d.wasm': Buffer.alloc(3000, 7),
    'icon.png': Buffer.from(Array.from({ length: 2000 }, (_, i) => (i * 2654435761 >>> 13) & 0xff)),
    '.hidden.html': kSecret,
    'notes.txt': kSecret,
  };
  fs.mkdirSync(site);
  for (const [name, content] of Object.entries(files)) fs.writeFileSync(path.join(site, name), content);
  for (const folder of ['outside', 'site-b']) {
    fs.mkdirSync(path.join(scratch, folder));
    fs.writeFileSync(path.join(scratch, folder, 'secret.html'), kSecret);
  }
  fs.mkdirSync(path.join(site, 'folder.js'));
  execFileSync('mkfifo', [path.join(site, 'fifo.js')]);
  fs.symlinkSync('index.html', path.join(site, 'inside-link.html'));
  fs.symlinkSync('../outside/secret.html', path.join(site, 'out-file.html'));
  fs.symlinkSync('../outside', path.join(site, 'out-dir'));
  fs.symlinkSync('../site-b/secret.html', path.join(site, 'prefix.html'));
  const run = spawnNode([path.join(kWeb, 'site/precompress.mjs'), site]);
  return { site, files, run };
}

function spawnNode(args) {
  const child = spawn(process.execPath, args, { stdio: ['ignore', 'pipe', 'pipe'] });
  let stdout = '';
  let stderr = '';
  child.stdout.on('data', (data) => { stdout += data; });
  child.stderr.on('data', (data) => { stderr += data; });
  const done = new Promise((resolve) => child.on('close', (status) => resolve({ status, stdout, stderr })));
  return { child, done, stdout: () => stdout };
}

function parseAnswer(bytes) {
  const end = bytes.indexOf('\r\n\r\n');
  const head = bytes.subarray(0, end < 0 ? bytes.length : end).toString('latin1').split('\r\n');
  const status = Number(/^HTTP\/1\.1 (\d{3})/.exec(head[0])?.[1]) || null;
  const headers = Object.fromEntries(head.slice(1).map((line) => {
    const colon = line.indexOf(':');
    return [line.slice(0, colon).toLowerCase(), line.slice(colon + 1).trim()];
  }));
  return { status, headers, body: end < 0 ? Buffer.alloc(0) : bytes.subarray(end + 4) };
}

// Sends `text` as it is on a new connection and reads the answer until the
// server closes the connection; status null when it closed with no answer.
// `onChunk` sees each piece of the answer as it arrives.
function raw(port, text, { timeoutMs = 5000, onChunk = () => {} } = {}) {
  return new Promise((resolve, reject) => {
    const chunks = [];
    const socket = net.connect(port, '127.0.0.1', () => socket.write(text));
    socket.setTimeout(timeoutMs, () => socket.destroy(new Error(`no end of answer in ${timeoutMs} ms`)));
    socket.on('data', (chunk) => {
      onChunk(chunk);
      chunks.push(chunk);
    });
    socket.on('error', (error) => { if (!['ECONNRESET', 'EPIPE'].includes(error.code)) reject(error); });
    socket.on('close', () => resolve(parseAnswer(Buffer.concat(chunks))));
  });
}

function ask(port, target, headers = {}, method = 'GET') {
  const lines = Object.entries(headers).map(([name, value]) => `${name}: ${value}\r\n`).join('');
  return raw(port, `${method} ${target} HTTP/1.1\r\nHost: 127.0.0.1\r\n${lines}Connection: close\r\n\r\n`);
}

function decoded(answer) {
  const encoding = answer.headers['content-encoding'];
  if (encoding === 'br') return zlib.brotliDecompressSync(answer.body);
  if (encoding === 'gzip') return zlib.gunzipSync(answer.body);
  return answer.body;
}

describe('the server', () => {
  let scratch;
  let site;
  let server;
  let port;
  const logged = [];
  before(async () => {
    scratch = fs.mkdtempSync(path.join(os.tmpdir(), 'house-server-'));
    site = makeSite(scratch);
    assert.equal((await site.run.done).status, 0);
    server = await startServer(site.site, 0, { log: (line) => logged.push(line) });
    port = server.address().port;
  });
  after(() => {
    server.close();
    fs.rmSync(scratch, { recursive: true, force: true });
  });

  test('serves nothing outside the site, however the path is spelled', async () => {
    const kTargets = [
      ['/index.html', 200], ['/', 200], ['/inside-link.html', 200],
      ['/../outside/secret.html', 404], ['/..%2f..%2foutside%2fsecret.html', 404],
      ['/%2e%2e/outside/secret.html', 404], ['/%2E%2E%2Foutside/secret.html', 404],
      ['/..%5c..%5coutside%5csecret.html', 404], ['/..\\..\\outside\\secret.html', 404],
      [`${scratch}/outside/secret.html`, 404], ['http://127.0.0.1/../outside/secret.html', 404],
      ['//outside/secret.html', 404], ['/out-file.html', 404], ['/out-dir/secret.html', 404],
      ['/prefix.html', 404], ['/.hidden.html', 404], ['/notes.txt', 404], ['/folder.js', 404], ['/fifo.js', 404],
      ['/index.html%00.png', 400], ['/%00', 400], ['/%zz', 400], ['/%E0%A4%A', 400], ['/%', 400],
    ];
    for (const [target, status] of kTargets) {
      const answer = await ask(port, target);
      assert.equal(answer.status, status, target);
      assert.ok(!answer.body.includes(kSecret), target);
      assert.equal(answer.headers['x-content-type-options'], 'nosniff', target);
    }
    assert.equal(logged.filter((line) => line.includes('lies outside the site')).length, 3);
  });

  test('answers 405 to every method but GET and HEAD, also with a 50 MB body', async () => {
    const kMethods = [['POST', 405], ['TRACE', 405], ['PROPFIND', 405], ['BREW', 400], ['get', 400], ['CONNECT', null]];
    for (const [method, status] of kMethods) {
      const answer = await ask(port, method === 'CONNECT' ? '127.0.0.1:1' : '/index.html', {}, method);
      assert.equal(answer.status, status, method);
      if (status === 405) assert.equal(answer.headers.allow, 'GET, HEAD');
    }
    const body = Buffer.alloc(50e6, 'x');
    const answer = await raw(port, Buffer.concat([Buffer.from(
      `POST /index.html HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Length: ${body.length}\r\nConnection: close\r\n\r\n`), body]));
    assert.equal(answer.status, 405);
  });

  test('answers 431 to a 64 KiB header or a 20 KiB URL', async () => {
    assert.equal((await ask(port, '/index.html', { 'X-Long': 'a'.repeat(64 * 1024) })).status, 431);
    assert.equal((await ask(port, `/${'a'.repeat(20 * 1024)}.html`)).status, 431);
  });

  test('sends lengths and validators, caches content-named files for good, answers conditions and ranges', async () => {
    const wasm = site.files['house.wasm'];
    const first = await ask(port, '/house.wasm');
    assert.equal(first.headers['content-length'], String(wasm.length));
    assert.equal(first.headers['cache-control'], 'no-cache');
    assert.equal((await ask(port, '/house.3f9a0c1d.wasm')).headers['cache-control'], 'public, max-age=31536000, immutable');
    const { etag, 'last-modified': modified } = first.headers;
    const kCases = [
      [{ 'If-None-Match': etag }, 304, Buffer.alloc(0)],
      [{ 'If-None-Match': '"other"' }, 200, wasm],
      [{ 'If-Modified-Since': modified }, 304, Buffer.alloc(0)],
      [{ Range: 'bytes=0-9' }, 206, wasm.subarray(0, 10)],
      [{ Range: `bytes=${wasm.length}-` }, 416, Buffer.from('Range Not Satisfiable\n')],
    ];
    for (const [headers, status, body] of kCases) {
      const answer = await ask(port, '/house.wasm', headers);
      assert.equal(answer.status, status, JSON.stringify(headers));
      assert.deepEqual(answer.body, body, JSON.stringify(headers));
    }
    const head = await ask(port, '/house.wasm', {}, 'HEAD');
    assert.deepEqual([head.status, head.headers['content-length'], head.body.length], [200, String(wasm.length), 0]);
  });

  test('sends the compressed copy the browser takes, with the type and length of what it sends', async () => {
    fs.writeFileSync(path.join(site.site, 'stale.js.gz'), 'not gzip');
    fs.utimesSync(path.join(site.site, 'stale.js.gz'), 1, 1);
    fs.writeFileSync(path.join(site.site, 'stale.js'), 'const fresh = 1;');
    const kCases = [
      ['/house.js', 'gzip, deflate, br', 'br'], ['/house.js', 'gzip', 'gzip'], ['/house.js', 'br;q=0, gzip', 'gzip'],
      ['/house.wasm', '*', 'br'], ['/house.wasm', 'identity', undefined], ['/index.html', '', undefined],
      ['/page.js', 'br;q=0, *;q=0.1', 'gzip'], ['/icon.png', 'br, gzip', undefined], ['/stale.js', 'gzip', undefined],
    ];
    for (const [target, accepted, encoding] of kCases) {
      const answer = await ask(port, target, accepted ? { 'Accept-Encoding': accepted } : {});
      const name = `${target} with "${accepted}"`;
      assert.equal(answer.headers['content-encoding'], encoding, name);
      assert.equal(answer.headers['content-length'], String(answer.body.length), name);
      const original = fs.readFileSync(path.join(site.site, target));
      assert.deepEqual(decoded(answer), original, name);
      assert.equal(answer.headers.vary, target === '/icon.png' ? undefined : 'Accept-Encoding', name);
    }
    assert.equal((await ask(port, '/house.js', { 'Accept-Encoding': 'br' })).headers['content-type'],
      'text/javascript; charset=utf-8');
  });

  test('a file deleted, re-created and turned into a folder while it is fetched fails only its own requests', async (context) => {
    const file = path.join(site.site, 'churn.js');
    const content = Buffer.alloc(256 * 1024, 'let a = 1;\n');
    fs.writeFileSync(file, content);
    const stop = new Int32Array(new SharedArrayBuffer(4));
    const churn = new Worker(`
      const fs = require('node:fs');
      const { file, content, stop } = require('node:worker_threads').workerData;
      for (let round = 0; round < 200000 && !Atomics.load(stop, 0); ++round) {
        fs.rmSync(file); fs.mkdirSync(file); fs.rmdirSync(file);
        fs.writeFileSync(file + '~', content); fs.renameSync(file + '~', file);
        Atomics.wait(stop, 0, 0, 1);
      }`, { eval: true, workerData: { file, content, stop } });
    const answers = (await Promise.all(Array.from({ length: 8 }, async () => {
      const mine = [];
      for (let i = 0; i < 75; ++i) mine.push(await ask(port, '/churn.js'));
      return mine;
    }))).flat();
    Atomics.store(stop, 0, 1);
    await new Promise((resolve) => churn.on('exit', resolve));
    const counts = {};
    for (const answer of answers) {
      counts[answer.status] = (counts[answer.status] ?? 0) + 1;
      if (answer.status === 200) assert.deepEqual(answer.body, content);
      else assert.ok([404, 500].includes(answer.status), `status ${answer.status}`);
    }
    context.diagnostic(`answers by status: ${JSON.stringify(counts)}`);
    assert.ok(logged.every((line) => !line.includes('\n')));
    assert.equal((await ask(port, '/index.html')).status, 200);
  });

  test('a file cut short while it is sent ends its answer at once, not at the keep-alive timeout', async () => {
    const file = path.join(site.site, 'cut.js');
    fs.writeFileSync(file, Buffer.alloc(8 << 20, 'a'));
    let cut = false;
    const answer = await raw(port, 'GET /cut.js HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n', {
      timeoutMs: 3000,
      onChunk: () => { if (!cut) fs.truncateSync(file, 1000); cut = true; },
    });
    assert.ok(answer.body.length < 8 << 20, `${answer.body.length} bytes`);
    assert.match(logged.at(-1), /^serve: GET \/cut\.js: 500, the file ended after \d+ bytes$/);
  });

  test('200 clients at once each fetch the whole site, every answer whole', async () => {
    const names = ['index.html', 'page.js', 'house.js', 'house.wasm', 'icon.png'];
    const results = await Promise.all(Array.from({ length: 200 }, async (_, client) => {
      for (const name of names) {
        const answer = await ask(port, `/${name}`, client % 2 ? { 'Accept-Encoding': 'br, gzip' } : {});
        if (answer.status !== 200 || !decoded(answer).equals(Buffer.from(site.files[name]))) return `${name}: ${answer.status}`;
      }
      return 'whole';
    }));
    assert.deepEqual(results.filter((result) => result !== 'whole'), []);
  });

  test('drops clients that send their headers too slowly with 408, and serves the others meanwhile', async () => {
    const impatient = await startServer(site.site, 0, { headersTimeoutMs: 1000 });
    const impatientPort = impatient.address().port;
    const slow = Array.from({ length: 50 }, () => new Promise((resolve) => {
      const chunks = [];
      const socket = net.connect(impatientPort, '127.0.0.1', () => socket.write('GET / HTTP/1.1\r\nX-Slow: '));
      const drip = setInterval(() => socket.write('a'), 200);
      const giveUp = setTimeout(() => socket.destroy(), 8000);
      socket.on('data', (chunk) => chunks.push(chunk));
      socket.on('error', () => {});
      socket.on('close', () => {
        clearInterval(drip);
        clearTimeout(giveUp);
        resolve(parseAnswer(Buffer.concat(chunks)).status);
      });
    }));
    for (let i = 0; i < 20; ++i) assert.equal((await ask(impatientPort, '/index.html')).status, 200);
    assert.deepEqual(await Promise.all(slow), Array(50).fill(408));
    impatient.close();
  });
});

test('its command line says in one line what is wrong, with status 2', async () => {
  const scratch = fs.mkdtempSync(path.join(os.tmpdir(), 'house-server-'));
  const busy = await startServer(scratch, 0);
  const busyPort = String(busy.address().port);
  const serve = path.join(kWeb, 'server/serve.mjs');
  const kRuns = [
    [[], 2, /^serve: usage: node web\/server\/serve\.mjs SITE_DIR PORT$/],
    [[scratch], 2, /^serve: expected SITE_DIR and PORT \(usage: /],
    [[path.join(scratch, 'missing'), '8080'], 2, /^serve: no folder ".*missing" to serve \(usage: /],
    [[serve, '8080'], 2, /^serve: no folder /],
    [[scratch, 'http'], 2, /^serve: PORT must be a number from 0 to 65535, not "http" \(usage: /],
    [[scratch, '65536'], 2, /^serve: PORT must be /],
    [[scratch, '-1'], 2, /^serve: PORT must be /],
    [[scratch, busyPort], 1, new RegExp(`^serve: port ${busyPort} is in use; give another PORT \\(usage: `)],
  ];
  try {
    const results = await Promise.all(kRuns.map(([args]) => spawnNode([serve, ...args]).done));
    for (const [[args, status, message], result] of kRuns.map((run, index) => [run, results[index]])) {
      assert.equal(result.status, status, args.join(' '));
      assert.match(result.stderr, /^[^\n]*\n$/, args.join(' '));
      assert.match(result.stderr.trimEnd(), message, args.join(' '));
    }
    const running = spawnNode([serve, scratch, '0']);
    while (!running.stdout().includes('\n')) await new Promise((resolve) => setTimeout(resolve, 20));
    assert.match(running.stdout(), /^Open http:\/\/127\.0\.0\.1:\d+\/ in your browser \(Ctrl\+C stops the server\)\n$/);
    running.child.kill();
    await running.done;
  } finally {
    busy.close();
    fs.rmSync(scratch, { recursive: true, force: true });
  }
});
