// Geometric questions about free paths and passing or shooting directions,
// answered from the global positions kept by the store.

#include <cmath>

#include "WorldModel/WorldModel.h"

namespace {

// Half-widths of the free paths, metres.
const double kPassWidth = 0.3;
const double kHeadingWidth = 0.2;
// Headings tried beside the own one, degrees.
const int kPassSearch = 45;
// Opponents that block paths: the first eight entries.
const int kPathOpponents = 8;
// A global position never computed.
const float kNever = -1000;

double bearingDeg(double dx, double dy) {
    return gRadToDeg(std::atan2(dy, dx));
}

double bearingDeg(const Vector3f& from, const Vector3f& to) {
    return bearingDeg(static_cast<double>(to.x()) - from.x(),
                      static_cast<double>(to.y()) - from.y());
}

// |v| * sin a from |v| and cos a. Rounding can push cos^2 a just above 1 for
// an opponent exactly on the line; the distance is then 0, not NaN.
double offLine(double length, double cosine) {
    const double sine2 = 1 - cosine * cosine;
    return length * std::sqrt(sine2 > 0 ? sine2 : 0);
}

// True when every opponent among the first kPathOpponents whose position is
// known lies at least width off a path from `from`; offPath gives an
// opponent's distance from the path from its offset (vx, vy) to `from`.
template <typename OffPath>
bool pathFree(const WorldModel& wm, const Vector3f& from, double width, OffPath offPath) {
    for (int i = 0; i < kPathOpponents; ++i) {
        const Vector3f pos = wm.getObjectVision(static_cast<Object>(OPPONENT_1 + i)).globalPos;
        if (pos.x() == kNever) {
            continue;
        }
        const double vx = static_cast<double>(pos.x()) - from.x();
        const double vy = static_cast<double>(pos.y()) - from.y();
        if (offPath(vx, vy) < width) {
            return false;
        }
    }
    return true;
}

}  // namespace

bool WorldModel::currentWayAvailiablee(const Vector3f& myPosition, const Vector3f& targetPos,
                                       const std::vector<Vector3f>& /*oppRobots*/) const {
    const double dx = static_cast<double>(targetPos.x()) - myPosition.x();
    const double dy = static_cast<double>(targetPos.y()) - myPosition.y();
    const double dLength = std::sqrt(dx * dx + dy * dy);
    return pathFree(*this, myPosition, kPassWidth, [&](double vx, double vy) {
        const double vLength = std::sqrt(vx * vx + vy * vy);
        if (vLength == 0) {
            return 0.0;  // standing on the agent
        }
        if (dLength == 0) {
            return vLength;  // no direction: the path is the agent's own spot
        }
        return offLine(vLength, (vx * dx + vy * dy) / (vLength * dLength));
    });
}

bool WorldModel::currentWayAvailiable(const Vector3f& myPosition, float myBodyAngle,
                                      const std::vector<Vector3f>& /*oppRobots*/) const {
    return pathFree(*this, myPosition, kHeadingWidth, [&](double vx, double vy) {
        const double a = gDegToRad(bearingDeg(vx, vy) - myBodyAngle);
        return offLine(std::sqrt(vx * vx + vy * vy), std::cos(a));
    });
}

double WorldModel::getAnglePass() const {
    const std::vector<Vector3f> unused;
    if (currentWayAvailiable(mMyPos, static_cast<float>(mMyAngle), unused)) {
        return mMyAngle;
    }
    const int step = mMyPos.y() < 0 ? 1 : -1;
    for (int i = 0; i < kPassSearch; ++i) {
        const double heading = i * step;
        if (currentWayAvailiable(mMyPos, static_cast<float>(heading), unused)) {
            return heading;
        }
    }
    return bearingDeg(mMyPos, getEnemyGoalCenter());
}

double WorldModel::getAngleToGoal() const {
    const double halfGoal = GoalWidth / 2;
    const double a1 = bearingDeg(15.0 - mMyPos.x(), halfGoal - mMyPos.y());
    const double a2 = bearingDeg(15.0 - mMyPos.x(), -halfGoal - mMyPos.y());
    if (a2 < mMyAngle && mMyAngle < a1) {
        return mMyAngle;
    }
    return bearingDeg(mMyPos, getEnemyGoalCenter());
}

int WorldModel::isAvailiableWay() {
    if (!mWayRemembered || getGlobalConfidence() > 9.95) {
        mWayHeading = mMyAngle;
        mWayPos = mMyPos;
        mWayRemembered = true;
    }
    const double x = mWayPos.x();
    double halfWidth = 1.05;
    if (x < 8.5) {
        halfWidth = 10;
    } else if (x < 10.5) {
        halfWidth = 3.0;
    }
    if (mWayHeading > 100) {
        return -2;
    }
    if (mWayHeading < -100) {
        return 2;
    }
    const double h = mWayPos.y() + (15 - x) * std::tan(gDegToRad(mWayHeading));
    if (h > halfWidth) {
        return -3;
    }
    if (h < -halfWidth) {
        return 3;
    }
    return 0;
}
