// Small vector and rotation helpers for the simulator (double precision).
#ifndef TOVRA_SIM_SIMMATH_H
#define TOVRA_SIM_SIMMATH_H

#include <cmath>

namespace tovrasim {

constexpr double kPi = 3.14159265358979323846;

inline double deg2rad(double d) {
    return d * kPi / 180.0;
}
inline double rad2deg(double r) {
    return r * 180.0 / kPi;
}

// Normalises an angle in degrees to (-180, 180].
inline double normDeg(double a) {
    a = std::fmod(a, 360.0);
    if (a <= -180.0)
        a += 360.0;
    if (a > 180.0)
        a -= 360.0;
    return a;
}

struct Vec3 {
    double x = 0, y = 0, z = 0;
    Vec3() = default;
    Vec3(double x_, double y_, double z_) : x(x_), y(y_), z(z_) {}
    Vec3 operator+(const Vec3& o) const { return {x + o.x, y + o.y, z + o.z}; }
    Vec3 operator-(const Vec3& o) const { return {x - o.x, y - o.y, z - o.z}; }
    Vec3 operator*(double s) const { return {x * s, y * s, z * s}; }
    Vec3 operator-() const { return {-x, -y, -z}; }
    double dot(const Vec3& o) const { return x * o.x + y * o.y + z * o.z; }
    Vec3 cross(const Vec3& o) const {
        return {y * o.z - z * o.y, z * o.x - x * o.z, x * o.y - y * o.x};
    }
    double norm() const { return std::sqrt(dot(*this)); }
};

// Row-major 3x3 rotation, as MuJoCo stores xmat: world = m * local.
struct Mat3 {
    double m[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
    Vec3 operator*(const Vec3& v) const {
        return {m[0] * v.x + m[1] * v.y + m[2] * v.z, m[3] * v.x + m[4] * v.y + m[5] * v.z,
                m[6] * v.x + m[7] * v.y + m[8] * v.z};
    }
    Vec3 transposeTimes(const Vec3& v) const {
        return {m[0] * v.x + m[3] * v.y + m[6] * v.z, m[1] * v.x + m[4] * v.y + m[7] * v.z,
                m[2] * v.x + m[5] * v.y + m[8] * v.z};
    }
    Vec3 column(int c) const { return {m[c], m[3 + c], m[6 + c]}; }
};

}  // namespace tovrasim

#endif
