#include "app/frame.h"

#include "grounds/grounds.h"
#include "house/house.h"
#include "viewer/opengl.h"
#include "viewer/scene_state.h"

namespace {

const double kFieldOfViewDegrees = 50.0;
const double kNearPlane = 1.0;
const double kFarPlane = 1000.0;

}  // namespace

// Nothing is kept between frames: the scene is sent again, vertex by vertex.
// No routine saves the matrix; each one that turns it turns it back.
void display() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    // Part of the frame's fixed call sequence. It changes no pixel: neither
    // lighting nor GL_COLOR_MATERIAL is ever enabled.
    glColorMaterial(GL_FRONT, GL_EMISSION);
    // reshape leaves the projection selected.
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(scene.eyeX, scene.eyeY, scene.eyeZ, 0.0, 0.0, 0.0, 0.0, 1.0, 0.0);
    drawGrounds();
    drawPaving();
    drawHouse();
    glutSwapBuffers();
}

void reshape(int width, int height) {
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    // A window minimised to height 0 must not divide by zero.
    const double aspect = height == 0 ? static_cast<double>(width)
                                      : static_cast<double>(width) / height;
    gluPerspective(kFieldOfViewDegrees, aspect, kNearPlane, kFarPlane);
}
