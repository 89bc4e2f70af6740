#include "Math/Degree.h"

#include <cmath>
#include <limits>

namespace {

const float kStepLimit = 1e6f;

// NaN for non-finite angles, fmod for huge ones, the angle itself otherwise.
bool reduce(float& angle) {
    if (!std::isfinite(angle)) {
        angle = std::numeric_limits<float>::quiet_NaN();
        return false;
    }
    if (std::fabs(angle) > kStepLimit) {
        angle = std::fmod(angle, 360.0f);
    }
    return true;
}

}  // namespace

float Degree::normalizeAngle(float angle) {
    if (!reduce(angle)) {
        return angle;
    }
    while (angle < -180) {
        angle += 360;
    }
    while (angle > 180) {
        angle -= 360;
    }
    return angle;
}

float Degree::absoluteAngle(float angle) {
    if (!reduce(angle)) {
        return angle;
    }
    while (angle < 0) {
        angle += 360;
    }
    while (angle >= 360) {
        angle -= 360;
    }
    return angle;
}

bool Degree::isBetween(float a1, float a2, float check) {
    a1 = absoluteAngle(a1);
    a2 = absoluteAngle(a2);
    check = absoluteAngle(check);
    if (a1 == a2) {
        return check == a1;
    }
    if (a1 < a2) {
        return a1 <= check && check <= a2;
    }
    return check <= a2 || check >= a1;
}

float Degree::getDeltaAngle(float a1, float a2) {
    return normalizeAngle(absoluteAngle(a1) - absoluteAngle(a2));
}

float Degree::getDegree(Vector p1, Vector p2, Vector p3) {
    const float theta1 = static_cast<float>((p2 - p1).theta());
    const float theta3 = static_cast<float>((p2 - p3).theta());
    return normalizeAngle((theta3 - theta1) * 57.2957763671875f);
}

Vector Degree::turn(Vector& p, float deg) {
    const float rad = deg * 0.017453292f;
    const float c = std::cos(rad);
    const float s = std::sin(rad);
    const float x = static_cast<float>(p.getX());
    const float y = static_cast<float>(p.getY());
    p.setX(c * x - s * y);
    p.setY(c * y + s * x);
    return p;
}
