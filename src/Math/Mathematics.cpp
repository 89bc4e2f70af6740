#include "Math/Mathematics.h"

#include <cmath>
#include <limits>

namespace {
const double kPi = 3.141592653589793;
const double kTwoPi = 6.283185307179586;
const double kStepLimit = 1e6;
}  // namespace

double Mathematics::normalizeAngle(double angle) {
    if (!std::isfinite(angle)) {
        return std::numeric_limits<double>::quiet_NaN();
    }
    if (std::fabs(angle) > kStepLimit) {
        angle = std::fmod(angle, kTwoPi);
    }
    while (angle > kPi) {
        angle -= kTwoPi;
    }
    while (angle < -kPi) {
        angle += kTwoPi;
    }
    return angle;
}
