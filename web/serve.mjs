// A static file server for the built page, on the loopback address only.
//
//   node web/serve.mjs DIR PORT
//
// The tests start it in-process with startServer. It serves the files in
// DIR and nothing above it, with the types a browser needs (WebAssembly is
// compiled while it downloads only when sent as application/wasm).
import http from 'node:http';
import fs from 'node:fs';
import path from 'node:path';
import { fileURLToPath } from 'node:url';

const kHost = '127.0.0.1';
const kTypes = {
  '.html': 'text/html; charset=utf-8',
  '.js': 'text/javascript; charset=utf-8',
  '.mjs': 'text/javascript; charset=utf-8',
  '.css': 'text/css; charset=utf-8',
  '.wasm': 'application/wasm',
  '.png': 'image/png',
};

function respond(root, request, response) {
  const urlPath = decodeURIComponent(new URL(request.url, 'http://localhost').pathname);
  const relative = urlPath.endsWith('/') ? urlPath + 'index.html' : urlPath;
  const file = path.join(root, path.normalize(relative));
  const type = kTypes[path.extname(file)];
  if (!file.startsWith(root + path.sep) || !type || !fs.existsSync(file) ||
      !fs.statSync(file).isFile()) {
    response.writeHead(404, { 'Content-Type': 'text/plain' });
    response.end('Not found\n');
    return;
  }
  if (request.method !== 'GET' && request.method !== 'HEAD') {
    response.writeHead(405, { Allow: 'GET, HEAD' });
    response.end();
    return;
  }
  // Every build replaces the files, so the browser must ask each time.
  response.writeHead(200, { 'Content-Type': type, 'Cache-Control': 'no-cache' });
  if (request.method === 'HEAD') {
    response.end();
    return;
  }
  fs.createReadStream(file).pipe(response);
}

// The address a browser opens the started server's page at.
export function pageUrl(server) {
  return `http://${kHost}:${server.address().port}/`;
}

// Resolves to the listening server; rejects when the port is taken.
export function startServer(directory, port) {
  const root = path.resolve(directory);
  const server = http.createServer((request, response) => {
    try {
      respond(root, request, response);
    } catch (error) {
      response.writeHead(400, { 'Content-Type': 'text/plain' });
      response.end('Bad request\n');
    }
  });
  return new Promise((resolve, reject) => {
    server.once('error', reject);
    server.listen(port, kHost, () => resolve(server));
  });
}

if (process.argv[1] === fileURLToPath(import.meta.url)) {
  const [directory, portText] = process.argv.slice(2);
  startServer(directory, Number(portText)).then(
    (server) => {
      console.log(`Open ${pageUrl(server)} in your browser (Ctrl+C stops the server)`);
    },
    (error) => {
      const reason = error.code === 'EADDRINUSE' ? `port ${portText} is in use` : error.message;
      console.error(`serve: ${reason}; choose another with --port N`);
      process.exit(1);
    });
}
