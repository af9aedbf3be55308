// Turns given in degrees, as GL takes them, for every reader of the
// program's calls: pi once, and a turn's cosine and sine that are exact
// for a whole number of quarter turns (the only turns the scene's frame
// makes), as cos 90° computed would be 6e-17 and leave a coordinate that
// should be 0 at some 1e-15. Header-only, so the web page's GL layer can
// include it without linking anything from here.
#ifndef HOUSE_GEOMETRY_TURNS_H
#define HOUSE_GEOMETRY_TURNS_H

#include <cmath>

constexpr double kPi = 3.14159265358979323846;

template <typename Real>
struct CosineSine {
    Real cosine, sine;
};

// In the precision asked for; other turns are computed in double either
// way, as the float one has always been.
template <typename Real>
CosineSine<Real> turnCosineSine(Real degrees) {
    const Real quarters = degrees / Real(90);
    if (std::isfinite(quarters) && quarters == std::floor(quarters)) {
        const int quarter = static_cast<int>(std::fmod(quarters, Real(4)) + 4) % 4;
        const Real cosines[] = {1, 0, -1, 0};
        return {cosines[quarter], cosines[(quarter + 3) % 4]};
    }
    const double radians = static_cast<double>(degrees) * kPi / 180.0;
    return {static_cast<Real>(std::cos(radians)), static_cast<Real>(std::sin(radians))};
}

#endif
