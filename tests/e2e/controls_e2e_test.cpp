// The keys, sent as real X key events to the running program, and what
// they do to the picture and the window.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cmath>
#include <tuple>

#include "e2e/probes.h"
#include "e2e/x_session.h"

namespace e2e {
namespace {

// Points in the two gate openings, in the plane of the pickets (z = -119),
// between the rails: only a shut gate leaf covers them there.
const std::vector<Probe> kDriveGateOpening = {
    {"drive opening, first leaf", {-60, -3.5, -119}, kGate},
    {"drive opening, left of the middle", {-56, -3.5, -119}, kGate},
    {"drive opening, right of the middle", {-52, -3.5, -119}, kGate},
    {"drive opening, second leaf", {-48, -3.5, -119}, kGate},
};
const std::vector<Probe> kWalkGateOpening = {
    {"walk opening near the hinge", {17, -3.5, -119}, kGate},
    {"walk opening, middle", {20.4, -3.5, -119}, kGate},
    {"walk opening near the free end", {23.8, -3.5, -119}, kGate},
};

// The drive-gate opening (x -78 to -30) lies partly outside the starting
// view; zoomed out by 40 steps the whole opening is in the window.
const int kZoomOutForDriveGate = 40;

void expectAll(const Picture& picture, const Camera& camera, const std::vector<Probe>& probes,
               bool shown) {
    for (const Probe& probe : probes)
        EXPECT_TRUE(shown ? showsColour(picture, camera, probe) : lacksColour(picture, camera, probe));
}

TEST(GateKeys, DriveGateSwingsInWithOAndBackWithC) {
    HouseSession house;
    Camera camera;
    const Picture start = house.capture();
    house.keys("-*" + std::to_string(kZoomOutForDriveGate));
    camera.press("-*" + std::to_string(kZoomOutForDriveGate));
    const Picture shut = house.settleAfterChange(start);
    expectAll(shut, camera, kDriveGateOpening, true);

    // 54 steps take the leaves to about 1.62 rad: square to the fence and a
    // little past, so the opening is clear at the fence line...
    house.keys("o*54");
    const Picture open = house.settleAfterChange(shut);
    expectAll(open, camera, kDriveGateOpening, false);
    // ...and the first leaf now stands inside the plot, from its hinge at
    // x = -78 towards z = -95 (a point 0.6 along it).
    const double angle = 54 * 0.03, along = 0.6 * 24;
    EXPECT_TRUE(showsColour(open, camera, {"first leaf swung in",
                                           {-78 + along * std::cos(angle), -3.5,
                                            -119 + along * std::sin(angle)},
                                           kGate}));

    // 53 steps back bring the gate to within one step of shut.
    house.keys("c*53");
    const Picture closed = house.settleAfterChange(open);
    expectAll(closed, camera, kDriveGateOpening, true);
}

TEST(GateKeys, WalkGateSwingsInWithXAndBackWithZ) {
    HouseSession house;
    const Camera camera;
    const Picture shut = house.capture();
    expectAll(shut, camera, kWalkGateOpening, true);
    house.keys("x*54");
    const Picture open = house.settleAfterChange(shut);
    expectAll(open, camera, kWalkGateOpening, false);
    house.keys("z*53");
    const Picture closed = house.settleAfterChange(open);
    expectAll(closed, camera, kWalkGateOpening, true);
}

TEST(ArrowKeys, OrbitTheEyeAsTheCameraArithmeticPredicts) {
    HouseSession house;
    Camera camera;
    Picture before = house.capture();
    // Left circles the eye towards +X, the viewer's left; the house front
    // stays in view for these few steps either way, and from higher up.
    for (const char* move : {"Left*4", "Right*8", "Up*5"}) {
        SCOPED_TRACE(move);
        house.keys(move);
        camera.press(move);
        const Picture after = house.settleAfterChange(before);
        EXPECT_GT(compare(after, before, kCaptureSteps).pixels, 500);
        EXPECT_TRUE(showsHouseFront(after, camera));
        before = after;
    }
    house.keys("Down*10");
    EXPECT_GT(compare(house.settleAfterChange(before), before, kCaptureSteps).pixels, 500);
}

TEST(ArrowKeys, AFullTurnComesBackToTheStartingPicture) {
    HouseSession house;
    const Picture start = house.capture();

    // Half a turn (45 x 0.07 = 3.15 rad) shows the back of the house.
    house.keys("Left*45");
    const Picture half = house.settleAfterChange(start);
    EXPECT_GT(compare(half, start, kCaptureSteps).pixels, start.width() * start.height() / 5);

    // 90 steps of 0.07 turn by 6.30 rad, 0.017 rad (1 degree) more than a
    // full circle, and never reach the wrap at 6.28 (the azimuth climbs from
    // -1.57 to 4.73). The eye ends 3.4 units beside its start: points near
    // the origin (the house) land within two pixels of their old place,
    // while the fence, 81 units ahead of the eye, shifts by about 13
    // pixels. So the picture above the fence must match within 2 pixels.
    house.keys("Left*45");
    const Picture full = house.settleAfterChange(half);
    Camera turned;
    turned.press("Left*90");
    EXPECT_TRUE(showsHouseFront(full, turned));
    const int fenceTop =
        project(Camera(), start.width(), start.height(), {0, 2, -119}).pixelRow();
    const long unmatched = full.unmatchedPixels(start, 2, 0, fenceTop - 4, kCaptureSteps);
    EXPECT_LT(unmatched, start.width() * fenceTop / 200) << "of " << start.width() * fenceTop;

    // Turning back the same number of steps returns to the start up to
    // rounding: the first arrow key places the eye by cos and sin of -1.57
    // (0.16 from its starting x of 0), so edges may move by up to a pixel.
    house.keys("Right*90");
    const Picture back = house.settleAfterChange(full);
    EXPECT_LT(back.unmatchedPixels(start, 1, 0, start.height() - 1, kCaptureSteps), 250);
}

struct Span {
    int width, height;
};

// The garage-door panel as measured through its middle, and as projected.
Span measuredGarageDoor(const Picture& picture, const Camera& camera) {
    const ScreenPoint middle = project(camera, picture.width(), picture.height(), kGarageDoor);
    return {picture.runThrough(middle.pixelColumn(), middle.pixelRow(), kDoor, true, kCaptureSteps),
            picture.runThrough(middle.pixelColumn(), middle.pixelRow(), kDoor, false, kCaptureSteps)};
}

Span projectedGarageDoor(const Picture& picture, const Camera& camera) {
    const auto at = [&](double x, double y) {
        return project(camera, picture.width(), picture.height(), {x, y, -10.4});
    };
    return {static_cast<int>(std::lround(std::fabs(at(-24, 2).column - at(-56, 2).column))),
            static_cast<int>(std::lround(std::fabs(at(-40, -8).row - at(-40, 12).row)))};
}

// The house's width along the row through the garage door's middle: from
// the +X end of the main block's front wall (x = 60, z = 10) to the -X end
// of the garage wing's front (x = -60, z = -10), both wall-coloured.
int measuredHouseWidth(const Picture& picture, const Camera& camera) {
    const int row = project(camera, picture.width(), picture.height(), kGarageDoor).pixelRow();
    const auto [first, last] = picture.extentInRow(row, kWall, kCaptureSteps);
    return first < 0 ? 0 : last - first + 1;
}

int projectedHouseWidth(const Picture& picture, const Camera& camera) {
    const double left = project(camera, picture.width(), picture.height(), {60, 2, 10}).column;
    const double right = project(camera, picture.width(), picture.height(), {-60, 2, -10}).column;
    return static_cast<int>(std::lround(right - left));
}

// The house's width in the picture, checked against its projection.
int houseWidth(const Picture& picture, const Camera& camera) {
    const int width = measuredHouseWidth(picture, camera);
    EXPECT_NEAR(width, projectedHouseWidth(picture, camera), 3);
    return width;
}

TEST(ZoomKeys, PlusAndMinusChangeTheApparentSizeOfTheHouse) {
    HouseSession house;
    Camera camera;
    Picture picture = house.capture();
    const int startWidth = houseWidth(picture, camera);

    // Ten steps in bring the eye from 200 to about 181 from the origin.
    house.keys("+*10");
    camera.press("+*10");
    picture = house.settleAfterChange(picture);
    EXPECT_GT(houseWidth(picture, camera), startWidth * 1.05);
    EXPECT_NEAR(measuredGarageDoor(picture, camera).width,
                projectedGarageDoor(picture, camera).width, 2);

    // Twenty steps out end about 221 away.
    house.keys("-*20");
    camera.press("-*20");
    picture = house.settleAfterChange(picture);
    EXPECT_LT(houseWidth(picture, camera), startWidth * 0.95);
}

TEST(Resize, WiderWindowKeepsTheProportions) {
    HouseSession house;
    const Camera camera;
    const Picture square = house.capture();
    const Span before = measuredGarageDoor(square, camera);
    EXPECT_NEAR(before.width, projectedGarageDoor(square, camera).width, 2);
    EXPECT_NEAR(before.height, projectedGarageDoor(square, camera).height, 2);

    house.resize(800, 400);
    const WindowGeometry g = house.waitForSize(800, 400);
    ASSERT_EQ(g.width, 800);
    ASSERT_EQ(g.height, 400);
    const Picture wide = house.settleAfterChange(square);
    ASSERT_EQ(wide.width(), 800);
    ASSERT_EQ(wide.height(), 400);

    // The vertical field of view stays 50 degrees, so everything shrinks
    // by 400/500 in both directions and nothing is stretched.
    const Span after = measuredGarageDoor(wide, camera);
    EXPECT_NEAR(after.width, projectedGarageDoor(wide, camera).width, 2);
    EXPECT_NEAR(after.height, projectedGarageDoor(wide, camera).height, 2);
    EXPECT_NEAR(double(after.width) / after.height, double(before.width) / before.height, 0.05);
    EXPECT_NEAR(after.height, before.height * 0.8, 2);
    EXPECT_TRUE(showsHouseFront(wide, camera));

    // "w" puts the window back to 500x500, where it shows what it did.
    house.keys("w");
    EXPECT_EQ(house.waitForSize(500, 500).width, 500);
    EXPECT_EQ(house.geometry().height, 500);
    EXPECT_LT(compare(house.settleAfterChange(wide), square, kCaptureSteps).pixels, 50);
}

// With no window manager, GLUT's full-screen request only resizes the
// window and leaves it partly off the screen; a window manager, as every
// desktop has, places it over the whole screen.
TEST(WindowKeys, FullScreenThenWindowEndsAt500x500) {
    for (const HouseSession::Desktop desktop :
         {HouseSession::Desktop::Bare, HouseSession::Desktop::Managed}) {
        const bool managed = desktop == HouseSession::Desktop::Managed;
        SCOPED_TRACE(managed ? "under a window manager" : "with no window manager");
        HouseSession house(HouseSession::Arguments::Normal, {}, desktop);
        const Picture start = house.capture();
        house.keys("f");
        WindowGeometry g = house.waitForSize(1280, 1024);
        EXPECT_EQ(g.width, 1280);
        EXPECT_EQ(g.height, 1024);
        if (managed) {
            EXPECT_EQ(g.x, 0);
            EXPECT_EQ(g.y, 0);
            EXPECT_TRUE(showsHouseFront(house.settleAfterChange(start), Camera()));
        }
        house.keys("w");
        g = house.waitForSize(500, 500);
        EXPECT_EQ(g.width, 500);
        EXPECT_EQ(g.height, 500);
        // Put the bare window back on the screen to read it whole.
        if (!managed) house.move(100, 100);
        const Picture after = house.settle();
        EXPECT_TRUE(showsHouseFront(after, Camera()));
        EXPECT_LT(compare(after, start, kCaptureSteps).pixels, 50);
    }
}

// After the user has resized the window, each of "w" and "f" takes effect
// on its first press.
TEST(WindowKeys, UnderAWindowManagerEachKeyActsOnItsFirstPress) {
    HouseSession house(HouseSession::Arguments::Normal, {}, HouseSession::Desktop::Managed);
    house.resize(700, 400);
    ASSERT_EQ(house.waitForSize(700, 400).width, 700);
    const std::vector<std::tuple<const char*, int, int>> presses = {
        {"w", 500, 500}, {"f", 1280, 1024}, {"w", 500, 500}};
    for (const auto& [key, width, height] : presses) {
        SCOPED_TRACE(key);
        house.keys(key);
        const WindowGeometry g = house.waitForSize(width, height, 5);
        EXPECT_EQ(g.width, width);
        EXPECT_EQ(g.height, height);
    }
}

// Escape ends the program itself; closing the window through the window
// manager ends it the way GLUT does, with status 0 as well.
TEST(QuitKey, EscapeOrClosingTheWindowEndsWithStatusZeroAndTheWindowGoes) {
    for (const bool escape : {true, false}) {
        SCOPED_TRACE(escape ? "Escape" : "closed through the window manager");
        HouseSession house(HouseSession::Arguments::Normal, {},
                           escape ? HouseSession::Desktop::Bare : HouseSession::Desktop::Managed);
        if (escape)
            house.pressOnly("Escape");
        else
            house.closeThroughWindowManager();
        const int status = house.process().waitForExit(20);
        ASSERT_NE(status, -1) << "still running";
        ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
        EXPECT_EQ(WEXITSTATUS(status), 0);
        EXPECT_FALSE(house.windowExists());
    }
}

TEST(QuitKey, NoOtherKeyEndsTheProgramOrChangesThePicture) {
    HouseSession house;
    const Picture start = house.capture();
    house.keys("Left");
    const Picture turned = house.settleAfterChange(start);
    house.keys("Right");
    const Picture back = house.settleAfterChange(turned);
    // Unbound keys: upper-case twins of the bound letters, "=" (the key that
    // carries "+"), control characters, function, editing and modifier keys.
    house.keys("a b d e q O C X Z F W = 1 0 enter tab space backspace delete F1 F2 F10 F12 "
               "Home End PageUp PageDown Insert");
    house.xKeys({"Shift_L", "Control_L", "Alt_L", "Menu", "ctrl+c", "ctrl+z", "ctrl+q", "ctrl+w",
                 "ctrl+d", "alt+F4", "ctrl+o", "super+q"});
    // Keys arrive in order: once the Left after them shows, all of the above
    // were handled. The picture must then be the one a Left alone gives.
    house.keys("Left");
    const Picture turnedAgain = house.settleAfterChange(back);
    EXPECT_TRUE(house.process().running()) << house.process().output();
    EXPECT_TRUE(house.windowExists());
    EXPECT_LT(compare(turnedAgain, turned, kCaptureSteps).pixels, 50) << "an unbound key changed the scene";
}

}  // namespace
}  // namespace e2e
