// The fence stamps, the side run and the enclosure, checked through what an
// independent reader can see: box extents, counts, the drifting cursor
// positions, and where the runs land once turned.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "drawn_groups.h"
#include "grounds/grounds.h"
#include "viewer/scene_state.h"

namespace {

const Colour kWhite = {1, 1, 1};
const Colour kRed = {0.7f, 0, 0};

// Five decimals, as the positions are quoted; far tighter than the 0.00014
// by which an unrounded cursor would differ.
const double kFiveDecimals = 5e-6;

struct Box {
    double x0, x1, y0, y1, z0, z1;
};

Box boundsOf(const std::vector<DrawnGroup>& groups, size_t first, size_t count, bool world) {
    Box b{1e300, -1e300, 1e300, -1e300, 1e300, -1e300};
    for (size_t g = first; g < first + count; ++g) {
        for (const Vec3& v : world ? groups[g].world : groups[g].vertices) {
            b.x0 = std::min(b.x0, v.x);
            b.x1 = std::max(b.x1, v.x);
            b.y0 = std::min(b.y0, v.y);
            b.y1 = std::max(b.y1, v.y);
            b.z0 = std::min(b.z0, v.z);
            b.z1 = std::max(b.z1, v.z);
        }
    }
    return b;
}

enum class Kind { Post, Board, Picket, Other };

// One stamp call as seen in the record: every stamp opens with its one
// colour change, so the groups between two glColor3f calls are one stamp.
struct Stamp {
    Kind kind;
    size_t first;  // index of its first group
    size_t count;
};

std::vector<Stamp> stampsIn(const std::vector<DrawnGroup>& groups) {
    std::vector<Stamp> stamps;
    size_t begun = 0;
    for (const GlCall& call : recorder::calls()) {
        if (call.fn == GlFn::Color3f) stamps.push_back(Stamp{Kind::Other, begun, 0});
        if (call.fn == GlFn::Begin) {
            ++begun;
            if (!stamps.empty()) ++stamps.back().count;
        }
    }
    for (Stamp& s : stamps) {
        const Box b = boundsOf(groups, s.first, s.count, false);
        const Colour c = groups[s.first].colour;
        if (s.count == 5 && c == kWhite && b.y0 == -10 && b.y1 == 2) s.kind = Kind::Post;
        if (s.count == 5 && c == kWhite && b.y0 == -10 && b.y1 == -9) s.kind = Kind::Board;
        if (s.count == 3 && c == kRed) s.kind = Kind::Picket;
    }
    return stamps;
}

int countKind(const std::vector<Stamp>& stamps, Kind kind) {
    return static_cast<int>(
        std::count_if(stamps.begin(), stamps.end(), [kind](const Stamp& s) { return s.kind == kind; }));
}

// A post's first vertex is the cursor itself; a board's and a picket's first
// vertex is the cursor plus 2.
std::vector<double> cursorsAt(const std::vector<DrawnGroup>& groups,
                              const std::vector<Stamp>& stamps, Kind kind) {
    std::vector<double> xs;
    for (const Stamp& s : stamps) {
        if (s.kind != kind) continue;
        const double x = groups[s.first].vertices[0].x;
        xs.push_back(kind == Kind::Post ? x : x - 2);
    }
    return xs;
}

std::vector<DrawnGroup> stampAtOrigin(void (*stamp)()) {
    scene.cursorX = 0;
    scene.cursorZ = 0;
    return groupsOf(stamp);
}

class Fence : public ::testing::Test {
protected:
    void TearDown() override { scene = kInitialScene; }
};

TEST_F(Fence, StampsAreBoxesAndAFlatPicketAtTheCursor) {
    std::vector<DrawnGroup> post = stampAtOrigin(drawPost);
    ASSERT_EQ(post.size(), 5u);
    EXPECT_EQ(recorder::count(GlFn::Color3f), 1);
    Box b = boundsOf(post, 0, 5, false);
    EXPECT_EQ(b.x0, 0);
    EXPECT_EQ(b.x1, 2);
    EXPECT_EQ(b.y0, -10);
    EXPECT_EQ(b.y1, 2);
    EXPECT_EQ(b.z0, 0);
    EXPECT_EQ(b.z1, 2);
    int tops = 0;
    for (const DrawnGroup& face : post) {
        EXPECT_EQ(face.mode, static_cast<GLenum>(GL_QUADS));
        ASSERT_EQ(face.vertices.size(), 4u);
        const Box f = boundsOf({face}, 0, 1, false);
        EXPECT_NE(f.y1, -10) << "a post has no bottom";
        if (f.y0 == f.y1) ++tops;
    }
    EXPECT_EQ(tops, 1);

    std::vector<DrawnGroup> board = stampAtOrigin(drawBaseBoard);
    ASSERT_EQ(board.size(), 5u);
    EXPECT_EQ(recorder::count(GlFn::Color3f), 1);
    b = boundsOf(board, 0, 5, false);
    EXPECT_EQ(b.x0, 2);
    EXPECT_EQ(b.x1, 40);
    EXPECT_EQ(b.y0, -10);
    EXPECT_EQ(b.y1, -9);
    EXPECT_EQ(b.z0, 0);
    EXPECT_EQ(b.z1, 2);
    for (const DrawnGroup& face : board) EXPECT_EQ(face.colour, kWhite);

    std::vector<DrawnGroup> picket = stampAtOrigin(drawPicket);
    ASSERT_EQ(picket.size(), 3u);
    EXPECT_EQ(recorder::count(GlFn::Color3f), 1);
    b = boundsOf(picket, 0, 3, false);
    EXPECT_EQ(b.z0, 1);
    EXPECT_EQ(b.z1, 1);
    const Box upright = boundsOf(picket, 2, 1, false);
    EXPECT_EQ(upright.x0, 2.4f);
    EXPECT_EQ(upright.x1, 2.8f);
    EXPECT_EQ(upright.y0, -9);
    EXPECT_EQ(upright.y1, 2);
    // Both rail pieces run from the post face at 2 up to the upright.
    for (size_t rail = 0; rail < 2; ++rail) {
        const Box r = boundsOf(picket, rail, 1, false);
        EXPECT_EQ(r.x0, 2);
        EXPECT_EQ(r.x1, upright.x0);
        EXPECT_EQ(r.y1 - r.y0, 0.5);
    }
    // The upper piece starts at its top edge, the lower at its bottom.
    EXPECT_EQ(picket[0].vertices[0].y, boundsOf(picket, 0, 1, false).y0);
    EXPECT_EQ(picket[1].vertices[0].y, boundsOf(picket, 1, 1, false).y1);
    for (const DrawnGroup& face : picket) EXPECT_EQ(face.colour, kRed);
}

TEST_F(Fence, StampsFollowTheCursorAndLeaveItAlone) {
    scene.cursorX = 37.25f;
    scene.cursorZ = -3.5f;
    scene.cursorY = 11;
    scene.cursorHeight = 13;
    const SceneState before = scene;
    for (void (*stamp)() : {drawPost, drawBaseBoard, drawPicket}) {
        const std::vector<DrawnGroup> moved = groupsOf(stamp);
        const std::vector<DrawnGroup> home = stampAtOrigin(stamp);
        scene = before;
        ASSERT_EQ(moved.size(), home.size());
        for (size_t g = 0; g < moved.size(); ++g)
            for (size_t v = 0; v < moved[g].vertices.size(); ++v) {
                EXPECT_NEAR(moved[g].vertices[v].x - home[g].vertices[v].x, 37.25, 1e-5);
                EXPECT_EQ(moved[g].vertices[v].y, home[g].vertices[v].y);
                EXPECT_EQ(moved[g].vertices[v].z - home[g].vertices[v].z, -3.5);
            }
        groupsOf(stamp);
        EXPECT_EQ(scene.cursorX, before.cursorX);
        EXPECT_EQ(scene.cursorY, before.cursorY);
        EXPECT_EQ(scene.cursorZ, before.cursorZ);
        EXPECT_EQ(scene.cursorHeight, before.cursorHeight);
    }
}

// The upright's offsets are doubles. At a cursor the side run really
// reaches, the cursor plus 2.4 and the cursor plus 2.4f round to different
// floats, and the fence uses the first.
TEST_F(Fence, UprightOffsetIsTheDoubleTwoPointFour) {
    const float cursor = -15.9998465f;
    const float withDouble = static_cast<float>(double{cursor} + 2.4);
    const float withFloat = static_cast<float>(double{cursor} + 2.4f);
    ASSERT_NE(withDouble, withFloat);
    scene.cursorX = cursor;
    scene.cursorZ = -120;
    const std::vector<DrawnGroup> picket = groupsOf(drawPicket);
    ASSERT_EQ(picket.size(), 3u);
    EXPECT_EQ(boundsOf(picket, 2, 1, false).x0, withDouble);
    EXPECT_EQ(boundsOf(picket, 0, 1, false).x1, withDouble);

    // And the side run does stop there.
    const std::vector<DrawnGroup> run = groupsOf(drawSideFence);
    const std::vector<double> pickets = cursorsAt(run, stampsIn(run), Kind::Picket);
    EXPECT_NE(std::find_if(pickets.begin(), pickets.end(),
                           [cursor](double x) { return std::fabs(x - cursor) < 1e-6; }),
              pickets.end());
}

TEST_F(Fence, SideRunCountsAndOrder) {
    const std::vector<DrawnGroup> groups = groupsOf(drawSideFence);
    EXPECT_EQ(groups.size(), 900u);
    for (const DrawnGroup& g : groups) {
        EXPECT_EQ(g.mode, static_cast<GLenum>(GL_QUADS));
        EXPECT_EQ(g.vertices.size(), 4u);
    }
    EXPECT_EQ(recorder::count(GlFn::Color3f), 288);
    EXPECT_EQ(recorder::count(GlFn::Rotatef), 0);
    const std::vector<Stamp> stamps = stampsIn(groups);
    ASSERT_EQ(stamps.size(), 288u);
    EXPECT_EQ(countKind(stamps, Kind::Post), 12);
    EXPECT_EQ(countKind(stamps, Kind::Board), 6);
    EXPECT_EQ(countKind(stamps, Kind::Picket), 270);
    // Each section: opening post, board, 45 pickets, closing post.
    for (size_t s = 0; s < stamps.size(); ++s) {
        const size_t at = s % 48;
        const Kind expected = at == 0 || at == 47 ? Kind::Post : at == 1 ? Kind::Board : Kind::Picket;
        EXPECT_EQ(stamps[s].kind, expected) << "stamp " << s;
    }
    // Every piece lies in the run's band, pickets in its middle.
    for (const DrawnGroup& g : groups)
        for (const Vec3& v : g.vertices) {
            EXPECT_GE(v.z, -120);
            EXPECT_LE(v.z, -118);
            if (g.colour == kRed) {
                EXPECT_EQ(v.z, -119);
            }
        }
}

TEST_F(Fence, SideRunDriftsWithTheFloatCursor) {
    const std::vector<DrawnGroup> groups = groupsOf(drawSideFence);
    const std::vector<Stamp> stamps = stampsIn(groups);
    const std::vector<double> posts = cursorsAt(groups, stamps, Kind::Post);
    const double expectedPosts[] = {-120,      -81.99986, -79.99986, -41.99982, -39.99982, -1.99984,
                                    0.00016,   38.00014,  40.00014,  78.00017,  80.00017,  118.00031};
    ASSERT_EQ(posts.size(), 12u);
    for (size_t i = 0; i < posts.size(); ++i) EXPECT_NEAR(posts[i], expectedPosts[i], kFiveDecimals);
    // A cursor kept exact (or rounded only at the end) would put it at -82.
    EXPECT_GT(std::fabs(posts[1] - -82.0), 1e-4);
    // The closing post is 2 past the cursor after the 45 pickets.
    EXPECT_NEAR(posts[1] - 2, -83.99986, kFiveDecimals);

    const std::vector<double> boards = cursorsAt(groups, stamps, Kind::Board);
    ASSERT_EQ(boards.size(), 6u);
    for (size_t i = 0; i < boards.size(); ++i) EXPECT_NEAR(boards[i], posts[2 * i], kFiveDecimals);

    // The last picket of section 0 stands 44 steps on.
    const std::vector<double> pickets = cursorsAt(groups, stamps, Kind::Picket);
    ASSERT_EQ(pickets.size(), 270u);
    EXPECT_NEAR(pickets[44], -84.79987, kFiveDecimals);

    EXPECT_NEAR(scene.cursorX, 120.00031, kFiveDecimals);
    EXPECT_EQ(scene.cursorZ, -120);
}

TEST_F(Fence, SideRunPiecesMeetEdgeToEdge) {
    const std::vector<DrawnGroup> groups = groupsOf(drawSideFence);
    const std::vector<Stamp> stamps = stampsIn(groups);
    std::vector<Box> posts;
    for (const Stamp& s : stamps)
        if (s.kind == Kind::Post) posts.push_back(boundsOf(groups, s.first, s.count, false));
    ASSERT_EQ(posts.size(), 12u);
    EXPECT_EQ(posts.front().x0, -120);
    EXPECT_NEAR(posts.back().x1, 120, 4e-4);
    // Where sections meet, the touching faces come from the same float sum.
    for (size_t i = 1; i + 1 < posts.size(); i += 2) EXPECT_EQ(posts[i].x1, posts[i + 1].x0);

    for (size_t section = 0; section < 6; ++section) {
        const size_t base = section * 48;
        const Box board = boundsOf(groups, stamps[base + 1].first, 5, false);
        const Box opening = posts[2 * section];
        const Box closing = posts[2 * section + 1];
        EXPECT_EQ(board.x0, opening.x1);
        // Runs into the closing post, short of its far face by the drift
        // the 45 picket steps gather.
        EXPECT_NEAR(board.x1, closing.x1, 2e-4);
        // Rails start at the opening post; each upright ends where the next
        // unit's rails begin; the last one ends at the closing post.
        const Box first = boundsOf(groups, stamps[base + 2].first, 1, false);
        EXPECT_EQ(first.x0, opening.x1);
        for (size_t p = 0; p + 1 < 45; ++p) {
            const Box upright = boundsOf(groups, stamps[base + 2 + p].first + 2, 1, false);
            const Box nextRail = boundsOf(groups, stamps[base + 3 + p].first, 1, false);
            EXPECT_NEAR(upright.x1, nextRail.x0, 2e-5);
        }
        const Box last = boundsOf(groups, stamps[base + 46].first + 2, 1, false);
        EXPECT_NEAR(last.x1, closing.x0, 1e-4);
    }
}

TEST_F(Fence, SideRunDoesNotDependOnTheCursorItFinds) {
    scene.cursorX = 1234.5f;
    scene.cursorZ = 77;
    groupsOf(drawSideFence);
    const std::vector<GlCall> first = recorder::calls();
    groupsOf(drawSideFence);
    const std::vector<GlCall> second = recorder::calls();
    ASSERT_EQ(first.size(), second.size());
    for (size_t i = 0; i < first.size(); ++i) {
        EXPECT_EQ(first[i].fn, second[i].fn);
        EXPECT_EQ(first[i].args, second[i].args) << recorder::describe(first[i]);
    }
}

TEST_F(Fence, EnclosureTurnsAFullCircleOnlyByQuarterTurns) {
    const std::vector<DrawnGroup> groups = groupsOf(drawGrounds);
    EXPECT_EQ(groups.size(), 3375u);
    EXPECT_EQ(recorder::count(GlFn::Rotatef), 4);
    for (const GlCall& call : recorder::calls()) {
        EXPECT_NE(call.fn, GlFn::LoadIdentity);
        if (call.fn == GlFn::Rotatef) {
            EXPECT_EQ(call.args, (std::vector<double>{90, 0, 1, 0}));
        }
    }
    EXPECT_TRUE(netRotation().isIdentity(1e-12));
    // The three side runs come first, each after its own turn, and the
    // fourth turn comes before the front run.
    int turns = 0, begun = 0;
    for (const GlCall& call : recorder::calls()) {
        if (call.fn == GlFn::Rotatef) {
            ++turns;
            EXPECT_EQ(begun, 900 * (turns - 1));
        }
        if (call.fn == GlFn::Begin) ++begun;
    }
    // The front run leaves its final cursor; the drive gate's red is in force.
    EXPECT_NEAR(scene.cursorX, 120.00028, kFiveDecimals);
    EXPECT_EQ(scene.cursorZ, -120);
    EXPECT_EQ(groups.back().colour, kRed);
}

TEST_F(Fence, SideRunsLandOnTheThreeOtherSides) {
    const std::vector<DrawnGroup> groups = groupsOf(drawGrounds);
    ASSERT_EQ(groups.size(), 3375u);
    struct Side {
        double Vec3::*across;  // the coordinate that is constant on the picket plane
        double plane;
        double Vec3::*along;
        double from, to;       // where the run starts and ends along the side
    };
    const Side sides[] = {
        {&Vec3::x, -119, &Vec3::z, 120, -120},
        {&Vec3::z, 119, &Vec3::x, 120, -120},
        {&Vec3::x, 119, &Vec3::z, -120, 120},
    };
    for (int run = 0; run < 3; ++run) {
        const Side& side = sides[run];
        for (size_t g = 900 * run; g < 900 * (run + 1u); ++g) {
            for (const Vec3& v : groups[g].world) {
                if (groups[g].colour == kRed) {
                    EXPECT_NEAR(v.*side.across, side.plane, 1e-9);
                }
                EXPECT_NEAR(std::fabs(v.*side.across), 119, 1 + 1e-9);
            }
        }
        const Vec3 firstPost = groups[900 * run].world[0];
        const Vec3 lastPostFar = groups[900 * run + 899].world[2];  // its top's far corner
        EXPECT_NEAR(firstPost.*side.along, side.from, 1e-9) << "run " << run;
        EXPECT_NEAR(lastPostFar.*side.along, side.to, 4e-4) << "run " << run;
    }
}

TEST_F(Fence, EveryCornerBoxIsDrawnTwice) {
    const std::vector<DrawnGroup> groups = groupsOf(drawGrounds);
    const std::vector<Stamp> stamps = stampsIn(groups);
    EXPECT_EQ(countKind(stamps, Kind::Post), 48);
    EXPECT_EQ(countKind(stamps, Kind::Board), 24);
    EXPECT_EQ(countKind(stamps, Kind::Picket), 1004);
    const double corners[][2] = {{-120, -120}, {-120, 118}, {118, 118}, {118, -120}};
    for (const auto& corner : corners) {
        int covering = 0;
        for (const Stamp& s : stamps) {
            if (s.kind != Kind::Post) continue;
            const Box b = boundsOf(groups, s.first, s.count, true);
            const double drift = 4e-4;
            if (std::fabs(b.x0 - corner[0]) < drift && std::fabs(b.x1 - (corner[0] + 2)) < drift &&
                std::fabs(b.z0 - corner[1]) < drift && std::fabs(b.z1 - (corner[1] + 2)) < drift)
                ++covering;
        }
        EXPECT_EQ(covering, 2) << "corner at " << corner[0] << ", " << corner[1];
    }
}

}  // namespace
