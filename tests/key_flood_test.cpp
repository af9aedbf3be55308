// Long random key sequences through both callbacks: whatever a user (or a
// stuck key, or a broken keyboard driver) delivers, the scene state keeps its
// ranges and its relations after every single event.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <random>
#include <vector>

#include "recording/gl_recorder.h"
#include "viewer/keys.h"
#include "viewer/scene_state.h"

namespace {

const double kGateMaxAngle = 1.6 + 0.03;  // the last opening step may start just below 1.6
const double kElevationMax = 1.4 + 0.03;

// Special-key codes GLUT sends (F1-F12, arrows, page, home, end, insert and
// the modifier keys freeglut reports) and integers it never sends.
const std::vector<int> kSpecialCodes = {
    1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12,
    GLUT_KEY_LEFT, GLUT_KEY_UP, GLUT_KEY_RIGHT, GLUT_KEY_DOWN,
    GLUT_KEY_PAGE_UP, GLUT_KEY_PAGE_DOWN, GLUT_KEY_HOME, GLUT_KEY_END, GLUT_KEY_INSERT,
    109, 110, 111, 112, 113, 114, 115, 116,
    0, -1, 13, 99, 104 + 100, 255, 256, 1000, INT_MIN, INT_MAX,
};

// Which fields have been recomputed by their formulas so far; before that
// they still hold starting values that do not follow them.
struct Recomputed {
    bool groundRadius = false;  // up, down or zoom acted
    bool height = false;        // up or down acted
    bool horizontal = false;    // an arrow key acted
    bool driveGate = false;
    bool walkGate = false;
};

void expectNear(double actual, double expected, double scale, const char* what, int event) {
    ASSERT_NEAR(actual, expected, 1e-4 * std::fmax(1.0, scale)) << what << " after event " << event;
}

void checkInvariants(const Recomputed& done, int event) {
    const float fields[] = {scene.eyeX, scene.eyeY, scene.eyeZ, scene.eyeAzimuth, scene.eyeElevation,
                            scene.eyeDistance, scene.eyeGroundRadius, scene.driveGateAngle,
                            scene.driveGateLeafDX, scene.driveGateLeafDZ, scene.walkGateAngle,
                            scene.walkGateLeafDX, scene.walkGateLeafDZ};
    for (float field : fields) ASSERT_TRUE(std::isfinite(field)) << "after event " << event;

    ASSERT_GE(scene.driveGateAngle, 0.0f) << event;
    ASSERT_LE(scene.driveGateAngle, kGateMaxAngle) << event;
    ASSERT_GE(scene.walkGateAngle, 0.0f) << event;
    ASSERT_LE(scene.walkGateAngle, kGateMaxAngle) << event;
    ASSERT_LE(std::fabs(double{scene.eyeAzimuth}), 6.28) << event;
    ASSERT_LE(scene.eyeElevation, kElevationMax) << event;
    ASSERT_GT(scene.eyeDistance, 0.0f) << event;

    const double distance = scene.eyeDistance;
    const double elevation = scene.eyeElevation;
    const double azimuth = scene.eyeAzimuth;
    if (done.groundRadius)
        expectNear(scene.eyeGroundRadius, std::cos(elevation) * distance, distance, "ground radius", event);
    if (done.height) expectNear(scene.eyeY, std::sin(elevation) * distance, distance, "eyeY", event);
    if (done.horizontal) {
        const double radius = scene.eyeGroundRadius;
        expectNear(scene.eyeX, std::cos(azimuth) * radius, distance, "eyeX", event);
        expectNear(scene.eyeZ, std::sin(azimuth) * radius, distance, "eyeZ", event);
    }
    if (done.driveGate) {
        expectNear(scene.driveGateLeafDX, 24 * std::cos(double{scene.driveGateAngle}), 1, "drive DX", event);
        expectNear(scene.driveGateLeafDZ, 24 * std::sin(double{scene.driveGateAngle}), 1, "drive DZ", event);
    }
    if (done.walkGate) {
        expectNear(scene.walkGateLeafDX, 12.8 * std::cos(double{scene.walkGateAngle}), 1, "walk DX", event);
        expectNear(scene.walkGateLeafDZ, 12.8 * std::sin(double{scene.walkGateAngle}), 1, "walk DZ", event);
    }
}

// Feeds `events` random events; `zoomOutShare` of them are "-", so that one
// flood can drive the eye out to the largest finite distance and back.
void flood(unsigned seed, int events, double zoomOutShare) {
    scene = kInitialScene;
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    std::uniform_int_distribution<int> character(0, 255);
    std::uniform_int_distribution<size_t> special(0, kSpecialCodes.size() - 1);
    Recomputed done;
    for (int event = 0; event < events; ++event) {
        const SceneState before = scene;
        recorder::clear();
        const double pick = unit(random);
        if (pick < zoomOutShare) {
            keyboard('-', 0, 0);
        } else if (pick < 0.5 + zoomOutShare / 2) {
            int key = character(random);
            if (key == 27) key = '+';  // Escape would end the test process
            keyboard(static_cast<unsigned char>(key), 0, 0);
        } else {
            specialKeys(kSpecialCodes[special(random)], 0, 0);
        }
        ASSERT_EQ(recorder::count(GlFn::GlutPostRedisplay), 1) << "event " << event;

        if (scene.eyeGroundRadius != before.eyeGroundRadius || scene.eyeDistance != before.eyeDistance)
            done.groundRadius = true;
        if (scene.eyeElevation != before.eyeElevation) done.height = done.groundRadius = true;
        if (scene.eyeAzimuth != before.eyeAzimuth || scene.eyeElevation != before.eyeElevation)
            done.horizontal = true;
        if (scene.driveGateAngle != before.driveGateAngle) done.driveGate = true;
        if (scene.walkGateAngle != before.walkGateAngle) done.walkGate = true;
        checkInvariants(done, event);
        if (::testing::Test::HasFatalFailure()) return;
    }
}

TEST(KeyFlood, UniformEventsKeepTheStateInRange) {
    for (unsigned seed : {1u, 2u, 3u, 20261208u}) {
        SCOPED_TRACE(seed);
        flood(seed, 100000, 0.0);
        if (HasFatalFailure()) return;
    }
}

TEST(KeyFlood, ZoomingOutWithoutEndStaysFinite) {
    for (unsigned seed : {7u, 8u}) {
        SCOPED_TRACE(seed);
        flood(seed, 50000, 0.6);
        if (HasFatalFailure()) return;
        EXPECT_GT(scene.eyeDistance, 1e30f);  // reached the far end, and stayed finite
    }
}

}  // namespace
