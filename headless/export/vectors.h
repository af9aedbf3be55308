// The few sums of 3D vectors the export needs, on the readers' Vec3.
#ifndef HOUSE_EXPORT_VECTORS_H
#define HOUSE_EXPORT_VECTORS_H

#include <cmath>

#include "call_readers/drawn_groups.h"

inline Vec3 plus(const Vec3& a, const Vec3& b) { return Vec3{a.x + b.x, a.y + b.y, a.z + b.z}; }
inline Vec3 minus(const Vec3& a, const Vec3& b) { return Vec3{a.x - b.x, a.y - b.y, a.z - b.z}; }
inline Vec3 times(const Vec3& a, double s) { return Vec3{a.x * s, a.y * s, a.z * s}; }
inline double dot(const Vec3& a, const Vec3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline Vec3 cross(const Vec3& a, const Vec3& b) {
    return Vec3{a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline Vec3 unit(const Vec3& v) { return times(v, 1 / std::sqrt(dot(v, v))); }

#endif
