// The capture stand-in must hand house-bench exactly the geometry the
// program's frame sends, or the one-draw reference measures another scene.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/frame.h"
#include "capture_gl.h"
#include "triangle_file.h"
#include "viewer/opengl.h"

namespace {

const double kNear = 1e-6;

void expectAt(const TriangleVertex& v, double x, double y, double z) {
    EXPECT_NEAR(v.x, x, kNear);
    EXPECT_NEAR(v.y, y, kNear);
    EXPECT_NEAR(v.z, z, kNear);
}

void drawOneTriangle(float x, float y, float z) {
    glBegin(GL_TRIANGLES);
    glVertex3f(x, y, z);
    glVertex3f(x, y, z);
    glVertex3f(x, y, z);
    glEnd();
}

std::string scratchPath(const char* name) {
    return std::string(::testing::TempDir()) + name;
}

TEST(CaptureTurns, QuarterTurnAboutYCarriesXOntoMinusZ) {
    capture::start(capture::Mode::Triangles);
    glMatrixMode(GL_MODELVIEW);
    glRotatef(90.0f, 0.0f, 1.0f, 0.0f);
    drawOneTriangle(1.0f, 0.0f, 0.0f);
    ASSERT_EQ(capture::triangles().size(), 3u);
    expectAt(capture::triangles()[0], 0.0, 0.0, -1.0);
}

TEST(CaptureTurns, TheTurnMadeLastActsOnTheVertexFirst) {
    capture::start(capture::Mode::Triangles);
    glRotatef(90.0f, 0.0f, 1.0f, 0.0f);
    glRotatef(90.0f, 1.0f, 0.0f, 0.0f);
    // +Y goes to +Z about X, then +Z to +X about Y; the other order keeps
    // it at +Z.
    drawOneTriangle(0.0f, 1.0f, 0.0f);
    ASSERT_EQ(capture::triangles().size(), 3u);
    expectAt(capture::triangles()[0], 1.0, 0.0, 0.0);
}

TEST(CaptureTurns, FourQuarterTurnsComeBackAndOnlyTheModelviewIdentityForgetsATurn) {
    capture::start(capture::Mode::Triangles);
    for (int i = 0; i < 4; ++i) glRotatef(90.0f, 0.0f, 1.0f, 0.0f);
    EXPECT_LT(capture::netTurnResidual(), 1e-12);

    glRotatef(90.0f, 0.0f, 1.0f, 0.0f);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    EXPECT_GT(capture::netTurnResidual(), 0.5);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    EXPECT_EQ(capture::netTurnResidual(), 0.0);
}

TEST(CaptureGroups, PolygonsAndQuadsFanFromTheirFirstVertexInTheColourInForce) {
    capture::start(capture::Mode::Triangles);
    glColor3f(0.25f, 0.5f, 0.75f);
    glBegin(GL_POLYGON);
    for (int i = 0; i < 5; ++i) glVertex3f(static_cast<float>(i), 0.0f, 0.0f);
    glEnd();
    glBegin(GL_QUADS);
    glVertex3f(10, 0, 0);
    glVertex3f(11, 0, 0);
    glVertex3f(12, 0, 0);
    glVertex3f(13, 0, 0);
    glEnd();

    const std::vector<TriangleVertex>& t = capture::triangles();
    ASSERT_EQ(t.size(), 3u * (3 + 2));
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(t[3 * k].x, 0.0f);
        EXPECT_EQ(t[3 * k + 1].x, static_cast<float>(k + 1));
        EXPECT_EQ(t[3 * k + 2].x, static_cast<float>(k + 2));
    }
    // The quad's two triangles share its first vertex and its diagonal and
    // between them use all four corners.
    EXPECT_EQ(t[9].x, 10.0f);
    EXPECT_EQ(t[12].x, 10.0f);
    EXPECT_EQ(t[11].x, t[13].x);
    EXPECT_EQ(t[10].x + t[14].x, 11.0f + 13.0f);
    for (const TriangleVertex& v : t) {
        EXPECT_EQ(v.red, 0.25f);
        EXPECT_EQ(v.green, 0.5f);
        EXPECT_EQ(v.blue, 0.75f);
    }
    EXPECT_EQ(capture::tally().polygonGroups, 1);
    EXPECT_EQ(capture::tally().quadGroups, 1);
}

TEST(CaptureGroups, PointsAndLinesAreCountedButLeftOut) {
    capture::start(capture::Mode::Triangles);
    glBegin(GL_LINES);
    glVertex3f(0, 0, 0);
    glVertex3f(1, 0, 0);
    glEnd();
    EXPECT_TRUE(capture::triangles().empty());
    EXPECT_EQ(capture::tally().droppedGroups, 1);
    EXPECT_EQ(capture::tally().vertices, 2);
}

TEST(CaptureGroups, CountingModeTakesNothingDownButCountsEveryCall) {
    capture::start(capture::Mode::Counting);
    glColor3f(1, 0, 0);
    drawOneTriangle(0, 0, 0);
    EXPECT_TRUE(capture::triangles().empty());
    EXPECT_EQ(capture::tally().calls, 6);
    EXPECT_EQ(capture::tally().groups, 1);
}

TEST(CaptureFrame, TheProgramsFrameComesDownWholeWithItsTurnsUndone) {
    reshape(500, 500);
    capture::start(capture::Mode::Triangles);
    display();
    const capture::Tally& t = capture::tally();
    EXPECT_GT(t.groups, 0);
    EXPECT_EQ(t.droppedGroups, 0);
    EXPECT_LT(capture::netTurnResidual(), 1e-9);
    // Every quad gives two triangles, every triangle one, and a polygon of
    // n vertices n - 2; so triangles = vertices - 2 * groups when all groups
    // are single faces.
    EXPECT_EQ(static_cast<long>(capture::triangles().size() / 3), t.vertices - 2 * t.groups);
}

TEST(TriangleFile, RoundTripsAndRefusesWhatItDidNotWrite) {
    const std::string path = scratchPath("bench_triangles.bin");
    std::vector<TriangleVertex> out = {
        {1, 2, 3, 0.1f, 0.2f, 0.3f}, {4, 5, 6, 0.4f, 0.5f, 0.6f}, {7, 8, 9, 0.7f, 0.8f, 0.9f}};
    ASSERT_TRUE(writeTriangles(path, out));
    std::vector<TriangleVertex> in;
    ASSERT_TRUE(readTriangles(path, in));
    ASSERT_EQ(in.size(), 3u);
    EXPECT_EQ(in[2].z, 9.0f);
    EXPECT_EQ(in[1].green, 0.5f);

    // Cut short by one byte.
    std::FILE* file = std::fopen(path.c_str(), "rb");
    ASSERT_NE(file, nullptr);
    std::vector<char> bytes(4096);
    bytes.resize(std::fread(bytes.data(), 1, bytes.size(), file));
    std::fclose(file);
    file = std::fopen(path.c_str(), "wb");
    std::fwrite(bytes.data(), 1, bytes.size() - 1, file);
    std::fclose(file);
    EXPECT_FALSE(readTriangles(path, in));
    EXPECT_TRUE(in.empty());

    // Not a whole number of triangles.
    out.pop_back();
    ASSERT_TRUE(writeTriangles(path, out));
    EXPECT_FALSE(readTriangles(path, in));

    EXPECT_FALSE(readTriangles(scratchPath("bench_no_such_file.bin"), in));
    std::remove(path.c_str());
}

}  // namespace
