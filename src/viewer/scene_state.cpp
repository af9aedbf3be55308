#include "viewer/scene_state.h"

// Three starting values do not follow the formulas the keys use later:
// eyeY is 10 though the elevation is 0, eyeX/eyeZ are (0, -200) though
// cos/sin(-1.57) * 200 is (0.159, -199.99994), and a shut drive leaf
// reaches 25 where 24 * cos(0) would give 24.
static constexpr SceneState kStart = {
    0.0f, 10.0f, -200.0f,          // eyeX, eyeY, eyeZ
    -1.57f, 0.0f, 200.0f, 200.0f,  // azimuth, elevation, distance, ground radius
    0.0f, 25.0f, 0.0f,             // drive gate: angle, leaf DX, leaf DZ
    0.0f, 12.8f, 0.0f,             // walk gate: angle, leaf DX, leaf DZ
    0.0f, 0.0f, 0.0f, 0.0f,        // cursor X, Y, Z, height
};

const SceneState kInitialScene = kStart;

// Constant-initialised, so the values are in place before any code runs.
SceneState scene = kStart;
