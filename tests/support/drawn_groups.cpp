#include "drawn_groups.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace {

const double kPi = 3.14159265358979323846;

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

// The matrix glRotatef multiplies in: a turn by `degrees` about (x, y, z).
Rotation rotation(double degrees, double x, double y, double z) {
    const double length = std::sqrt(x * x + y * y + z * z);
    x /= length;
    y /= length;
    z /= length;
    const double c = std::cos(degrees * kPi / 180.0);
    const double s = std::sin(degrees * kPi / 180.0);
    const double t = 1 - c;
    return Rotation{{{x * x * t + c, x * y * t - z * s, x * z * t + y * s},
                     {y * x * t + z * s, y * y * t + c, y * z * t - x * s},
                     {x * z * t - y * s, y * z * t + x * s, z * z * t + c}}};
}

double cross(double ax, double az, double bx, double bz) { return ax * bz - az * bx; }

bool triangleCovers(const Vec3& a, const Vec3& b, const Vec3& c, double x, double z) {
    const double d1 = cross(b.x - a.x, b.z - a.z, x - a.x, z - a.z);
    const double d2 = cross(c.x - b.x, c.z - b.z, x - b.x, z - b.z);
    const double d3 = cross(a.x - c.x, a.z - c.z, x - c.x, z - c.z);
    const bool negative = d1 < 0 || d2 < 0 || d3 < 0;
    const bool positive = d1 > 0 || d2 > 0 || d3 > 0;
    return !(negative && positive);
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

std::vector<DrawnGroup> drawnGroups() {
    std::vector<DrawnGroup> groups;
    Colour colour{-1, -1, -1};
    Rotation turn = identity();
    bool open = false;
    for (const GlCall& call : recorder::calls()) {
        switch (call.fn) {
        case GlFn::Color3f:
            colour = Colour{call.args[0], call.args[1], call.args[2]};
            break;
        case GlFn::Rotatef:
            turn = multiply(turn, rotation(call.args[0], call.args[1], call.args[2], call.args[3]));
            break;
        case GlFn::LoadIdentity:
            turn = identity();
            break;
        case GlFn::Begin:
            if (open) throw std::runtime_error("glBegin inside a group");
            open = true;
            groups.push_back(DrawnGroup{static_cast<GLenum>(call.args[0]), colour, {}, {}});
            break;
        case GlFn::End:
            if (!open) throw std::runtime_error("glEnd without glBegin");
            open = false;
            break;
        case GlFn::Vertex3f: {
            if (!open) throw std::runtime_error("vertex outside a group");
            const Vec3 v{call.args[0], call.args[1], call.args[2]};
            groups.back().vertices.push_back(v);
            groups.back().world.push_back(turn.apply(v));
            break;
        }
        default:
            break;
        }
    }
    if (open) throw std::runtime_error("group left open");
    return groups;
}

Rotation netRotation() {
    Rotation turn = identity();
    for (const GlCall& call : recorder::calls())
        if (call.fn == GlFn::Rotatef)
            turn = multiply(turn, rotation(call.args[0], call.args[1], call.args[2], call.args[3]));
    return turn;
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

std::vector<DrawnGroup> groupsOf(void (*routine)()) {
    recorder::clear();
    routine();
    return drawnGroups();
}

bool fanCovers(const DrawnGroup& polygon, double x, double z) {
    const std::vector<Vec3>& v = polygon.world;
    for (size_t i = 1; i + 1 < v.size(); ++i)
        if (triangleCovers(v[0], v[i], v[i + 1], x, z)) return true;
    return false;
}
