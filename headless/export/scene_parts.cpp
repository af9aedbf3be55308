#include "export/scene_parts.h"

#include <stdexcept>
#include <string>

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

// The routines the frame calls, in its order.
void (*const kRoutines[])() = {
    turnedSideRun, turnedSideRun, turnedSideRun, turnedFrontRun, drawWalkGate, drawDriveGate,
    drawPaving,    drawShell,     drawFoundation, drawPorch,     drawRoof,     drawEaves,
    drawGarageDoor, drawWindows,
};

// Left and right as seen from the street, the front fence nearest: the
// garage wing, at -X, is then on the right.
const std::vector<ScenePart> kParts = {
    {"right fence", 0, nullptr, false},
    {"back fence", 1, nullptr, false},
    {"left fence", 2, nullptr, false},
    {"front fence", 3, nullptr, false},
    {"walk gate", 4, nullptr, true},
    {"drive gate", 5, nullptr, true},
    {"paving and garage ramp", 6, nullptr, false},
    {"ground", 7, &kGrassGreen, false},
    {"walls", 7, &kWallYellow, false},
    {"front door", 7, &kRoofRed, false},
    {"foundation and terrace", 8, nullptr, false},
    {"porch", 9, nullptr, false},
    {"roof", 10, &kRoofRed, false},
    {"chimneys", 10, &kBrickRed, false},
    {"eaves", 11, nullptr, false},
    {"garage door", 12, nullptr, false},
    {"windows", 13, nullptr, false},
};

size_t groupsBegun(const std::vector<GlCall>& calls, size_t from, size_t to) {
    size_t begun = 0;
    for (size_t i = from; i < to; ++i) begun += calls[i].fn == GlFn::Begin;
    return begun;
}

// The part of `routine` that takes a group of `colour`.
size_t partTaking(size_t routine, const Rgb& colour) {
    for (size_t i = 0; i < kParts.size(); ++i)
        if (kParts[i].routine == routine && (kParts[i].colour == nullptr || *kParts[i].colour == colour))
            return i;
    throw std::logic_error("routine " + std::to_string(routine) +
                           " of the frame draws in a colour none of its parts takes");
}

}  // namespace

const std::vector<ScenePart>& sceneParts() { return kParts; }

std::vector<DrawnPart> drawParts() {
    recorder::clear();
    std::vector<size_t> ends;
    for (void (*draw)() : kRoutines) {
        draw();
        ends.push_back(recorder::calls().size());
    }
    // Read as one sequence, so that each routine sees the turns made before it.
    const std::vector<GlCall>& calls = recorder::calls();
    const std::vector<DrawnGroup> groups = drawnGroups(calls);
    std::vector<DrawnPart> parts;
    for (const ScenePart& part : kParts) parts.push_back(DrawnPart{&part, {}, {}});
    size_t callsBefore = 0, next = 0;
    for (size_t routine = 0; routine < ends.size(); ++routine) {
        const size_t count = groupsBegun(calls, callsBefore, ends[routine]);
        for (size_t end = next + count; next < end; ++next) {
            DrawnPart& part = parts[partTaking(routine, groups[next].colour)];
            part.groups.push_back(groups[next]);
            part.drawnAt.push_back(next);
        }
        callsBefore = ends[routine];
    }
    return parts;
}

std::vector<PartGroup> inDrawOrder(std::vector<DrawnPart>& parts) {
    size_t count = 0;
    for (const DrawnPart& part : parts) count += part.groups.size();
    std::vector<PartGroup> ordered(count, PartGroup{0, nullptr});
    for (size_t p = 0; p < parts.size(); ++p)
        for (size_t g = 0; g < parts[p].groups.size(); ++g)
            ordered.at(parts[p].drawnAt[g]) = PartGroup{p, &parts[p].groups[g]};
    return ordered;
}
