#include "call_readers/drawn_groups.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "geometry/turns.h"

namespace {

Rotation identity() {
    return Rotation{{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}};
}

Rotation multiply(const Rotation& a, const Rotation& b) {
    Rotation r{};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            for (int k = 0; k < 3; ++k) r.m[i][j] += a.m[i][k] * b.m[k][j];
    return r;
}

// The matrix glRotatef multiplies in on the right: a turn by `degrees`
// about (x, y, z). So the turn made last acts on a vertex first.
Rotation rotation(const std::vector<double>& args) {
    double x = args[1], y = args[2], z = args[3];
    const double length = std::sqrt(x * x + y * y + z * z);
    x /= length;
    y /= length;
    z /= length;
    const auto [c, s] = turnCosineSine(args[0]);
    const double t = 1 - c;
    return Rotation{{{x * x * t + c, x * y * t - z * s, x * z * t + y * s},
                     {y * x * t + z * s, y * y * t + c, y * z * t - x * s},
                     {x * z * t - y * s, y * z * t + x * s, z * z * t + c}}};
}

// Follows the modelview turns through the calls, as GL would.
struct TurnTracker {
    Rotation turn = identity();
    bool modelview = true;

    void follow(const GlCall& call) {
        if (call.fn == GlFn::MatrixMode) modelview = call.args[0] == GL_MODELVIEW;
        if (call.fn == GlFn::LoadIdentity && modelview) turn = identity();
        if (call.fn == GlFn::Rotatef && modelview) turn = multiply(turn, rotation(call.args));
    }
};

double cross(double ax, double az, double bx, double bz) { return ax * bz - az * bx; }

bool triangleCovers(const Vec3& a, const Vec3& b, const Vec3& c, double x, double z) {
    const double d1 = cross(b.x - a.x, b.z - a.z, x - a.x, z - a.z);
    const double d2 = cross(c.x - b.x, c.z - b.z, x - b.x, z - b.z);
    const double d3 = cross(a.x - c.x, a.z - c.z, x - c.x, z - c.z);
    const bool negative = d1 < 0 || d2 < 0 || d3 < 0;
    const bool positive = d1 > 0 || d2 > 0 || d3 > 0;
    return !(negative && positive);
}

Vec3 normalOf(const DrawnGroup& g) {
    const Vec3 &a = g.world[0], &b = g.world[1], &c = g.world[2];
    const double ux = b.x - a.x, uy = b.y - a.y, uz = b.z - a.z;
    const double vx = c.x - a.x, vy = c.y - a.y, vz = c.z - a.z;
    return Vec3{uy * vz - uz * vy, uz * vx - ux * vz, ux * vy - uy * vx};
}

}  // namespace

Vec3 Rotation::apply(const Vec3& v) const {
    return Vec3{m[0][0] * v.x + m[0][1] * v.y + m[0][2] * v.z,
                m[1][0] * v.x + m[1][1] * v.y + m[1][2] * v.z,
                m[2][0] * v.x + m[2][1] * v.y + m[2][2] * v.z};
}

bool Rotation::isIdentity(double tolerance) const {
    const Rotation one = identity();
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            if (std::fabs(m[i][j] - one.m[i][j]) > tolerance) return false;
    return true;
}

std::vector<DrawnGroup> drawnGroups(const std::vector<GlCall>& calls) {
    std::vector<DrawnGroup> groups;
    Rgb colour{-1, -1, -1};
    TurnTracker tracker;
    bool open = false;
    for (const GlCall& call : calls) {
        tracker.follow(call);
        if (call.fn == GlFn::Color3f) {
            colour = Rgb{float(call.args[0]), float(call.args[1]), float(call.args[2])};
        } else if (call.fn == GlFn::Begin) {
            if (open) throw std::runtime_error("glBegin inside a group");
            open = true;
            groups.push_back(DrawnGroup{static_cast<GLenum>(call.args[0]), colour, {}, {}});
        } else if (call.fn == GlFn::End) {
            if (!open) throw std::runtime_error("glEnd without glBegin");
            open = false;
        } else if (call.fn == GlFn::Vertex3f) {
            if (!open) throw std::runtime_error("vertex outside a group");
            const Vec3 v{call.args[0], call.args[1], call.args[2]};
            groups.back().vertices.push_back(v);
            groups.back().world.push_back(tracker.turn.apply(v));
        }
    }
    if (open) throw std::runtime_error("group left open");
    return groups;
}

Rotation netRotation(const std::vector<GlCall>& calls) {
    TurnTracker tracker;
    for (const GlCall& call : calls)
        if (call.fn != GlFn::LoadIdentity) tracker.follow(call);
    return tracker.turn;
}

Bounds boundsOf(const std::vector<DrawnGroup>& groups, size_t first, size_t count, bool world) {
    Bounds b{{1e300, 1e300, 1e300}, {-1e300, -1e300, -1e300}};
    for (size_t g = first; g < first + count; ++g)
        for (const Vec3& v : world ? groups[g].world : groups[g].vertices) {
            b.lo = Vec3{std::min(b.lo.x, v.x), std::min(b.lo.y, v.y), std::min(b.lo.z, v.z)};
            b.hi = Vec3{std::max(b.hi.x, v.x), std::max(b.hi.y, v.y), std::max(b.hi.z, v.z)};
        }
    return b;
}

Bounds boundsOf(const DrawnGroup& group, bool world) {
    return boundsOf(std::vector<DrawnGroup>{group}, 0, 1, world);
}

std::vector<Vec3> fanTriangles(const DrawnGroup& group) {
    std::vector<Vec3> triangles;
    const bool filled = group.mode == GL_QUADS || group.mode == GL_TRIANGLES ||
                        group.mode == GL_POLYGON;
    const std::vector<Vec3>& v = group.world;
    for (size_t i = 1; filled && i + 1 < v.size(); ++i)
        triangles.insert(triangles.end(), {v[0], v[i], v[i + 1]});
    return triangles;
}

// The fan walked in place: the tests ask this for many thousand points.
bool fanCovers(const DrawnGroup& polygon, double x, double z) {
    const std::vector<Vec3>& v = polygon.world;
    for (size_t i = 1; i + 1 < v.size(); ++i)
        if (triangleCovers(v[0], v[i], v[i + 1], x, z)) return true;
    return false;
}

double offPlane(const DrawnGroup& group, const Vec3& p) {
    const Vec3 n = normalOf(group);
    const Vec3& a = group.world[0];
    return n.x * (p.x - a.x) + n.y * (p.y - a.y) + n.z * (p.z - a.z);
}

double heightOn(const DrawnGroup& group, double x, double z) {
    const Vec3& a = group.world[0];
    return a.y - offPlane(group, Vec3{x, a.y, z}) / normalOf(group).y;
}
