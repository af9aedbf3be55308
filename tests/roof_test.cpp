// The roof, the eave plane and the chimneys: closure of the roof surface,
// the tiling of the eave plane, and the chimney stamp against its cursor.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <map>
#include <tuple>

#include "call_readers/drawn_groups.h"
#include "house/house.h"
#include "scene_test.h"
#include "viewer/scene_state.h"

namespace {

const size_t kRoofPieces = 6;

// The wall outline pushed out by 5, going round: the eave line.
const double kEaveOutline[][2] = {{-65, -15}, {-15, -15}, {-15, 5}, {65, 5}, {65, 75}, {-65, 75}};
const int kOutlineCorners = 6;

bool insideEaveLine(double x, double z) {
    const bool mainBlock = x > -65 && x < 65 && z > 5 && z < 75;
    const bool wing = x > -65 && x < -15 && z > -15 && z < 5;
    return mainBlock || wing;
}

double planArea(const DrawnGroup& g) {
    double twice = 0;
    for (size_t i = 0; i < g.world.size(); ++i) {
        const Vec3& a = g.world[i];
        const Vec3& b = g.world[(i + 1) % g.world.size()];
        twice += a.x * b.z - b.x * a.z;
    }
    return std::fabs(twice) / 2;
}

using Point = std::tuple<double, double, double>;
using Edge = std::pair<Point, Point>;

Edge undirected(const Vec3& a, const Vec3& b) {
    Point p{a.x, a.y, a.z}, q{b.x, b.y, b.z};
    return p < q ? Edge{p, q} : Edge{q, p};
}

using RoofTest = SceneTest;

TEST_F(RoofTest, SixRedPiecesThenTwoChimneys) {
    const std::vector<DrawnGroup> groups = groupsOf(drawRoof);
    ASSERT_EQ(groups.size(), kRoofPieces + 8);
    EXPECT_EQ(recorder::calls().front().fn, GlFn::Color3f);
    EXPECT_EQ(recorder::count(GlFn::Color3f), 3);  // roof once, each chimney once
    for (size_t i = 0; i < kRoofPieces; ++i) {
        EXPECT_EQ(groups[i].colour, kRoofRed);
        const bool hipEnd = i == 1 || i == 5;
        EXPECT_EQ(groups[i].mode, static_cast<GLenum>(hipEnd ? GL_TRIANGLES : GL_POLYGON));
        EXPECT_EQ(groups[i].vertices.size(), hipEnd ? 3u : 4u);
        // Every corner on the eave line or a ridge, and every piece planar.
        for (const Vec3& v : groups[i].world) {
            EXPECT_TRUE(v.y == 15 || v.y == 35);
            EXPECT_NEAR(heightOn(groups[i], v.x, v.z), v.y, 1e-9);
        }
    }
    for (size_t i = kRoofPieces; i < groups.size(); ++i) {
        EXPECT_EQ(groups[i].mode, static_cast<GLenum>(GL_QUADS));
        EXPECT_EQ(groups[i].colour, kBrickRed);
    }
}

TEST_F(RoofTest, RoofIsClosedAndItsRimIsTheEaveLine) {
    const std::vector<DrawnGroup> groups = groupsOf(drawRoof);
    std::map<Edge, int> uses;
    for (size_t i = 0; i < kRoofPieces; ++i) {
        const std::vector<Vec3>& v = groups[i].world;
        for (size_t k = 0; k < v.size(); ++k) ++uses[undirected(v[k], v[(k + 1) % v.size()])];
    }
    std::map<Edge, int> rim;
    for (int k = 0; k < kOutlineCorners; ++k) {
        const double* a = kEaveOutline[k];
        const double* b = kEaveOutline[(k + 1) % kOutlineCorners];
        rim[undirected({a[0], 15, a[1]}, {b[0], 15, b[1]})] = 1;
    }
    int inner = 0;
    for (const auto& [edge, count] : uses) {
        if (rim.count(edge)) {
            EXPECT_EQ(count, 1) << "rim edge covered twice";
        } else {
            EXPECT_EQ(count, 2) << "inner edge not shared by exactly two pieces";
            ++inner;
        }
    }
    EXPECT_EQ(uses.size() - inner, rim.size());  // every rim edge is there
    EXPECT_EQ(inner, 8);  // two ridges, five hips and the valley
}

TEST_F(RoofTest, EavePlaneIsTheRoofFlattenedAndTilesTheEaveLine) {
    const std::vector<DrawnGroup> roof = groupsOf(drawRoof);
    const std::vector<DrawnGroup> eaves = groupsOf(drawEaves);
    ASSERT_EQ(eaves.size(), kRoofPieces);
    EXPECT_EQ(recorder::count(GlFn::Color3f), 1);
    EXPECT_EQ(recorder::calls().front().fn, GlFn::Color3f);

    double area = 0;
    for (size_t i = 0; i < kRoofPieces; ++i) {
        EXPECT_EQ(eaves[i].colour, kBlack);
        EXPECT_EQ(eaves[i].mode, roof[i].mode);
        ASSERT_EQ(eaves[i].world.size(), roof[i].world.size());
        for (size_t k = 0; k < eaves[i].world.size(); ++k) {
            EXPECT_EQ(eaves[i].world[k].y, 15);
            EXPECT_EQ(eaves[i].world[k].x, roof[i].world[k].x);
            EXPECT_EQ(eaves[i].world[k].z, roof[i].world[k].z);
        }
        area += planArea(eaves[i]);
    }
    EXPECT_EQ(area, 130 * 70 + 50 * 20);

    // Sample points off every edge line (edges run along whole numbers or at
    // slopes of 1 and 1.4 through whole-number corners): each point inside
    // the eave line is under exactly one piece, each point outside under none.
    for (double x = -69.7; x < 70; x += 1)
        for (double z = -19.4; z < 80; z += 1) {
            int covering = 0;
            for (const DrawnGroup& piece : eaves) covering += fanCovers(piece, x, z);
            EXPECT_EQ(covering, insideEaveLine(x, z) ? 1 : 0) << "at " << x << ", " << z;
        }
}

TEST_F(RoofTest, ChimneysStandInTheirSlopes) {
    const std::vector<DrawnGroup> groups = groupsOf(drawRoof);
    struct Expected {
        size_t firstFace, slope;
        double x0, z0;
    } chimneys[] = {{kRoofPieces, 4, 30, 45}, {kRoofPieces + 4, 2, -30, 32}};
    for (const Expected& c : chimneys) {
        const Bounds box = boundsOf(groups, c.firstFace, 4, true);
        expectBox(box, {c.x0, c.x0 + 6, 30, 37, c.z0, c.z0 + 4});
        // Whole footprint over its own slope, with the top clear of the roof.
        const DrawnGroup& slope = groups[c.slope];
        for (double x : {box.lo.x, box.hi.x})
            for (double z : {box.lo.z, box.hi.z}) {
                EXPECT_TRUE(fanCovers(slope, x, z));
                EXPECT_GT(box.hi.y - heightOn(slope, x, z), 4.2);
            }
    }
    // The first chimney's lower end clears the back slope by 1/7 at its back face.
    EXPECT_NEAR(30 - heightOn(groups[4], 33, 49), 1.0 / 7, 1e-12);
    EXPECT_NEAR(heightOn(groups[4], 33, 48.75), 30, 1e-12);
    // The second is buried everywhere along its lower end.
    EXPECT_NEAR(heightOn(groups[2], -27, 32), 30 + 3.0 / 7, 1e-12);

    EXPECT_EQ(scene.cursorX, -30);
    EXPECT_EQ(scene.cursorY, 30);
    EXPECT_EQ(scene.cursorZ, 32);
    EXPECT_EQ(scene.cursorHeight, 7);
}

TEST_F(RoofTest, ChimneyIsAnOpenShaftAtWhateverCursorItIsGiven) {
    scene.cursorX = 0.1f;
    scene.cursorY = -2.3f;
    scene.cursorZ = 1e5f;
    scene.cursorHeight = 0.7f;
    const SceneState before = scene;
    const std::vector<DrawnGroup> faces = groupsOf(drawChimney);
    ASSERT_EQ(faces.size(), 4u);
    EXPECT_EQ(recorder::calls().front().fn, GlFn::Color3f);
    const float xs[] = {0.1f, static_cast<float>(double{0.1f} + 6)};
    const float ys[] = {-2.3f, static_cast<float>(double{-2.3f} + double{0.7f})};
    const float zs[] = {1e5f, static_cast<float>(1e5 + 4)};
    std::map<Edge, int> sides;
    for (const DrawnGroup& face : faces) {
        ASSERT_EQ(face.vertices.size(), 4u);
        for (const Vec3& v : face.vertices) {
            EXPECT_TRUE(v.x == xs[0] || v.x == xs[1]);
            EXPECT_TRUE(v.y == ys[0] || v.y == ys[1]);
            EXPECT_TRUE(v.z == zs[0] || v.z == zs[1]);
        }
        for (size_t k = 0; k < 4; ++k) ++sides[undirected(face.vertices[k], face.vertices[(k + 1) % 4])];
    }
    // Four vertical edges, each shared by two faces; the rims at top and
    // bottom belong to one face each, so the shaft has no lid.
    int shared = 0;
    for (const auto& [edge, count] : sides) shared += count == 2;
    EXPECT_EQ(shared, 4);
    EXPECT_EQ(sides.size(), 12u);
    EXPECT_EQ(std::memcmp(&scene, &before, sizeof scene), 0);
}

}  // namespace
