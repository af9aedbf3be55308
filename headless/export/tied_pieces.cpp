#include "export/tied_pieces.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "export/vectors.h"

namespace {

// Two planes closer than this are one (0.1 mm: the fence's float drift is
// 0.03 mm, a lift 2 mm).
const double kSamePlane = 1e-3;
// Normals whose directions differ by less than this (about 1e-3 radian
// when squared) are parallel.
const double kParallel = 1e-6;
// Less shared area than this (1 mm square) is pieces meeting along an edge,
// with float noise.
const double kLeastSharedArea = 1e-4;
const double kNothingThere = std::numeric_limits<double>::infinity();

struct Point2 {
    double u, v;
};

// The largest of a normal's components names the axis a plane is seen
// along: the other two are its flat coordinates.
int viewAxis(const Vec3& n) {
    const double x = std::fabs(n.x), y = std::fabs(n.y), z = std::fabs(n.z);
    return x >= y && x >= z ? 0 : y >= z ? 1 : 2;
}

double component(const Vec3& p, int axis) { return axis == 0 ? p.x : axis == 1 ? p.y : p.z; }

Point2 flatten(const Vec3& p, int axis) {
    return axis == 0 ? Point2{p.y, p.z} : axis == 1 ? Point2{p.z, p.x} : Point2{p.x, p.y};
}

double crossFlat(const Point2& o, const Point2& a, const Point2& b) {
    return (a.u - o.u) * (b.v - o.v) - (a.v - o.v) * (b.u - o.u);
}

double signedArea(const std::vector<Point2>& polygon) {
    double twice = 0;
    for (size_t i = 0; i < polygon.size(); ++i) {
        const Point2& a = polygon[i];
        const Point2& b = polygon[(i + 1) % polygon.size()];
        twice += a.u * b.v - b.u * a.v;
    }
    return twice / 2;
}

// What of `subject` lies on the left of the line a -> b.
std::vector<Point2> clipBy(const std::vector<Point2>& subject, const Point2& a, const Point2& b) {
    std::vector<Point2> kept;
    for (size_t i = 0; i < subject.size(); ++i) {
        const Point2& p = subject[i];
        const Point2& q = subject[(i + 1) % subject.size()];
        const double sp = crossFlat(a, b, p), sq = crossFlat(a, b, q);
        if (sp >= 0) kept.push_back(p);
        if ((sp >= 0) != (sq >= 0)) {
            const double t = sp / (sp - sq);
            kept.push_back(Point2{p.u + t * (q.u - p.u), p.v + t * (q.v - p.v)});
        }
    }
    return kept;
}

// The polygon two triangles share in flat coordinates.
std::vector<Point2> sharedPolygon(std::vector<Point2> a, std::vector<Point2> b) {
    if (signedArea(b) < 0) std::swap(b[1], b[2]);
    for (int edge = 0; edge < 3 && !a.empty(); ++edge) a = clipBy(a, b[edge], b[(edge + 1) % 3]);
    return a;
}

Point2 centroid(const std::vector<Point2>& polygon) {
    Point2 sum{0, 0};
    for (const Point2& p : polygon) sum = Point2{sum.u + p.u, sum.v + p.v};
    return Point2{sum.u / polygon.size(), sum.v / polygon.size()};
}

// A flat group as the tie search sees it.
struct Piece {
    bool flat = false;  // has a plane (three corners not in a line)
    Vec3 normal{0, 0, 0};  // unit, its largest component positive
    double offset = 0;     // normal . any point of the plane
    int axis = 0;
    std::vector<Vec3> triangles;  // three corners each, world space
};

// Newell's normal: well defined for any flat polygon, whatever its corners.
Piece pieceOf(const DrawnGroup& group) {
    Piece piece;
    piece.triangles = fanTriangles(group);
    const std::vector<Vec3>& v = group.world;
    Vec3 n{0, 0, 0};
    for (size_t i = 0; i < v.size(); ++i) {
        const Vec3& a = v[i];
        const Vec3& b = v[(i + 1) % v.size()];
        n = plus(n, Vec3{(a.y - b.y) * (a.z + b.z), (a.z - b.z) * (a.x + b.x), (a.x - b.x) * (a.y + b.y)});
    }
    const double length = std::sqrt(dot(n, n));
    if (piece.triangles.empty() || length == 0) return piece;
    piece.axis = viewAxis(n);
    piece.normal = times(n, (component(n, piece.axis) < 0 ? -1 : 1) / length);
    piece.offset = dot(piece.normal, v[0]);
    piece.flat = true;
    return piece;
}

bool samePlane(const Piece& a, const Piece& b) {
    return a.flat && b.flat && dot(a.normal, b.normal) > 1 - kParallel &&
           std::fabs(a.offset - b.offset) < kSamePlane;
}

std::vector<Point2> flatTriangle(const Vec3* corners, int axis) {
    return {flatten(corners[0], axis), flatten(corners[1], axis), flatten(corners[2], axis)};
}

// A point in the middle of the largest area two pieces share, or false if
// they share none.
bool sharedPoint(const Piece& a, const Piece& b, Vec3& point) {
    double largest = kLeastSharedArea;
    bool found = false;
    for (size_t i = 0; i < a.triangles.size(); i += 3)
        for (size_t j = 0; j < b.triangles.size(); j += 3) {
            const std::vector<Point2> shared =
                sharedPolygon(flatTriangle(&a.triangles[i], a.axis), flatTriangle(&b.triangles[j], a.axis));
            if (shared.size() < 3 || std::fabs(signedArea(shared)) <= largest) continue;
            largest = std::fabs(signedArea(shared));
            const Point2 c = centroid(shared);
            // Back onto the plane: solve for the coordinate seen along.
            const int u = (a.axis + 1) % 3, v = (a.axis + 2) % 3;
            double xyz[3];
            xyz[u] = c.u;
            xyz[v] = c.v;
            xyz[a.axis] = (a.offset - component(a.normal, u) * c.u - component(a.normal, v) * c.v) /
                          component(a.normal, a.axis);
            point = Vec3{xyz[0], xyz[1], xyz[2]};
            found = true;
        }
    return found;
}

// How far from `origin` along `direction` the ray first meets a triangle
// off the origin's own plane (Moller and Trumbore's test).
double nearestHit(const std::vector<Piece>& pieces, const Vec3& origin, const Vec3& direction) {
    double nearest = kNothingThere;
    for (const Piece& piece : pieces)
        for (size_t i = 0; i < piece.triangles.size(); i += 3) {
            const Vec3& a = piece.triangles[i];
            const Vec3 e1 = minus(piece.triangles[i + 1], a), e2 = minus(piece.triangles[i + 2], a);
            const Vec3 p = cross(direction, e2);
            const double det = dot(e1, p);
            if (std::fabs(det) < 1e-12) continue;
            const Vec3 s = minus(origin, a);
            const double u = dot(s, p) / det;
            const Vec3 q = cross(s, e1);
            const double v = dot(direction, q) / det;
            const double t = dot(e2, q) / det;
            if (u >= 0 && v >= 0 && u + v <= 1 && t > kSamePlane) nearest = std::min(nearest, t);
        }
    return nearest;
}

}  // namespace

double sharedArea(const Vec3* a, const Vec3* b) {
    const Vec3 n = cross(minus(a[1], a[0]), minus(a[2], a[0]));
    const int axis = viewAxis(n);
    const std::vector<Point2> shared = sharedPolygon(flatTriangle(a, axis), flatTriangle(b, axis));
    if (shared.size() < 3) return 0;
    // Flat coordinates shrink a tilted triangle: scale back to its plane.
    return std::fabs(signedArea(shared)) * std::sqrt(dot(n, n)) / std::fabs(component(n, axis));
}

std::vector<Vec3> liftTiedPieces(const std::vector<DrawnGroup*>& groups) {
    std::vector<Piece> pieces;
    for (const DrawnGroup* group : groups) pieces.push_back(pieceOf(*group));

    // For each piece, the later piece of another colour it ties with that
    // is lifted most, and which way the tie faces.
    const size_t n = groups.size();
    std::vector<int> layer(n, 0);
    std::vector<Vec3> towards(n, Vec3{0, 0, 0});
    for (size_t i = n; i-- > 0;) {
        for (size_t j = i + 1; j < n; ++j) {
            if (groups[i]->colour == groups[j]->colour || layer[j] + 1 <= layer[i] ||
                !samePlane(pieces[i], pieces[j]))
                continue;
            Vec3 middle;
            if (!sharedPoint(pieces[i], pieces[j], middle)) continue;
            layer[i] = layer[j] + 1;
            const Vec3& normal = pieces[i].normal;
            const bool open = nearestHit(pieces, middle, normal) >= nearestHit(pieces, middle, times(normal, -1));
            towards[i] = times(normal, open ? 1 : -1);
        }
    }

    std::vector<Vec3> lifts(n, Vec3{0, 0, 0});
    for (size_t i = 0; i < n; ++i) {
        if (layer[i] == 0) continue;
        lifts[i] = times(towards[i], kTieLift * layer[i]);
        for (Vec3& v : groups[i]->world) v = plus(v, lifts[i]);
    }
    return lifts;
}
