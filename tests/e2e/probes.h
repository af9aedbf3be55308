// Probe points of the scene: world points well inside flat surfaces, away
// from their edges, and the check that a captured picture shows the expected
// colour where such a point projects.
#ifndef HOUSE_TESTS_E2E_PROBES_H
#define HOUSE_TESTS_E2E_PROBES_H

#include <gtest/gtest.h>

#include <string>

#include "e2e/view_model.h"
#include "scene_colours.h"
#include "support/pictures/picture.h"

namespace e2e {

// Middle of the front door (x 14 to 26, y -8 to 12, plane z = 9.5).
const WorldPoint kFrontDoor{20, 2, 9.5};
// Middle of the garage-door panel (x -56 to -24, y -8 to 12, plane z = -10.4).
const WorldPoint kGarageDoor{-40, 2, -10.4};
// Front wall of the main block beside the +X window (x 50 to 60 is bare wall).
const WorldPoint kFrontWallEast{55, 5, 10};
// Front wall under the window at x -10 to 0 (the window starts at y = 0).
const WorldPoint kFrontWallUnderWindow{-5, -4, 10};
// Bare ground in front of the fence (z -130 to -120), between the driveway
// (x up to -30) and the walk (x from 14).
const WorldPoint kGroundAheadOfFence{0, -10, -125};
const WorldPoint kGroundBesideDriveway{-15, -10, -125};

struct Probe {
    const char* name;
    WorldPoint point;
    Pixel colour;
};

// Checks the pixel where `point` lands in a picture taken with `camera`.
testing::AssertionResult showsColour(const Picture& picture, const Camera& camera,
                                     const Probe& probe);
testing::AssertionResult lacksColour(const Picture& picture, const Camera& camera,
                                     const Probe& probe);

// The probes of the house front that stay in view from the starting camera
// and from nearby ones: both doors and two stretches of wall.
std::vector<Probe> houseFrontProbes();

// Checks every probe and the two top corners (sky).
testing::AssertionResult showsHouseFront(const Picture& picture, const Camera& camera);

}  // namespace e2e

#endif
