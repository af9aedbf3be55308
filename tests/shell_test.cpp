// The house shell: what an independent reader can check of the walls, the
// foundation and the doors without copying their tables.
#include <gtest/gtest.h>

#include <cmath>
#include <iterator>
#include <map>
#include <string>
#include <utility>

#include "call_readers/drawn_groups.h"
#include "house/house.h"
#include "scene_test.h"

namespace {

double minOf(const DrawnGroup& g, double Vec3::*axis) { return boundsOf(g, true).lo.*axis; }
double maxOf(const DrawnGroup& g, double Vec3::*axis) { return boundsOf(g, true).hi.*axis; }
bool flatIn(const DrawnGroup& g, double Vec3::*axis) { return minOf(g, axis) == maxOf(g, axis); }

void expectAllQuads(const std::vector<DrawnGroup>& groups) {
    for (const DrawnGroup& g : groups) {
        EXPECT_EQ(g.mode, static_cast<GLenum>(GL_QUADS));
        EXPECT_EQ(g.vertices.size(), 4u);
    }
}

// Area of the closed loop that the bottom edges of vertical quads form in
// plan, or -1 if the edges do not join up into exactly one loop.
double planLoopArea(const std::vector<DrawnGroup>& walls) {
    using Point = std::pair<double, double>;
    std::multimap<Point, Point> edges;  // both directions of every bottom edge
    for (const DrawnGroup& wall : walls) {
        const double y0 = minOf(wall, &Vec3::y);
        std::vector<Point> bottom;
        for (const Vec3& v : wall.world)
            if (v.y == y0) bottom.push_back({v.x, v.z});
        if (bottom.size() != 2) return -1;
        edges.insert({bottom[0], bottom[1]});
        edges.insert({bottom[1], bottom[0]});
    }
    for (const auto& edge : edges)
        if (edges.count(edge.first) != 2) return -1;
    // Walk the loop from any corner, never straight back.
    const Point start = edges.begin()->first;
    Point previous = start, current = edges.begin()->second;
    double twiceArea = previous.first * current.second - current.first * previous.second;
    size_t steps = 1;
    while (current != start && steps <= walls.size()) {
        auto range = edges.equal_range(current);
        Point next = range.first->second == previous ? std::next(range.first)->second
                                                     : range.first->second;
        twiceArea += current.first * next.second - next.first * current.second;
        previous = current;
        current = next;
        ++steps;
    }
    if (current != start || steps != walls.size()) return -1;
    return std::fabs(twiceArea) / 2;
}

TEST(Shell, GroundWallsAndFrontDoor) {
    const std::vector<DrawnGroup> groups = groupsOf(drawShell);
    ASSERT_EQ(groups.size(), 8u);
    expectAllQuads(groups);
    EXPECT_EQ(recorder::count(GlFn::Color3f), 3);

    EXPECT_EQ(groups[0].colour, kGrassGreen);
    expectBox(boundsOf(groups[0], true), {-140, 140, -10, -10, -140, 140});  // the ground

    std::vector<DrawnGroup> walls(groups.begin() + 1, groups.begin() + 7);
    for (const DrawnGroup& wall : walls) {
        EXPECT_EQ(wall.colour, kWallYellow);
        EXPECT_EQ(minOf(wall, &Vec3::y), -8);
        EXPECT_EQ(maxOf(wall, &Vec3::y), 15);
        EXPECT_TRUE(flatIn(wall, &Vec3::x) || flatIn(wall, &Vec3::z));
    }
    // Six walls close the L: 120 by 60 plus the 40 by 20 wing.
    EXPECT_EQ(planLoopArea(walls), 120 * 60 + 40 * 20);

    const DrawnGroup& door = groups[7];
    EXPECT_EQ(door.colour, kRoofRed);
    EXPECT_TRUE(flatIn(door, &Vec3::z));
    EXPECT_EQ(maxOf(door, &Vec3::x) - minOf(door, &Vec3::x), 12);
    EXPECT_EQ(maxOf(door, &Vec3::y) - minOf(door, &Vec3::y), 20);
    EXPECT_EQ(minOf(door, &Vec3::y), -8);  // stands on the floor
    // In front of (towards -Z from) the front wall it belongs to, and within it.
    const DrawnGroup& frontWall = groups[2];
    ASSERT_TRUE(flatIn(frontWall, &Vec3::z));
    EXPECT_NEAR(minOf(frontWall, &Vec3::z) - minOf(door, &Vec3::z), 0.5, 1e-6);
    EXPECT_GE(minOf(door, &Vec3::x), minOf(frontWall, &Vec3::x));
    EXPECT_LE(maxOf(door, &Vec3::x), maxOf(frontWall, &Vec3::x));
}

TEST(Shell, FoundationBandAndTerraceSlab) {
    const std::vector<DrawnGroup> groups = groupsOf(drawFoundation);
    ASSERT_EQ(groups.size(), 5u);
    expectAllQuads(groups);
    EXPECT_EQ(recorder::count(GlFn::Color3f), 1);
    std::vector<DrawnGroup> band(groups.begin(), groups.begin() + 4);
    for (const DrawnGroup& piece : band) {
        EXPECT_EQ(piece.colour, kFoundationRed);
        EXPECT_EQ(minOf(piece, &Vec3::y), -10);
        EXPECT_EQ(maxOf(piece, &Vec3::y), -8);
    }
    // The band follows the plan plus the terrace: 120 by 80.
    EXPECT_EQ(planLoopArea(band), 120 * 80);

    const DrawnGroup& slab = groups[4];
    EXPECT_TRUE(flatIn(slab, &Vec3::y));
    EXPECT_EQ(minOf(slab, &Vec3::y), -8);
    EXPECT_EQ(maxOf(slab, &Vec3::x) - minOf(slab, &Vec3::x), 80);
    EXPECT_EQ(maxOf(slab, &Vec3::z) - minOf(slab, &Vec3::z), 20);
}

TEST(Shell, GarageDoorStandsBeforeItsWallWithABlackFrame) {
    const std::vector<DrawnGroup> shell = groupsOf(drawShell);
    const DrawnGroup& wingFront = shell[6];
    ASSERT_TRUE(flatIn(wingFront, &Vec3::z));

    const std::vector<DrawnGroup> groups = groupsOf(drawGarageDoor);
    ASSERT_EQ(groups.size(), 4u);
    expectAllQuads(groups);
    EXPECT_EQ(recorder::count(GlFn::Color3f), 2);
    EXPECT_EQ(groups[0].colour, kRoofRed);
    for (const DrawnGroup& g : groups) {
        EXPECT_TRUE(flatIn(g, &Vec3::z));
        EXPECT_NEAR(minOf(wingFront, &Vec3::z) - minOf(g, &Vec3::z), 0.4, 1e-6);
    }
    for (size_t i = 1; i < groups.size(); ++i) EXPECT_EQ(groups[i].colour, kBlack);
    // Door and frame together leave 3 of wall on each side of the 40-wide wing.
    const Bounds doorAndFrame = boundsOf(groups, 0, groups.size(), true);
    EXPECT_EQ(doorAndFrame.lo.x, minOf(wingFront, &Vec3::x) + 3);
    EXPECT_EQ(doorAndFrame.hi.x, maxOf(wingFront, &Vec3::x) - 3);
    EXPECT_EQ(doorAndFrame.hi.y, 13);
}

// The routines drawHouse calls, in the order that decides which coplanar
// piece keeps its pixels.
void (*const kHouseOrder[])() = {drawShell, drawFoundation, drawPorch, drawRoof,
                                 drawEaves, drawGarageDoor, drawWindows};

TEST(House, CallsItsSevenRoutinesInOrderAndNothingElse) {
    std::vector<std::string> expected;
    for (void (*routine)() : kHouseOrder) {
        recorder::clear();
        routine();
        const std::vector<std::string> own = recorder::describeAll();
        expected.insert(expected.end(), own.begin(), own.end());
    }
    recorder::clear();
    drawHouse();
    EXPECT_EQ(recorder::describeAll(), expected);
    EXPECT_TRUE(netRotation(recorder::calls()).isIdentity(1e-12));
}

TEST(House, PorchCeilingComesBeforeTheEavePlaneItShares) {
    const std::vector<DrawnGroup> groups = groupsOf(drawHouse);
    // (20, 7.5) lies under the front overhang, above the porch.
    int ceiling = -1, eave = -1;
    for (size_t i = 0; i < groups.size(); ++i) {
        const DrawnGroup& g = groups[i];
        if (!flatIn(g, &Vec3::y) || minOf(g, &Vec3::y) != 15 || !fanCovers(g, 20, 7.5)) continue;
        if (g.colour == kShadeRed && ceiling < 0) ceiling = static_cast<int>(i);
        if (g.colour == kBlack && eave < 0) eave = static_cast<int>(i);
    }
    ASSERT_GE(ceiling, 0);
    ASSERT_GE(eave, 0);
    EXPECT_LT(ceiling, eave);
}

}  // namespace
