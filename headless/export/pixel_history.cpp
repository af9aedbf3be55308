#include "export/pixel_history.h"

#include <cmath>
#include <cstdio>

#include "export/raster.h"

std::vector<PieceAtPixel> pixelHistory(const std::vector<KeyPress>& presses, int width, int height, int x,
                                       int y) {
    DrawnView view = drawView(presses, width, height);
    const Raster raster(view.camera, width, height);
    const int row = height - 1 - y;  // GL counts rows from the bottom
    std::vector<PieceAtPixel> history;
    float held = 1.0f;  // the cleared depth buffer
    size_t holder = kNoPiece;
    const std::vector<PartGroup> pieces = inDrawOrder(view.parts);
    for (size_t piece = 0; piece < pieces.size(); ++piece) {
        const DrawnGroup& group = *pieces[piece].group;
        const std::vector<Vec3> corners = fanTriangles(group);
        bool covered = false;
        float depth = 0;
        for (size_t i = 0; i < corners.size() && !covered; i += 3)
            for (const WindowTriangle& triangle : raster.project(&corners[i]))
                if (Raster::covers(triangle, x, row)) {
                    covered = true;
                    depth = raster.depthAt(triangle, x, row);
                    break;
                }
        if (!covered) continue;
        const bool kept = depth < held;
        history.push_back(PieceAtPixel{piece, pieces[piece].part, group.colour, depth, kept, kept ? kNoPiece : holder});
        if (kept) {
            held = depth;
            holder = piece;
        }
    }
    return history;
}

std::string hexColour(const Rgb& colour) {
    const auto channel = [](float value) { return int(std::lround(double(value) * 255)); };
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", channel(colour.red), channel(colour.green),
                  channel(colour.blue));
    return text;
}
