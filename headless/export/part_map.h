// What a view shows, part by part: which named part (scene_parts.h) each
// pixel of the program's picture shows, worked out without GL from the
// triangles the frame draws (raster.h), by the program's own depth rule.
// The nearest surface wins, and of two pieces in one plane the one drawn
// first keeps the pixel, as GL's less-than depth test leaves it. Pieces are
// taken as drawn, not as the model lifts its ties apart. No GL and no
// system calls: the web build takes it too.
#ifndef HOUSE_EXPORT_PART_MAP_H
#define HOUSE_EXPORT_PART_MAP_H

#include <string>
#include <vector>

#include "export/program_camera.h"
#include "export/scene_parts.h"
#include "keys/key_sequence.h"

// The largest side a map may have: that of the snapshot's renderer, so
// that every picture house-snapshot can take has its map.
const int kMostMapSide = 16384;

struct PartMap {
    int width = 0, height = 0;
    // Each pixel's part, as its index in sceneParts() plus one, 0 where
    // nothing is drawn; width * height of them, top row first.
    std::vector<unsigned char> pixels;
};

// The frame after some keys, as named parts, and the camera it is seen
// with in a window of width x height. Presses the keys from the program's
// starting state, and leaves the scene state as they leave it.
struct DrawnView {
    ProgramCamera camera;
    std::vector<DrawnPart> parts;
};
DrawnView drawView(const std::vector<KeyPress>& presses, int width, int height);

// The parts as the camera sees them in a picture of width x height.
PartMap mapParts(std::vector<DrawnPart>& parts, const ProgramCamera& camera, int width,
                 int height);

struct PartInView {
    size_t part;     // index in sceneParts()
    long pixels;     // how many pixels of the map show it
    double percent;  // of the whole picture
    Vec3 metres;     // the box round everything it draws, as it stands
    bool gate;
    double openDegrees;  // a gate: how far its leaves have turned from shut
};

struct PartsInView {
    PartMap map;
    std::vector<PartInView> parts;  // those in view, most pixels first
};

// Presses the keys from the program's starting state and maps the view it
// then shows in a window of width x height. The scene state is left as
// the keys leave it.
PartsInView partsInView(const std::vector<KeyPress>& presses, int width, int height);

// A part in view as one line of the list: its name, padded to the longest
// name, its share, its size across (x), deep (z) and high (y), and a
// gate's state: "roof                     23.4%  13.0 x 9.0 x 2.0 m",
// "walk gate                 0.3%  1.3 x 0.0 x 1.1 m  open 52°" ("shut"
// where it rounds to 0°). The fields are apart by at least two spaces and
// no name holds two spaces running.
std::string partLine(const PartInView& part);

#endif
