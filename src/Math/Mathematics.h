#ifndef TOVRA_MATH_MATHEMATICS_H
#define TOVRA_MATH_MATHEMATICS_H

// Angle normalisation in radians.
class Mathematics {
public:
    // Wraps an angle into [-pi, pi] by adding or subtracting 2 pi while it
    // lies outside. Values beyond +-1e6 are reduced with fmod first; an
    // infinite or NaN angle gives NaN.
    static double normalizeAngle(double angle);
};

#endif
