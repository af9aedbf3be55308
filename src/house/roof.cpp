// The hip roof over the L-shaped house, the black eave plane under its
// overhang, and the chimney stamp.
//
// The eave line runs at wall-top height (y = 15), 5 outside every wall; both
// ridges stand at y = 35. The main ridge runs along X over the middle of the
// main block (z = 40), the wing ridge along Z over the garage wing (x = -40),
// and the two meet at (-40, 35, 40), where the valley runs down to the inner
// corner of the eave line. Neighbouring pieces share their edges exactly, so
// the roof is one closed surface over the whole outline.
#include "house/house.h"

#include "viewer/faces.h"
#include "viewer/scene_state.h"

namespace {

// The six pieces carry no colour of their own: the roof draws them red, and
// the eave plane draws the same pieces black, flattened onto the eave line.
const Face kRoofPieces[] = {
    // -X slope, over the garage wing and the main block in one piece
    {nullptr, GL_POLYGON, 4, {{-40, 35, 10}, {-65, 15, -15}, {-65, 15, 75}, {-40, 35, 40}}},
    // +X hip end
    {nullptr, GL_TRIANGLES, 3, {{65, 15, 5}, {40, 35, 40}, {65, 15, 75}}},
    // front slope of the main block, between the +X hip and the valley
    {nullptr, GL_POLYGON, 4, {{65, 15, 5}, {40, 35, 40}, {-40, 35, 40}, {-15, 15, 5}}},
    // +X slope of the garage wing; its last edge is the valley
    {nullptr, GL_POLYGON, 4, {{-40, 35, 40}, {-40, 35, 10}, {-15, 15, -15}, {-15, 15, 5}}},
    // back slope
    {nullptr, GL_POLYGON, 4, {{-65, 15, 75}, {-40, 35, 40}, {40, 35, 40}, {65, 15, 75}}},
    // front hip end of the garage wing
    {nullptr, GL_TRIANGLES, 3, {{-15, 15, -15}, {-40, 35, 10}, {-65, 15, -15}}},
};

const double kEaveY = 15.0;

// A 6 by 4 shaft with no top or bottom. y is 0 at the cursor's height and 1
// at the top: the stamp scales it by cursorHeight.
const Face kChimney[] = {
    {&kBrickRed, GL_QUADS, 4, {{0, 0, 0}, {0, 1, 0}, {0, 1, 4}, {0, 0, 4}}},
    {nullptr, GL_QUADS, 4, {{6, 0, 0}, {6, 1, 0}, {6, 1, 4}, {6, 0, 4}}},
    {nullptr, GL_QUADS, 4, {{0, 0, 0}, {0, 1, 0}, {6, 1, 0}, {6, 0, 0}}},
    {nullptr, GL_QUADS, 4, {{0, 0, 4}, {0, 1, 4}, {6, 1, 4}, {6, 0, 4}}},
};

struct ChimneyPlace {
    float x;
    float y;
    float z;
    float height;
};

// Both start low enough (y = 30) to be buried in their slope, so no gap shows
// under them; the first one, on the back slope, clears the roof by 1/7 along
// its last 0.25 towards +Z.
const ChimneyPlace kChimneys[] = {
    {30.0f, 30.0f, 45.0f, 7.0f},   // back slope, near the +X end
    {-30.0f, 30.0f, 32.0f, 7.0f},  // front slope of the main block, beside the valley
};

}  // namespace

void drawRoof() {
    setColour(kRoofRed);
    drawFaces(kRoofPieces);
    for (const ChimneyPlace& chimney : kChimneys) {
        scene.cursorX = chimney.x;
        scene.cursorY = chimney.y;
        scene.cursorZ = chimney.z;
        scene.cursorHeight = chimney.height;
        drawChimney();
    }
}

// Outside the walls the flattened pieces are the underside of the overhang;
// inside them they close the top of the walls. The porch ceiling shares this
// plane and is drawn first, so it keeps its colour.
void drawEaves() {
    setColour(kBlack);
    drawFacesFlattened(kRoofPieces, kEaveY);
}

// Reads the whole cursor and writes none of it.
void drawChimney() {
    drawFaces(kChimney, scene.cursorX, scene.cursorY, scene.cursorZ, scene.cursorHeight);
}
