// The window stamps and their placing routine: where the seven windows land
// after the quarter turn, how they sit on their walls, and which bars show.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "call_readers/drawn_groups.h"
#include "house/house.h"
#include "scene_test.h"
#include "viewer/scene_state.h"

namespace {

bool insideHousePlan(double x, double z) {
    return (x > -60 && x < 60 && z > 10 && z < 70) || (x > -60 && x < -20 && z > -10 && z <= 10);
}

using WindowsTest = SceneTest;

TEST_F(WindowsTest, StampsAreBlackBarsThenAGreyPaneInTheCursorPlane) {
    struct Stamp {
        void (*draw)();
        size_t bars;
        double width, bottom;
    } stamps[] = {{drawWindow, 4, 10, 0}, {drawHalfWindow, 4, 10, 6}, {drawWideWindow, 5, 25, 0}};
    for (const Stamp& s : stamps) {
        scene.cursorX = 3.5f;
        scene.cursorY = 30.0f;  // stamps must not read these two
        scene.cursorHeight = 7.0f;
        scene.cursorZ = -4.0f;
        const SceneState before = scene;
        const std::vector<DrawnGroup> groups = groupsOf(s.draw);
        ASSERT_EQ(groups.size(), s.bars + 1);
        EXPECT_EQ(recorder::count(GlFn::Color3f), 2);
        EXPECT_EQ(recorder::calls().front().fn, GlFn::Color3f);
        EXPECT_EQ(std::memcmp(&scene, &before, sizeof scene), 0);

        const Bounds all = boundsOf(groups, 0, groups.size(), true);
        EXPECT_EQ(all.lo.x, 3.5);
        EXPECT_EQ(all.size().x, s.width);
        EXPECT_EQ(all.lo.y, s.bottom);
        EXPECT_EQ(all.hi.y, 12);
        EXPECT_EQ(all.size().z, 0);
        EXPECT_EQ(all.lo.z, -4);
        int vertical = 0;
        for (size_t i = 0; i < s.bars; ++i) {
            EXPECT_EQ(groups[i].colour, kBlack);
            EXPECT_EQ(groups[i].mode, static_cast<GLenum>(GL_QUADS));
            const Bounds bar = boundsOf(groups, i, 1, true);
            // Every bar is 0.5 across; the upright ones run the full height.
            EXPECT_TRUE(bar.size().x == 0.5 || bar.size().y == 0.5) << "bar " << i;
            if (bar.size().x == 0.5) {
                EXPECT_EQ(bar.size().y, all.size().y);
                ++vertical;
            }
        }
        EXPECT_EQ(vertical, static_cast<int>(s.bars) - 2);
        EXPECT_EQ(groups.back().colour, kPaneGrey);
        const Bounds pane = boundsOf(groups, s.bars, 1, true);
        EXPECT_EQ(pane.lo.y, all.lo.y + 0.5);
        EXPECT_EQ(pane.hi.y, all.hi.y - 0.5);
    }
}

TEST_F(WindowsTest, FullAndHalfPanesMeetTheBarsEdgeToEdge) {
    for (void (*draw)() : {drawWindow, drawHalfWindow}) {
        const std::vector<DrawnGroup> groups = groupsOf(draw);
        const Bounds pane = boundsOf(groups, 4, 1, true);
        EXPECT_EQ(pane.lo.x, boundsOf(groups, 2, 1, true).hi.x);  // start side bar
        EXPECT_EQ(pane.hi.x, boundsOf(groups, 3, 1, true).lo.x);  // end side bar
        EXPECT_EQ(pane.hi.y, boundsOf(groups, 0, 1, true).lo.y);  // top bar
        EXPECT_EQ(pane.lo.y, boundsOf(groups, 1, 1, true).hi.y);  // bottom bar
    }
}

TEST_F(WindowsTest, WideWindowBarsAreDrawnBeforeThePaneThatCoversThem) {
    const std::vector<DrawnGroup> groups = groupsOf(drawWideWindow);
    const Bounds pane = boundsOf(groups, 5, 1, true);
    EXPECT_EQ(groups[5].colour, kPaneGrey);
    // The pane spans the whole width, so it overlaps all three uprights; at
    // equal depth the earlier black bars keep their pixels.
    for (size_t i = 2; i < 5; ++i) {
        const Bounds bar = boundsOf(groups, i, 1, true);
        EXPECT_EQ(bar.size().x, 0.5);
        EXPECT_LE(pane.lo.x, bar.lo.x);
        EXPECT_GE(pane.hi.x, bar.hi.x);
    }
    // Two lights: 9 and 14.5 wide between the uprights.
    EXPECT_EQ(boundsOf(groups, 3, 1, true).lo.x - boundsOf(groups, 2, 1, true).hi.x, 9);
    EXPECT_EQ(boundsOf(groups, 4, 1, true).lo.x - boundsOf(groups, 3, 1, true).hi.x, 14.5);
}

TEST_F(WindowsTest, SevenWindowsLandOnTheirWallsAfterTheQuarterTurn) {
    scene.cursorY = 30.0f;
    scene.cursorHeight = 7.0f;
    const std::vector<DrawnGroup> groups = groupsOf(drawWindows);
    struct Landing {
        size_t groups;
        Box box;
    } landings[] = {
        {5, {40, 50, 0, 12, 9.5, 9.5}},       {5, {-10, 0, 0, 12, 9.5, 9.5}},
        {5, {42, 52, 0, 12, 70.5, 70.5}},     {6, {-10, 15, 0, 12, 70.5, 70.5}},
        {6, {60.5, 60.5, 0, 12, 37, 62}},     {5, {-60.5, -60.5, 0, 12, 52, 62}},
        {5, {-60.5, -60.5, 6, 12, 15, 25}},
    };
    const std::vector<DrawnGroup> shell = groupsOf(drawShell);
    const std::vector<DrawnGroup> walls(shell.begin() + 1, shell.begin() + 7);

    size_t first = 0;
    for (const Landing& w : landings) {
        const Bounds box = boundsOf(groups, first, w.groups, true);
        SCOPED_TRACE("window starting at group " + std::to_string(first));
        expectBox(box, w.box, 1e-9);

        // Exactly one wall lies parallel, 0.5 behind it, and holds it; the
        // window is on the outside of the plan.
        double Vec3::*const flat = box.size().x < 1e-9 ? &Vec3::x : &Vec3::z;
        double Vec3::*const along = flat == &Vec3::x ? &Vec3::z : &Vec3::x;
        int carriers = 0;
        for (const DrawnGroup& wall : walls) {
            const Bounds wb = boundsOf(wall, true);
            if (wb.size().*flat != 0 || std::abs(std::abs(wb.lo.*flat - box.lo.*flat) - 0.5) > 1e-9) continue;
            if (box.lo.*along < wb.lo.*along - 1e-9 || box.hi.*along > wb.hi.*along + 1e-9) continue;
            EXPECT_LT(box.hi.y, wb.hi.y);
            ++carriers;
        }
        EXPECT_EQ(carriers, 1);
        EXPECT_FALSE(insideHousePlan((box.lo.x + box.hi.x) / 2, (box.lo.z + box.hi.z) / 2));
        first += w.groups;
    }
    EXPECT_EQ(first, groups.size());
}

TEST_F(WindowsTest, TurnsBackAndLeavesTheLastCursor) {
    scene.cursorY = 30.0f;
    scene.cursorHeight = 7.0f;
    groupsOf(drawWindows);
    EXPECT_TRUE(netRotation(recorder::calls()).isIdentity(1e-12));
    std::vector<size_t> turns;
    const std::vector<GlCall>& calls = recorder::calls();
    for (size_t i = 0; i < calls.size(); ++i)
        if (calls[i].fn == GlFn::Rotatef) turns.push_back(i);
    ASSERT_EQ(turns.size(), 2u);
    EXPECT_EQ(calls[turns[0]].args, (std::vector<double>{90, 0, 1, 0}));
    EXPECT_EQ(calls[turns[1]].args, (std::vector<double>{-90, 0, 1, 0}));
    EXPECT_EQ(turns[1], calls.size() - 1);
    // The first turn comes after the four windows of the front and back walls.
    int groupsBefore = 0;
    for (size_t i = 0; i < turns[0]; ++i) groupsBefore += calls[i].fn == GlFn::Begin;
    EXPECT_EQ(groupsBefore, 5 + 5 + 5 + 6);

    EXPECT_EQ(scene.cursorX, -25);
    EXPECT_EQ(scene.cursorZ, -60.5);
    EXPECT_EQ(scene.cursorY, 30);
    EXPECT_EQ(scene.cursorHeight, 7);
}

}  // namespace
