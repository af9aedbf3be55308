#include "app/gl_state.h"

#include "viewer/opengl.h"
#include "viewer/palette.h"

namespace {

// The clear colour is the sky; its alpha is never read.
const float kClearAlpha = 0.0f;

}  // namespace

void setFixedGlState() {
    glEnable(GL_DEPTH_TEST);
    glClearColor(kSkyBlue.red, kSkyBlue.green, kSkyBlue.blue, kClearAlpha);
}
