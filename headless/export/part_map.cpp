#include "export/part_map.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>

#include "export/gate_leaves.h"
#include "export/scene_model.h"
#include "export/vectors.h"
#include "geometry/turns.h"
#include "recording/gl_recorder.h"
#include "viewer/scene_state.h"

namespace {

// GL keeps a pixel's position in fixed point with 8 bits below the pixel
// (Mesa's rasterizers do): corners snap to 1/256 of a pixel.
const double kSubpixels = 256;

// A 4x4 matrix as GL holds it: float, column by column.
struct Matrix {
    float m[16];
};

Matrix identity() {
    Matrix r{};
    r.m[0] = r.m[5] = r.m[10] = r.m[15] = 1;
    return r;
}

// a * b, in float, as GL multiplies its matrices.
Matrix product(const Matrix& a, const Matrix& b) {
    Matrix r{};
    for (int column = 0; column < 4; ++column)
        for (int row = 0; row < 4; ++row) {
            float sum = 0;
            for (int k = 0; k < 4; ++k) sum += a.m[k * 4 + row] * b.m[column * 4 + k];
            r.m[column * 4 + row] = sum;
        }
    return r;
}

// gluPerspective works in double; GL keeps the result in float.
Matrix perspective(double fieldOfViewDegrees, double aspect, double nearPlane, double farPlane) {
    const double radians = fieldOfViewDegrees / 2 * kPi / 180;
    const double depth = farPlane - nearPlane;
    const double cotangent = std::cos(radians) / std::sin(radians);
    Matrix p = identity();
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
Matrix lookAt(const ProgramCamera& camera) {
    float forward[3] = {float(camera.centre.x - camera.eye.x), float(camera.centre.y - camera.eye.y),
                        float(camera.centre.z - camera.eye.z)};
    float up[3] = {float(camera.up.x), float(camera.up.y), float(camera.up.z)};
    float side[3];
    normalise(forward);
    crossInto(forward, up, side);
    normalise(side);
    crossInto(side, forward, up);
    Matrix turn = identity();
    for (int i = 0; i < 3; ++i) {
        turn.m[i * 4 + 0] = side[i];
        turn.m[i * 4 + 1] = up[i];
        turn.m[i * 4 + 2] = -forward[i];
    }
    Matrix move = identity();
    move.m[12] = float(-camera.eye.x);
    move.m[13] = float(-camera.eye.y);
    move.m[14] = float(-camera.eye.z);
    return product(turn, move);
}

struct Clip {
    double x, y, z, w;
};

Clip transform(const Matrix& m, const Vec3& v) {
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

// A corner on the window, in fixed point: GL's window coordinates, y up.
struct Corner {
    int64_t x, y;
};

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

// Fills the map and its depth buffer from the triangles, in draw order.
class Rasterizer {
public:
    Rasterizer(const ProgramCamera& camera, int width, int height)
        : width_(width), height_(height), depth_(size_t(width) * size_t(height), 1.0f),
          pixels_(size_t(width) * size_t(height), 0) {
        const Matrix projection = perspective(camera.fieldOfViewDegrees, camera.aspect, camera.nearPlane,
                                              camera.farPlane);
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

    void draw(const Vec3* corners, unsigned char value) {
        Plane plane;
        if (!planeOf(corners, plane)) return;
        // The plane in eye space: n . p = offset there, p on a sight line
        // s (x, y, -1) at s = offset / (n . (x, y, -1)).
        const Vec3 n{turn(0, plane.normal), turn(1, plane.normal), turn(2, plane.normal)};
        const double offset = plane.offset - dot(plane.normal, eye_);
        const std::vector<Clip> polygon =
            clipToView({transform(whole_, corners[0]), transform(whole_, corners[1]), transform(whole_, corners[2])});
        std::vector<Corner> window;
        for (const Clip& c : polygon) {
            const float x = float((float(c.x / c.w) * 0.5f + 0.5f) * float(width_));
            const float y = float((float(c.y / c.w) * 0.5f + 0.5f) * float(height_));
            window.push_back(Corner{std::llround(x * kSubpixels), std::llround(y * kSubpixels)});
        }
        for (size_t i = 1; i + 1 < window.size(); ++i) fill(window[0], window[i], window[i + 1], n, offset, value);
    }

    PartMap map() && { return PartMap{width_, height_, std::move(pixels_)}; }

private:
    double turn(int row, const Vec3& v) const {
        return view_.m[row] * v.x + view_.m[4 + row] * v.y + view_.m[8 + row] * v.z;
    }

    // Top-left rule, in GL's window coordinates (y up) and for corners
    // turning anticlockwise: a pixel centre on an edge is the triangle's if
    // the edge is a top one (level, running towards -x) or a left one
    // (running down), so that of two triangles sharing an edge exactly one
    // takes it.
    static bool takesEdge(const Corner& a, const Corner& b) {
        return (b.y == a.y && b.x < a.x) || b.y < a.y;
    }

    void fill(Corner a, Corner b, Corner c, const Vec3& n, double offset, unsigned char value) {
        int64_t area = (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
        if (area == 0) return;
        if (area < 0) std::swap(b, c);
        const Corner edges[3][2] = {{a, b}, {b, c}, {c, a}};
        int64_t bias[3];
        for (int e = 0; e < 3; ++e) bias[e] = takesEdge(edges[e][0], edges[e][1]) ? 0 : -1;
        const auto lowest = [](int64_t p, int64_t q, int64_t r) { return std::min(p, std::min(q, r)); };
        const auto highest = [](int64_t p, int64_t q, int64_t r) { return std::max(p, std::max(q, r)); };
        // Pixels whose centres (i + 1/2) lie within the corners' box.
        const int64_t half = int64_t(kSubpixels) / 2;
        const auto first = [&](int64_t low) { return (low - half + int64_t(kSubpixels) - 1) / int64_t(kSubpixels); };
        const int x0 = int(std::max<int64_t>(0, first(lowest(a.x, b.x, c.x))));
        const int y0 = int(std::max<int64_t>(0, first(lowest(a.y, b.y, c.y))));
        const int x1 = int(std::min<int64_t>(width_ - 1, (highest(a.x, b.x, c.x) - half) / int64_t(kSubpixels)));
        const int y1 = int(std::min<int64_t>(height_ - 1, (highest(a.y, b.y, c.y) - half) / int64_t(kSubpixels)));
        for (int y = y0; y <= y1; ++y) {
            const int64_t py = y * int64_t(kSubpixels) + half;
            const size_t rowStart = size_t(height_ - 1 - y) * size_t(width_);
            for (int x = x0; x <= x1; ++x) {
                const int64_t px = x * int64_t(kSubpixels) + half;
                bool in = true;
                for (int e = 0; e < 3 && in; ++e) {
                    const Corner& p = edges[e][0];
                    const Corner& q = edges[e][1];
                    in = (q.x - p.x) * (py - p.y) - (q.y - p.y) * (px - p.x) + bias[e] >= 0;
                }
                if (!in) continue;
                const float depth = depthAt(n, offset, x, y);
                float& held = depth_[rowStart + size_t(x)];
                if (depth < held) {
                    held = depth;
                    pixels_[rowStart + size_t(x)] = value;
                }
            }
        }
    }

    // The window depth GL would give the plane at a pixel's centre.
    float depthAt(const Vec3& n, double offset, int x, int y) const {
        const double along = n.x * sightX_[size_t(x)] + n.y * sightY_[size_t(y)] - n.z;
        const double distance = offset / along;  // -z in eye space
        const double depth = 0.5 * (depthScale_ / distance - depthShift_) + 0.5;
        return float(std::clamp(std::isfinite(depth) ? depth : 1.0, 0.0, 1.0));
    }

    int width_, height_;
    Matrix view_, whole_;
    Vec3 eye_;
    double depthScale_, depthShift_;
    std::vector<double> sightX_, sightY_;
    std::vector<float> depth_;
    std::vector<unsigned char> pixels_;
};

double degrees(double radians) { return radians * 180 / kPi; }

}  // namespace

PartMap mapParts(std::vector<DrawnPart>& parts, const ProgramCamera& camera, int width, int height) {
    Rasterizer rasterizer(camera, width, height);
    for (const PartGroup& piece : inDrawOrder(parts)) {
        const std::vector<Vec3> triangles = fanTriangles(*piece.group);
        for (size_t i = 0; i < triangles.size(); i += 3)
            rasterizer.draw(&triangles[i], static_cast<unsigned char>(piece.part + 1));
    }
    return std::move(rasterizer).map();
}

PartsInView partsInView(const std::vector<KeyPress>& presses, int width, int height) {
    // The gates' shut leaves never change: read once.
    static const std::vector<GateLeaf> shut = shutGateLeaves();
    scene = kInitialScene;
    recorder::countOnly(true);
    pressKeys(presses);
    recorder::countOnly(false);
    const ProgramCamera camera = programCamera(width, height);
    std::vector<DrawnPart> parts = drawParts();
    recorder::clear();

    PartsInView view;
    view.map = mapParts(parts, camera, width, height);
    std::vector<long> pixels(parts.size() + 1, 0);
    for (unsigned char value : view.map.pixels) ++pixels[value];
    size_t leaf = 0;
    for (size_t i = 0; i < parts.size(); ++i) {
        const DrawnPart& drawn = parts[i];
        PartInView part{i, pixels[i + 1], 100.0 * double(pixels[i + 1]) / (double(width) * height),
                        {0, 0, 0}, drawn.part->moving, 0};
        const Bounds box = boundsOf(drawn.groups, 0, drawn.groups.size(), true);
        part.metres = times(box.size(), kMetresPerUnit);
        if (part.gate) {
            // Its leaves swing together: the first tells how far.
            const double turned = gateLeaf(drawn.groups.at(0)).turn - shut.at(leaf).turn;
            part.openDegrees = std::fabs(degrees(std::remainder(turned, 2 * kPi)));
            leaf += drawn.groups.size();
        }
        if (part.pixels > 0) view.parts.push_back(part);
    }
    // Largest first, and of two as large the one earlier in the table: an
    // insertion sort, as there are a few parts and it keeps the web
    // module small.
    for (size_t i = 1; i < view.parts.size(); ++i)
        for (size_t j = i; j > 0 && view.parts[j - 1].pixels < view.parts[j].pixels; --j)
            std::swap(view.parts[j - 1], view.parts[j]);
    return view;
}

std::string partLine(const PartInView& part) {
    size_t longest = 0;
    for (const ScenePart& named : sceneParts()) longest = std::max(longest, std::strlen(named.name));
    char line[200];
    std::snprintf(line, sizeof line, "%-*s  %5.1f%%  %.1f x %.1f x %.1f m", int(longest),
                  sceneParts().at(part.part).name, part.percent, part.metres.x, part.metres.z, part.metres.y);
    std::string text = line;
    if (part.gate) {
        const long opening = std::lround(part.openDegrees);
        text += opening == 0 ? "  shut" : "  open " + std::to_string(opening) + "\u00b0";
    }
    return text;
}
