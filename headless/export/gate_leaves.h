// The gates as moving parts: each leaf a board turning about the vertical
// line through its hinge. A leaf is read from the quad the program draws
// for it (hinge edge first, then the free edge), so it stands exactly
// where the program draws it; its swing, from shut to fully open, comes
// from the program's own starting state and key callbacks.
#ifndef HOUSE_EXPORT_GATE_LEAVES_H
#define HOUSE_EXPORT_GATE_LEAVES_H

#include <vector>

#include "call_readers/drawn_groups.h"

struct GateLeaf {
    Vec3 hinge;  // where the hinge line meets y = 0
    // The turn about +Y that carries +X onto the leaf's direction from the
    // hinge, in radians, as glTF turns a node: +X goes to (cos, 0, -sin).
    double turn;
    double reach;  // from the hinge line to the free edge
    // The leaf's corners in its own frame, in the order drawn: the hinge
    // line is its Y axis, and the leaf reaches along +X.
    std::vector<Vec3> corners;
};

// The leaf a gate draws as `group`, which must be an upright quad with its
// hinge edge first. Throws std::logic_error for anything else.
GateLeaf gateLeaf(const DrawnGroup& group);

// Every leaf of the gates as the program first draws them, shut, in the
// order the frame draws them. Leaves the scene state as it was.
std::vector<GateLeaf> shutGateLeaves();

// Every leaf of the gates, shut as the program first draws them and fully
// open as the opening keys leave them (pressed until they change nothing),
// in the order the frame draws them. Leaves the scene state as it was.
struct GateSwing {
    std::vector<GateLeaf> shut, open;
};
GateSwing gateSwing();

#endif
