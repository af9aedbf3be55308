#include "offscreen/windowless.h"

#include "app/frame.h"
#include "app/gl_state.h"
#include "viewer/opengl.h"

void startProgramFrames(int width, int height) {
    setFixedGlState();
    reshape(width, height);
}

void glutSwapBuffers() {
    glFinish();
}

void glutPostRedisplay() {}

void glutFullScreen() {}

void glutReshapeWindow(int, int) {}
