#ifndef TOVRA_LIB_SALT_GMATH_H
#define TOVRA_LIB_SALT_GMATH_H

#include <cmath>
#include <limits>

// Scalar helpers shared by the vector and matrix types: angle conversion and
// normalisation, sign, and thin wrappers of the library functions. Every
// template works for float and double.
namespace salt {

const double gPI = 3.141592653589793;
const double g2PI = 6.283185307179586;
const double gHalfPI = 1.5707963267948966;

template <class T>
inline T gDegToRad(T deg) {
    return static_cast<T>(deg * 0.017453292519943295);
}

template <class T>
inline T gRadToDeg(T rad) {
    return static_cast<T>(rad * 57.29577951308232);
}

// Beyond this magnitude the stepping loops of the normalisations would take
// millions of rounds (or never end for huge values), so the value is reduced
// with fmod first. Inside it the loops run unchanged.
const double gNormalizeLimit = 1e6;

// Brings an angle in degrees into [-180, 180]: 360 is subtracted while it is
// above 180, then added while it is below -180. Infinity gives NaN.
template <class T>
inline T gNormalizeDeg(T angle) {
    if (!std::isfinite(angle)) {
        return std::numeric_limits<T>::quiet_NaN();
    }
    if (std::fabs(angle) > gNormalizeLimit) {
        angle = static_cast<T>(std::fmod(angle, T(360)));
    }
    while (angle > T(180)) {
        angle -= T(360);
    }
    while (angle < T(-180)) {
        angle += T(360);
    }
    return angle;
}

// The same for radians with 2 pi and pi.
template <class T>
inline T gNormalizeRad(T angle) {
    if (!std::isfinite(angle)) {
        return std::numeric_limits<T>::quiet_NaN();
    }
    if (std::fabs(angle) > gNormalizeLimit) {
        angle = static_cast<T>(std::fmod(angle, static_cast<T>(g2PI)));
    }
    while (angle > static_cast<T>(gPI)) {
        angle -= static_cast<T>(g2PI);
    }
    while (angle < static_cast<T>(-gPI)) {
        angle += static_cast<T>(g2PI);
    }
    return angle;
}

template <class T>
inline T gAbs(T v) {
    return v < T(0) ? -v : v;
}

// 1 for positive, -1 for negative, 0 for zero.
template <class T>
inline T gSign(T v) {
    if (v > T(0)) {
        return T(1);
    }
    if (v < T(0)) {
        return T(-1);
    }
    return T(0);
}

template <class T>
inline T gSqrt(T v) {
    return std::sqrt(v);
}

template <class T>
inline T gSin(T v) {
    return std::sin(v);
}

template <class T>
inline T gCos(T v) {
    return std::cos(v);
}

template <class T>
inline T gArcSin(T v) {
    return std::asin(v);
}

template <class T>
inline T gArcCos(T v) {
    return std::acos(v);
}

template <class T>
inline T gArcTan2(T y, T x) {
    return std::atan2(y, x);
}

template <class T>
inline bool gIsNan(T v) {
    return std::isnan(v);
}

template <class T>
inline void gSwap(T& a, T& b) {
    T tmp = a;
    a = b;
    b = tmp;
}

}  // namespace salt

#endif
