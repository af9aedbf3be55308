#include "view_model.h"

#include <cmath>

namespace e2e {

namespace {

const double kAzimuthStep = 0.07;
const double kAzimuthWrap = 6.28;
const double kElevationStep = 0.03;
const double kElevationCeiling = 1.4;
const double kEyeHeightFloor = -3;
const double kZoomIn = 0.99;
const double kZoomOut = 1.01;
const double kZoomInLimit = 100;
const double kFieldOfViewDegrees = 50;
const double kPi = 3.14159265358979323846;

void placeHorizontally(Camera& c) {
    c.eyeZ = static_cast<float>(std::sin(double(c.azimuth)) * c.groundRadius);
    c.eyeX = static_cast<float>(std::cos(double(c.azimuth)) * c.groundRadius);
}

void placeVertically(Camera& c) {
    c.groundRadius = static_cast<float>(std::cos(double(c.elevation)) * c.distance);
    c.eyeY = static_cast<float>(std::sin(double(c.elevation)) * c.distance);
    placeHorizontally(c);
}

void zoom(Camera& c, double factor) {
    c.eyeX = static_cast<float>(c.eyeX * factor);
    c.eyeY = static_cast<float>(c.eyeY * factor);
    c.eyeZ = static_cast<float>(c.eyeZ * factor);
    c.distance = static_cast<float>(c.distance * factor);
    c.groundRadius = static_cast<float>(std::cos(double(c.elevation)) * c.distance);
}

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

void Camera::press(const std::string& key) {
    if (key == "Left") {
        azimuth = static_cast<float>(azimuth + kAzimuthStep);
        if (azimuth > kAzimuthWrap) azimuth = static_cast<float>(azimuth - kAzimuthWrap);
        placeHorizontally(*this);
    } else if (key == "Right") {
        azimuth = static_cast<float>(azimuth - kAzimuthStep);
        if (azimuth < -kAzimuthWrap) azimuth = static_cast<float>(azimuth + kAzimuthWrap);
        placeHorizontally(*this);
    } else if (key == "Up" && elevation < kElevationCeiling) {
        elevation = static_cast<float>(elevation + kElevationStep);
        placeVertically(*this);
    } else if (key == "Down" && eyeY > kEyeHeightFloor) {
        elevation = static_cast<float>(elevation - kElevationStep);
        placeVertically(*this);
    } else if (key == "plus" && distance > kZoomInLimit) {
        zoom(*this, kZoomIn);
    } else if (key == "minus") {
        zoom(*this, kZoomOut);
    }
}

void Camera::press(const std::string& key, int times) {
    for (int i = 0; i < times; ++i) press(key);
}

int ScreenPoint::pixelColumn() const { return static_cast<int>(std::floor(column)); }
int ScreenPoint::pixelRow() const { return static_cast<int>(std::floor(row)); }

ScreenPoint project(const Camera& camera, int width, int height, const WorldPoint& point) {
    // gluLookAt: forward towards the origin, side = forward x up, true up.
    const Vector eye{camera.eyeX, camera.eyeY, camera.eyeZ};
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
