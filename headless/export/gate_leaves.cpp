#include "export/gate_leaves.h"

#include <cmath>
#include <stdexcept>

#include "export/scene_parts.h"
#include "recording/gl_recorder.h"
#include "viewer/keys.h"
#include "viewer/scene_state.h"

namespace {

const unsigned char kOpenDriveGate = 'o';
const unsigned char kOpenWalkGate = 'x';
// Far more presses than any gate needs to open (54 from shut).
const int kMostOpeningPresses = 1000;

double across(const Vec3& from, const Vec3& to) { return std::hypot(to.x - from.x, to.z - from.z); }

std::vector<GateLeaf> leavesAsDrawn() {
    std::vector<GateLeaf> leaves;
    for (const DrawnPart& drawn : drawParts())
        if (drawn.part->moving)
            for (const DrawnGroup& group : drawn.groups) leaves.push_back(gateLeaf(group));
    recorder::clear();
    return leaves;
}

void pressUntilStill(unsigned char key, const float& angle) {
    for (int press = 0; press < kMostOpeningPresses; ++press) {
        const float before = angle;
        keyboard(key, 0, 0);
        if (angle == before) return;
    }
}

}  // namespace

GateLeaf gateLeaf(const DrawnGroup& group) {
    const std::vector<Vec3>& w = group.world;
    if (group.mode != GL_QUADS || w.size() != 4 || across(w[0], w[1]) != 0 || across(w[2], w[3]) != 0)
        throw std::logic_error("a gate leaf is not an upright quad drawn from its hinge edge");
    GateLeaf leaf;
    leaf.hinge = Vec3{w[0].x, 0, w[0].z};
    leaf.reach = across(w[0], w[2]);
    leaf.turn = std::atan2(-(w[2].z - w[0].z), w[2].x - w[0].x);
    for (const Vec3& corner : w) leaf.corners.push_back(Vec3{across(leaf.hinge, corner), corner.y, 0});
    return leaf;
}

std::vector<GateLeaf> shutGateLeaves() {
    const SceneState kept = scene;
    scene = kInitialScene;
    std::vector<GateLeaf> shut = leavesAsDrawn();
    scene = kept;
    return shut;
}

GateSwing gateSwing() {
    const SceneState kept = scene;
    GateSwing swing;
    swing.shut = shutGateLeaves();
    scene = kInitialScene;
    pressUntilStill(kOpenDriveGate, scene.driveGateAngle);
    pressUntilStill(kOpenWalkGate, scene.walkGateAngle);
    swing.open = leavesAsDrawn();
    scene = kept;
    return swing;
}
