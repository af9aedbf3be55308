// Reads recorded calls back as drawn geometry: one entry per glBegin/glEnd
// group, with the colour in force and each vertex both as handed to
// glVertex3f and where it lands after the modelview turns in force. Every
// reader takes the calls it reads; none records anything itself.
#ifndef HOUSE_CALL_READERS_DRAWN_GROUPS_H
#define HOUSE_CALL_READERS_DRAWN_GROUPS_H

#include <cstddef>
#include <vector>

#include "recording/gl_calls.h"
#include "viewer/palette.h"

inline bool operator==(const Rgb& a, const Rgb& b) {
    return a.red == b.red && a.green == b.green && a.blue == b.blue;
}

struct Vec3 {
    double x, y, z;
};

struct DrawnGroup {
    GLenum mode;
    Rgb colour;                  // in force when the group was drawn
    std::vector<Vec3> vertices;  // as handed to glVertex3f
    std::vector<Vec3> world;     // after the turns in force
};

// The axis-aligned bounds of some groups: of their vertices as handed to
// glVertex3f, or (world) of where they land after the turns.
struct Bounds {
    Vec3 lo, hi;
    Vec3 size() const { return Vec3{hi.x - lo.x, hi.y - lo.y, hi.z - lo.z}; }
};

Bounds boundsOf(const std::vector<DrawnGroup>& groups, size_t first, size_t count,
                bool world = false);
Bounds boundsOf(const DrawnGroup& group, bool world = false);

// A 3x3 rotation built from the glRotatef calls, row-major.
struct Rotation {
    double m[3][3];
    Vec3 apply(const Vec3& v) const;
    bool isIdentity(double tolerance) const;
};

// The groups of the calls. Throws if a glBegin is left open or a vertex
// stands outside a group. Only turns and identities of the modelview matrix
// move vertices, as in GL.
std::vector<DrawnGroup> drawnGroups(const std::vector<GlCall>& calls);

// The product of every modelview glRotatef among the calls.
Rotation netRotation(const std::vector<GlCall>& calls);

// The triangles GL fills a group with, three world vertices each: a quad, a
// triangle or a polygon is a fan from its first vertex (the scene draws each
// face as a group of its own). Other primitives fill nothing.
std::vector<Vec3> fanTriangles(const DrawnGroup& group);

// True if point (x, z) lies inside a horizontal group's fan of triangles.
bool fanCovers(const DrawnGroup& polygon, double x, double z);

// How far p lies off the plane through a group's first three world
// corners, scaled by the length of that plane's normal: zero in the plane.
double offPlane(const DrawnGroup& group, const Vec3& p);
// The height of that plane over the plan point (x, z).
double heightOn(const DrawnGroup& group, double x, double z);

#endif
