// Times frames on the headless GL at one buffer size: the program's own
// frame, the bare clear-and-finish floor under it, and the same triangles
// replayed from one vertex buffer in one draw; and checks that the program's
// frame and the replay give the same picture.
#ifndef HOUSE_TOOLS_BENCH_GL_FRAMES_H
#define HOUSE_TOOLS_BENCH_GL_FRAMES_H

#include <string>
#include <vector>

#include "triangle_file.h"

struct SizeFigures {
    int width = 0;
    int height = 0;
    bool ok = false;
    std::string error;
    std::string renderer;
    std::string version;
    double programMs = 0;    // (a) display(), median
    double floorMs = 0;      // (b) clear and finish, median
    double referenceMs = 0;  // (c) one glDrawArrays, median
    double programMinMs = 0;
    long pixels = 0;
    long scenePixels = 0;      // pixels of (a) not in the clear colour
    long differingPixels = 0;  // pixels where (a) and (c) differ in any channel
    // Of those, the ones off by more than one 8-bit step: a different
    // surface at that pixel rather than the same colour rounded the other
    // way (0.1, 0.5 or 0.9 of 255 sit exactly half-way between two steps).
    long otherSurfacePixels = 0;
    bool imagesWritten = false;
};

// `imageDirectory`, when not empty, receives program-WxH.ppm and
// reference-WxH.ppm; it must exist.
SizeFigures measureSize(int width, int height, int frames,
                        const std::vector<TriangleVertex>& triangles,
                        const std::string& imageDirectory);

#endif
