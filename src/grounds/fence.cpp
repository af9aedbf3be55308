// The side run of the fence, the section both runs are made of, and the
// three stamps they are built from.
//
// A run is laid out along +x in its own frame, from x = -120 to 120, with
// posts and boards in the band z = -120..-118 and pickets in z = -119.
//
// The cursor is a 32-bit float advanced by rounding at every step, so the
// run drifts: the first closing post stands at -81.99986, not -82, and the
// run ends at 120.00031. Those drifted positions are the fence's positions.
#include "grounds/grounds.h"

#include "grounds/fence_run.h"
#include "viewer/faces.h"
#include "viewer/scene_state.h"

namespace {

const int kSectionsPerSideRun = 6;
const int kPicketsPerSection = 45;

}  // namespace

// Sets the cursor itself, so a run never depends on what came before it.
void drawSideFence() {
    scene.cursorX = kRunStart;
    scene.cursorZ = kRunBand;
    for (int section = 0; section < kSectionsPerSideRun; ++section) {
        drawFenceSection(kPicketsPerSection, false);
    }
}

void drawFenceSection(int pickets, bool secondBoard) {
    drawPost();
    drawBaseBoard();
    if (secondBoard) {
        advanceFenceCursor(kSecondBoardStep);
        drawBaseBoard();
        advanceFenceCursor(-kSecondBoardStep);
    }
    for (int picket = 0; picket < pickets; ++picket) {
        drawPicket();
        advanceFenceCursor(kPicketStep);
    }
    advanceFenceCursor(kPostStep);
    drawPost();
    advanceFenceCursor(kPostStep);
}

void advanceFenceCursor(double step) { scene.cursorX = static_cast<float>(scene.cursorX + step); }

namespace {

// Heights are absolute: every fence piece stands on the ground.
const double kGroundY = -10.0;
const double kBoardTopY = -9.0;
const double kPostTopY = 2.0;
const double kLowerRailBottomY = -7.0;
const double kLowerRailTopY = -6.5;
const double kUpperRailBottomY = -1.5;
const double kUpperRailTopY = -1.0;

// Offsets from the cursor. 1, 2 and 40 are floats (exact either way); the
// upright's 2.4 and 2.8 are doubles, so its edges are the cursor plus the
// double, rounded once when emitted, not the cursor plus 2.4f.
const float kPostSize = 2.0f;
const float kBoardEnd = 40.0f;
const float kPicketPlane = 1.0f;
const float kRailStart = 2.0f;
const double kUprightStart = 2.4;
const double kUprightEnd = 2.8;

// A box 2 by 12 by 2 standing on the ground; no bottom.
const Face kPost[] = {
    {&kFenceWhite, GL_QUADS, 4,
     {{0, kGroundY, 0}, {0, kPostTopY, 0}, {0, kPostTopY, kPostSize}, {0, kGroundY, kPostSize}}},
    {nullptr, GL_QUADS, 4,
     {{kPostSize, kGroundY, 0}, {kPostSize, kPostTopY, 0}, {kPostSize, kPostTopY, kPostSize},
      {kPostSize, kGroundY, kPostSize}}},
    {nullptr, GL_QUADS, 4,
     {{0, kGroundY, 0}, {0, kPostTopY, 0}, {kPostSize, kPostTopY, 0}, {kPostSize, kGroundY, 0}}},
    {nullptr, GL_QUADS, 4,
     {{0, kGroundY, kPostSize}, {0, kPostTopY, kPostSize}, {kPostSize, kPostTopY, kPostSize},
      {kPostSize, kGroundY, kPostSize}}},
    {nullptr, GL_QUADS, 4,
     {{0, kPostTopY, 0}, {0, kPostTopY, kPostSize}, {kPostSize, kPostTopY, kPostSize},
      {kPostSize, kPostTopY, 0}}},
};

// A board 38 long, 1 high, starting at the far face of a post at the same
// cursor; no bottom.
const Face kBaseBoard[] = {
    {&kFenceWhite, GL_QUADS, 4,
     {{kPostSize, kGroundY, 0}, {kPostSize, kBoardTopY, 0}, {kPostSize, kBoardTopY, kPostSize},
      {kPostSize, kGroundY, kPostSize}}},
    {nullptr, GL_QUADS, 4,
     {{kBoardEnd, kGroundY, 0}, {kBoardEnd, kBoardTopY, 0}, {kBoardEnd, kBoardTopY, kPostSize},
      {kBoardEnd, kGroundY, kPostSize}}},
    {nullptr, GL_QUADS, 4,
     {{kPostSize, kGroundY, 0}, {kPostSize, kBoardTopY, 0}, {kBoardEnd, kBoardTopY, 0},
      {kBoardEnd, kGroundY, 0}}},
    {nullptr, GL_QUADS, 4,
     {{kPostSize, kGroundY, kPostSize}, {kPostSize, kBoardTopY, kPostSize},
      {kBoardEnd, kBoardTopY, kPostSize}, {kBoardEnd, kGroundY, kPostSize}}},
    {nullptr, GL_QUADS, 4,
     {{kPostSize, kBoardTopY, 0}, {kPostSize, kBoardTopY, kPostSize},
      {kBoardEnd, kBoardTopY, kPostSize}, {kBoardEnd, kBoardTopY, 0}}},
};

// Two rail pieces and an upright, flat in the middle of the band. The rail
// pieces of one unit start where the previous unit's upright ends, so the
// rails read as continuous bands. The upper piece starts at its top edge.
const Face kPicket[] = {
    {&kPicketRed, GL_QUADS, 4,
     {{kRailStart, kLowerRailBottomY, kPicketPlane}, {kRailStart, kLowerRailTopY, kPicketPlane},
      {kUprightStart, kLowerRailTopY, kPicketPlane},
      {kUprightStart, kLowerRailBottomY, kPicketPlane}}},
    {nullptr, GL_QUADS, 4,
     {{kRailStart, kUpperRailTopY, kPicketPlane}, {kRailStart, kUpperRailBottomY, kPicketPlane},
      {kUprightStart, kUpperRailBottomY, kPicketPlane},
      {kUprightStart, kUpperRailTopY, kPicketPlane}}},
    {nullptr, GL_QUADS, 4,
     {{kUprightStart, kBoardTopY, kPicketPlane}, {kUprightStart, kPostTopY, kPicketPlane},
      {kUprightEnd, kPostTopY, kPicketPlane}, {kUprightEnd, kBoardTopY, kPicketPlane}}},
};

}  // namespace

// The stamps read the cursor and never write it.
void drawPost() { drawFaces(kPost, scene.cursorX, 0.0, scene.cursorZ); }

void drawBaseBoard() { drawFaces(kBaseBoard, scene.cursorX, 0.0, scene.cursorZ); }

void drawPicket() { drawFaces(kPicket, scene.cursorX, 0.0, scene.cursorZ); }
