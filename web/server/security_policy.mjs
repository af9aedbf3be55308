// The page's security policy, written once: the server sends it as headers,
// and the build can put the same policy into the page for hosts that send
// no headers of their own.
//
// The page runs only its own scripts and its own WebAssembly (compiled from
// the bytes it fetched, hence 'wasm-unsafe-eval'; nothing else may eval),
// loads only its own styles, pictures and files, and may not be framed.
const kDirectives = [
  ['default-src', "'self'"],
  ['script-src', "'self' 'wasm-unsafe-eval'"],
  ['style-src', "'self'"],
  ['img-src', "'self' data: blob:"],
  ['connect-src', "'self'"],
  ['worker-src', "'self'"],
  ['manifest-src', "'self'"],
  ['object-src', "'none'"],
  ['base-uri', "'none'"],
  ['form-action', "'none'"],
  ['frame-ancestors', "'none'"],
];

// A <meta http-equiv> policy may not carry these: browsers ignore them
// there and say so on the console.
const kHeaderOnly = new Set(['frame-ancestors', 'report-uri', 'sandbox']);

function policyText(directives) {
  return directives.map(([name, sources]) => `${name} ${sources}`).join('; ');
}

const kContentSecurityPolicy = policyText(kDirectives);
export const kMetaContentSecurityPolicy =
  policyText(kDirectives.filter(([name]) => !kHeaderOnly.has(name)));

// Every answer of the server carries these, errors too.
export const kSecurityHeaders = {
  'Content-Security-Policy': kContentSecurityPolicy,
  'X-Content-Type-Options': 'nosniff',
  'Referrer-Policy': 'no-referrer',
};
