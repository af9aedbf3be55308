// Where the camera stands after a sequence of keys, and where a world point
// then appears in the window.
//
// The keys are replayed through the program's own key callbacks (whose
// arithmetic the unit tests pin down), so that the tests can predict where
// to look after any sequence of keys; the projection,
// written out independently here, is the one of
// gluLookAt (towards the origin, +Y up), gluPerspective (50 degrees
// vertically, near 1, far 1000) and the viewport over the whole window.
#ifndef HOUSE_TESTS_E2E_VIEW_MODEL_H
#define HOUSE_TESTS_E2E_VIEW_MODEL_H

#include <string>
#include <vector>

#include "viewer/scene_state.h"

namespace e2e {

struct Camera {
    SceneState state = kInitialScene;

    // Applies the keys of a sequence in the key language ("Left*4 +*10").
    void press(const std::string& sequence);
};

struct WorldPoint {
    double x, y, z;
};

struct ScreenPoint {
    double column, row;  // continuous window coordinates, row 0 at the top
    bool visible;        // in front of the eye and inside the window

    int pixelColumn() const;
    int pixelRow() const;
};

ScreenPoint project(const Camera& camera, int width, int height, const WorldPoint& point);

}  // namespace e2e

#endif
