// A headless GL context for the tools: no window and no display server,
// only an off-screen colour and depth buffer the scene can be drawn into
// and read back from.
#ifndef HOUSE_TOOLS_OFFSCREEN_H
#define HOUSE_TOOLS_OFFSCREEN_H

// Opens a headless GL context (no display at all) with an RGB(A) 8-bit
// colour buffer and a depth buffer of width x height, makes it current.
// On failure returns false and writes a one-line reason into `error`.
bool openOffscreen(int width, int height, char* error, int errorSize);

// Reads the colour buffer as tightly packed RGB bytes, top row first
// (width*height*3 bytes).
void readOffscreenRGB(unsigned char* rgb);

void closeOffscreen();

// What the program does between opening its window and its first frame: the
// GL state main sets once (depth test, sky-blue clear colour), then the
// program's reshape to the given size, as GLUT calls it before any frame.
// Call with the offscreen context current; then the program's display()
// draws exactly what the program would.
void startProgramFrames(int width, int height);

#endif
