// The key callbacks, driven through the recording stand-in: the numbers a
// user can reach by holding a key, the limits, and the redraw after every key.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "scene_test.h"
#include "viewer/keys.h"

namespace {

class KeysTest : public SceneTest {
protected:
    static void press(unsigned char key, int times = 1) {
        for (int i = 0; i < times; ++i) keyboard(key, 0, 0);
    }
    static void pressSpecial(int key, int times = 1) {
        for (int i = 0; i < times; ++i) specialKeys(key, 17, 42);
    }
    static bool sameScene(const SceneState& a, const SceneState& b) {
        return std::memcmp(&a, &b, sizeof a) == 0;
    }
    // At a limit, one more press changes nothing but still asks for a redraw.
    static void expectAtLimit(void (*pressOnce)()) {
        const SceneState before = scene;
        recorder::clear();
        pressOnce();
        EXPECT_TRUE(sameScene(scene, before));
        EXPECT_EQ(recorder::count(GlFn::GlutPostRedisplay), 1);
    }
};

TEST_F(KeysTest, LeftAndRightCircleTheEyeAtTheSameHeight) {
    pressSpecial(GLUT_KEY_LEFT);
    EXPECT_NEAR(scene.eyeAzimuth, -1.50, 1e-6);
    EXPECT_NEAR(scene.eyeX, 14.147, 5e-4);
    EXPECT_FLOAT_EQ(scene.eyeY, 10.0f);
    EXPECT_NEAR(scene.eyeZ, -199.499, 5e-4);
    // Towards +X, which is the viewer's left in the starting view.
    EXPECT_GT(scene.eyeX, 0.0f);

    scene = kInitialScene;
    pressSpecial(GLUT_KEY_RIGHT);
    EXPECT_NEAR(scene.eyeAzimuth, -1.64, 1e-6);
    EXPECT_NEAR(scene.eyeX, -13.830, 5e-4);
    EXPECT_FLOAT_EQ(scene.eyeY, 10.0f);
    EXPECT_NEAR(scene.eyeZ, -199.521, 5e-4);
    EXPECT_FLOAT_EQ(scene.eyeElevation, 0.0f);
    EXPECT_FLOAT_EQ(scene.eyeGroundRadius, 200.0f);
}

TEST_F(KeysTest, AzimuthWrapsBySixPointTwoEightNotTwoPi) {
    pressSpecial(GLUT_KEY_LEFT, 112);
    EXPECT_NEAR(scene.eyeAzimuth, 6.27, 1e-3);  // below the bound, not wrapped yet
    pressSpecial(GLUT_KEY_LEFT);
    EXPECT_NEAR(scene.eyeAzimuth, 0.06, 1e-3);

    scene = kInitialScene;
    pressSpecial(GLUT_KEY_RIGHT, 67);
    EXPECT_NEAR(scene.eyeAzimuth, -6.26, 1e-3);
    pressSpecial(GLUT_KEY_RIGHT);
    EXPECT_NEAR(scene.eyeAzimuth, -0.05, 1e-3);
    // The eye stays on its circle whatever the wraps.
    EXPECT_NEAR(std::hypot(scene.eyeX, scene.eyeZ), 200.0, 1e-3);
}

TEST_F(KeysTest, UpClimbsToTheCeilingThenStops) {
    pressSpecial(GLUT_KEY_UP);
    EXPECT_NEAR(scene.eyeElevation, 0.03, 1e-7);
    EXPECT_NEAR(scene.eyeGroundRadius, 199.910, 5e-4);
    EXPECT_NEAR(scene.eyeY, 5.999, 5e-4);  // replaces the starting 10, not added to it

    pressSpecial(GLUT_KEY_UP, 46);
    EXPECT_NEAR(scene.eyeElevation, 1.41, 1e-3);
    EXPECT_NEAR(scene.eyeY, 197.42, 5e-3);
    EXPECT_NEAR(scene.eyeGroundRadius, 32.02, 5e-3);

    expectAtLimit([] { pressSpecial(GLUT_KEY_UP); });
}

TEST_F(KeysTest, DownIsBoundedByTheEyeHeightNotTheAngle) {
    pressSpecial(GLUT_KEY_DOWN);
    EXPECT_NEAR(scene.eyeElevation, -0.03, 1e-7);
    EXPECT_NEAR(scene.eyeY, -5.999, 5e-4);
    expectAtLimit([] { pressSpecial(GLUT_KEY_DOWN); });

    // Nearer in, one more step fits above the floor of -3.
    scene = kInitialScene;
    press('+', 69);
    pressSpecial(GLUT_KEY_DOWN, 3);
    EXPECT_NEAR(scene.eyeElevation, -0.06, 1e-6);
}

TEST_F(KeysTest, ZoomInStopsAtOneHundred) {
    press('+');
    EXPECT_FLOAT_EQ(scene.eyeDistance, 198.0f);
    EXPECT_FLOAT_EQ(scene.eyeX, 0.0f);
    EXPECT_FLOAT_EQ(scene.eyeY, 9.9f);
    EXPECT_FLOAT_EQ(scene.eyeZ, -198.0f);
    EXPECT_FLOAT_EQ(scene.eyeGroundRadius, 198.0f);

    press('+', 68);
    EXPECT_NEAR(scene.eyeDistance, 99.967, 5e-4);
    expectAtLimit([] { press('+'); });
}

TEST_F(KeysTest, ZoomOutPassesTheFarPlaneOnThe162ndPress) {
    press('-');
    EXPECT_FLOAT_EQ(scene.eyeDistance, 202.0f);
    press('-', 160);
    EXPECT_LT(scene.eyeDistance, 1000.0f);
    press('-');
    EXPECT_GT(scene.eyeDistance, 1000.0f);
    // The eye keeps its direction: zoom scales all three coordinates alike.
    EXPECT_NEAR(scene.eyeY / scene.eyeDistance, 10.0 / 200.0, 1e-6);
}

TEST_F(KeysTest, ZoomOutStopsShortOfInfinityAndZoomInBringsTheEyeBack) {
    press('-', 10000);
    for (float field : {scene.eyeX, scene.eyeY, scene.eyeZ, scene.eyeDistance, scene.eyeGroundRadius})
        EXPECT_TRUE(std::isfinite(field));
    EXPECT_GT(scene.eyeDistance, 1e38f);
    expectAtLimit([] { press('-'); });

    press('+', 9000);
    EXPECT_LE(scene.eyeDistance, 100.0f);
    EXPECT_GT(scene.eyeDistance, 98.0f);
    EXPECT_NEAR(scene.eyeZ / scene.eyeDistance, -1.0, 1e-3);
}

TEST_F(KeysTest, DriveGateOpensToItsLimitAndClosesJustShortOfShut) {
    press('o', 54);
    EXPECT_NEAR(scene.driveGateAngle, 1.62, 1e-4);
    EXPECT_NEAR(scene.driveGateLeafDX, -1.180, 5e-4);
    EXPECT_NEAR(scene.driveGateLeafDZ, 23.971, 5e-4);
    expectAtLimit([] { press('o'); });

    press('c', 53);
    EXPECT_LT(double{scene.driveGateAngle}, 0.03);
    EXPECT_NEAR(scene.driveGateAngle, 0.02999997, 1e-7);
    EXPECT_NEAR(scene.driveGateLeafDX, 23.989, 5e-4);
    EXPECT_NEAR(scene.driveGateLeafDZ, 0.720, 5e-4);
    expectAtLimit([] { press('c'); });
}

TEST_F(KeysTest, OneOpeningStepCannotBeClosedAgain) {
    press('o');
    EXPECT_EQ(scene.driveGateAngle, 0.03f);
    EXPECT_LT(double{scene.driveGateAngle}, 0.03);
    expectAtLimit([] { press('c'); });
    EXPECT_NEAR(scene.driveGateLeafDX, 23.989, 5e-4);  // no longer the starting 25
}

TEST_F(KeysTest, ClosingShutGatesChangesNothing) {
    press('c');
    press('z');
    EXPECT_TRUE(sameScene(scene, kInitialScene));
    EXPECT_FLOAT_EQ(scene.driveGateLeafDX, 25.0f);
}

TEST_F(KeysTest, WalkGateSwingsWithItsOwnReach) {
    press('x', 54);
    EXPECT_NEAR(scene.walkGateLeafDX, -0.630, 5e-4);
    EXPECT_NEAR(scene.walkGateLeafDZ, 12.785, 5e-4);
    EXPECT_FLOAT_EQ(scene.driveGateAngle, 0.0f);  // the other gate stays put
    press('z', 60);
    EXPECT_NEAR(scene.walkGateAngle, 0.03, 1e-6);
    EXPECT_GE(scene.walkGateAngle, 0.0f);
}

TEST_F(KeysTest, WindowKeysAskGlutThenRedraw) {
    press('f');
    ASSERT_EQ(recorder::calls().size(), 2u);
    EXPECT_EQ(recorder::calls()[0].fn, GlFn::GlutFullScreen);
    EXPECT_EQ(recorder::calls()[1].fn, GlFn::GlutPostRedisplay);

    recorder::clear();
    press('w');
    ASSERT_EQ(recorder::calls().size(), 2u);
    EXPECT_EQ(recorder::describe(recorder::calls()[0]), "glutReshapeWindow(500, 500)");
    EXPECT_EQ(recorder::calls()[1].fn, GlFn::GlutPostRedisplay);
    EXPECT_TRUE(sameScene(scene, kInitialScene));
}

TEST_F(KeysTest, UnboundKeysAndCapitalsOnlyRedraw) {
    for (unsigned char key : {'O', 'C', 'X', 'Z', 'F', 'W', '='}) {
        recorder::clear();
        press(key);
        EXPECT_TRUE(sameScene(scene, kInitialScene)) << key;
        ASSERT_EQ(recorder::calls().size(), 1u) << key;
        EXPECT_EQ(recorder::calls()[0].fn, GlFn::GlutPostRedisplay) << key;
    }
    recorder::clear();
    pressSpecial(GLUT_KEY_F1);
    EXPECT_TRUE(sameScene(scene, kInitialScene));
    EXPECT_EQ(recorder::calls().size(), 1u);
}

TEST_F(KeysTest, EveryKeyButEscapeEndsWithExactlyOneRedraw) {
    for (int key = 0; key < 256; ++key) {
        if (key == 27) continue;
        recorder::clear();
        press(static_cast<unsigned char>(key));
        ASSERT_EQ(recorder::count(GlFn::GlutPostRedisplay), 1) << key;
        EXPECT_EQ(recorder::calls().back().fn, GlFn::GlutPostRedisplay) << key;
    }
    for (int key : {-1, 0, 1, 12, 99, 100, 101, 102, 103, 104, 108, 109, 1000, -100000}) {
        recorder::clear();
        pressSpecial(key);
        ASSERT_EQ(recorder::count(GlFn::GlutPostRedisplay), 1) << key;
        EXPECT_EQ(recorder::calls().back().fn, GlFn::GlutPostRedisplay) << key;
    }
}

TEST(KeysDeathTest, EscapeExitsWithStatusZeroWithoutRedrawing) {
    EXPECT_EXIT(
        {
            recorder::clear();
            keyboard(27, 0, 0);
            // Not reached; were it, the status would say so.
            std::exit(recorder::count(GlFn::GlutPostRedisplay) + 3);
        },
        ::testing::ExitedWithCode(0), "");
}

}  // namespace
