// The seven windows on the main block's four outer walls, and the three
// window stamps.
//
// A stamp lies in the plane z = cursorZ and runs from cursorX towards +x; its
// heights are fixed. Every window stands 0.5 outside its wall, so the wall,
// drawn earlier, never hides it. The end-wall windows are placed with the
// same stamps after a quarter turn about +Y, which carries a stamp vertex
// (x, y, z) to (z, y, -x); the turn is undone by the opposite turn, not by a
// saved matrix.
#include "house/house.h"

#include "viewer/faces.h"
#include "viewer/scene_state.h"

namespace {

const float kQuarterTurnDegrees = 90.0f;

// Bars 0.5 wide: top, bottom, start side, end side; then the pane, which
// meets their inner edges.
const Face kWindow[] = {
    {&kBlack, GL_QUADS, 4, {{0, 12, 0}, {10, 12, 0}, {10, 11.5, 0}, {0, 11.5, 0}}},
    {nullptr, GL_QUADS, 4, {{0, 0.5, 0}, {10, 0.5, 0}, {10, 0, 0}, {0, 0, 0}}},
    {nullptr, GL_QUADS, 4, {{0, 12, 0}, {0.5, 12, 0}, {0.5, 0, 0}, {0, 0, 0}}},
    {nullptr, GL_QUADS, 4, {{9.5, 12, 0}, {10, 12, 0}, {10, 0, 0}, {9.5, 0, 0}}},
    {&kPaneGrey, GL_QUADS, 4, {{0.5, 11.5, 0}, {9.5, 11.5, 0}, {9.5, 0.5, 0}, {0.5, 0.5, 0}}},
};

// The upper half of the full window, cut off at y = 6.
const Face kHalfWindow[] = {
    {&kBlack, GL_QUADS, 4, {{0, 12, 0}, {10, 12, 0}, {10, 11.5, 0}, {0, 11.5, 0}}},
    {nullptr, GL_QUADS, 4, {{0, 6.5, 0}, {10, 6.5, 0}, {10, 6, 0}, {0, 6, 0}}},
    {nullptr, GL_QUADS, 4, {{0, 12, 0}, {0.5, 12, 0}, {0.5, 6, 0}, {0, 6, 0}}},
    {nullptr, GL_QUADS, 4, {{9.5, 12, 0}, {10, 12, 0}, {10, 6, 0}, {9.5, 6, 0}}},
    {&kPaneGrey, GL_QUADS, 4, {{0.5, 11.5, 0}, {9.5, 11.5, 0}, {9.5, 6.5, 0}, {0.5, 6.5, 0}}},
};

// Two lights, 9 and 14.5 wide. The pane spans the full width over the three
// vertical bars; it comes after them, so at equal depth the bars keep their
// pixels and stay black.
const Face kWideWindow[] = {
    {&kBlack, GL_QUADS, 4, {{0, 12, 0}, {25, 12, 0}, {25, 11.5, 0}, {0, 11.5, 0}}},
    {nullptr, GL_QUADS, 4, {{0, 0.5, 0}, {25, 0.5, 0}, {25, 0, 0}, {0, 0, 0}}},
    {nullptr, GL_QUADS, 4, {{0, 12, 0}, {0.5, 12, 0}, {0.5, 0, 0}, {0, 0, 0}}},
    {nullptr, GL_QUADS, 4, {{9.5, 12, 0}, {10, 12, 0}, {10, 0, 0}, {9.5, 0, 0}}},
    {nullptr, GL_QUADS, 4, {{24.5, 12, 0}, {25, 12, 0}, {25, 0, 0}, {24.5, 0, 0}}},
    {&kPaneGrey, GL_QUADS, 4, {{0, 11.5, 0}, {25, 11.5, 0}, {25, 0.5, 0}, {0, 0.5, 0}}},
};

}  // namespace

// The placing routine has external linkage, as every drawing routine has,
// so that a traced build of the program can name it.
struct WindowPlace {
    float x;
    float z;
    void (*stamp)();
};

// Front wall (z = 10) either side of the door, and back wall (z = 70).
const WindowPlace kFrontAndBack[] = {
    {40.0f, 9.5f, drawWindow},
    {-10.0f, 9.5f, drawWindow},
    {42.0f, 70.5f, drawWindow},
    {-10.0f, 70.5f, drawWideWindow},
};

// In the quarter-turned frame: cursorZ becomes the plane x = cursorZ and the
// width runs towards -z, so x = -62 starts a window at z = 62.
const WindowPlace kEnds[] = {
    {-62.0f, 60.5f, drawWideWindow},   // +X end wall, z 62 down to 37
    {-62.0f, -60.5f, drawWindow},      // -X end wall, z 62 down to 52
    {-25.0f, -60.5f, drawHalfWindow},  // -X end wall behind the garage wing, z 25 down to 15
};

template <int N>
void placeWindows(const WindowPlace (&places)[N]) {
    for (const WindowPlace& place : places) {
        scene.cursorX = place.x;
        scene.cursorZ = place.z;
        place.stamp();
    }
}

void drawWindows() {
    placeWindows(kFrontAndBack);
    glRotatef(kQuarterTurnDegrees, 0.0f, 1.0f, 0.0f);
    placeWindows(kEnds);
    glRotatef(-kQuarterTurnDegrees, 0.0f, 1.0f, 0.0f);
}

// The stamps read cursorX and cursorZ only; their heights are fixed.
void drawWindow() { drawFaces(kWindow, scene.cursorX, 0.0, scene.cursorZ); }

void drawHalfWindow() { drawFaces(kHalfWindow, scene.cursorX, 0.0, scene.cursorZ); }

void drawWideWindow() { drawFaces(kWideWindow, scene.cursorX, 0.0, scene.cursorZ); }
