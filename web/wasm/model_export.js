// Appended to house-export.js: the module's one call, as JavaScript.
// exportModel(keys) returns the .glb bytes of the scene after the keys as
// a Uint8Array of its own, and throws an Error with the one-line reason
// for keys it cannot read.
Module['exportModel'] = function (keys) {
  const length = ccall('houseExportModel', 'number', ['string'], [keys]);
  if (length < 0) throw new Error(UTF8ToString(_houseExportError()));
  const start = _houseExportBytes();
  return HEAPU8.slice(start, start + length);
};
