// The program's start-up without a window, and the four GLUT calls the
// scene library makes, for programs that draw the scene with no window.
// There is no window to show, resize or redraw; a frame counts as done once
// the GL has finished it, so a caller that times display() or reads pixels
// right after it sees the whole frame.
#include "app/frame.h"
#include "app/window.h"
#include "offscreen.h"
#include "viewer/opengl.h"

void startProgramFrames(int width, int height) {
    glEnable(GL_DEPTH_TEST);
    glClearColor(kSkyBlue.red, kSkyBlue.green, kSkyBlue.blue, kClearAlpha);
    reshape(width, height);
}

void glutSwapBuffers() {
    glFinish();
}

void glutPostRedisplay() {}

void glutFullScreen() {}

void glutReshapeWindow(int, int) {}
