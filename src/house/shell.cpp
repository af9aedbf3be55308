// The house shell: ground square, walls, doors and foundation, and drawHouse,
// which assembles the house on top of them.
//
// Levels: ground -10, floor -8, door tops 12, garage frame 13, wall tops 15.
// The doors stand in front of their walls (front door 0.5, garage door 0.4)
// so no door ever shares a plane with a wall.
#include "house/house.h"

#include "viewer/faces.h"

// The order matters where coplanar pieces overlap: the porch ceiling must
// come before the eave plane, and the windows after the walls.
void drawHouse() {
    drawShell();
    drawFoundation();
    drawPorch();
    drawRoof();
    drawEaves();
    drawGarageDoor();
    drawWindows();
}

namespace {

const Face kShell[] = {
    // ground square, 280 by 280 round the origin
    {&kGrassGreen, GL_QUADS, 4, {{140, -10, 140}, {140, -10, -140}, {-140, -10, -140}, {-140, -10, 140}}},
    // back wall
    {&kWallYellow, GL_QUADS, 4, {{-60, -8, 70}, {60, -8, 70}, {60, 15, 70}, {-60, 15, 70}}},
    // front wall of the main block
    {nullptr, GL_QUADS, 4, {{-20, -8, 10}, {60, -8, 10}, {60, 15, 10}, {-20, 15, 10}}},
    // +X end wall
    {nullptr, GL_QUADS, 4, {{60, -8, 10}, {60, 15, 10}, {60, 15, 70}, {60, -8, 70}}},
    // -X end wall, along the main block and the garage wing in one piece
    {nullptr, GL_QUADS, 4, {{-60, -8, 70}, {-60, 15, 70}, {-60, 15, -10}, {-60, -8, -10}}},
    // garage wing side facing the terrace
    {nullptr, GL_QUADS, 4, {{-20, -8, 10}, {-20, 15, 10}, {-20, 15, -10}, {-20, -8, -10}}},
    // garage wing front
    {nullptr, GL_QUADS, 4, {{-20, 15, -10}, {-60, 15, -10}, {-60, -8, -10}, {-20, -8, -10}}},
    // front door, 0.5 in front of its wall
    {&kRoofRed, GL_QUADS, 4, {{14, 12, 9.5}, {26, 12, 9.5}, {26, -8, 9.5}, {14, -8, 9.5}}},
};

// The band follows the rectangle of plan plus terrace, not the L; only the
// terrace gets a top.
const Face kFoundation[] = {
    {&kFoundationRed, GL_QUADS, 4, {{-60, -10, 70}, {60, -10, 70}, {60, -8, 70}, {-60, -8, 70}}},
    {nullptr, GL_QUADS, 4, {{-60, -10, -10}, {60, -10, -10}, {60, -8, -10}, {-60, -8, -10}}},
    {nullptr, GL_QUADS, 4, {{-60, -10, 70}, {-60, -8, 70}, {-60, -8, -10}, {-60, -10, -10}}},
    {nullptr, GL_QUADS, 4, {{60, -8, -10}, {60, -10, -10}, {60, -10, 70}, {60, -8, 70}}},
    // terrace slab
    {nullptr, GL_QUADS, 4, {{-20, -8, -10}, {60, -8, -10}, {60, -8, 10}, {-20, -8, 10}}},
};

// Panel, then a frame 1 wide on three sides in the panel's plane. The head and
// the -X jamb overlap in one black unit square, which shows nothing.
const Face kGarageDoor[] = {
    {&kRoofRed, GL_QUADS, 4, {{-24, -8, -10.4}, {-24, 12, -10.4}, {-56, 12, -10.4}, {-56, -8, -10.4}}},
    {&kBlack, GL_QUADS, 4, {{-23, -8, -10.4}, {-23, 13, -10.4}, {-24, 13, -10.4}, {-24, -8, -10.4}}},
    {nullptr, GL_QUADS, 4, {{-57, 13, -10.4}, {-24, 13, -10.4}, {-24, 12, -10.4}, {-57, 12, -10.4}}},
    {nullptr, GL_QUADS, 4, {{-56, -8, -10.4}, {-56, 13, -10.4}, {-57, 13, -10.4}, {-57, -8, -10.4}}},
};

}  // namespace

void drawShell() { drawFaces(kShell); }

void drawFoundation() { drawFaces(kFoundation); }

void drawGarageDoor() { drawFaces(kGarageDoor); }
