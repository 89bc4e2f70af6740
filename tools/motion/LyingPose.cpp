#include "LyingPose.h"

#include <cmath>

namespace tovra::motion {

namespace {

double rad(double deg) {
    return deg * 3.14159265358979323846 / 180.0;
}

// A unit quaternion (w, x, y, z) from a rotation matrix given by its columns.
void quaternionOf(const double c0[3], const double c1[3], const double c2[3], double q[4]) {
    const double m00 = c0[0], m10 = c0[1], m20 = c0[2];
    const double m01 = c1[0], m11 = c1[1], m21 = c1[2];
    const double m02 = c2[0], m12 = c2[1], m22 = c2[2];
    const double trace = m00 + m11 + m22;
    if (trace > 0) {
        const double s = std::sqrt(trace + 1.0) * 2;
        q[0] = 0.25 * s;
        q[1] = (m21 - m12) / s;
        q[2] = (m02 - m20) / s;
        q[3] = (m10 - m01) / s;
    } else if (m00 > m11 && m00 > m22) {
        const double s = std::sqrt(1.0 + m00 - m11 - m22) * 2;
        q[0] = (m21 - m12) / s;
        q[1] = 0.25 * s;
        q[2] = (m01 + m10) / s;
        q[3] = (m02 + m20) / s;
    } else if (m11 > m22) {
        const double s = std::sqrt(1.0 + m11 - m00 - m22) * 2;
        q[0] = (m02 - m20) / s;
        q[1] = (m01 + m10) / s;
        q[2] = 0.25 * s;
        q[3] = (m12 + m21) / s;
    } else {
        const double s = std::sqrt(1.0 + m22 - m00 - m11) * 2;
        q[0] = (m10 - m01) / s;
        q[1] = (m02 + m20) / s;
        q[2] = (m12 + m21) / s;
        q[3] = 0.25 * s;
    }
}

// Rotates v about the world x axis by a, then about the world z axis by b.
void rotateXZ(const double v[3], double a, double b, double out[3]) {
    const double y1 = v[1] * std::cos(a) - v[2] * std::sin(a);
    const double z1 = v[1] * std::sin(a) + v[2] * std::cos(a);
    out[0] = v[0] * std::cos(b) - y1 * std::sin(b);
    out[1] = v[0] * std::sin(b) + y1 * std::cos(b);
    out[2] = z1;
}

}  // namespace

void lyingQuaternion(Lying lying, double headingDeg, double rollDeg, double q[4]) {
    // Body axes (x right, y forward, z up) in the world for a robot whose
    // head points along +x.
    double bx[3] = {0, 1, 0}, by[3] = {0, 0, 1};
    const double bz[3] = {1, 0, 0};
    switch (lying) {
        case Lying::Front:
            bx[1] = -1;
            by[2] = -1;
            break;
        case Lying::Left:  // left side down
            bx[1] = 0;
            bx[2] = 1;
            by[1] = -1;
            by[2] = 0;
            break;
        case Lying::Right:  // right side down
            bx[1] = 0;
            bx[2] = -1;
            by[1] = 1;
            by[2] = 0;
            break;
        default:
            break;
    }
    double c0[3], c1[3], c2[3];
    rotateXZ(bx, rad(rollDeg), rad(headingDeg), c0);
    rotateXZ(by, rad(rollDeg), rad(headingDeg), c1);
    rotateXZ(bz, rad(rollDeg), rad(headingDeg), c2);
    quaternionOf(c0, c1, c2, q);
}

}  // namespace tovra::motion
