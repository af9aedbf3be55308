// Which pixels of the program's picture a triangle covers, and at what
// depth, worked out without GL: what the part map and a pixel's history
// both ask of the frame's triangles.
//
// The arithmetic follows GL's where it decides which pixel a triangle
// covers: GLU's projection and look-at in their precisions, the vertices
// transformed in float, clipped to the view, snapped to 1/256 of a pixel
// and sampled at pixel centres with a top-left fill rule, so that of two
// triangles sharing an edge exactly one takes a pixel centre on it. Depth
// comes from each triangle's plane in world space, so that pieces in one
// plane tie exactly whatever corners they have: of two, GL's less-than
// test keeps the one drawn first. No GL and no system calls: the web build
// takes it too.
#ifndef HOUSE_EXPORT_RASTER_H
#define HOUSE_EXPORT_RASTER_H

#include <cstdint>
#include <vector>

#include "export/program_camera.h"

// A corner on the window, in fixed point: GL's window coordinates, y up.
struct WindowCorner {
    int64_t x, y;
};

// A 4x4 matrix as GL holds it: float, column by column.
struct GlMatrix {
    float m[16];
};

// One triangle as GL fills it: corners turning anticlockwise on the
// window, its plane in eye space, and the pixels whose centres may lie
// inside it (columns x0..x1 and rows y0..y1 from the bottom; empty where
// x0 > x1 or y0 > y1).
struct WindowTriangle {
    WindowCorner corners[3];
    int64_t edgeBias[3];  // 0 where the edge takes the pixel centres on it, -1 where not
    Vec3 planeNormal;     // n . p = planeOffset for p in eye space
    double planeOffset;
    int x0, y0, x1, y1;
};

// The program's camera for a picture of width x height.
class Raster {
public:
    Raster(const ProgramCamera& camera, int width, int height);

    int width() const { return width_; }
    int height() const { return height_; }

    // The triangles GL fills for one world triangle: none if it lies
    // outside the view or edge on, more than one where the view's planes
    // cut it.
    std::vector<WindowTriangle> project(const Vec3* corners) const;

    // Whether the centre of pixel (x, y), y counted from the bottom, is the
    // triangle's.
    static bool covers(const WindowTriangle& triangle, int x, int y);

    // The window depth, 0 at the near plane and 1 at the far one, that GL
    // gives the triangle at the centre of pixel (x, y).
    float depthAt(const WindowTriangle& triangle, int x, int y) const;

private:
    double turn(int row, const Vec3& v) const;

    int width_, height_;
    GlMatrix view_, whole_;
    Vec3 eye_;
    double depthScale_, depthShift_;
    std::vector<double> sightX_, sightY_;
};

#endif
