// The headless snapshot tool against the real program in its window: both
// must show the same picture of the same view.
#include <gtest/gtest.h>

#include <iostream>

#include "e2e/probes.h"
#include "e2e/snapshot_picture.h"
#include "e2e/x_session.h"

namespace e2e {
namespace {

TEST(Snapshot, StartingViewAgreesWithTheRealWindow) {
    HouseSession house;
    const Picture window = house.capture();
    ScratchDirectory scratch;
    const Picture headless = snapshotPicture(scratch, "start.png", {"--size", "500x500"});
    ASSERT_EQ(headless.width(), window.width());
    ASSERT_EQ(headless.height(), window.height());

    const Camera start;
    std::vector<Probe> probes = houseFrontProbes();
    probes.push_back({"ground ahead of the fence", kGroundAheadOfFence, kGround});
    probes.push_back({"ground beside the driveway", kGroundBesideDriveway, kGround});
    probes.push_back({"shut walk gate", {20.4, -3.5, -119}, kGate});
    for (const Probe& probe : probes) {
        EXPECT_TRUE(showsColour(window, start, probe));
        EXPECT_TRUE(showsColour(headless, start, probe));
    }
    for (const int column : {2, 497}) {
        EXPECT_TRUE(near(window.at(column, 2), kSky, kCaptureSteps));
        EXPECT_TRUE(near(headless.at(column, 2), kSky, kCaptureSteps));
    }
    // Both use the same software rasteriser, so beyond the probes the two
    // pictures differ at most along a few edges.
    const long differing = compare(headless, window, kCaptureSteps).pixels;
    std::cout << "pixels differing between the window and the snapshot: " << differing << "\n";
    EXPECT_LT(differing, kSnapshotEdgePixels);
}

TEST(Snapshot, KeyedViewAgreesWithTheRealWindow) {
    // Gates open, the eye raised and turned: the same keys typed into the
    // window and replayed by the tool give the same picture.
    HouseSession house;
    const Picture start = house.capture();
    const char kView[] = "o*54 x*54 Up*10 Left*5";
    house.keys(kView);
    const Picture window = house.settleAfterChange(start);
    ScratchDirectory scratch;
    const Picture headless =
        snapshotPicture(scratch, "keyed.png", {"--keys", kView});
    ASSERT_EQ(headless.width(), window.width());
    ASSERT_EQ(headless.height(), window.height());
    Camera camera;
    camera.press(kView);
    EXPECT_TRUE(showsHouseFront(window, camera));
    EXPECT_TRUE(showsHouseFront(headless, camera));
    const long differing = compare(headless, window, kCaptureSteps).pixels;
    std::cout << "pixels differing between the window and the snapshot: " << differing << "\n";
    EXPECT_LT(differing, kSnapshotEdgePixels);
}

}  // namespace
}  // namespace e2e
