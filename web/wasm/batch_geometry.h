// The arithmetic of the page's GL layer (gl_batch.cpp), apart from WebGL so
// that it can be checked natively: the matrices as a desktop GL and GLU
// build them, a vertex taken into clip space, a group cut into triangles,
// and the test that leaves out a triangle wholly outside the view.
//
// Matrices are 32-bit floats, column-major as GL keeps them, and each
// operation multiplies the current matrix on the right, as GL does.
#ifndef HOUSE_WEB_BATCH_GEOMETRY_H
#define HOUSE_WEB_BATCH_GEOMETRY_H

#include <vector>

typedef float Matrix[16];

void setIdentity(float* m);
// product = a * b; product may be a or b.
void multiply(const float* a, const float* b, float* product);

// glRotatef: a turn by `degrees` about (x, y, z), exact where it is a
// multiple of 90 degrees.
void rotate(float* current, float degrees, float x, float y, float z);
// gluPerspective, built in double and handed over as floats; a depth, an
// aspect or a field of view of zero leaves the matrix as it was.
void perspective(float* current, double fieldOfViewDegrees, double aspect, double zNear,
                 double zFar);
// gluLookAt: the turn worked out in float, then the eye's translation.
void lookAt(float* current, double eyeX, double eyeY, double eyeZ, double centreX,
            double centreY, double centreZ, double upX, double upY, double upZ);

// The clip-space position of (x, y, z) under `m`.
void toClipSpace(const float* m, float x, float y, float z, float* clip);

// The primitives the scene draws, and the triangles GL fills each with, as
// triples of vertex indices within the group, in `corners` (whose storage
// is kept from group to group): a quad and a polygon are cut from their
// first vertex, as the desktop GL cuts them. Others give none.
enum class Primitive { Triangles, Quads, Polygon, Other };
void triangleCorners(Primitive primitive, int vertices, std::vector<int>& corners);

// Which of the six clip planes a clip-space vertex lies beyond, one bit
// each; a triangle whose three masks share a bit covers no pixel.
int outsideMask(const float* clip);
bool whollyOutside(const float* a, const float* b, const float* c);

// The edges of each primitive of a group, as pairs of vertex indices within
// the group in `ends` (kept storage, as above): the outline "How it's
// drawn" puts round the newest piece.
void outlineEdges(Primitive primitive, int vertices, std::vector<int>& ends);

// An edge from `from` to `to` (clip space) moved `pixels` across itself,
// into `movedFrom` and `movedTo`, in a viewport of width x height pixels.
// GL draws a line one pixel wide, so a wider one is copies of it moved so:
// up or down where the edge runs more across the picture than up it, else
// sideways. A move of k pixels is k * 2 / width times w in clip space,
// which moves every point of the line alike once divided by w, also where
// the line is cut at the near plane.
void movedAcross(const float* from, const float* to, float pixels, float width, float height,
                 float* movedFrom, float* movedTo);

#endif
