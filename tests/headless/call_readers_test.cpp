// The recording stand-in and its readers, where a fault would make other
// checks lie: recorded calls read as world geometry (which the benchmark's
// one-draw reference is built from) and the text form of a call.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/frame.h"
#include "call_readers/drawn_groups.h"
#include "recording/gl_recorder.h"

namespace {

void expectAt(const Vec3& v, double x, double y, double z) {
    EXPECT_NEAR(v.x, x, 1e-6);
    EXPECT_NEAR(v.y, y, 1e-6);
    EXPECT_NEAR(v.z, z, 1e-6);
}

void drawOneTriangle(float x, float y, float z) {
    glBegin(GL_TRIANGLES);
    for (int i = 0; i < 3; ++i) glVertex3f(x, y, z);
    glEnd();
}

// The world corners of the one triangle drawn at (x, y, z) after the turns.
std::vector<Vec3> oneTriangle(float x, float y, float z) {
    drawOneTriangle(x, y, z);
    return fanTriangles(drawnGroups(recorder::calls()).back());
}

TEST(CaptureTurns, QuarterTurnAboutYCarriesXOntoMinusZ) {
    recorder::clear();
    glMatrixMode(GL_MODELVIEW);
    glRotatef(90.0f, 0.0f, 1.0f, 0.0f);
    const std::vector<Vec3> t = oneTriangle(1.0f, 0.0f, 0.0f);
    ASSERT_EQ(t.size(), 3u);
    expectAt(t[0], 0.0, 0.0, -1.0);
}

TEST(CaptureTurns, TheTurnMadeLastActsOnTheVertexFirst) {
    recorder::clear();
    glRotatef(90.0f, 0.0f, 1.0f, 0.0f);
    glRotatef(90.0f, 1.0f, 0.0f, 0.0f);
    // +Y goes to +Z about X, then +Z to +X about Y; the other order keeps
    // it at +Z.
    expectAt(oneTriangle(0.0f, 1.0f, 0.0f).at(0), 1.0, 0.0, 0.0);
}

TEST(CaptureTurns, FourQuarterTurnsComeBackAndOnlyTheModelviewIdentityForgetsATurn) {
    recorder::clear();
    for (int i = 0; i < 4; ++i) glRotatef(90.0f, 0.0f, 1.0f, 0.0f);
    EXPECT_TRUE(netRotation(recorder::calls()).isIdentity(1e-12));

    glRotatef(90.0f, 0.0f, 1.0f, 0.0f);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glRotatef(90.0f, 1.0f, 0.0f, 0.0f);  // turns the projection, not the scene
    expectAt(oneTriangle(1.0f, 0.0f, 0.0f).at(0), 0.0, 0.0, -1.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    expectAt(oneTriangle(1.0f, 0.0f, 0.0f).at(0), 1.0, 0.0, 0.0);
}

// Whole quarter turns land on exact coordinates: a coordinate that turns
// to zero is zero, not cos 90° in double (6e-17) times the other.
TEST(CaptureTurns, QuarterTurnsLandExactly) {
    const std::vector<std::pair<float, Vec3>> cases = {
        {90.0f, {60.5f, 12.0f, -37.0f}}, {180.0f, {-37.0f, 12.0f, -60.5f}},
        {270.0f, {-60.5f, 12.0f, 37.0f}}, {-90.0f, {-60.5f, 12.0f, 37.0f}},
        {360.0f, {37.0f, 12.0f, 60.5f}}};
    for (const auto& [degrees, expected] : cases) {
        recorder::clear();
        glRotatef(degrees, 0.0f, 1.0f, 0.0f);
        const Vec3 v = oneTriangle(37.0f, 12.0f, 60.5f).at(0);
        EXPECT_EQ(v.x, expected.x) << degrees;
        EXPECT_EQ(v.y, expected.y) << degrees;
        EXPECT_EQ(v.z, expected.z) << degrees;
    }
}

TEST(CaptureGroups, PolygonsAndQuadsFanFromTheirFirstVertexInTheColourInForce) {
    recorder::clear();
    glColor3f(0.25f, 0.5f, 0.75f);
    glBegin(GL_POLYGON);
    for (int i = 0; i < 5; ++i) glVertex3f(static_cast<float>(i), 0.0f, 0.0f);
    glEnd();
    glBegin(GL_QUADS);
    for (int i = 10; i < 14; ++i) glVertex3f(static_cast<float>(i), 0.0f, 0.0f);
    glEnd();

    const std::vector<DrawnGroup> groups = drawnGroups(recorder::calls());
    ASSERT_EQ(groups.size(), 2u);
    const std::vector<Vec3> polygon = fanTriangles(groups[0]), t = fanTriangles(groups[1]);
    ASSERT_EQ(polygon.size(), 3u * 3);
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(polygon[3 * k].x, 0.0);
        EXPECT_EQ(polygon[3 * k + 1].x, k + 1);
        EXPECT_EQ(polygon[3 * k + 2].x, k + 2);
    }
    // The quad's two triangles share its first vertex and its diagonal and
    // between them use all four corners.
    ASSERT_EQ(t.size(), 3u * 2);
    EXPECT_EQ(t[0].x, 10.0);
    EXPECT_EQ(t[3].x, 10.0);
    EXPECT_EQ(t[2].x, t[4].x);
    EXPECT_EQ(t[1].x + t[5].x, 11.0 + 13.0);
    for (const DrawnGroup& g : groups) EXPECT_TRUE(g.colour == (Rgb{0.25f, 0.5f, 0.75f}));
}

TEST(CaptureGroups, PointsAndLinesAreCountedButLeftOut) {
    recorder::clear();
    glBegin(GL_LINES);
    glVertex3f(0, 0, 0);
    glVertex3f(1, 0, 0);
    glEnd();
    EXPECT_TRUE(fanTriangles(drawnGroups(recorder::calls()).at(0)).empty());
    EXPECT_EQ(recorder::count(GlFn::Vertex3f), 2);
}

TEST(CaptureGroups, CountingModeTakesNothingDownButCountsEveryCall) {
    recorder::clear();
    recorder::countOnly(true);
    glColor3f(1, 0, 0);
    drawOneTriangle(0, 0, 0);
    recorder::countOnly(false);
    EXPECT_TRUE(recorder::calls().empty());
    EXPECT_EQ(recorder::count(GlFn::Vertex3f), 3);
    EXPECT_EQ(recorder::count(GlFn::Begin), 1);
    EXPECT_EQ(recorder::count(GlFn::Color3f), 1);
}

TEST(CaptureFrame, TheProgramsFrameComesDownWholeWithItsTurnsUndone) {
    recorder::clear();
    reshape(500, 500);
    display();
    const std::vector<DrawnGroup> groups = drawnGroups(recorder::calls());
    EXPECT_GT(groups.size(), 0u);
    EXPECT_TRUE(netRotation(recorder::calls()).isIdentity(1e-9));
    // Every quad gives two triangles, every triangle one, and a polygon of
    // n vertices n - 2; so triangles = vertices - 2 * groups when all groups
    // are single faces.
    size_t triangles = 0;
    for (const DrawnGroup& g : groups) triangles += fanTriangles(g).size() / 3;
    EXPECT_EQ(static_cast<int>(triangles),
              recorder::count(GlFn::Vertex3f) - 2 * recorder::count(GlFn::Begin));
}

// The benchmark reads the probe's listing back; every number must come
// back exactly, and a line that names no call must be refused.
TEST(CallText, RoundTripsAndRefusesWhatItDidNotWrite) {
    recorder::clear();
    reshape(640, 480);
    display();
    glutCreateWindow("a (title), 1");
    for (const GlCall& call : recorder::calls()) {
        GlCall back;
        ASSERT_TRUE(recorder::parse(recorder::describe(call), back)) << recorder::describe(call);
        EXPECT_EQ(back.fn, call.fn);
        EXPECT_EQ(back.args, call.args) << recorder::describe(call);
    }
    GlCall call;
    EXPECT_FALSE(recorder::parse("glVertex4f(1, 2, 3, 4)", call));
    EXPECT_FALSE(recorder::parse("glVertex3f 1, 2, 3", call));
    EXPECT_FALSE(recorder::parse("", call));
}

}  // namespace
