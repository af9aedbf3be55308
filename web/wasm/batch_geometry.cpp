#include "wasm/batch_geometry.h"

#include <cmath>

#include "geometry/turns.h"

namespace {

float& at(float* m, int row, int column) { return m[column * 4 + row]; }

void normalise(float* v) {
    const float length = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    if (length == 0.0f) return;
    for (int i = 0; i < 3; ++i) v[i] /= length;
}

void cross(const float* a, const float* b, float* out) {
    out[0] = a[1] * b[2] - a[2] * b[1];
    out[1] = a[2] * b[0] - a[0] * b[2];
    out[2] = a[0] * b[1] - a[1] * b[0];
}

}  // namespace

void setIdentity(float* m) {
    for (int i = 0; i < 16; ++i) m[i] = (i % 5 == 0) ? 1.0f : 0.0f;
}

// Each element summed in float in GL's order.
void multiply(const float* a, const float* b, float* product) {
    Matrix result;
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 4; ++column) {
            result[column * 4 + row] = a[row] * b[column * 4] + a[4 + row] * b[column * 4 + 1] +
                                       a[8 + row] * b[column * 4 + 2] +
                                       a[12 + row] * b[column * 4 + 3];
        }
    }
    for (int i = 0; i < 16; ++i) product[i] = result[i];
}

void rotate(float* current, float degrees, float x, float y, float z) {
    float axis[3] = {x, y, z};
    normalise(axis);
    // Exact for quarter turns: the fence's must bring the frame back exactly.
    const auto [c, s] = turnCosineSine(degrees);
    const float t = 1.0f - c;
    Matrix turn;
    setIdentity(turn);
    at(turn, 0, 0) = axis[0] * axis[0] * t + c;
    at(turn, 0, 1) = axis[0] * axis[1] * t - axis[2] * s;
    at(turn, 0, 2) = axis[0] * axis[2] * t + axis[1] * s;
    at(turn, 1, 0) = axis[1] * axis[0] * t + axis[2] * s;
    at(turn, 1, 1) = axis[1] * axis[1] * t + c;
    at(turn, 1, 2) = axis[1] * axis[2] * t - axis[0] * s;
    at(turn, 2, 0) = axis[2] * axis[0] * t - axis[1] * s;
    at(turn, 2, 1) = axis[2] * axis[1] * t + axis[0] * s;
    at(turn, 2, 2) = axis[2] * axis[2] * t + c;
    multiply(current, turn, current);
}

void perspective(float* current, double fieldOfViewDegrees, double aspect, double zNear,
                 double zFar) {
    const double halfAngle = fieldOfViewDegrees / 2 * kPi / 180;
    const double depth = zFar - zNear;
    const double sine = std::sin(halfAngle);
    if (depth == 0 || sine == 0 || aspect == 0) return;
    const double cotangent = std::cos(halfAngle) / sine;
    Matrix m = {};
    at(m, 0, 0) = static_cast<float>(cotangent / aspect);
    at(m, 1, 1) = static_cast<float>(cotangent);
    at(m, 2, 2) = static_cast<float>(-(zFar + zNear) / depth);
    at(m, 3, 2) = -1.0f;
    at(m, 2, 3) = static_cast<float>(-2 * zNear * zFar / depth);
    multiply(current, m, current);
}

void lookAt(float* current, double eyeX, double eyeY, double eyeZ, double centreX,
            double centreY, double centreZ, double upX, double upY, double upZ) {
    float forward[3] = {static_cast<float>(centreX - eyeX), static_cast<float>(centreY - eyeY),
                        static_cast<float>(centreZ - eyeZ)};
    float up[3] = {static_cast<float>(upX), static_cast<float>(upY), static_cast<float>(upZ)};
    normalise(forward);
    float side[3];
    cross(forward, up, side);
    normalise(side);
    cross(side, forward, up);
    Matrix m;
    setIdentity(m);
    for (int i = 0; i < 3; ++i) {
        at(m, 0, i) = side[i];
        at(m, 1, i) = up[i];
        at(m, 2, i) = -forward[i];
    }
    multiply(current, m, current);
    const float move[3] = {static_cast<float>(-eyeX), static_cast<float>(-eyeY),
                           static_cast<float>(-eyeZ)};
    for (int row = 0; row < 4; ++row) {
        at(current, row, 3) = at(current, row, 0) * move[0] + at(current, row, 1) * move[1] +
                              at(current, row, 2) * move[2] + at(current, row, 3);
    }
}

void toClipSpace(const float* m, float x, float y, float z, float* clip) {
    for (int row = 0; row < 4; ++row) clip[row] = m[row] * x + m[4 + row] * y + m[8 + row] * z + m[12 + row];
}

void triangleCorners(Primitive primitive, int vertices, std::vector<int>& corners) {
    corners.clear();
    switch (primitive) {
    case Primitive::Triangles:
        for (int t = 0; t + 2 < vertices; t += 3) corners.insert(corners.end(), {t, t + 1, t + 2});
        break;
    case Primitive::Quads:
        for (int q = 0; q + 3 < vertices; q += 4)
            corners.insert(corners.end(), {q, q + 1, q + 2, q, q + 2, q + 3});
        break;
    case Primitive::Polygon:
        for (int v = 1; v + 1 < vertices; ++v) corners.insert(corners.end(), {0, v, v + 1});
        break;
    case Primitive::Other:
        break;  // the scene draws nothing else
    }
}

int outsideMask(const float* clip) {
    const float w = clip[3];
    int mask = 0;
    for (int axis = 0; axis < 3; ++axis) {
        if (clip[axis] < -w) mask |= 1 << (2 * axis);
        if (clip[axis] > w) mask |= 2 << (2 * axis);
    }
    return mask;
}

bool whollyOutside(const float* a, const float* b, const float* c) {
    return (outsideMask(a) & outsideMask(b) & outsideMask(c)) != 0;
}

void outlineEdges(Primitive primitive, int vertices, std::vector<int>& ends) {
    ends.clear();
    const auto loop = [&ends](int first, int corners) {
        for (int i = 0; i < corners; ++i) ends.insert(ends.end(), {first + i, first + (i + 1) % corners});
    };
    switch (primitive) {
    case Primitive::Triangles:
        for (int t = 0; t + 2 < vertices; t += 3) loop(t, 3);
        break;
    case Primitive::Quads:
        for (int q = 0; q + 3 < vertices; q += 4) loop(q, 4);
        break;
    case Primitive::Polygon:
        if (vertices >= 3) loop(0, vertices);
        break;
    case Primitive::Other:
        break;
    }
}

void movedAcross(const float* from, const float* to, float pixels, float width, float height,
                 float* movedFrom, float* movedTo) {
    // Its run across and up the picture; where an end lies behind the eye,
    // the clip-space run is as good a guide.
    const bool inFront = from[3] > 0 && to[3] > 0;
    const float across = inFront ? (to[0] / to[3] - from[0] / from[3]) * width : to[0] - from[0];
    const float up = inFront ? (to[1] / to[3] - from[1] / from[3]) * height : to[1] - from[1];
    const int axis = std::fabs(across) >= std::fabs(up) ? 1 : 0;
    const float perClipW = 2 * pixels / (axis == 0 ? width : height);
    for (int i = 0; i < 4; ++i) {
        movedFrom[i] = from[i];
        movedTo[i] = to[i];
    }
    movedFrom[axis] += perClipW * from[3];
    movedTo[axis] += perClipW * to[3];
}
