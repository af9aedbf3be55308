// The gabled porch canopy over the front door, and the pillar stamp that
// carries it.
//
// The canopy is symmetric about x = 20, the middle of the front door. Its two
// slopes rise at 45 degrees from the eaves at x = 5 and x = 35 (y = 10) to the
// ridge at y = 25, with undersides 2 lower. The eaves stop at the front wall
// (z = 10); the ridge runs on to z = 22.5, where it meets the main roof's
// front slope. The front gable is closed by two verge bands and a triangle
// down to the flat ceiling at y = 15.
#include "house/house.h"

#include "viewer/faces.h"
#include "viewer/scene_state.h"

namespace {

const Face kCanopy[] = {
    // top of the slope towards x = 5 (plane y = x + 5)
    {&kRoofRed, GL_POLYGON, 4, {{20, 25, -10}, {20, 25, 22.5}, {5, 10, 10}, {5, 10, -10}}},
    // top of the slope towards x = 35 (plane x + y = 45)
    {nullptr, GL_POLYGON, 4, {{35, 10, 10}, {35, 10, -10}, {20, 25, -10}, {20, 25, 22.5}}},
    // undersides, 2 below the tops
    {&kShadeRed, GL_POLYGON, 4, {{20, 23, -10}, {20, 23, 22.5}, {5, 8, 10}, {5, 8, -10}}},
    {nullptr, GL_POLYGON, 4, {{35, 8, 10}, {35, 8, -10}, {20, 23, -10}, {20, 23, 22.5}}},
    // eave edges
    {nullptr, GL_POLYGON, 4, {{5, 8, 10}, {5, 8, -10}, {5, 10, -10}, {5, 10, 10}}},
    {nullptr, GL_POLYGON, 4, {{35, 8, 10}, {35, 8, -10}, {35, 10, -10}, {35, 10, 10}}},
    // front verge bands, in the plane z = -10
    {nullptr, GL_POLYGON, 4, {{5, 8, -10}, {5, 10, -10}, {20, 25, -10}, {20, 23, -10}}},
    {nullptr, GL_POLYGON, 4, {{35, 8, -10}, {35, 10, -10}, {20, 25, -10}, {20, 23, -10}}},
    // ceiling; drawn before the eave plane that overlaps it over z 5 to 10
    {nullptr, GL_POLYGON, 4, {{30, 15, -10}, {30, 15, 10}, {10, 15, 10}, {10, 15, -10}}},
    // front gable triangle; it reaches into both verge bands, in the same colour
    {nullptr, GL_POLYGON, 3, {{30, 15, -10}, {20, 23, -10}, {10, 15, -10}}},
};

// Four sides of a 1 by 1 column from the terrace top (y = -8) up into the
// canopy (y = 11). Open at both ends: the top end is hidden in the canopy.
const Face kPillar[] = {
    {&kBrickRed, GL_QUADS, 4, {{0, -8, 0}, {0, 11, 0}, {0, 11, 1}, {0, -8, 1}}},
    {nullptr, GL_QUADS, 4, {{1, -8, 0}, {1, 11, 0}, {1, 11, 1}, {1, -8, 1}}},
    {nullptr, GL_QUADS, 4, {{0, -8, 0}, {0, 11, 0}, {1, 11, 0}, {1, -8, 0}}},
    {nullptr, GL_QUADS, 4, {{0, -8, 1}, {0, 11, 1}, {1, 11, 1}, {1, -8, 1}}},
};

struct PillarPlace {
    float x;
    float z;
};

// Mirror images about x = 20, 2 behind the canopy's front edge; the outer
// top edge of each lies in the top surface of its slope.
const PillarPlace kPillars[] = {
    {6.0f, -8.0f},
    {33.0f, -8.0f},
};

}  // namespace

void drawPorch() {
    drawFaces(kCanopy);
    for (const PillarPlace& pillar : kPillars) {
        scene.cursorX = pillar.x;
        scene.cursorZ = pillar.z;
        drawPillar();
    }
}

// Reads cursorX and cursorZ only; its heights are fixed.
void drawPillar() { drawFaces(kPillar, scene.cursorX, 0.0, scene.cursorZ); }
