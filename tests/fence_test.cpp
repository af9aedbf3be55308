// The fence stamps, the side run and the enclosure, checked through what an
// independent reader can see: box extents, counts, the drifting cursor
// positions, and where the runs land once turned.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "call_readers/drawn_groups.h"
#include "call_readers/fence_stamps.h"
#include "grounds/grounds.h"
#include "scene_test.h"
#include "viewer/scene_state.h"

namespace {

// kFiveDecimals, as the positions are quoted, is far tighter than the
// 0.00014 by which an unrounded cursor would differ.
using Fence = SceneTest;

TEST_F(Fence, StampsAtTheOriginAndTheCursorUntouched) {
    scene.cursorX = 0;
    scene.cursorZ = 0;
    const SceneState before = scene;

    const std::vector<DrawnGroup> post = groupsOf(drawPost);
    ASSERT_EQ(post.size(), 5u);
    EXPECT_EQ(recorder::count(GlFn::Color3f), 1);
    expectBox(boundsOf(post, 0, 5), {0, 2, -10, 2, 0, 2});
    for (size_t f = 0; f < 5; ++f) {
        const Bounds face = boundsOf(post, f, 1);
        EXPECT_NE(face.hi.y, -10) << "a post has no bottom";
        EXPECT_EQ(face.lo.y == face.hi.y, f == 4) << "one top, drawn last";
    }

    const std::vector<DrawnGroup> board = groupsOf(drawBaseBoard);
    ASSERT_EQ(board.size(), 5u);
    EXPECT_EQ(recorder::count(GlFn::Color3f), 1);
    expectBox(boundsOf(board, 0, 5), {2, 40, -10, -9, 0, 2});

    const std::vector<DrawnGroup> picket = groupsOf(drawPicket);
    ASSERT_EQ(picket.size(), 3u);
    EXPECT_EQ(recorder::count(GlFn::Color3f), 1);
    expectBox(boundsOf(picket, 2, 1), {2.4f, 2.8f, -9, 2, 1, 1});
    // Both rail pieces run from the post face at 2 up to the upright, the
    // lower one wound from its bottom edge, the upper from its top.
    expectBox(boundsOf(picket, 0, 1), {2, 2.4f, -7, -6.5, 1, 1});
    expectBox(boundsOf(picket, 1, 1), {2, 2.4f, -1.5, -1, 1, 1});
    EXPECT_EQ(picket[0].vertices[0].y, -7);
    EXPECT_EQ(picket[1].vertices[0].y, -1);

    for (const auto* groups : {&post, &board, &picket})
        for (const DrawnGroup& g : *groups) {
            EXPECT_EQ(g.mode, static_cast<GLenum>(GL_QUADS));
            EXPECT_EQ(g.vertices.size(), 4u);
            EXPECT_EQ(g.colour, groups == &picket ? kPicketRed : kFenceWhite);
        }
    EXPECT_EQ(scene.cursorX, before.cursorX);
    EXPECT_EQ(scene.cursorZ, before.cursorZ);
}

// The upright's offsets are doubles. At a cursor the side run really
// reaches, the cursor plus 2.4 and the cursor plus 2.4f round to different
// floats, and the fence uses the first.
TEST_F(Fence, UprightOffsetIsTheDoubleTwoPointFour) {
    const float cursor = -15.9998465f;
    const float withDouble = static_cast<float>(double{cursor} + 2.4);
    ASSERT_NE(withDouble, static_cast<float>(double{cursor} + 2.4f));
    groupsOf(drawSideFence);
    const std::vector<double> pickets = cursorsAt(recorder::calls(), StampKind::Picket);
    EXPECT_TRUE(std::any_of(pickets.begin(), pickets.end(),
                            [cursor](double x) { return std::fabs(x - cursor) < 1e-6; }));

    scene.cursorX = cursor;
    const std::vector<DrawnGroup> picket = groupsOf(drawPicket);
    EXPECT_EQ(boundsOf(picket, 2, 1).lo.x, withDouble);
    EXPECT_EQ(boundsOf(picket, 0, 1).hi.x, withDouble);
}

TEST_F(Fence, SideRunCountsAndOrder) {
    const std::vector<DrawnGroup> groups = groupsOf(drawSideFence);
    EXPECT_EQ(groups.size(), 900u);
    EXPECT_EQ(recorder::count(GlFn::Color3f), 288);
    EXPECT_EQ(recorder::count(GlFn::Rotatef), 0);
    const std::vector<Stamp> stamps = stampsIn(recorder::calls());
    ASSERT_EQ(stamps.size(), 288u);
    EXPECT_EQ(countStamps(stamps, StampKind::Post), 12);
    EXPECT_EQ(countStamps(stamps, StampKind::Board), 6);
    EXPECT_EQ(countStamps(stamps, StampKind::Picket), 270);
    // Each section: opening post, board, 45 pickets, closing post.
    for (size_t s = 0; s < stamps.size(); ++s) {
        const size_t at = s % 48;
        const StampKind expected = at == 0 || at == 47 ? StampKind::Post : at == 1 ? StampKind::Board : StampKind::Picket;
        EXPECT_EQ(stamps[s].kind, expected) << "stamp " << s;
    }
    const Bounds run = boundsOf(groups, 0, 900);
    EXPECT_EQ(run.lo.x, -120);
    EXPECT_NEAR(run.hi.x, 120.00031, kFiveDecimals);
    EXPECT_EQ(run.lo.y, -10);
    EXPECT_EQ(run.hi.y, 2);
    EXPECT_EQ(run.lo.z, -120);
    EXPECT_EQ(run.hi.z, -118);
}

TEST_F(Fence, SideRunDriftsWithTheFloatCursor) {
    scene.cursorX = 1234.5f;  // whatever the cursor held, the run sets it
    const std::vector<DrawnGroup> groups = groupsOf(drawSideFence);
    const std::vector<double> posts = cursorsAt(recorder::calls(), StampKind::Post);
    const double expectedPosts[] = {-120,      -81.99986, -79.99986, -41.99982, -39.99982, -1.99984,
                                    0.00016,   38.00014,  40.00014,  78.00017,  80.00017,  118.00031};
    ASSERT_EQ(posts.size(), 12u);
    for (size_t i = 0; i < posts.size(); ++i) EXPECT_NEAR(posts[i], expectedPosts[i], kFiveDecimals);
    // A cursor kept exact (or rounded only at the end) would put it at -82.
    EXPECT_GT(std::fabs(posts[1] - -82.0), 1e-4);
    // The closing post is 2 past the cursor after the 45 pickets.
    EXPECT_NEAR(posts[1] - 2, -83.99986, kFiveDecimals);
    // Where sections meet, the touching faces come from the same float sum.
    for (size_t i = 1; i + 1 < posts.size(); i += 2)
        EXPECT_EQ(static_cast<float>(posts[i] + 2), posts[i + 1]);

    const std::vector<double> boards = cursorsAt(recorder::calls(), StampKind::Board);
    ASSERT_EQ(boards.size(), 6u);
    for (size_t i = 0; i < boards.size(); ++i) EXPECT_NEAR(boards[i], posts[2 * i], kFiveDecimals);
    const std::vector<double> pickets = cursorsAt(recorder::calls(), StampKind::Picket);
    ASSERT_EQ(pickets.size(), 270u);
    EXPECT_NEAR(pickets[44], -84.79987, kFiveDecimals);  // 44 steps into section 0

    EXPECT_NEAR(scene.cursorX, 120.00031, kFiveDecimals);
    EXPECT_EQ(scene.cursorZ, -120);

    // A second call emits exactly the same.
    const std::vector<GlCall> first = recorder::calls();
    groupsOf(drawSideFence);
    ASSERT_EQ(recorder::calls().size(), first.size());
    for (size_t i = 0; i < first.size(); ++i) EXPECT_EQ(recorder::calls()[i].args, first[i].args);
}

// Rails start at the opening post, each upright ends where the next unit's
// rails begin, and the last upright and the board end at the closing post,
// all up to the drift one section gathers.
TEST_F(Fence, SectionPiecesMeetEdgeToEdge) {
    const std::vector<DrawnGroup> groups = groupsOf(drawSideFence);
    const std::vector<Stamp> stamps = stampsIn(recorder::calls());
    ASSERT_EQ(stamps.size(), 288u);
    for (size_t base = 0; base < stamps.size(); base += 48) {
        const Bounds opening = boundsOf(groups, stamps[base].first, 5);
        const Bounds closing = boundsOf(groups, stamps[base + 47].first, 5);
        EXPECT_EQ(boundsOf(groups, stamps[base + 1].first, 5).lo.x, opening.hi.x);
        EXPECT_NEAR(boundsOf(groups, stamps[base + 1].first, 5).hi.x, closing.hi.x, 2e-4);
        EXPECT_EQ(boundsOf(groups, stamps[base + 2].first, 1).lo.x, opening.hi.x);
        for (size_t p = base + 2; p + 1 < base + 47; ++p)
            EXPECT_NEAR(boundsOf(groups, stamps[p].first + 2, 1).hi.x,
                        boundsOf(groups, stamps[p + 1].first, 1).lo.x, 2e-5);
        EXPECT_NEAR(boundsOf(groups, stamps[base + 46].first + 2, 1).hi.x, closing.lo.x, 1e-4);
    }
}

TEST_F(Fence, EnclosureTurnsAFullCircleOnlyByQuarterTurns) {
    const std::vector<DrawnGroup> groups = groupsOf(drawGrounds);
    EXPECT_EQ(groups.size(), 3375u);
    EXPECT_EQ(recorder::count(GlFn::Rotatef), 4);
    EXPECT_EQ(recorder::count(GlFn::LoadIdentity), 0);
    EXPECT_TRUE(netRotation(recorder::calls()).isIdentity(1e-12));
    // Each side run after its own turn; the fourth turn before the front run.
    int turns = 0, begun = 0;
    for (const GlCall& call : recorder::calls()) {
        if (call.fn == GlFn::Rotatef) {
            EXPECT_EQ(call.args, (std::vector<double>{90, 0, 1, 0}));
            EXPECT_EQ(begun, 900 * turns++);
        }
        if (call.fn == GlFn::Begin) ++begun;
    }
    // The front run leaves its final cursor; the drive gate's red is in force.
    EXPECT_NEAR(scene.cursorX, 120.00028, kFiveDecimals);
    EXPECT_EQ(scene.cursorZ, -120);
    EXPECT_EQ(groups.back().colour, kPicketRed);
}

TEST_F(Fence, SideRunsLandOnTheThreeOtherSides) {
    const std::vector<DrawnGroup> groups = groupsOf(drawGrounds);
    ASSERT_EQ(groups.size(), 3375u);
    struct Side {
        double Vec3::*across;  // constant on the picket plane
        double plane;
        double Vec3::*along;
        double from, to;
    };
    const Side sides[] = {
        {&Vec3::x, -119, &Vec3::z, 120, -120},
        {&Vec3::z, 119, &Vec3::x, 120, -120},
        {&Vec3::x, 119, &Vec3::z, -120, 120},
    };
    for (size_t run = 0; run < 3; ++run) {
        const Side& side = sides[run];
        for (size_t g = 900 * run; g < 900 * (run + 1); ++g)
            for (const Vec3& v : groups[g].world) {
                // Pickets in the plane, posts and boards in the band round it.
                const double tolerance = groups[g].colour == kPicketRed ? 1e-9 : 1 + 1e-9;
                EXPECT_NEAR(v.*side.across, side.plane, tolerance);
            }
        EXPECT_NEAR(groups[900 * run].world[0].*side.along, side.from, 1e-9) << run;
        EXPECT_NEAR(groups[900 * run + 899].world[2].*side.along, side.to, 4e-4) << run;
    }
}

TEST_F(Fence, EveryCornerBoxIsDrawnTwice) {
    const std::vector<DrawnGroup> groups = groupsOf(drawGrounds);
    const std::vector<Stamp> stamps = stampsIn(recorder::calls());
    EXPECT_EQ(countStamps(stamps, StampKind::Post), 48);
    EXPECT_EQ(countStamps(stamps, StampKind::Board), 24);
    EXPECT_EQ(countStamps(stamps, StampKind::Picket), 1004);
    const double drift = 4e-4;
    for (double cx : {-120.0, 118.0})
        for (double cz : {-120.0, 118.0}) {
            int covering = 0;
            for (const Stamp& s : stamps) {
                const Bounds b = boundsOf(groups, s.first, s.count, true);
                if (s.kind == StampKind::Post && std::fabs(b.lo.x - cx) < drift && std::fabs(b.hi.x - cx - 2) < drift &&
                    std::fabs(b.lo.z - cz) < drift && std::fabs(b.hi.z - cz - 2) < drift)
                    ++covering;
            }
            EXPECT_EQ(covering, 2) << "corner at " << cx << ", " << cz;
        }
}

}  // namespace
