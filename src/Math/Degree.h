#ifndef TOVRA_MATH_DEGREE_H
#define TOVRA_MATH_DEGREE_H

#include "Math/Vector.h"

// Functions on angles in degrees, in single precision. The stepping loops
// reduce values beyond +-1e6 with fmod first; an infinite or NaN angle gives
// NaN.
class Degree {
public:
    // Into [-180, 180]: -180 stays -180.
    static float normalizeAngle(float angle);
    // Into [0, 360).
    static float absoluteAngle(float angle);
    // Whether check lies in the range from a1 counter-clockwise to a2; the
    // range may wrap through 0.
    static bool isBetween(float a1, float a2, float check);
    static float getDeltaAngle(float a1, float a2);
    // The angle at p2 between the directions from p1 and from p3.
    static float getDegree(Vector p1, Vector p2, Vector p3);
    // Rotates p counter-clockwise about the z axis in place; returns a copy.
    static Vector turn(Vector& p, float deg);
};

#endif
