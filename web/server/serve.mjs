// A static file server for the built page, on the loopback address only.
//
//   node web/server/serve.mjs SITE_DIR PORT      (PORT 0: any free port)
//
// The tests start it in-process with startServer. The npm package `send`
// answers for one file: length, validators and 304, byte ranges, HEAD.
// Kept here is what it does not do: which file a URL may reach (a file of
// a type the site serves, whose real path lies inside the site's real
// path), the compressed copy the browser accepts, the caching and security
// headers, and errors that end one request and never the server.
import fs from 'node:fs';
import http from 'node:http';
import path from 'node:path';
import { fileURLToPath } from 'node:url';
import send from 'send';
import { kSecurityHeaders } from './security_policy.mjs';
import { fileType, isContentNamed, kCompressedCopies } from './site_files.mjs';

const kHost = '127.0.0.1';
const kUsage = 'usage: node web/server/serve.mjs SITE_DIR PORT';
// A browser sends its headers at once; a client still sending them after
// this long is dropped with 408.
const kHeadersTimeoutMs = 20000;
const kCachedForGood = 'public, max-age=31536000, immutable';
// Every build replaces the other files under the same names, so the browser
// asks each time and gets 304 when nothing changed.
const kCheckedEachTime = 'no-cache';
// A file system error with one of these means there is no such file (any
// more); any other is a failure of the server's, answered with 500.
const kMissingCodes = new Set(['ENOENT', 'ENOTDIR', 'ELOOP', 'ENAMETOOLONG']);

// The address a browser opens the started server's page at.
export function pageUrl(server) {
  return `http://${kHost}:${server.address().port}/`;
}

// Resolves to the listening server; rejects when the folder cannot be
// read or the port is taken. Options: `headersTimeoutMs`, `log` (takes
// one line per failed request; default: standard error),
// `contentSecurityPolicy` (false leaves that one header out) and
// `intercept(request, response)`, which may answer a request itself in
// place of the site and then returns true (the tests' broken deliveries).
export async function startServer(directory, port, options = {}) {
  const {
    headersTimeoutMs = kHeadersTimeoutMs,
    log = (line) => console.error(line),
    contentSecurityPolicy = true,
    intercept = () => false,
  } = options;
  const headers = { ...kSecurityHeaders };
  if (!contentSecurityPolicy) delete headers['Content-Security-Policy'];
  const site = { root: await fs.promises.realpath(directory), log, headers };
  const server = http.createServer({
    headersTimeout: headersTimeoutMs,
    connectionsCheckingInterval: Math.ceil(headersTimeoutMs / 4),
  }, (request, response) => {
    if (intercept(request, response)) return;
    respond(site, request, response).catch((error) => fail(site, request, response, 500, error));
  });
  return new Promise((resolve, reject) => {
    server.once('error', reject);
    server.listen(port, kHost, () => resolve(server));
  });
}

async function respond(site, request, response) {
  if (request.method !== 'GET' && request.method !== 'HEAD') {
    fail(site, request, response, 405, null, { Allow: 'GET, HEAD' });
    return;
  }
  const name = requestedFile(request.url);
  if (name === null) {
    fail(site, request, response, 400);
    return;
  }
  const type = fileType(name);
  if (!type) {
    fail(site, request, response, 404);
    return;
  }
  let file;
  let stats;
  try {
    file = await fs.promises.realpath(path.join(site.root, name));
    stats = await fs.promises.stat(file);
  } catch (error) {
    const missing = kMissingCodes.has(error.code);
    fail(site, request, response, missing ? 404 : 500, missing ? null : error);
    return;
  }
  if (!file.startsWith(site.root + path.sep)) {
    fail(site, request, response, 404, new Error(`its real path ${file} lies outside the site`));
    return;
  }
  // Not a FIFO or a device either: opening those can block or never end.
  if (!stats.isFile()) {
    fail(site, request, response, 404);
    return;
  }

  const copy = type.compressible ? await compressedCopy(file, stats, request.headers['accept-encoding']) : null;
  for (const [header, value] of Object.entries(site.headers)) response.setHeader(header, value);
  response.setHeader('Content-Type', type.mime);
  response.setHeader('Cache-Control', isContentNamed(name) ? kCachedForGood : kCheckedEachTime);
  if (type.compressible) response.setHeader('Vary', 'Accept-Encoding');
  if (copy) response.setHeader('Content-Encoding', copy.encoding);
  const served = copy ? copy.file : file;
  // `send` decodes the path it is given, so each segment goes encoded.
  const encoded = path.relative(site.root, served).split(path.sep).map(encodeURIComponent).join('/');
  send(request, `/${encoded}`, { root: site.root, cacheControl: false, index: false })
    .on('error', (error) => {
      fail(site, request, response, error.status || 500, error.code ? error : null, error.headers);
    })
    .on('directory', () => fail(site, request, response, 404))
    .on('stream', (stream) => stream.on('end', () => {
      // Cut short while read (a build rewriting it in place): end the
      // answer now rather than leave the browser waiting for the rest.
      if (stream.bytesRead < response.getHeader('Content-Length')) {
        fail(site, request, response, 500, new Error(`the file ended after ${stream.bytesRead} bytes`));
      }
    }))
    .pipe(response);
}

// The site path a request target names ('/' meaning '/index.html'), or
// null for one that names no file: bad percent-encoding or a NUL byte. The
// URL parser takes absolute-form targets and resolves dot segments, %2e%2e
// among them; a '..' that decoding brings back (from %2f) is resolved by
// the normalisation, which stops at the site's root.
function requestedFile(target) {
  let name;
  try {
    name = decodeURIComponent(new URL(target, 'http://site').pathname);
  } catch {
    return null;
  }
  if (name.includes('\0')) return null;
  return path.posix.normalize(name.endsWith('/') ? `${name}index.html` : name);
}

// The compressed copy to send instead of `file`: the first whose encoding
// the browser accepts and which is a regular file (not a link) written
// after the file, so that a copy left from an earlier build is never sent.
async function compressedCopy(file, stats, acceptEncoding) {
  for (const copy of kCompressedCopies) {
    if (!accepts(acceptEncoding, copy.encoding)) continue;
    const copyStats = await fs.promises.lstat(file + copy.suffix).catch(() => null);
    if (copyStats?.isFile() && copyStats.mtimeMs >= stats.mtimeMs) {
      return { encoding: copy.encoding, file: file + copy.suffix };
    }
  }
  return null;
}

// Whether an Accept-Encoding header takes `encoding`: named, or covered by
// '*', with a weight above 0.
function accepts(header = '', encoding) {
  const weights = new Map();
  for (const item of header.split(',')) {
    const [token, ...parameters] = item.split(';').map((part) => part.trim().toLowerCase());
    const weight = parameters.find((parameter) => parameter.startsWith('q='));
    weights.set(token, weight === undefined ? 1 : Number.parseFloat(weight.slice(2)));
  }
  return (weights.get(encoding) ?? weights.get('*') ?? 0) > 0;
}

// Ends one request with an error status, or cuts it off when its file was
// already on its way; a `cause` is logged in one line.
function fail(site, request, response, status, cause, headers = {}) {
  if (cause) site.log(`serve: ${request.method} ${request.url}: ${status}, ${cause.message}`);
  if (response.headersSent) {
    response.destroy();
    return;
  }
  for (const header of response.getHeaderNames()) response.removeHeader(header);
  const body = `${http.STATUS_CODES[status]}\n`;
  response.writeHead(status, {
    ...site.headers, ...headers, 'Content-Type': 'text/plain; charset=utf-8', 'Content-Length': body.length,
  });
  response.end(body);
}

function runCommandLine(args) {
  function stop(message) {
    console.error(`serve: ${message}`);
    process.exit(2);
  }
  if (args.length !== 2) stop(args.length ? `expected SITE_DIR and PORT (${kUsage})` : kUsage);
  const [directory, portText] = args;
  if (!fs.statSync(directory, { throwIfNoEntry: false })?.isDirectory()) {
    stop(`no folder ${JSON.stringify(directory)} to serve (${kUsage})`);
  }
  if (!/^[0-9]{1,5}$/.test(portText) || Number(portText) > 65535) {
    stop(`PORT must be a number from 0 to 65535, not ${JSON.stringify(portText)} (${kUsage})`);
  }
  startServer(directory, Number(portText)).then(
    (server) => {
      console.log(`Open ${pageUrl(server)} in your browser (Ctrl+C stops the server)`);
    },
    (error) => {
      const reason = error.code === 'EADDRINUSE' ? `port ${portText} is in use; give another PORT (${kUsage})` : error.message;
      console.error(`serve: ${reason}`);
      process.exit(1);
    });
}

if (process.argv[1] === fileURLToPath(import.meta.url)) runCommandLine(process.argv.slice(2));
