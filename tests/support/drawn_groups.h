// Reads the recorded calls back as drawn geometry: one entry per
// glBegin/glEnd group, with the colour in force and each vertex both as
// handed to glVertex3f and where it lands after the glRotatef turns in force.
#ifndef HOUSE_TESTS_DRAWN_GROUPS_H
#define HOUSE_TESTS_DRAWN_GROUPS_H

#include <string>
#include <vector>

#include "gl_recorder.h"

struct Vec3 {
    double x, y, z;
};

struct Colour {
    double red, green, blue;
    bool operator==(const Colour& o) const { return red == o.red && green == o.green && blue == o.blue; }
};

struct DrawnGroup {
    GLenum mode;
    Colour colour;               // in force when the group was drawn
    std::vector<Vec3> vertices;  // as handed to glVertex3f
    std::vector<Vec3> world;     // after the rotations in force
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

// Groups of the calls recorded so far. Throws if a glBegin is left open or
// a vertex stands outside a group.
std::vector<DrawnGroup> drawnGroups();

// The product of every glRotatef recorded so far.
Rotation netRotation();

// Runs `routine` on a cleared record and returns its groups.
std::vector<DrawnGroup> groupsOf(void (*routine)());

// True if point (x, z) lies inside a horizontal polygon's fan of triangles
// from its first vertex, the way GL fills a GL_POLYGON.
bool fanCovers(const DrawnGroup& polygon, double x, double z);

#endif
