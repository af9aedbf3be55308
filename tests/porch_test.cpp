// The porch: its mirror symmetry, the pillar stamp as a closed tube, and how
// the canopy meets the pillars and the main roof.
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <tuple>

#include "call_readers/drawn_groups.h"
#include "house/house.h"
#include "scene_test.h"
#include "viewer/scene_state.h"

namespace {

const size_t kCanopyGroups = 10;

using Corners = std::multiset<std::tuple<double, double, double>>;

Corners cornersOf(const DrawnGroup& g, bool mirrored) {
    Corners c;
    for (const Vec3& v : g.world) c.insert({mirrored ? 40 - v.x : v.x, v.y, v.z});
    return c;
}

using PorchTest = SceneTest;

TEST_F(PorchTest, CanopyPolygonsThenTwoPillars) {
    const std::vector<DrawnGroup> groups = groupsOf(drawPorch);
    ASSERT_EQ(groups.size(), kCanopyGroups + 8);
    EXPECT_EQ(recorder::calls().front().fn, GlFn::Color3f);
    EXPECT_EQ(recorder::count(GlFn::Color3f), 4);  // top, dark, and once per pillar
    for (size_t i = 0; i < kCanopyGroups; ++i) {
        EXPECT_EQ(groups[i].mode, static_cast<GLenum>(GL_POLYGON));
        EXPECT_EQ(groups[i].colour, i < 2 ? kRoofRed : kShadeRed);
        for (const Vec3& v : groups[i].world) EXPECT_EQ(offPlane(groups[i], v), 0) << "group " << i;
    }
    EXPECT_EQ(groups[kCanopyGroups - 1].vertices.size(), 3u);  // the gable triangle comes last
    for (size_t i = kCanopyGroups; i < groups.size(); ++i) {
        EXPECT_EQ(groups[i].mode, static_cast<GLenum>(GL_QUADS));
        EXPECT_EQ(groups[i].colour, kBrickRed);
    }
    EXPECT_EQ(scene.cursorX, 33);
    EXPECT_EQ(scene.cursorZ, -8);
}

TEST_F(PorchTest, MapsOntoItselfAcrossTheMiddleOfTheDoor) {
    const std::vector<DrawnGroup> groups = groupsOf(drawPorch);
    std::multiset<std::pair<Corners, double>> faces, mirrored;
    for (const DrawnGroup& g : groups) {
        faces.insert({cornersOf(g, false), g.colour.red});
        mirrored.insert({cornersOf(g, true), g.colour.red});
    }
    EXPECT_EQ(faces, mirrored);
}

TEST_F(PorchTest, PillarIsAClosedTubeOneByOneByNineteen) {
    scene.cursorX = -3.25f;
    scene.cursorY = 500.0f;  // not the pillar's business
    scene.cursorZ = 7.5f;
    const SceneState before = scene;
    const std::vector<DrawnGroup> faces = groupsOf(drawPillar);
    ASSERT_EQ(faces.size(), 4u);
    EXPECT_EQ(recorder::calls().front().fn, GlFn::Color3f);
    std::multiset<std::pair<double, double>> verticalEdges;
    for (const DrawnGroup& face : faces) {
        ASSERT_EQ(face.vertices.size(), 4u);
        std::set<std::pair<double, double>> footprint;
        for (const Vec3& v : face.vertices) {
            EXPECT_TRUE(v.x == -3.25 || v.x == -2.25);
            EXPECT_TRUE(v.z == 7.5 || v.z == 8.5);
            EXPECT_TRUE(v.y == -8 || v.y == 11);
            footprint.insert({v.x, v.z});
        }
        ASSERT_EQ(footprint.size(), 2u) << "a side face is one unit-wide rectangle";
        for (const auto& corner : footprint) verticalEdges.insert(corner);
    }
    // Each of the four corner lines is shared by exactly two faces.
    const std::set<std::pair<double, double>> cornerLines(verticalEdges.begin(), verticalEdges.end());
    EXPECT_EQ(cornerLines.size(), 4u);
    for (const auto& corner : verticalEdges) EXPECT_EQ(verticalEdges.count(corner), 2u);
    EXPECT_EQ(std::memcmp(&scene, &before, sizeof scene), 0);
}

TEST_F(PorchTest, PillarsStandOnTheTerraceAndEndInTheCanopy) {
    scene.cursorY = 30.0f;  // as the roof leaves it from the second frame on
    const std::vector<DrawnGroup> groups = groupsOf(drawPorch);
    const DrawnGroup& leftTop = groups[0];
    const DrawnGroup& rightTop = groups[1];
    const double outerTopEdges[][2] = {{6, -8}, {6, -7}, {34, -8}, {34, -7}};
    for (const auto& p : outerTopEdges) {
        const DrawnGroup& slope = p[0] < 20 ? leftTop : rightTop;
        EXPECT_EQ(offPlane(slope, {p[0], 11, p[1]}), 0);
    }
    for (size_t i = kCanopyGroups; i < groups.size(); ++i)
        for (const Vec3& v : groups[i].world) {
            EXPECT_TRUE(v.y == -8 || v.y == 11);  // terrace top to inside the canopy
            EXPECT_TRUE(v.z == -8 || v.z == -7);  // 2 behind the canopy's front edge
            EXPECT_TRUE(v.x == 6 || v.x == 7 || v.x == 33 || v.x == 34);
        }
    // The ceiling's side edges lie in the top surfaces.
    const DrawnGroup& ceiling = groups[8];
    for (const Vec3& v : ceiling.world) {
        EXPECT_EQ(v.y, 15);
        EXPECT_EQ(offPlane(v.x < 20 ? leftTop : rightTop, v), 0);
    }
}

TEST_F(PorchTest, RidgeRunsBackToTheMainRoof) {
    const std::vector<DrawnGroup> porch = groupsOf(drawPorch);
    const DrawnGroup frontSlope = groupsOf(drawRoof)[2];
    const double ridgeEnd = boundsOf(porch[0], true).hi.z;
    EXPECT_EQ(offPlane(frontSlope, {20, 25, ridgeEnd}), 0);
    EXPECT_TRUE(fanCovers(frontSlope, 20, ridgeEnd));
}

}  // namespace
