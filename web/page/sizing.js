// The picture's drawing buffer follows its displayed size: CSS lays the
// canvas out (square and as large as fits, up to the program's 500 x 500
// window, or the whole full-screen stage), and the buffer is that size in
// device pixels, so the picture is as sharp as the screen. The program's
// reshape gets the buffer's size, as a window of that many pixels would on
// the desktop. A change of layout, of page zoom or of screen (a window
// dragged to a monitor of another density) sizes it again.

// Past this many pixels a side the picture gains nothing a person can see,
// and every frame costs more to fill.
const kLargestBufferSide = 2048;

// Displayed size times the device pixel ratio, rounded, scaled down as a
// whole (so the shape stays) where a side would pass the limits.
function bufferSize(cssWidth, cssHeight, ratio, largestSide) {
  let width = Math.max(1, Math.round(cssWidth * ratio));
  let height = Math.max(1, Math.round(cssHeight * ratio));
  const scale = Math.min(1, largestSide / width, largestSide / height);
  if (scale < 1) {
    width = Math.max(1, Math.floor(width * scale));
    height = Math.max(1, Math.floor(height * scale));
  }
  return [width, height];
}

export function startSizing(program) {
  const canvas = program.canvas;

  // Null while there is nothing to size: the canvas hidden, or the program
  // without its GL context yet. The context's limits were asked as it was
  // made (picture_context.js), not here, where the answer would wait.
  function displayedBuffer() {
    const box = canvas.getBoundingClientRect();
    if (box.width === 0 || box.height === 0 || !program.ctx) return null;
    const largest = Math.min(kLargestBufferSide, program.graphics.largestSide);
    return bufferSize(box.width, box.height, window.devicePixelRatio || 1, largest);
  }

  // The program asked for its window size, at start or with "w": its own
  // reshape with the size it asked for has run, or will as soon as its
  // callback returns; the page's size then replaces it, before the frame.
  program.onWindowSizeRequested = () => queueMicrotask(() => {
    const size = displayedBuffer();
    if (size) program.resizeWindow(size[0], size[1], false);
  });

  // The layout or the density changed, as the browser is about to paint:
  // the frame is drawn at once, so that no blank buffer is shown.
  function fitIfChanged() {
    const size = displayedBuffer();
    if (size && (size[0] !== canvas.width || size[1] !== canvas.height)) program.resizeWindow(size[0], size[1], true);
  }

  // The program's context is made at the canvas's size: making it at the
  // displayed size at once spares the software renderers a second buffer.
  const box = canvas.getBoundingClientRect();
  [canvas.width, canvas.height] = bufferSize(box.width, box.height, window.devicePixelRatio || 1, kLargestBufferSide);

  const observer = new ResizeObserver(fitIfChanged);
  try {
    observer.observe(canvas, { box: 'device-pixel-content-box' });
  } catch {
    observer.observe(canvas);
  }
  // The density can change while the CSS size stays (page zoom, another
  // monitor); a media query on the current ratio says when it stops holding.
  function watchRatio() {
    const query = matchMedia(`(resolution: ${window.devicePixelRatio}dppx)`);
    query.addEventListener('change', () => {
      fitIfChanged();
      watchRatio();
    }, { once: true });
  }
  watchRatio();
  canvas.addEventListener('webglcontextrestored', fitIfChanged);
}
