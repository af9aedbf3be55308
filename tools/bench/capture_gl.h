// A lean stand-in for the GL, GLU and GLUT calls the scene library makes,
// for timing the program's own code without a GL underneath and for taking
// one frame's geometry down as plain triangles.
//
// Counting mode does as little as a call can: it counts. Triangle mode
// follows the colour and the glRotatef turns in force and turns every
// glBegin/glEnd group into world-space triangles, so the frame can be
// replayed later from one vertex buffer.
#ifndef HOUSE_TOOLS_BENCH_CAPTURE_GL_H
#define HOUSE_TOOLS_BENCH_CAPTURE_GL_H

#include <vector>

#include "triangle_file.h"

namespace capture {

enum class Mode { Counting, Triangles };

// What the calls since the last start() amounted to.
struct Tally {
    long calls;
    long groups;
    long quadGroups;
    long triangleGroups;
    long polygonGroups;
    long droppedGroups;  // any other primitive, left out
    long vertices;
    long colourChanges;
    long turns;
};

// Forgets everything recorded so far and switches the stand-ins to `mode`.
void start(Mode mode);

const Tally& tally();

// The triangles taken down since start() in Triangles mode, three vertices
// each, in the order GL would have drawn them.
const std::vector<TriangleVertex>& triangles();

// The largest entry of (net turn - identity) over the modelview turns made
// since the last glLoadIdentity: 0 when every routine turned back whatever
// it turned. Tracked in Triangles mode only.
double netTurnResidual();

}  // namespace capture

#endif
