#include "call_readers/fence_stamps.h"

#include <algorithm>

std::vector<Stamp> stampsIn(const std::vector<GlCall>& calls) {
    const std::vector<DrawnGroup> groups = drawnGroups(calls);
    std::vector<Stamp> stamps;
    size_t begun = 0;
    for (const GlCall& call : calls) {
        if (call.fn == GlFn::Color3f) stamps.push_back(Stamp{StampKind::Other, begun, 0});
        if (call.fn == GlFn::Begin && !stamps.empty()) ++stamps.back().count;
        if (call.fn == GlFn::Begin) ++begun;
    }
    for (Stamp& s : stamps) {
        const Rgb c = groups[s.first].colour;
        const double top = boundsOf(groups, s.first, s.count).hi.y;
        if (s.count == 5 && c == kFenceWhite && top == 2) s.kind = StampKind::Post;
        if (s.count == 5 && c == kFenceWhite && top == -9) s.kind = StampKind::Board;
        if (s.count == 3 && c == kPicketRed) s.kind = StampKind::Picket;
    }
    return stamps;
}

int countStamps(const std::vector<Stamp>& stamps, StampKind kind) {
    return static_cast<int>(
        std::count_if(stamps.begin(), stamps.end(), [kind](const Stamp& s) { return s.kind == kind; }));
}

std::vector<double> cursorsAt(const std::vector<GlCall>& calls, StampKind kind) {
    const std::vector<DrawnGroup> groups = drawnGroups(calls);
    std::vector<double> xs;
    for (const Stamp& s : stampsIn(calls))
        if (s.kind == kind)
            xs.push_back(groups[s.first].vertices[0].x - (kind == StampKind::Post ? 0 : 2));
    return xs;
}
