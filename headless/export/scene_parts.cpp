#include "export/scene_parts.h"

#include "grounds/grounds.h"
#include "house/house.h"
#include "recording/gl_recorder.h"
#include "viewer/opengl.h"

namespace {

// The turn drawGrounds makes before each run: three side runs land on the
// -X, back and +X sides, and the fourth turn brings the frame back for the
// front run, the gates and everything after.
const float kQuarterTurn = 90.0f;

void turnedSideRun() {
    glRotatef(kQuarterTurn, 0.0f, 1.0f, 0.0f);
    drawSideFence();
}

void turnedFrontRun() {
    glRotatef(kQuarterTurn, 0.0f, 1.0f, 0.0f);
    drawFrontFence();
}

const std::vector<ScenePart> kParts = {
    {"fence -X side", turnedSideRun, false},
    {"fence back", turnedSideRun, false},
    {"fence +X side", turnedSideRun, false},
    {"fence front", turnedFrontRun, false},
    {"walk gate", drawWalkGate, true},
    {"drive gate", drawDriveGate, true},
    {"paving", drawPaving, false},
    {"shell", drawShell, false},
    {"foundation", drawFoundation, false},
    {"porch", drawPorch, false},
    {"roof", drawRoof, false},
    {"eaves", drawEaves, false},
    {"garage door", drawGarageDoor, false},
    {"windows", drawWindows, false},
};

size_t groupsBegun(const std::vector<GlCall>& calls, size_t from, size_t to) {
    size_t begun = 0;
    for (size_t i = from; i < to; ++i) begun += calls[i].fn == GlFn::Begin;
    return begun;
}

}  // namespace

const std::vector<ScenePart>& sceneParts() { return kParts; }

std::vector<DrawnPart> drawParts() {
    recorder::clear();
    std::vector<size_t> ends;
    for (const ScenePart& part : kParts) {
        part.draw();
        ends.push_back(recorder::calls().size());
    }
    // Read as one sequence, so that each part sees the turns made before it.
    const std::vector<GlCall>& calls = recorder::calls();
    const std::vector<DrawnGroup> groups = drawnGroups(calls);
    std::vector<DrawnPart> parts;
    size_t callsBefore = 0, groupsBefore = 0;
    for (size_t i = 0; i < kParts.size(); ++i) {
        const size_t count = groupsBegun(calls, callsBefore, ends[i]);
        parts.push_back(DrawnPart{&kParts[i], std::vector<DrawnGroup>(groups.begin() + groupsBefore,
                                                                    groups.begin() + groupsBefore + count)});
        callsBefore = ends[i];
        groupsBefore += count;
    }
    return parts;
}
