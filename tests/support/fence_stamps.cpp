#include "fence_stamps.h"

#include <algorithm>

namespace {

double topOf(const std::vector<DrawnGroup>& groups, const Stamp& stamp) {
    double top = -1e300;
    for (size_t g = stamp.first; g < stamp.first + stamp.count; ++g)
        for (const Vec3& v : groups[g].vertices) top = std::max(top, v.y);
    return top;
}

}  // namespace

std::vector<Stamp> stampsIn(const std::vector<DrawnGroup>& groups) {
    std::vector<Stamp> stamps;
    size_t begun = 0;
    for (const GlCall& call : recorder::calls()) {
        if (call.fn == GlFn::Color3f) stamps.push_back(Stamp{StampKind::Other, begun, 0});
        if (call.fn == GlFn::Begin && !stamps.empty()) ++stamps.back().count;
        if (call.fn == GlFn::Begin) ++begun;
    }
    for (Stamp& s : stamps) {
        const Rgb c = groups[s.first].colour;
        const double top = topOf(groups, s);
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

std::vector<double> cursorsAt(const std::vector<DrawnGroup>& groups, StampKind kind) {
    std::vector<double> xs;
    for (const Stamp& s : stampsIn(groups))
        if (s.kind == kind)
            xs.push_back(groups[s.first].vertices[0].x - (kind == StampKind::Post ? 0 : 2));
    return xs;
}
