#include "export/part_map.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "export/gate_leaves.h"
#include "export/raster.h"
#include "export/scene_model.h"
#include "export/vectors.h"
#include "geometry/turns.h"
#include "recording/gl_recorder.h"
#include "viewer/scene_state.h"

namespace {

double degrees(double radians) { return radians * 180 / kPi; }

}  // namespace

DrawnView drawView(const std::vector<KeyPress>& presses, int width, int height) {
    scene = kInitialScene;
    recorder::countOnly(true);
    pressKeys(presses);
    recorder::countOnly(false);
    DrawnView view{programCamera(width, height), drawParts()};
    recorder::clear();
    return view;
}

PartMap mapParts(std::vector<DrawnPart>& parts, const ProgramCamera& camera, int width, int height) {
    const Raster raster(camera, width, height);
    std::vector<float> depth(size_t(width) * size_t(height), 1.0f);
    PartMap map{width, height, std::vector<unsigned char>(depth.size(), 0)};
    for (const PartGroup& piece : inDrawOrder(parts)) {
        const std::vector<Vec3> corners = fanTriangles(*piece.group);
        for (size_t i = 0; i < corners.size(); i += 3)
            for (const WindowTriangle& triangle : raster.project(&corners[i]))
                for (int y = triangle.y0; y <= triangle.y1; ++y) {
                    const size_t rowStart = size_t(height - 1 - y) * size_t(width);
                    for (int x = triangle.x0; x <= triangle.x1; ++x) {
                        if (!Raster::covers(triangle, x, y)) continue;
                        const float here = raster.depthAt(triangle, x, y);
                        if (here < depth[rowStart + size_t(x)]) {
                            depth[rowStart + size_t(x)] = here;
                            map.pixels[rowStart + size_t(x)] = static_cast<unsigned char>(piece.part + 1);
                        }
                    }
                }
    }
    return map;
}

PartsInView partsInView(const std::vector<KeyPress>& presses, int width, int height) {
    // The gates' shut leaves never change: read once.
    static const std::vector<GateLeaf> shut = shutGateLeaves();
    DrawnView drawn = drawView(presses, width, height);
    std::vector<DrawnPart>& parts = drawn.parts;

    PartsInView view;
    view.map = mapParts(parts, drawn.camera, width, height);
    std::vector<long> pixels(parts.size() + 1, 0);
    for (unsigned char value : view.map.pixels) ++pixels[value];
    size_t leaf = 0;
    for (size_t i = 0; i < parts.size(); ++i) {
        const DrawnPart& drawn = parts[i];
        PartInView part{i, pixels[i + 1], 100.0 * double(pixels[i + 1]) / (double(width) * height),
                        {0, 0, 0}, drawn.part->moving, 0};
        const Bounds box = boundsOf(drawn.groups, 0, drawn.groups.size(), true);
        part.metres = times(box.size(), kMetresPerUnit);
        if (part.gate) {
            // Its leaves swing together: the first tells how far.
            const double turned = gateLeaf(drawn.groups.at(0)).turn - shut.at(leaf).turn;
            part.openDegrees = std::fabs(degrees(std::remainder(turned, 2 * kPi)));
            leaf += drawn.groups.size();
        }
        if (part.pixels > 0) view.parts.push_back(part);
    }
    // Largest first, and of two as large the one earlier in the table: an
    // insertion sort, as there are a few parts and it keeps the web
    // module small.
    for (size_t i = 1; i < view.parts.size(); ++i)
        for (size_t j = i; j > 0 && view.parts[j - 1].pixels < view.parts[j].pixels; --j)
            std::swap(view.parts[j - 1], view.parts[j]);
    return view;
}

std::string partLine(const PartInView& part) {
    size_t longest = 0;
    for (const ScenePart& named : sceneParts()) longest = std::max(longest, std::strlen(named.name));
    char line[200];
    std::snprintf(line, sizeof line, "%-*s  %5.1f%%  %.1f x %.1f x %.1f m", int(longest),
                  sceneParts().at(part.part).name, part.percent, part.metres.x, part.metres.z, part.metres.y);
    std::string text = line;
    if (part.gate) {
        const long opening = std::lround(part.openDegrees);
        text += opening == 0 ? "  shut" : "  open " + std::to_string(opening) + "\u00b0";
    }
    return text;
}
