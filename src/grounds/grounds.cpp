// The grounds' fence: the enclosure that turns the side run onto three sides
// of the plot, then the front run and the two gates.
//
// The enclosure turns the frame a quarter about +Y before each side run, so
// the three runs land on the -X, back and +X sides; a fourth turn brings the
// frame back for the front run and the gates.
#include "grounds/grounds.h"

#include "viewer/opengl.h"

namespace {

const float kQuarterTurn = 90.0f;
const int kSideRuns = 3;

}  // namespace

void drawGrounds() {
    for (int run = 0; run < kSideRuns; ++run) {
        glRotatef(kQuarterTurn, 0.0f, 1.0f, 0.0f);
        drawSideFence();
    }
    // The fourth quarter completes the circle: the front run, the gates and
    // everything drawn after the grounds rely on the frame being back.
    glRotatef(kQuarterTurn, 0.0f, 1.0f, 0.0f);
    drawFrontFence();
    drawWalkGate();
    drawDriveGate();
}
