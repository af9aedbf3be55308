// The front run of the fence, with its two gate openings, and the gates.
//
// The front run is drawn in the model frame itself (the enclosure has turned
// a full circle by then): x from -120 to 120, posts and boards in the band
// z = -120..-118, pickets and gate leaves in z = -119. From -X it runs:
// section A, the drive-gate opening (x -78 to -30), section B, the walk-gate
// opening (x 14 to 26.8), then two long sections C and D.
//
// The cursor drifts as in a side run: the walk gate's free post stands at
// 26.80013 and the run ends at 120.00028.
#include "grounds/grounds.h"

#include "grounds/fence_run.h"
#include "viewer/faces.h"
#include "viewer/scene_state.h"

namespace {

const int kShortSectionPickets = 45;
const int kLongSectionPickets = 52;

// The gate openings are steps of the cursor too: the drive gate's 50 (post
// width plus the 48-wide opening) is a float, the walk gate's 14.8 (post
// width plus 12.8) a double. Each sum is rounded to the float cursor as it
// is stored, which carries the run to 120.00028 rather than 120.
const float kDriveGateOpening = 50.0f;
const double kWalkGateOpening = 14.8;

// Leaves reach from a board top to a post top, in the picket plane.
const double kLeafBottomY = -9.0;
const double kLeafTopY = 2.0;
const double kLeafPlaneZ = -119.0;

// Hinges stand at the inner faces of the gate posts.
const double kWalkHingeX = 14.0;
const double kDriveFirstHingeX = -78.0;
const double kDriveSecondHingeX = -30.0;

Face gateLeaf(const Rgb* colour, double hingeX, double leafDX, double leafDZ);

}  // namespace

void drawFrontFence() {
    scene.cursorX = kRunStart;
    scene.cursorZ = kRunBand;
    drawFenceSection(kShortSectionPickets, false);
    drawGateOpening(kDriveGateOpening);
    drawFenceSection(kShortSectionPickets, false);
    drawGateOpening(kWalkGateOpening);
    drawFenceSection(kLongSectionPickets, true);
    drawFenceSection(kLongSectionPickets, true);
}

// One leaf, hinged at the near side of the opening.
void drawWalkGate() {
    const Face leaf[] = {
        gateLeaf(&kPicketRed, kWalkHingeX, scene.walkGateLeafDX, scene.walkGateLeafDZ),
    };
    drawFaces(leaf);
}

// Two leaves that swing together: the second mirrors the first in X about
// the middle of the opening, and both take the same Z offset.
void drawDriveGate() {
    const Face leaves[] = {
        gateLeaf(&kPicketRed, kDriveFirstHingeX, scene.driveGateLeafDX, scene.driveGateLeafDZ),
        gateLeaf(nullptr, kDriveSecondHingeX, -double{scene.driveGateLeafDX},
                 scene.driveGateLeafDZ),
    };
    drawFaces(leaves);
}

void drawGateOpening(double width) {
    drawPost();
    advanceFenceCursor(width);
    drawPost();
    advanceFenceCursor(kPostStep);
}

namespace {

// The free edge is the hinge plus the offset, summed in double and rounded
// to float once when drawFaces emits it.
Face gateLeaf(const Rgb* colour, double hingeX, double leafDX, double leafDZ) {
    return Face{colour,
                GL_QUADS,
                4,
                {{hingeX, kLeafBottomY, kLeafPlaneZ},
                 {hingeX, kLeafTopY, kLeafPlaneZ},
                 {hingeX + leafDX, kLeafTopY, kLeafPlaneZ + leafDZ},
                 {hingeX + leafDX, kLeafBottomY, kLeafPlaneZ + leafDZ}}};
}

}  // namespace
