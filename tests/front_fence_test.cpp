// The front run with its two openings, and the gate leaves: counts, the
// drifting cursor, the openings kept clear, and the leaves at the angles the
// keys give them.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "call_readers/drawn_groups.h"
#include "call_readers/fence_stamps.h"
#include "grounds/grounds.h"
#include "scene_test.h"
#include "viewer/keys.h"
#include "viewer/scene_state.h"

namespace {

using FrontFence = SceneTest;

TEST_F(FrontFence, CountsAndFinalCursor) {
    scene.cursorX = -5000;
    scene.cursorZ = 300;
    const std::vector<DrawnGroup> groups = groupsOf(drawFrontFence);
    EXPECT_EQ(groups.size(), 672u);
    for (const DrawnGroup& g : groups) EXPECT_EQ(g.mode, static_cast<GLenum>(GL_QUADS));
    EXPECT_EQ(recorder::count(GlFn::Color3f), 212);
    EXPECT_EQ(recorder::count(GlFn::Rotatef), 0);
    const std::vector<Stamp> stamps = stampsIn(recorder::calls());
    EXPECT_EQ(countStamps(stamps, StampKind::Post), 12);
    EXPECT_EQ(countStamps(stamps, StampKind::Board), 6);
    EXPECT_EQ(countStamps(stamps, StampKind::Picket), 194);
    EXPECT_NEAR(scene.cursorX, 120.00028, kFiveDecimals);
    EXPECT_EQ(scene.cursorZ, -120);
    for (const DrawnGroup& g : groups)
        for (const Vec3& v : g.vertices) {
            EXPECT_GE(v.z, -120);
            EXPECT_LE(v.z, -118);
        }
}

TEST_F(FrontFence, StampsStandAtTheDriftedCursor) {
    const std::vector<DrawnGroup> groups = groupsOf(drawFrontFence);
    const std::vector<double> posts = cursorsAt(recorder::calls(), StampKind::Post);
    const double expectedPosts[] = {-120,     -81.99986, -79.99986, -29.99986, -27.99986, 10.00013,
                                    12.00013, 26.80013,  28.80013,  72.40012,  74.40012,  118.00028};
    ASSERT_EQ(posts.size(), 12u);
    for (size_t i = 0; i < posts.size(); ++i) EXPECT_NEAR(posts[i], expectedPosts[i], kFiveDecimals) << i;

    const std::vector<double> boards = cursorsAt(recorder::calls(), StampKind::Board);
    const double expectedBoards[] = {-120, -27.99986, 28.80013, 31.80013, 74.40012, 77.40012};
    ASSERT_EQ(boards.size(), 6u);
    for (size_t i = 0; i < boards.size(); ++i) EXPECT_NEAR(boards[i], expectedBoards[i], kFiveDecimals) << i;

    // The last picket of each section: A, B (45 units), C, D (52 units).
    const std::vector<double> pickets = cursorsAt(recorder::calls(), StampKind::Picket);
    ASSERT_EQ(pickets.size(), 194u);
    EXPECT_NEAR(pickets[44], -84.79987, kFiveDecimals);
    EXPECT_NEAR(pickets[89], 7.20013, kFiveDecimals);
    EXPECT_NEAR(pickets[141], 69.60012, kFiveDecimals);
    EXPECT_NEAR(pickets[193], 115.20028, kFiveDecimals);
}

TEST_F(FrontFence, OpeningsAreClearAndFramedByGatePosts) {
    const std::vector<DrawnGroup> groups = groupsOf(drawFrontFence);
    // Nothing of the run stands inside either opening.
    for (const DrawnGroup& g : groups) {
        EXPECT_FALSE(boundsOf(g).hi.x > -78 + 2e-4 && boundsOf(g).lo.x < -30 - 2e-4);
        EXPECT_FALSE(boundsOf(g).hi.x > 14 + 2e-4 && boundsOf(g).lo.x < 26.8 - 2e-4);
    }
    // The gate posts' inner faces are the hinge lines, up to the drift.
    const std::vector<double> posts = cursorsAt(recorder::calls(), StampKind::Post);
    ASSERT_EQ(posts.size(), 12u);
    EXPECT_NEAR(posts[2] + 2, -78, 2e-4);
    EXPECT_NEAR(posts[3], -30, 2e-4);
    EXPECT_NEAR(posts[6] + 2, 14, 2e-4);
    EXPECT_NEAR(posts[7], 26.8, 2e-4);
    // Beside each opening and between sections two posts stand side by side.
    for (size_t pair : {3u, 5u, 7u, 9u}) EXPECT_NEAR(posts[pair] + 2, posts[pair + 1], 1e-9) << pair;
    EXPECT_NEAR(posts[1] + 2, posts[2], 1e-9);
}

TEST_F(FrontFence, LongSectionsUseTwoBoards) {
    const std::vector<DrawnGroup> groups = groupsOf(drawFrontFence);
    const std::vector<double> boards = cursorsAt(recorder::calls(), StampKind::Board);
    const std::vector<double> posts = cursorsAt(recorder::calls(), StampKind::Post);
    ASSERT_EQ(boards.size(), 6u);
    ASSERT_EQ(posts.size(), 12u);
    // C and D: boards cover 2 to 43 past the start, leaving 0.6 bare before
    // the closing post 43.6 on.
    for (size_t section = 0; section < 2; ++section) {
        const double start = posts[8 + 2 * section];
        const double closing = posts[9 + 2 * section];
        EXPECT_NEAR(boards[2 + 2 * section], start, kFiveDecimals);
        EXPECT_NEAR(boards[3 + 2 * section], start + 3, kFiveDecimals);
        EXPECT_NEAR(boards[3 + 2 * section] + 40 - start, 43, 2e-4);
        EXPECT_NEAR(closing - start, 43.6, 2e-4);  // nominal, up to the drift
    }
    // The first picket of a long section starts again at the opening post.
    const std::vector<double> pickets = cursorsAt(recorder::calls(), StampKind::Picket);
    EXPECT_NEAR(pickets[90], posts[8], kFiveDecimals);
    EXPECT_NEAR(pickets[142], posts[10], kFiveDecimals);
}

TEST_F(FrontFence, GatesSetTheirColourOnceAndDrawFlatLeaves) {
    for (void (*gate)() : {drawWalkGate, drawDriveGate}) {
        const std::vector<DrawnGroup> leaves = groupsOf(gate);
        EXPECT_EQ(recorder::count(GlFn::Color3f), 1);
        EXPECT_EQ(recorder::count(GlFn::Rotatef), 0);
        for (const DrawnGroup& leaf : leaves) {
            EXPECT_EQ(leaf.mode, static_cast<GLenum>(GL_QUADS));
            ASSERT_EQ(leaf.vertices.size(), 4u);
            EXPECT_EQ(leaf.colour, kPicketRed);
            // Hinge edge first, bottom to top, then the free edge top to bottom.
            EXPECT_EQ(leaf.vertices[0].y, -9);
            EXPECT_EQ(leaf.vertices[1].y, 2);
            EXPECT_EQ(leaf.vertices[2].y, 2);
            EXPECT_EQ(leaf.vertices[3].y, -9);
            EXPECT_EQ(leaf.vertices[0].z, -119);
            EXPECT_EQ(leaf.vertices[0].x, leaf.vertices[1].x);
        }
    }
    EXPECT_EQ(groupsOf(drawWalkGate).size(), 1u);
    EXPECT_EQ(groupsOf(drawDriveGate).size(), 2u);
}

// Free-edge x of the walk leaf and the two drive leaves, and their z, for
// the offsets shut, at the start, and swung square to the fence.
TEST_F(FrontFence, LeavesShutAtTheStartAndSquare) {
    struct Case {
        float walkDX, walkDZ, driveDX, driveDZ;
        double walkX, walkZ, firstX, secondX, driveZ;
    };
    const Case cases[] = {
        {12.8f, 0, 24, 0, 26.8f, -119, -54, -54, -119},  // shut: fill the openings
        {12.8f, 0, 25, 0, 26.8f, -119, -53, -55, -119},  // start: overlap by 2
        {0, 12.8f, 0, 24, 14, -106.2f, -78, -30, -95},   // square to the fence
    };
    for (const Case& c : cases) {
        scene.walkGateLeafDX = c.walkDX;
        scene.walkGateLeafDZ = c.walkDZ;
        scene.driveGateLeafDX = c.driveDX;
        scene.driveGateLeafDZ = c.driveDZ;
        const std::vector<DrawnGroup> walk = groupsOf(drawWalkGate);
        const std::vector<DrawnGroup> drive = groupsOf(drawDriveGate);
        ASSERT_EQ(walk.size(), 1u);
        ASSERT_EQ(drive.size(), 2u);
        EXPECT_EQ(walk[0].vertices[0].x, 14);
        EXPECT_EQ(drive[0].vertices[0].x, -78);
        EXPECT_EQ(drive[1].vertices[0].x, -30);
        for (size_t free : {2u, 3u}) {
            EXPECT_EQ(walk[0].vertices[free].x, c.walkX);
            EXPECT_EQ(walk[0].vertices[free].z, c.walkZ);
            EXPECT_EQ(drive[0].vertices[free].x, c.firstX);
            EXPECT_EQ(drive[1].vertices[free].x, c.secondX);
            EXPECT_EQ(drive[0].vertices[free].z, c.driveZ);
            EXPECT_EQ(drive[1].vertices[free].z, c.driveZ);
        }
    }
}

// Every angle the keys can reach, opening all the way and closing again.
TEST_F(FrontFence, DriveLeavesMirrorEachOtherAtEveryKeyAngle) {
    int steps = 0;
    for (unsigned char key : {'o', 'c'}) {
        for (int press = 0; press < 60; ++press) {
            keyboard(key, 0, 0);
            const std::vector<DrawnGroup> drive = groupsOf(drawDriveGate);
            ASSERT_EQ(drive.size(), 2u);
            for (int v = 0; v < 4; ++v) {
                const Vec3& a = drive[0].vertices[v];
                const Vec3& b = drive[1].vertices[v];
                EXPECT_NEAR(a.x + 54, -54 - b.x, 2e-5) << "press " << steps;
                EXPECT_EQ(a.y, b.y);
                EXPECT_EQ(a.z, b.z);
                EXPECT_GE(a.z, -119);  // the leaves open into the plot
            }
            const double dx = drive[0].vertices[2].x + 78, dz = drive[0].vertices[2].z + 119;
            EXPECT_NEAR(std::hypot(dx, dz), 24, 1e-4);
            ++steps;
        }
    }
    EXPECT_GT(scene.driveGateLeafDZ, -1e-6f);
}

TEST_F(FrontFence, AGateKeyShowsInTheNextFrame) {
    const std::vector<DrawnGroup> before = groupsOf(drawGrounds);
    keyboard('x', 0, 0);
    keyboard('o', 0, 0);
    const std::vector<DrawnGroup> after = groupsOf(drawGrounds);
    ASSERT_EQ(before.size(), 3375u);
    ASSERT_EQ(after.size(), 3375u);
    const DrawnGroup& walkBefore = before[3372];
    const DrawnGroup& walkAfter = after[3372];
    EXPECT_EQ(walkAfter.vertices[0].x, walkBefore.vertices[0].x);  // hinge stays
    EXPECT_GT(walkAfter.vertices[2].z, walkBefore.vertices[2].z);
    EXPECT_EQ(walkAfter.vertices[2].z, static_cast<float>(-119.0 + scene.walkGateLeafDZ));
    for (size_t leaf : {3373u, 3374u}) {
        EXPECT_GT(after[leaf].vertices[2].z, before[leaf].vertices[2].z);
        EXPECT_EQ(after[leaf].vertices[2].z, static_cast<float>(-119.0 + scene.driveGateLeafDZ));
    }
}

}  // namespace
