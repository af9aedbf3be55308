// A pixel's history: every piece of the frame that covered one pixel of
// the picture, in the order drawn, with its depth there and whether GL's
// less-than depth test kept it or the piece already in front hid it. The
// last piece kept is what the picture shows. Worked out with the part
// map's rasterizer (raster.h), so a pixel centre on an edge two pieces
// share is only one piece's, and of two pieces in one plane the first
// drawn keeps it.
#ifndef HOUSE_EXPORT_PIXEL_HISTORY_H
#define HOUSE_EXPORT_PIXEL_HISTORY_H

#include <cstddef>
#include <string>
#include <vector>

#include "export/part_map.h"

// What one piece did at the pixel.
struct PieceAtPixel {
    size_t piece;      // its place among the frame's pieces, from 0
    size_t part;       // index in sceneParts()
    Rgb colour;        // as given to glColor3f
    float depth;       // the window depth GL gives it there, 0 near, 1 far
    bool kept;         // it passed the depth test and took the pixel
    size_t hiddenBy;   // if not kept: the piece that held the pixel
};

// Where there was nothing in front yet: a piece hidden by this lies at or
// beyond the far plane.
const size_t kNoPiece = size_t(-1);

// The history of pixel (x, y), x from the left and y from the top as in a
// PNG, of the view after the keys in a width x height picture. Presses the
// keys from the program's starting state, and leaves the scene state as
// they leave it.
std::vector<PieceAtPixel> pixelHistory(const std::vector<KeyPress>& presses, int width, int height, int x,
                                       int y);

// A colour as an 8-bit picture holds it, "#rrggbb": each channel the
// nearest of 256 steps. Most of the palette's channels times 255 end within
// a hair of a half (0.7 gives 178.49999), and the renderer interpolates a
// piece's colour across it, so a pixel may show such a channel one step
// higher.
std::string hexColour(const Rgb& colour);

#endif
