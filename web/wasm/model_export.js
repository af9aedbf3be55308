// Appended to house-export.js: the module's calls, as JavaScript.
// exportModel(keys) returns the .glb bytes of the scene after the keys as
// a Uint8Array of its own, and throws an Error with the one-line reason
// for keys it cannot read.
Module['exportModel'] = function (keys) {
  const length = ccall('houseExportModel', 'number', ['string'], [keys]);
  if (length < 0) throw new Error(UTF8ToString(_houseExportError()));
  const start = _houseExportBytes();
  return HEAPU8.slice(start, start + length);
};

// partMap(keys, width, height) tells what the view after the keys shows in
// a picture of width x height: { width, height, pixels, names, inView }.
// pixels is a Uint8Array of its own, a byte a pixel, top row first: the
// number of the part the pixel shows, counted from 1 in names, or 0 for
// the sky. inView holds the parts in view, largest first, each
// { number, pixels, percent, metres: [across, deep, high], openDegrees }
// (openDegrees for a gate only). Throws an Error with the one-line reason
// for keys or a size it cannot take.
Module['partMap'] = function (keys, width, height) {
  const count = ccall('houseExportPartMap', 'number', ['string', 'number', 'number'], [keys, width, height]);
  if (count < 0) throw new Error(UTF8ToString(_houseExportError()));
  const start = _houseExportPartPixels();
  const parts = JSON.parse(UTF8ToString(_houseExportPartList()));
  // No object spread: emscripten's optimiser does not read it.
  return Object.assign({ width: width, height: height, pixels: HEAPU8.slice(start, start + width * height) }, parts);
};

// pixelHistory(keys, width, height, x, y) lists every piece of the frame
// that covered pixel (x, y) of the view after the keys in a picture of
// width x height (x from the left, y from the top), in drawing order:
// [{ step, part, colour, depth, kept, hiddenBy }], step numbered from 1 as
// the frame's steps are, part from 1 in partMap's names, colour
// '#rrggbb', depth from 0 (near) to 1 (far), hiddenBy the step in front of
// a piece the depth test kept out (0 for a kept one). The last kept piece
// is what the picture shows. Throws an Error with the one-line reason for
// keys, a size or a pixel it cannot take.
Module['pixelHistory'] = function (keys, width, height, x, y) {
  const count = ccall('houseExportPixelHistory', 'number', ['string', 'number', 'number', 'number', 'number'],
    [keys, width, height, x, y]);
  if (count < 0) throw new Error(UTF8ToString(_houseExportError()));
  return JSON.parse(UTF8ToString(_houseExportHistory()));
};
