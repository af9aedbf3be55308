// The page's GL layer natively: its matrices against the ones GLU and Mesa
// build on a headless context, its cutting of groups into triangles, its
// test for triangles wholly outside the view, and the outline of a step.
#include <gtest/gtest.h>

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "offscreen/offscreen.h"
#include "wasm/batch_geometry.h"

namespace {

// Mesa works the same formulas in float in its own order, and turns a
// quarter with a float cosine of 90 degrees (-4.4e-8) where the layer has
// an exact 0, so entries may differ in their last bits: up to a few units
// in the last place of the largest entry of their column (a look-at's
// translation reaches 11000 here).
const float kLastPlaces = 8 * FLT_EPSILON;

struct MatrixCase {
    const char* what;
    std::function<void()> gl;         // on the current GL matrix
    std::function<void(float*)> own;  // on ours
};

const MatrixCase kMatrixCases[] = {
    {"a quarter turn about y", [] { glRotatef(90, 0, 1, 0); }, [](float* m) { rotate(m, 90, 0, 1, 0); }},
    {"four quarter turns", [] { for (int i = 0; i < 4; ++i) glRotatef(90, 0, 1, 0); },
     [](float* m) { for (int i = 0; i < 4; ++i) rotate(m, 90, 0, 1, 0); }},
    {"-90 then 90 about y", [] { glRotatef(-90, 0, 1, 0); glRotatef(90, 0, 1, 0); },
     [](float* m) { rotate(m, -90, 0, 1, 0); rotate(m, 90, 0, 1, 0); }},
    {"30 about x", [] { glRotatef(30, 1, 0, 0); }, [](float* m) { rotate(m, 30, 1, 0, 0); }},
    {"-75.5 about a slanted axis", [] { glRotatef(-75.5f, 0.2f, 0.3f, 0.9f); },
     [](float* m) { rotate(m, -75.5f, 0.2f, 0.3f, 0.9f); }},
    {"the window's projection", [] { gluPerspective(50, 1, 1, 1000); },
     [](float* m) { perspective(m, 50, 1, 1, 1000); }},
    {"a wide window's projection", [] { gluPerspective(50, 800.0 / 400, 1, 1000); },
     [](float* m) { perspective(m, 50, 800.0 / 400, 1, 1000); }},
    {"a window of height 0", [] { gluPerspective(50, 640, 1, 1000); },
     [](float* m) { perspective(m, 50, 640, 1, 1000); }},
    {"the starting eye", [] { gluLookAt(0, 10, -200, 0, 0, 0, 0, 1, 0); },
     [](float* m) { lookAt(m, 0, 10, -200, 0, 0, 0, 0, 1, 0); }},
    {"an eye turned and raised",
     [] { gluLookAt(-120.25, 151.5, -61.75, 0, 0, 0, 0, 1, 0); },
     [](float* m) { lookAt(m, -120.25, 151.5, -61.75, 0, 0, 0, 0, 1, 0); }},
    {"an eye zoomed out past the far plane",
     [] { gluLookAt(3.5, 2400, -11000, 0, 0, 0, 0, 1, 0); },
     [](float* m) { lookAt(m, 3.5, 2400, -11000, 0, 0, 0, 0, 1, 0); }},
    {"a projection, then an eye and a turn",
     [] { gluPerspective(50, 1, 1, 1000); gluLookAt(0, 10, -200, 0, 0, 0, 0, 1, 0); glRotatef(90, 0, 1, 0); },
     [](float* m) { perspective(m, 50, 1, 1, 1000); lookAt(m, 0, 10, -200, 0, 0, 0, 0, 1, 0); rotate(m, 90, 0, 1, 0); }},
};

TEST(GlBatch, MatricesAreTheOnesGluAndMesaBuild) {
    char error[256];
    if (!openOffscreen(1, 1, error, sizeof error)) GTEST_SKIP() << "no headless GL: " << error;
    for (const MatrixCase& c : kMatrixCases) {
        SCOPED_TRACE(c.what);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        c.gl();
        Matrix mesa, own;
        glGetFloatv(GL_MODELVIEW_MATRIX, mesa);
        setIdentity(own);
        c.own(own);
        for (int column = 0; column < 4; ++column) {
            float largest = 1;
            for (int row = 0; row < 4; ++row) largest = std::max(largest, std::fabs(mesa[column * 4 + row]));
            for (int row = 0; row < 4; ++row)
                EXPECT_NEAR(own[column * 4 + row], mesa[column * 4 + row], kLastPlaces * largest)
                    << "row " << row << ", column " << column;
        }
    }
    closeOffscreen();
}

TEST(GlBatch, GroupsAreCutAsTheDesktopGlCutsThem) {
    const struct {
        Primitive primitive;
        int vertices;
        std::vector<int> corners;
    } cases[] = {
        {Primitive::Triangles, 3, {0, 1, 2}},
        {Primitive::Triangles, 7, {0, 1, 2, 3, 4, 5}},  // an unfinished triangle draws nothing
        {Primitive::Quads, 4, {0, 1, 2, 0, 2, 3}},
        {Primitive::Quads, 11, {0, 1, 2, 0, 2, 3, 4, 5, 6, 4, 6, 7}},
        {Primitive::Polygon, 5, {0, 1, 2, 0, 2, 3, 0, 3, 4}},
        {Primitive::Polygon, 2, {}},
        {Primitive::Other, 4, {}},
    };
    std::vector<int> corners = {9, 9, 9};  // kept storage, not kept corners
    for (const auto& c : cases) {
        triangleCorners(c.primitive, c.vertices, corners);
        EXPECT_EQ(corners, c.corners) << c.vertices << " vertices";
    }
}

// Beyond a plane means beyond w in clip space: a triangle is left out only
// when all three corners lie beyond the same plane.
TEST(GlBatch, OnlyTrianglesWhollyBeyondOnePlaneAreLeftOut) {
    const float inside[4] = {0, 0, 0, 1}, onEdge[4] = {1, -1, 1, 1};
    const float left[4] = {-2, 0, 0, 1}, farLeft[4] = {-9, 5, 0.5f, 1}, right[4] = {2, 0, 0, 1};
    const float above[4] = {0, 3, 0, 2}, beyondFar[4] = {0, 0, 5, 4}, nearLeft[4] = {-3, 0, -3, 2};
    const std::pair<const float*, int> masks[] = {{inside, 0}, {onEdge, 0}, {left, 1}, {right, 2},
                                                  {above, 8}, {beyondFar, 32}, {nearLeft, 1 | 16}};
    for (const auto& [clip, mask] : masks)
        EXPECT_EQ(outsideMask(clip), mask) << clip[0] << ", " << clip[1] << ", " << clip[2] << ", " << clip[3];
    EXPECT_TRUE(whollyOutside(left, farLeft, nearLeft));
    EXPECT_FALSE(whollyOutside(left, farLeft, inside));
    EXPECT_FALSE(whollyOutside(left, right, farLeft));  // spans the view
    EXPECT_FALSE(whollyOutside(left, above, beyondFar));  // beyond three planes, not one
}

// A copy of an edge moved k pixels lies k pixels away once divided by w:
// up or down for an edge that runs across the picture, else sideways.
TEST(GlBatch, OutlineCopiesMoveAcrossTheirEdge) {
    const float from[4] = {-1, 0, 0, 2}, across[4] = {1, 0.1f, 0, 2}, up[4] = {-1, 2, 0, 2};
    const float width = 500, height = 250, rounding = 1e-6f;
    float a[4], b[4];
    movedAcross(from, across, 3, width, height, a, b);
    EXPECT_NEAR(a[1] / a[3] - from[1] / from[3], 3 * 2 / height, rounding);
    EXPECT_NEAR(b[1] / b[3] - across[1] / across[3], 3 * 2 / height, rounding);
    EXPECT_EQ(a[0], from[0]);
    movedAcross(from, up, -2, width, height, a, b);
    EXPECT_NEAR(b[0] / b[3] - up[0] / up[3], -2 * 2 / width, rounding);
    EXPECT_EQ(b[1], up[1]);
}

// A vertex goes through the combined matrix as GL takes it: column-major.
TEST(GlBatch, VerticesGoToClipSpaceThroughTheMatrix) {
    Matrix m;
    setIdentity(m);
    rotate(m, 90, 0, 1, 0);
    float clip[4];
    toClipSpace(m, 1, 2, 3, clip);
    EXPECT_EQ(std::vector<float>(clip, clip + 4), (std::vector<float>{3, 2, -1, 1}));
}

}  // namespace
