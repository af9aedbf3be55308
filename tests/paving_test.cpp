// The paving and the garage ramp: what the fans GL draws actually cover,
// where the paving meets the fence, and the shape of the ramp.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "grounds/grounds.h"
#include "house/house.h"
#include "scene_test.h"
#include "viewer/scene_state.h"

namespace {

enum Area { kWalk, kDriveway, kYard, kStripNear, kStripFar, kPatio, kFrontStrip, kAreas };

// The seven paved areas follow the three ramp groups.
std::vector<DrawnGroup> pavedAreas() {
    const std::vector<DrawnGroup> all = groupsOf(drawPaving);
    return std::vector<DrawnGroup>(all.begin() + 3, all.end());
}

bool paved(const std::vector<DrawnGroup>& areas, double x, double z) {
    for (const DrawnGroup& area : areas)
        if (fanCovers(area, x, z)) return true;
    return false;
}

bool inGateOpening(double x) { return (x >= 14 && x <= 26.8) || (x >= -78 && x <= -30); }

TEST(Paving, OneGreyForTenPolygons) {
    const std::vector<DrawnGroup> groups = groupsOf(drawPaving);
    ASSERT_EQ(groups.size(), 10u);
    EXPECT_EQ(recorder::count(GlFn::Color3f), 1);
    EXPECT_EQ(recorder::calls().front().fn, GlFn::Color3f);
    for (const DrawnGroup& g : groups) {
        EXPECT_EQ(g.mode, static_cast<GLenum>(GL_POLYGON));
        EXPECT_EQ(g.colour, kPavingGrey);
    }
    for (size_t g = 3; g < groups.size(); ++g)
        for (const Vec3& v : groups[g].vertices) EXPECT_EQ(v.y, -9.5);

    groupsOf(drawGarageRamp);
    EXPECT_EQ(recorder::count(GlFn::Color3f), 0);
    EXPECT_EQ(recorder::count(GlFn::Begin), 3);
}

TEST(Paving, NonConvexAreasLeaveTheirNotchesBare) {
    const std::vector<DrawnGroup> areas = pavedAreas();
    ASSERT_EQ(areas.size(), static_cast<size_t>(kAreas));
    const DrawnGroup& driveway = areas[kDriveway];
    EXPECT_FALSE(fanCovers(driveway, -90, -90));
    EXPECT_TRUE(fanCovers(driveway, -85, -50));
    const DrawnGroup& yard = areas[kYard];
    EXPECT_FALSE(fanCovers(yard, 0, -75));
    EXPECT_TRUE(fanCovers(yard, -25, -75));

    // Starting the same outline one vertex later fills the notch: the first
    // vertex is what makes the fan right.
    DrawnGroup shifted = driveway;
    std::rotate(shifted.world.begin(), shifted.world.begin() + 1, shifted.world.end());
    EXPECT_TRUE(fanCovers(shifted, -90, -90));
}

TEST(Paving, WalkAndPatioShareTheFloatEdgeOfTheShutWalkGate) {
    const std::vector<DrawnGroup> areas = pavedAreas();
    const double walkMax = boundsOf(areas[kWalk]).hi.x, patioMin = boundsOf(areas[kPatio]).lo.x;
    EXPECT_EQ(walkMax, 26.8f);
    EXPECT_EQ(patioMin, walkMax);

    scene.walkGateLeafDX = 12.8f;
    scene.walkGateLeafDZ = 0;
    const std::vector<DrawnGroup> leaf = groupsOf(drawWalkGate);
    scene = kInitialScene;
    EXPECT_EQ(leaf[0].vertices[2].x, walkMax);
}

TEST(Paving, UnbrokenAlongTheHouseFront) {
    const std::vector<DrawnGroup> areas = pavedAreas();
    for (double x = -109.9; x < 60; x += 0.5) EXPECT_TRUE(paved(areas, x, -10.01)) << x;
    EXPECT_FALSE(paved(areas, -110.1, -10.01));
    EXPECT_FALSE(paved(areas, 60.1, -10.01));
}

// Along the front fence band only the gate openings are paved, and both
// openings are paved all the way across.
TEST(Paving, MeetsTheFenceBandOnlyInTheGateOpenings) {
    const std::vector<DrawnGroup> areas = pavedAreas();
    for (double z : {-119.99, -119.0, -118.01})
        for (double x = -139.95; x < 140; x += 0.1) {
            const bool opening = inGateOpening(x);
            EXPECT_EQ(paved(areas, x, z), opening) << "x " << x << " z " << z;
        }
}

TEST(Paving, RampFallsFromTheFloorAcrossTheGarageDoor) {
    const std::vector<DrawnGroup> ramp = groupsOf(drawGarageRamp);
    ASSERT_EQ(ramp.size(), 3u);
    EXPECT_EQ(ramp[0].vertices.size(), 4u);
    // The side triangles: right angle at the foot of the house front.
    for (size_t side = 1; side < 3; ++side) {
        const std::vector<Vec3>& t = ramp[side].vertices;
        ASSERT_EQ(t.size(), 3u);
        int rightAngles = 0;
        for (size_t i = 0; i < 3; ++i) {
            const Vec3& a = t[i];
            const Vec3& b = t[(i + 1) % 3];
            const Vec3& c = t[(i + 2) % 3];
            EXPECT_EQ(a.x, t[0].x);  // flat in a plane of constant x
            const double dot = (b.y - a.y) * (c.y - a.y) + (b.z - a.z) * (c.z - a.z);
            if (dot == 0) {
                ++rightAngles;
                EXPECT_EQ(a.y, -9.5);
                EXPECT_EQ(a.z, -10);
            }
        }
        EXPECT_EQ(rightAngles, 1);
        // Its hypotenuse is the sloped top's edge on that side.
        int shared = 0;
        for (const Vec3& v : t)
            for (const Vec3& w : ramp[0].vertices)
                if (v.x == w.x && v.y == w.y && v.z == w.z) ++shared;
        EXPECT_EQ(shared, 2);
    }
    // Top: from the floor at the house front down to the paving 5 out.
    for (const Vec3& v : ramp[0].vertices) {
        EXPECT_EQ(v.y == -8, v.z == -10);
        EXPECT_EQ(v.y == -9.5, v.z == -15);
    }
    // As wide as the garage door's panel.
    const Bounds top = boundsOf(ramp[0]), door = boundsOf(groupsOf(drawGarageDoor)[0]);
    EXPECT_EQ(top.lo.x, door.lo.x);
    EXPECT_EQ(top.hi.x, door.hi.x);
}

}  // namespace
