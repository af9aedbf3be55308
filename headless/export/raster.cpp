#include "export/raster.h"

#include <algorithm>
#include <cmath>

#include "export/vectors.h"
#include "geometry/turns.h"

namespace {

// GL keeps a pixel's position in fixed point with 8 bits below the pixel
// (Mesa's rasterizers do): corners snap to 1/256 of a pixel.
const int64_t kSubpixels = 256;
const int64_t kHalfPixel = kSubpixels / 2;

GlMatrix identity() {
    GlMatrix r{};
    r.m[0] = r.m[5] = r.m[10] = r.m[15] = 1;
    return r;
}

// a * b, in float, as GL multiplies its matrices.
GlMatrix product(const GlMatrix& a, const GlMatrix& b) {
    GlMatrix r{};
    for (int column = 0; column < 4; ++column)
        for (int row = 0; row < 4; ++row) {
            float sum = 0;
            for (int k = 0; k < 4; ++k) sum += a.m[k * 4 + row] * b.m[column * 4 + k];
            r.m[column * 4 + row] = sum;
        }
    return r;
}

// gluPerspective works in double; GL keeps the result in float.
GlMatrix perspective(double fieldOfViewDegrees, double aspect, double nearPlane, double farPlane) {
    const double radians = fieldOfViewDegrees / 2 * kPi / 180;
    const double depth = farPlane - nearPlane;
    const double cotangent = std::cos(radians) / std::sin(radians);
    GlMatrix p = identity();
    p.m[0] = float(cotangent / aspect);
    p.m[5] = float(cotangent);
    p.m[10] = float(-(farPlane + nearPlane) / depth);
    p.m[11] = -1;
    p.m[14] = float(-2 * nearPlane * farPlane / depth);
    p.m[15] = 0;
    return p;
}

void normalise(float v[3]) {
    const float length = float(std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]));
    if (length == 0) return;
    for (int i = 0; i < 3; ++i) v[i] /= length;
}

void crossInto(const float a[3], const float b[3], float out[3]) {
    out[0] = a[1] * b[2] - a[2] * b[1];
    out[1] = a[2] * b[0] - a[0] * b[2];
    out[2] = a[0] * b[1] - a[1] * b[0];
}

// gluLookAt works in float, then translates by the eye as glTranslated
// does: in float.
GlMatrix lookAt(const ProgramCamera& camera) {
    float forward[3] = {float(camera.centre.x - camera.eye.x), float(camera.centre.y - camera.eye.y),
                        float(camera.centre.z - camera.eye.z)};
    float up[3] = {float(camera.up.x), float(camera.up.y), float(camera.up.z)};
    float side[3];
    normalise(forward);
    crossInto(forward, up, side);
    normalise(side);
    crossInto(side, forward, up);
    GlMatrix turn = identity();
    for (int i = 0; i < 3; ++i) {
        turn.m[i * 4 + 0] = side[i];
        turn.m[i * 4 + 1] = up[i];
        turn.m[i * 4 + 2] = -forward[i];
    }
    GlMatrix move = identity();
    move.m[12] = float(-camera.eye.x);
    move.m[13] = float(-camera.eye.y);
    move.m[14] = float(-camera.eye.z);
    return product(turn, move);
}

struct Clip {
    double x, y, z, w;
};

Clip transform(const GlMatrix& m, const Vec3& v) {
    const float x = float(v.x), y = float(v.y), z = float(v.z);
    return Clip{m.m[0] * x + m.m[4] * y + m.m[8] * z + m.m[12], m.m[1] * x + m.m[5] * y + m.m[9] * z + m.m[13],
                m.m[2] * x + m.m[6] * y + m.m[10] * z + m.m[14], m.m[3] * x + m.m[7] * y + m.m[11] * z + m.m[15]};
}

// How far inside one of the six planes of the view volume a point lies.
double inside(const Clip& c, int plane) {
    switch (plane) {
        case 0: return c.w + c.x;
        case 1: return c.w - c.x;
        case 2: return c.w + c.y;
        case 3: return c.w - c.y;
        case 4: return c.w + c.z;
        default: return c.w - c.z;
    }
}

// The part of a polygon inside the view volume (Sutherland and Hodgman).
std::vector<Clip> clipToView(std::vector<Clip> polygon) {
    for (int plane = 0; plane < 6 && !polygon.empty(); ++plane) {
        std::vector<Clip> kept;
        for (size_t i = 0; i < polygon.size(); ++i) {
            const Clip& p = polygon[i];
            const Clip& q = polygon[(i + 1) % polygon.size()];
            const double dp = inside(p, plane), dq = inside(q, plane);
            if (dp >= 0) kept.push_back(p);
            if ((dp >= 0) != (dq >= 0)) {
                const double t = dp / (dp - dq);
                kept.push_back(Clip{p.x + t * (q.x - p.x), p.y + t * (q.y - p.y), p.z + t * (q.z - p.z),
                                    p.w + t * (q.w - p.w)});
            }
        }
        polygon = std::move(kept);
    }
    return polygon;
}

// A plane n . p = offset in world space, n scaled so that its largest
// component is exactly 1: pieces in one axis-aligned plane then have the
// very same numbers, whichever corners they are read from.
struct Plane {
    Vec3 normal;
    double offset;
};

bool planeOf(const Vec3* corners, Plane& plane) {
    const Vec3 n = cross(minus(corners[1], corners[0]), minus(corners[2], corners[0]));
    const double largest = std::fabs(n.x) >= std::fabs(n.y) && std::fabs(n.x) >= std::fabs(n.z) ? n.x
                           : std::fabs(n.y) >= std::fabs(n.z)                                     ? n.y
                                                                                                  : n.z;
    if (largest == 0) return false;
    plane.normal = times(n, 1 / largest);
    plane.offset = dot(plane.normal, corners[0]);
    return true;
}

// Top-left rule, in GL's window coordinates (y up) and for corners
// turning anticlockwise: a pixel centre on an edge is the triangle's if
// the edge is a top one (level, running towards -x) or a left one
// (running down), so that of two triangles sharing an edge exactly one
// takes it.
bool takesEdge(const WindowCorner& a, const WindowCorner& b) { return (b.y == a.y && b.x < a.x) || b.y < a.y; }

// The first pixel whose centre (i + 1/2) lies at or above a fixed-point
// coordinate, and the last at or below one.
int64_t firstPixelFrom(int64_t low) { return (low - kHalfPixel + kSubpixels - 1) / kSubpixels; }
int64_t lastPixelTo(int64_t high) { return (high - kHalfPixel) / kSubpixels; }

// A triangle of three window corners, or false where it has no area.
bool windowTriangle(WindowCorner a, WindowCorner b, WindowCorner c, int width, int height,
                    WindowTriangle& triangle) {
    const int64_t area = (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
    if (area == 0) return false;
    if (area < 0) std::swap(b, c);
    triangle.corners[0] = a;
    triangle.corners[1] = b;
    triangle.corners[2] = c;
    for (int e = 0; e < 3; ++e)
        triangle.edgeBias[e] = takesEdge(triangle.corners[e], triangle.corners[(e + 1) % 3]) ? 0 : -1;
    triangle.x0 = int(std::max<int64_t>(0, firstPixelFrom(std::min({a.x, b.x, c.x}))));
    triangle.y0 = int(std::max<int64_t>(0, firstPixelFrom(std::min({a.y, b.y, c.y}))));
    triangle.x1 = int(std::min<int64_t>(width - 1, lastPixelTo(std::max({a.x, b.x, c.x}))));
    triangle.y1 = int(std::min<int64_t>(height - 1, lastPixelTo(std::max({a.y, b.y, c.y}))));
    return true;
}

}  // namespace

Raster::Raster(const ProgramCamera& camera, int width, int height) : width_(width), height_(height) {
    const GlMatrix projection =
        perspective(camera.fieldOfViewDegrees, camera.aspect, camera.nearPlane, camera.farPlane);
    view_ = lookAt(camera);
    whole_ = product(projection, view_);
    eye_ = camera.eye;
    depthScale_ = projection.m[14];
    depthShift_ = projection.m[10];
    // The line of sight through each pixel's centre, in eye space: (x, y, -1).
    for (int column = 0; column < width; ++column)
        sightX_.push_back((2 * (column + 0.5) / width - 1) / projection.m[0]);
    for (int row = 0; row < height; ++row)
        sightY_.push_back((2 * (row + 0.5) / height - 1) / projection.m[5]);
}

std::vector<WindowTriangle> Raster::project(const Vec3* corners) const {
    std::vector<WindowTriangle> triangles;
    Plane plane;
    if (!planeOf(corners, plane)) return triangles;
    const std::vector<Clip> polygon =
        clipToView({transform(whole_, corners[0]), transform(whole_, corners[1]), transform(whole_, corners[2])});
    std::vector<WindowCorner> window;
    for (const Clip& c : polygon) {
        const float x = float((float(c.x / c.w) * 0.5f + 0.5f) * float(width_));
        const float y = float((float(c.y / c.w) * 0.5f + 0.5f) * float(height_));
        window.push_back(WindowCorner{std::llround(x * kSubpixels), std::llround(y * kSubpixels)});
    }
    // The plane in eye space: n . p = offset there, p on a sight line
    // s (x, y, -1) at s = offset / (n . (x, y, -1)).
    WindowTriangle triangle;
    triangle.planeNormal = Vec3{turn(0, plane.normal), turn(1, plane.normal), turn(2, plane.normal)};
    triangle.planeOffset = plane.offset - dot(plane.normal, eye_);
    for (size_t i = 1; i + 1 < window.size(); ++i)
        if (windowTriangle(window[0], window[i], window[i + 1], width_, height_, triangle))
            triangles.push_back(triangle);
    return triangles;
}

bool Raster::covers(const WindowTriangle& triangle, int x, int y) {
    const int64_t px = x * kSubpixels + kHalfPixel, py = y * kSubpixels + kHalfPixel;
    for (int e = 0; e < 3; ++e) {
        const WindowCorner& p = triangle.corners[e];
        const WindowCorner& q = triangle.corners[(e + 1) % 3];
        if ((q.x - p.x) * (py - p.y) - (q.y - p.y) * (px - p.x) + triangle.edgeBias[e] < 0) return false;
    }
    return true;
}

float Raster::depthAt(const WindowTriangle& triangle, int x, int y) const {
    const Vec3& n = triangle.planeNormal;
    const double along = n.x * sightX_[size_t(x)] + n.y * sightY_[size_t(y)] - n.z;
    const double distance = triangle.planeOffset / along;  // -z in eye space
    const double depth = 0.5 * (depthScale_ / distance - depthShift_) + 0.5;
    return float(std::clamp(std::isfinite(depth) ? depth : 1.0, 0.0, 1.0));
}

double Raster::turn(int row, const Vec3& v) const {
    return view_.m[row] * v.x + view_.m[4 + row] * v.y + view_.m[8 + row] * v.z;
}
