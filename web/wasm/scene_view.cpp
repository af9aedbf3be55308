// What the page needs of the scene to say in words what is in view: the
// eye's place and the gates' angles, read from the program's one scene
// state, so the words always follow the picture.
#include <emscripten.h>

#include "viewer/scene_state.h"

extern "C" {

// The eye's coordinate on axis 0 (x), 1 (y) or 2 (z); 0 for any other axis.
EMSCRIPTEN_KEEPALIVE float sceneEye(int axis) {
    switch (axis) {
    case 0: return scene.eyeX;
    case 1: return scene.eyeY;
    case 2: return scene.eyeZ;
    default: return 0.0f;
    }
}

// The swing of gate 0 (the drive gate) or 1 (the walk gate), in radians;
// 0 for any other gate.
EMSCRIPTEN_KEEPALIVE float sceneGateAngle(int gate) {
    switch (gate) {
    case 0: return scene.driveGateAngle;
    case 1: return scene.walkGateAngle;
    default: return 0.0f;
    }
}

}
