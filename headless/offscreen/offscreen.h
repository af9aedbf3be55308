// A headless GL context for the tools: no window and no display server,
// only an off-screen colour and depth buffer the scene can be drawn into
// and read back from.
#ifndef HOUSE_OFFSCREEN_OFFSCREEN_H
#define HOUSE_OFFSCREEN_OFFSCREEN_H

// Opens a headless GL context (no display at all) with an RGB(A) 8-bit
// colour buffer and a depth buffer of width x height, makes it current.
// On failure returns false and writes a one-line reason into `error`.
bool openOffscreen(int width, int height, char* error, int errorSize);

// Reads the colour buffer as tightly packed RGB bytes, top row first
// (width*height*3 bytes).
void readOffscreenRGB(unsigned char* rgb);

void closeOffscreen();

#endif
