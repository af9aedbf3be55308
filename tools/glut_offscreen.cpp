// The four GLUT calls the scene library makes, for programs that draw it
// without a window. There is no window to show, resize or redraw; a frame
// counts as done once the GL has finished it, so a caller that times
// display() or reads pixels right after it sees the whole frame.
#include "viewer/opengl.h"

void glutSwapBuffers() {
    glFinish();
}

void glutPostRedisplay() {}

void glutFullScreen() {}

void glutReshapeWindow(int, int) {}
