// What the unit tests of the scene share: a fixture that starts every test
// from the program's starting state with an empty record and leaves the
// state as it found it, a routine's groups, and bounds checked against
// expected ranges.
#ifndef HOUSE_TESTS_SCENE_TEST_H
#define HOUSE_TESTS_SCENE_TEST_H

#include <gtest/gtest.h>

#include <vector>

#include "call_readers/drawn_groups.h"
#include "recording/gl_recorder.h"
#include "viewer/scene_state.h"

class SceneTest : public ::testing::Test {
protected:
    void SetUp() override {
        scene = kInitialScene;
        recorder::clear();
    }
    void TearDown() override { scene = kInitialScene; }
};

// Runs `routine` on a cleared record and returns its groups; the record
// then holds its calls.
inline std::vector<DrawnGroup> groupsOf(void (*routine)()) {
    recorder::clear();
    routine();
    return drawnGroups(recorder::calls());
}

// Figures stated to five decimals (the fence's drifting cursor, say) are
// checked to within half of their last digit.
const double kFiveDecimals = 5e-6;

// Expected bounds, written as the x, y and z ranges in turn.
struct Box {
    double x0, x1, y0, y1, z0, z1;
};

inline void expectBox(const Bounds& b, const Box& expected, double tolerance = 0) {
    EXPECT_NEAR(b.lo.x, expected.x0, tolerance);
    EXPECT_NEAR(b.hi.x, expected.x1, tolerance);
    EXPECT_NEAR(b.lo.y, expected.y0, tolerance);
    EXPECT_NEAR(b.hi.y, expected.y1, tolerance);
    EXPECT_NEAR(b.lo.z, expected.z0, tolerance);
    EXPECT_NEAR(b.hi.z, expected.z1, tolerance);
}

#endif
