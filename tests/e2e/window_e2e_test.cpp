// The window as the X server sees it, and the first frame in it.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>

#include "e2e/probes.h"
#include "e2e/x_session.h"
#include "support/build_paths.h"

namespace e2e {
namespace {

TEST(Window, OpensAt100x100WithSize500x500AndItsOwnTitle) {
    HouseSession house;
    const WindowGeometry g = house.geometry();
    // Xvfb runs no window manager, so the requested place is kept exactly.
    EXPECT_EQ(g.x, 100);
    EXPECT_EQ(g.y, 100);
    EXPECT_EQ(g.width, 500);
    EXPECT_EQ(g.height, 500);
    const std::string title = house.title();
    EXPECT_EQ(title, kWindowTitle);
    EXPECT_EQ(title.find(kHouseProgram), std::string::npos) << "the title shows the program path";
}

TEST(Window, FirstFrameShowsSkyGroundAndTheHouseFront) {
    HouseSession house;
    const Picture picture = house.capture();
    const Camera start;
    ASSERT_EQ(picture.width(), 500);
    ASSERT_EQ(picture.height(), 500);
    for (const int column : {2, 497})
        EXPECT_TRUE(near(picture.at(column, 2), kSky, kCaptureSteps)) << picture.at(column, 2);
    EXPECT_TRUE(showsColour(picture, start, {"ground ahead of the fence", kGroundAheadOfFence, kGround}));
    EXPECT_TRUE(showsColour(picture, start, {"ground beside the driveway", kGroundBesideDriveway, kGround}));
    for (const Probe& probe : houseFrontProbes())
        EXPECT_TRUE(showsColour(picture, start, probe));

    // From the starting eye, +X points to the viewer's left: the front door
    // (x 14 to 26) stands left of the centre line, the garage door right of it.
    const int middle = picture.width() / 2;
    EXPECT_LT(project(start, 500, 500, kFrontDoor).column, middle - 20);
    EXPECT_GT(project(start, 500, 500, kGarageDoor).column, middle + 20);
    // ...and the door colour is really there, not mirrored: the places
    // mirrored about the centre line show something else.
    for (const WorldPoint& door : {kFrontDoor, kGarageDoor}) {
        const ScreenPoint at = project(start, 500, 500, door);
        const Pixel mirrored = picture.at(picture.width() - 1 - at.pixelColumn(), at.pixelRow());
        EXPECT_FALSE(near(mirrored, kDoor, kCaptureSteps)) << mirrored;
    }
}

TEST(Window, EmptyArgumentVectorStillOpensTheTitledWindow) {
    // The program is started with argv = {NULL}. Recent Linux kernels hand
    // such a program a single empty argument instead; either way it must
    // open its window without crashing.
    HouseSession house(HouseSession::Arguments::Empty);
    EXPECT_EQ(house.title(), kWindowTitle);
    EXPECT_TRUE(showsHouseFront(house.capture(), Camera()));
    EXPECT_TRUE(house.process().running()) << house.process().output();
    house.pressOnly("Escape");
    const int status = house.process().waitForExit(20);
    ASSERT_NE(status, -1) << "still running after Escape";
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

TEST(Window, UnreachableDisplayEndsWithGlutsMessageNotACrash) {
    const std::string display = ":999";
    struct stat socket;
    if (stat("/tmp/.X11-unix/X999", &socket) == 0) GTEST_SKIP() << "display :999 exists here";
    for (const bool emptyArguments : {false, true}) {
        SCOPED_TRACE(emptyArguments ? "empty argument vector" : "normal argument vector");
        ChildProcess house(kHouseProgram,
                           emptyArguments ? std::vector<std::string>{}
                                          : std::vector<std::string>{kHouseProgram},
                           environmentWithDisplay(display));
        const int status = house.waitForExit(30);
        ASSERT_NE(status, -1) << "still running without a display";
        EXPECT_FALSE(WIFSIGNALED(status)) << "ended by signal " << WTERMSIG(status);
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_NE(WEXITSTATUS(status), 0);
        const std::string message = house.output();
        EXPECT_NE(message.find("display"), std::string::npos) << message;
        EXPECT_NE(message.find(display), std::string::npos) << message;
    }
}

}  // namespace
}  // namespace e2e
