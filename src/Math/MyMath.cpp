#include "Math/MyMath.h"

#include <cmath>
#include <limits>

namespace {

const double kPi = 3.141592653589793;
const double kDegToRad = kPi / 180.0;
const double kStepLimit = 1e6;

// s(V, O, Q): on which side of the line O->Q the point V lies.
double side(const Vector3f& v, const Vector3f& o, const Vector3f& q) {
    return (static_cast<double>(v.y()) - o.y()) * (static_cast<double>(q.x()) - o.x()) -
           (static_cast<double>(v.x()) - o.x()) * (static_cast<double>(q.y()) - o.y());
}

}  // namespace

float DegToRad(float a) {
    return static_cast<float>(a * 0.017453292519943295);
}

float RadToDeg(float a) {
    return static_cast<float>(a * 180.0 / kPi);
}

double sinDeg(double x) {
    return std::sin(DegToRad(static_cast<float>(x)));
}

double cosDeg(double x) {
    return std::cos(DegToRad(static_cast<float>(x)));
}

double tanDeg(double x) {
    return std::tan(DegToRad(static_cast<float>(x)));
}

double asinDeg(double x) {
    if (x >= 1) {
        return 90;
    }
    if (x <= -1) {
        return -90;
    }
    return RadToDeg(static_cast<float>(std::asin(x)));
}

double acosDeg(double x) {
    if (x >= 1) {
        return 0;
    }
    if (x <= -1) {
        return 180;
    }
    return RadToDeg(static_cast<float>(std::acos(x)));
}

Vector3f PolarToCartecian(const VisionSense& v) {
    const double theta = v.theta * kDegToRad;
    const double phi = v.phi * kDegToRad;
    const double d = v.distance;
    return Vector3f(static_cast<float>(d * std::cos(phi) * std::cos(theta)),
                    static_cast<float>(d * std::cos(phi) * std::sin(theta)),
                    static_cast<float>(d * std::sin(phi)));
}

Vector3f PolarToCartecian(const Vector3f& p) {
    VisionSense v;
    v.distance = p.x();
    v.theta = p.y();
    v.phi = p.z();
    return PolarToCartecian(v);
}

VisionSense CartecianToPolar(Vector3f relPos) {
    VisionSense v;
    const double x = relPos.x();
    const double y = relPos.y();
    const double z = relPos.z();
    v.distance = std::sqrt(x * x + y * y + z * z);
    if (v.distance == 0) {
        v.phi = 0;
        v.theta = 0;
        return v;
    }
    v.phi = std::asin(z / v.distance) * 180.0 / kPi;
    v.theta = std::atan2(y, x) * 180.0 / kPi;
    return v;
}

Vector3f rotateAroundLine(Vector3f point, Vector3f vec, double theta, Vector3f origin) {
    const double x = point.x(), y = point.y(), z = point.z();
    const double a = origin.x(), b = origin.y(), c = origin.z();
    const double u = vec.x(), v = vec.y(), w = vec.z();
    const double L = u * u + v * v + w * w;
    if (L == 0) {
        return point;
    }
    const double rad = theta * kDegToRad;
    const double ct = std::cos(rad);
    const double st = std::sin(rad);
    const double sl = std::sqrt(L);
    const double dot = u * x + v * y + w * z;

    const double nx = (a * (v * v + w * w) + u * (dot - b * v - c * w) +
                       ct * ((x - a) * (v * v + w * w) + u * (b * v + c * w - v * y - w * z)) +
                       sl * (b * w - c * v - w * y + v * z) * st) /
                      L;
    const double ny = (b * (u * u + w * w) + v * (dot - a * u - c * w) +
                       ct * ((y - b) * (u * u + w * w) + v * (a * u + c * w - u * x - w * z)) +
                       sl * (c * u - a * w + w * x - u * z) * st) /
                      L;
    const double nz = (c * (u * u + v * v) + w * (dot - a * u - b * v) +
                       ct * ((z - c) * (u * u + v * v) + w * (a * u + b * v - u * x - v * y)) +
                       sl * (a * v - b * u - v * x + u * y) * st) /
                      L;
    return Vector3f(static_cast<float>(nx), static_cast<float>(ny), static_cast<float>(nz));
}

float getAngleWithStraight(Vector3f vec, bool setZtoZero) {
    if (setZtoZero) {
        vec.z() = 0;
    }
    return std::atan2(vec.y(), vec.x()) * 180.0f / static_cast<float>(kPi);
}

Vector3f calcPerpend(const Vector3f& v) {
    if (v.x() != 0 && v.y() != 0) {
        return Vector3f(1, -v.x() / v.y(), 0).Normalized();
    }
    if (v.x() == 0) {
        return Vector3f(1, 0, 0);
    }
    return Vector3f(0, 1, 0);
}

bool inTriangle(Vector3f A, Vector3f B, Vector3f C, Vector3f P) {
    if (side(C, A, B) * side(P, A, B) < 0) {
        return false;
    }
    if (side(A, B, C) * side(P, B, C) < 0) {
        return false;
    }
    if (side(B, C, A) * side(P, C, A) < 0) {
        return false;
    }
    return true;
}

bool existBetweenPos(Vector3f pos, double accuracy, Vector3f vec) {
    const Vector3f q = calcPerpend(pos) * static_cast<float>(accuracy / 2);
    return inTriangle(q, pos - q, pos + q, vec) || inTriangle(q, pos - q, -q, vec);
}

double degNormalizeAngle(double a) {
    if (!std::isfinite(a)) {
        return std::numeric_limits<double>::quiet_NaN();
    }
    if (std::fabs(a) > kStepLimit) {
        a = std::fmod(a, 360.0);
    }
    while (a > 180) {
        a -= 360;
    }
    while (a < -180) {
        a += 360;
    }
    return a;
}

float calculateDist(Vector3f va, Vector3f vb) {
    const float dx = vb.x() - va.x();
    const float dy = vb.y() - va.y();
    return std::sqrt(dx * dx + dy * dy);
}
