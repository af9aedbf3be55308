// The frame and the projection callbacks, through the recording stand-in.
#include <gtest/gtest.h>

#include "app/frame.h"
#include "call_readers/drawn_groups.h"
#include "recording/gl_recorder.h"
#include "scene_test.h"
#include "viewer/keys.h"
#include "viewer/scene_state.h"

namespace {

TEST(Reshape, WideWindowKeepsTheVerticalFieldOfView) {
    recorder::clear();
    reshape(800, 400);
    const std::vector<std::string> expected = {
        "glViewport(0, 0, 800, 400)",
        "glMatrixMode(" + std::to_string(GL_PROJECTION) + ")",
        "glLoadIdentity()",
        "gluPerspective(50, 2, 1, 1000)",
    };
    EXPECT_EQ(recorder::describeAll(), expected);
}

TEST(Reshape, ZeroHeightUsesTheWidthAsAspect) {
    recorder::clear();
    reshape(640, 0);
    ASSERT_EQ(recorder::calls().size(), 4u);
    EXPECT_EQ(recorder::describe(recorder::calls()[0]), "glViewport(0, 0, 640, 0)");
    EXPECT_EQ(recorder::describe(recorder::calls()[3]), "gluPerspective(50, 640, 1, 1000)");

    recorder::clear();
    reshape(0, 0);
    EXPECT_EQ(recorder::describe(recorder::calls()[3]), "gluPerspective(50, 0, 1, 1000)");
}

TEST(Reshape, AspectIsComputedInDouble) {
    recorder::clear();
    reshape(1000, 3);
    EXPECT_EQ(recorder::calls()[3].args[1], 1000.0 / 3.0);
}

using DisplayTest = SceneTest;

TEST_F(DisplayTest, ClearsPlacesTheCameraDrawsAndSwapsOnce) {
    display();
    const std::vector<GlCall>& calls = recorder::calls();
    ASSERT_GE(calls.size(), 6u);
    EXPECT_EQ(recorder::describe(calls[0]), "glClear(16640)");  // colour | depth
    EXPECT_EQ(recorder::describe(calls[1]),
              "glColorMaterial(" + std::to_string(GL_FRONT) + ", " + std::to_string(GL_EMISSION) + ")");
    EXPECT_EQ(recorder::describe(calls[2]), "glMatrixMode(" + std::to_string(GL_MODELVIEW) + ")");
    EXPECT_EQ(calls[3].fn, GlFn::LoadIdentity);
    EXPECT_EQ(recorder::describe(calls[4]), "gluLookAt(0, 10, -200, 0, 0, 0, 0, 1, 0)");
    EXPECT_EQ(calls.back().fn, GlFn::GlutSwapBuffers);
    EXPECT_EQ(recorder::count(GlFn::GlutSwapBuffers), 1);
    EXPECT_EQ(recorder::count(GlFn::MatrixMode), 1);
    EXPECT_EQ(recorder::count(GlFn::LoadIdentity), 1);
    EXPECT_EQ(recorder::count(GlFn::Clear), 1);
}

TEST_F(DisplayTest, EyeIsWidenedFromTheStoredFloats) {
    specialKeys(GLUT_KEY_LEFT, 0, 0);
    specialKeys(GLUT_KEY_UP, 0, 0);
    recorder::clear();
    display();
    const GlCall& lookAt = recorder::calls()[4];
    ASSERT_EQ(lookAt.fn, GlFn::LookAt);
    EXPECT_EQ(lookAt.args[0], double{scene.eyeX});
    EXPECT_EQ(lookAt.args[1], double{scene.eyeY});
    EXPECT_EQ(lookAt.args[2], double{scene.eyeZ});
}

TEST_F(DisplayTest, FrameLeavesTheMatrixAsItFoundItAndClosesEveryGroup) {
    display();
    EXPECT_TRUE(netRotation(recorder::calls()).isIdentity(1e-9));
    EXPECT_NO_THROW(drawnGroups(recorder::calls()));
    EXPECT_EQ(recorder::count(GlFn::Begin), recorder::count(GlFn::End));
}

TEST_F(DisplayTest, FrameDoesNotDependOnTheCursorLeftByTheLastOne) {
    display();
    const std::vector<std::string> first = recorder::describeAll();
    recorder::clear();
    display();
    EXPECT_EQ(recorder::describeAll(), first);

    // Garbage in the cursor changes nothing either.
    scene.cursorX = 1e6f;
    scene.cursorY = -3e5f;
    scene.cursorZ = 7.5f;
    scene.cursorHeight = 99.0f;
    recorder::clear();
    display();
    EXPECT_EQ(recorder::describeAll(), first);
}

}  // namespace
