// house.exe, the one in the zip, under Wine on a private Xvfb: its window,
// its icon, its pictures against house-snapshot's for the same keys, and
// Escape. Skipped, saying why, where there is no freeglut source to build
// house.exe from.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "e2e/snapshot_picture.h"
#include "e2e/x_session.h"
#include "support/build_paths.h"

namespace e2e {
namespace {

// Wine draws the window's frame itself, so the picture's corner lands a few
// pixels right of and below the place the program asks for.
const int kFramePixels = 40;

// Typed one after another into the window; after each, the window must show
// what house-snapshot draws for all the keys so far. A shifted character is
// typed as Shift and its key: the events xdotool sends to a window carry
// Shift only in their state, which Wine does not read (a person's Shift is
// a key press of its own, which it does).
struct KeyRun {
    const char* sequence;  // in the key language
    const char* shifted;   // or null: the X key name that types it
    int presses;
};
const KeyRun kKeyRuns[] = {
    {"Left*3", nullptr, 0},
    {"Right*7 Up*4", nullptr, 0},
    {"o*20", nullptr, 0},
    {"+*10", "shift+equal", 10},
};

bool exists(const char* path) {
    struct stat info;
    return stat(path, &info) == 0;
}

void expectLikeSnapshot(const Picture& window, const Picture& headless, const std::string& view) {
    ASSERT_EQ(window.width(), headless.width());
    ASSERT_EQ(window.height(), headless.height());
    const long differing = compare(window, headless, kCaptureSteps).pixels;
    std::cout << view << ": " << differing
              << " pixels differ between house.exe under Wine and the snapshot\n";
    EXPECT_LT(differing, kSnapshotEdgePixels) << view;
}

TEST(WindowsProgram, UnderWineDrawsWhatTheSnapshotDrawsAndEndsOnEscape) {
    // CTest gives the archive's place and Wine's settings in the
    // environment, which the program inherits.
    const char* archive = std::getenv("HOUSE_FREEGLUT_ARCHIVE");
    ASSERT_NE(archive, nullptr) << "HOUSE_FREEGLUT_ARCHIVE is not set";
    if (!exists(archive)) {
        GTEST_SKIP() << "SKIPPED: no freeglut source at " << archive
                     << " (the Windows build has no network to fetch it): put freeglut's 3.8.0"
                     << " release archive there, then run ctest -L windows";
    }
    // A Wine session's desktop takes the display of the program that
    // started it: one an earlier test left behind would have another, or
    // none. The tests take turns with the prefix (CTest's lock wine_prefix).
    runCommand({"wineserver", "-k"}, "");
    HouseSession house("wine", {"wine", kWindowsProgram}, {});
    const WindowGeometry window = house.geometry();
    EXPECT_EQ(window.width, kWindowWidth);
    EXPECT_EQ(window.height, kWindowHeight);
    EXPECT_NEAR(window.x, kWindowLeft, kFramePixels);
    EXPECT_NEAR(window.y, kWindowTop, kFramePixels);
    EXPECT_EQ(house.title(), kWindowTitle);
    // freeglut hands its window the executable's icon (GLUT_ICON), which
    // Wine passes on to X; without it the window would show Wine's own.
    EXPECT_NE(house.windowProperty("_NET_WM_ICON").find("Icon (32 x 32)"), std::string::npos);

    ScratchDirectory scratch;
    Picture shown = house.capture();
    expectLikeSnapshot(shown, snapshotPicture(scratch, "start.png", {}), "first frame");
    std::string typed;
    for (const KeyRun& run : kKeyRuns) {
        if (run.shifted) {
            house.xKeys(std::vector<std::string>(run.presses, run.shifted));
        } else {
            house.keys(run.sequence);
        }
        shown = house.settleAfterChange(shown);
        typed += (typed.empty() ? "" : " ") + std::string(run.sequence);
        expectLikeSnapshot(shown, snapshotPicture(scratch, "keyed.png", {"--keys", typed}),
                           "after " + typed);
    }

    house.pressOnly("Escape");
    const int status = house.process().waitForExit(20);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
}

}  // namespace
}  // namespace e2e
