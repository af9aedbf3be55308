#include "e2e/view_model.h"

#include <cmath>
#include <stdexcept>

#include "geometry/turns.h"
#include "keys/key_sequence.h"

namespace e2e {

namespace {

const double kFieldOfViewDegrees = 50;

struct Vector {
    double x, y, z;
};

Vector minus(const Vector& a, const Vector& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
double dot(const Vector& a, const Vector& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
Vector cross(const Vector& a, const Vector& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
Vector normalised(const Vector& a) {
    const double length = std::sqrt(dot(a, a));
    return {a.x / length, a.y / length, a.z / length};
}

}  // namespace

// The program's own callbacks run on a copy of the scene state, so the
// program's state stays untouched between presses of different cameras.
void Camera::press(const std::string& sequence) {
    std::vector<KeyPress> presses;
    std::string error;
    if (!parseKeySequence(sequence, presses, error)) throw std::invalid_argument(error);
    const SceneState saved = scene;
    scene = state;
    pressKeys(presses);
    state = scene;
    scene = saved;
}

int ScreenPoint::pixelColumn() const { return static_cast<int>(std::floor(column)); }
int ScreenPoint::pixelRow() const { return static_cast<int>(std::floor(row)); }

ScreenPoint project(const Camera& camera, int width, int height, const WorldPoint& point) {
    // gluLookAt: forward towards the origin, side = forward x up, true up.
    const Vector eye{camera.state.eyeX, camera.state.eyeY, camera.state.eyeZ};
    const Vector forward = normalised(minus(Vector{0, 0, 0}, eye));
    const Vector side = normalised(cross(forward, Vector{0, 1, 0}));
    const Vector up = cross(side, forward);
    const Vector relative = minus(Vector{point.x, point.y, point.z}, eye);
    const double depth = dot(relative, forward);  // distance in front of the eye
    // gluPerspective: the focal length from the vertical field of view.
    const double focal = 1 / std::tan(kFieldOfViewDegrees / 2 * kPi / 180);
    const double aspect = height == 0 ? double(width) : double(width) / height;
    const double ndcX = focal / aspect * dot(relative, side) / depth;
    const double ndcY = focal * dot(relative, up) / depth;
    // The viewport covers the window; GL counts rows from the bottom.
    ScreenPoint result;
    result.column = (ndcX + 1) / 2 * width;
    result.row = height - (ndcY + 1) / 2 * height;
    result.visible = depth > 1 && std::fabs(ndcX) < 1 && std::fabs(ndcY) < 1;
    return result;
}

}  // namespace e2e
