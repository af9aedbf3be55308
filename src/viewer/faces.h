// Geometry as data: a face is one glBegin/glEnd group, with the colour to
// set before it (if any) and its vertices in emission order.
#ifndef HOUSE_VIEWER_FACES_H
#define HOUSE_VIEWER_FACES_H

#include "viewer/opengl.h"
#include "viewer/palette.h"

const int kMaxFaceVertices = 6;

struct Face {
    const Rgb* colour;  // set with glColor3f before this face; null keeps the colour in force
    GLenum mode;        // GL_QUADS, GL_TRIANGLES or GL_POLYGON
    int count;          // vertices used in `vertex`
    double vertex[kMaxFaceVertices][3];
};

// Makes `colour` the one in force for whatever is drawn next.
void setColour(const Rgb& colour);

// Emits `count` faces in order. Each vertex coordinate is its origin plus
// its table value (y: originY + value * yScale), summed in double and rounded
// to float once, when it is handed to glVertex3f. Tables of literals use the
// zero origin; stamps pass the drawing cursor.
void drawFaces(const Face* faces, int count, double originX = 0.0, double originY = 0.0,
               double originZ = 0.0, double yScale = 1.0);

template <int N>
void drawFaces(const Face (&faces)[N], double originX = 0.0, double originY = 0.0,
               double originZ = 0.0, double yScale = 1.0) {
    drawFaces(faces, N, originX, originY, originZ, yScale);
}

// The same faces pressed flat onto the plane y = planeY: every vertex keeps
// its x and z and takes that height.
template <int N>
void drawFacesFlattened(const Face (&faces)[N], double planeY) {
    drawFaces(faces, N, 0.0, planeY, 0.0, 0.0);
}

#endif
