// The program's start-up without a window, for programs that draw the scene
// into the headless context. They link this library's stand-ins for the
// four GLUT calls the scene makes: there is no window to show, resize or
// redraw, and a frame counts as done once the GL has finished it, so a
// caller that times display() or reads pixels right after it sees the
// whole frame.
#ifndef HOUSE_OFFSCREEN_WINDOWLESS_H
#define HOUSE_OFFSCREEN_WINDOWLESS_H

// What the program does between opening its window and its first frame:
// the GL state main sets once, then the program's reshape to the given
// size, as GLUT calls it before any frame. Call with the headless context
// current; then the program's display() draws exactly what the program
// would.
void startProgramFrames(int width, int height);

#endif
