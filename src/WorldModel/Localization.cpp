#include "WorldModel/Localization.h"

#include <cmath>

#include "WorldModel/WorldModel.h"

Localization* Localization::handleT = nullptr;

namespace {

// Half the field size, half the goal width and the post height, metres.
const double kHalfLength = FieldLength / 2;
const double kHalfWidth = FieldWidth / 2;
const double kHalfGoal = GoalWidth / 2;
const double kPostHeight = GoalHeight;

// Camera height of a robot standing straight, and the height given to the
// own entry and to seen players.
const double kStandingZ = 0.55;
const double kHeadHeight = 0.57;
// Horizontal offset subtracted from every seen object's distance.
const double kSightOffset = 0.45;

// A heading estimate beyond this magnitude ends the averaging, so estimates
// on both sides of +-180 are never mixed.
const double kWrapGuard = 150;
const double kNoHeading = -10000;

// Degrees into (-180, 180]; NaN stays NaN.
double normalizeDeg(double angle) {
    angle = gNormalizeDeg(angle);
    return angle == -180.0 ? 180.0 : angle;
}

double horizontalLength(double x, double y) {
    return std::sqrt(x * x + y * y);
}

bool isFinite(const Vector3f& v) {
    return std::isfinite(v.x()) && std::isfinite(v.y()) && std::isfinite(v.z());
}

// Foot force near vertical: its unit vector lies within 0.5 of (0, 0, 1).
// A zero force has no direction and never counts.
bool isNearVertical(const Vector3f& force) {
    const double fx = force.x();
    const double fy = force.y();
    const double fz = force.z();
    const double length = std::sqrt(fx * fx + fy * fy + fz * fz);
    const double ux = fx / length;
    const double uy = fy / length;
    const double uz = fz / length - 1.0;
    return std::sqrt(ux * ux + uy * uy + uz * uz) < 0.5;
}

}  // namespace

Localization* Localization::instance() {
    if (handleT == nullptr) {
        handleT = new Localization();
    }
    return handleT;
}

void Localization::deleteT() {
    delete handleT;
    handleT = nullptr;
}

Localization::Localization()
    : mBallVel(0, 0),
      mOldBallPos(0, 0),
      mBallTimeLastSeen(0),
      WM(WorldModel::instance()),
      mMyAngle(0),
      mLastLocalize(-1000),
      mThetaEstimate(0) {}

void Localization::localize() {
    setupObjectToVisionMap();
    if (canSeeTwoFlags()) {
        localizeWithTwoFlags();
    }
    if (mLastLocalize == WM->getServerTime()) {
        VisionSense& self = WM->mObjectToVisionMap[WM->getMyObject()];
        self.globalPos = Vector3f(mMyPos.x(), mMyPos.y(), static_cast<float>(kHeadHeight));
        self.timeLastLocalized = mLastLocalize;
        WM->setMyPos(mMyPos);
        WM->setMyAngle(mMyAngle);
    }
}

void Localization::setupObjectToVisionMap() {
    const float q = WM->getTeamSide() == TEAM_RIGHT ? -1.0f : 1.0f;
    const float x = static_cast<float>(kHalfLength) * q;
    const float y = static_cast<float>(kHalfWidth) * q;
    const float g = static_cast<float>(kHalfGoal) * q;
    const float z = static_cast<float>(kPostHeight);
    TObjectToVisionMap& map = WM->mObjectToVisionMap;
    map[FLAG_1L].globalPos = Vector3f(-x, y, 0);
    map[FLAG_1R].globalPos = Vector3f(x, y, 0);
    map[FLAG_2L].globalPos = Vector3f(-x, -y, 0);
    map[FLAG_2R].globalPos = Vector3f(x, -y, 0);
    map[GOAL_1L].globalPos = Vector3f(-x, g, z);
    map[GOAL_1R].globalPos = Vector3f(x, g, z);
    map[GOAL_2L].globalPos = Vector3f(-x, -g, z);
    map[GOAL_2R].globalPos = Vector3f(x, -g, z);
}

bool Localization::isSeenNow(Object obj) const {
    return WM->getLocalConfidence(obj) == 10.0;
}

bool Localization::canSeeTwoFlags() const {
    int seen = 0;
    for (int obj = FLAG_1L; obj <= GOAL_2R; ++obj) {
        if (isSeenNow(static_cast<Object>(obj))) {
            ++seen;
        }
    }
    return seen >= 2;
}

void Localization::localizeWithTwoFlags() {
    mLastLocalize = WM->getServerTime();
    mMyPos = getMyPosWithTwoFlagsGeometric();
    mMyAngle = getMyThetaWithTwoFlag();
    getOtherGlobalPosbyMyAngle();
}

Vector3f Localization::getMyPosWithTwoFlagsGeometric() {
    return myPosWithEveryTwoFlagsGeometric();
}

Vector3f Localization::myPosWithEveryTwoFlagsGeometric() {
    Vector3f sum;
    int count = 0;
    for (int a = FLAG_1L; a <= GOAL_2R; ++a) {
        if (!isSeenNow(static_cast<Object>(a))) {
            continue;
        }
        for (int b = a + 1; b <= GOAL_2R; ++b) {
            if ((a - b) % 2 != 0 || !isSeenNow(static_cast<Object>(b))) {
                continue;
            }
            const Vector3f p =
                myPosWithTwoFlagsGeometric(static_cast<Object>(a), static_cast<Object>(b));
            // An impossible triangle gives NaN; an absurd distance can give
            // infinities, which would poison the mean just the same.
            if (!isFinite(p)) {
                continue;
            }
            sum += p;
            ++count;
        }
    }
    if (count > 0) {
        mPosEstimate = sum / static_cast<float>(count);
    }
    return mPosEstimate;
}

Vector3f Localization::myPosWithTwoFlagsGeometric(Object a, Object b) const {
    if (a == b) {
        const float nan = std::nanf("");
        return Vector3f(nan, nan, nan);
    }
    const VisionSense visionA = WM->getObjectVision(a);
    const VisionSense visionB = WM->getObjectVision(b);
    const double ax = visionA.globalPos.x();
    const double ay = visionA.globalPos.y();
    const double az = visionA.globalPos.z();
    const double bx = visionB.globalPos.x();
    const double by = visionB.globalPos.y();
    const double bz = visionB.globalPos.z();
    const double dA = visionA.distance;
    const double dB = visionB.distance;

    const double dH = horizontalLength(ax - bx, ay - by);
    const double dZ = az - bz;
    const double L = std::sqrt(dH * dH + dZ * dZ);

    const double gamma = getCAng(L, dB, dA);
    // Foot of the perpendicular from the camera onto the baseline, measured
    // from B towards A, and the camera's distance from the baseline.
    const double h = (L * L + dB * dB - dA * dA) / (2 * L);
    const double r = std::sqrt(dB * dB - h * h);

    const double z = getMyZ();
    const double delta = bz + dZ * h / L - z;
    const double o = std::sqrt(std::fabs(r * r - delta * delta));

    double w = -std::fabs(dH * h / L);
    const double side = gSign(by - ay);
    if (gamma > salt::gHalfPI) {
        w = -side * w;
    } else if (gamma < salt::gHalfPI) {
        w = side * w;
    }

    double s = o;
    if (b % 2 == 1) {
        s = -s;
    }
    if (WM->getTeamSide() == TEAM_RIGHT) {
        s = -s;
    }
    return Vector3f(static_cast<float>(bx + s), static_cast<float>(by + w), static_cast<float>(z));
}

double Localization::getCAng(double base, double adjacent, double opposite) const {
    return std::acos((base * base + adjacent * adjacent - opposite * opposite) /
                     (2 * base * adjacent));
}

double Localization::getMyZ() const {
    if (isNearVertical(WM->getLeftFootForce().force)) {
        return zFromLFoot() + 0.01;
    }
    if (isNearVertical(WM->getRightFootForce().force)) {
        return zFromRFoot() + 0.01;
    }
    return kStandingZ;
}

double Localization::zFromLFoot() const {
    return zFromLeg(JID_LLEG_1, JID_LLEG_2, JID_LLEG_3, JID_LLEG_4, JID_LLEG_5, JID_LLEG_6);
}

double Localization::zFromRFoot() const {
    return zFromLeg(JID_RLEG_1, JID_RLEG_2, JID_RLEG_3, JID_RLEG_4, JID_RLEG_5, JID_RLEG_6);
}

double Localization::zFromLeg(JointID j1, JointID j2, JointID j3, JointID j4, JointID j5,
                              JointID j6) const {
    const double q1 = gDegToRad(WM->getJointAngle(j1));
    const double q2 = gDegToRad(WM->getJointAngle(j2));
    const double q3 = gDegToRad(WM->getJointAngle(j3));
    const double q4 = gDegToRad(WM->getJointAngle(j4));
    const double q5 = gDegToRad(WM->getJointAngle(j5));
    const double q6 = gDegToRad(WM->getJointAngle(j6));
    const double c1 = std::cos(q1), s1 = std::sin(q1);
    const double c2 = std::cos(q2), s2 = std::sin(q2);
    const double c3 = std::cos(q3), s3 = std::sin(q3);
    const double c4 = std::cos(q4), s4 = std::sin(q4);
    const double c5 = std::cos(q5), s5 = std::sin(q5);
    const double c6 = std::cos(q6), s6 = std::sin(q6);

    const double h = (1 + c1) * c2 / 2 + (c1 - 1) * s2 / 2;
    const double k = std::sqrt(2.0) * s1;
    const double l = h * c3 + k * s3 / 2;
    const double g = h * s3 - k * c3 / 2;
    const double m = l * c4 - g * s4;
    const double n = l * s4 + g * c4;
    const double chain = (-0.035 * c5 * c6 + 0.11 * s5) * m + (0.11 * c5 + 0.035 * s5 * c6) * n +
                         ((c1 - 1) * c2 / 2 - (1 + c1) * s2 / 2) * s6 * (-0.035) - 0.01 * n -
                         0.11 * m + 0.015 * g - 0.11 * l - 0.065 - 0.09 - 0.115;
    return 0.015 - chain;
}

double Localization::getMyThetaWithTwoFlag() {
    const double t = myThetaWithEveryTwoFlag();
    if (t > -1000) {
        mThetaEstimate = t;
    }
    return mThetaEstimate;
}

double Localization::myThetaWithEveryTwoFlag() const {
    if (!canSeeTwoFlags()) {
        return kNoHeading;
    }
    double sum = 0;
    int count = 0;
    for (int f = FLAG_1L; f <= GOAL_2R; ++f) {
        const Object obj = static_cast<Object>(f);
        if (!isSeenNow(obj)) {
            continue;
        }
        const double t = calcTheta(obj, mMyPos);
        if (std::isnan(t)) {
            continue;
        }
        sum += t;
        ++count;
        if (std::fabs(t) > kWrapGuard) {
            break;
        }
    }
    return count > 0 ? sum / count : kNoHeading;
}

double Localization::calcTheta(Object f, const Vector3f& P) const {
    const VisionSense vision = WM->getObjectVision(f);
    // The observation turned from the head frame into the torso's orientation.
    Matrix head;
    head.RotationZ(gDegToRad(static_cast<float>(WM->getJointAngle(JID_HEAD_1))));
    head.RotateY(gDegToRad(static_cast<float>(-WM->getJointAngle(JID_HEAD_2))));
    const Vector3f v = head.Rotate(vision.localPos);

    const double beta = gRadToDeg(std::atan2(static_cast<double>(vision.globalPos.y()) - P.y(),
                                             static_cast<double>(vision.globalPos.x()) - P.x()));
    const double alpha = normalizeDeg(gRadToDeg(std::atan2(static_cast<double>(v.y()), v.x())));
    return normalizeDeg(beta - alpha);
}

void Localization::getOtherGlobalPosbyMyAngle() {
    double heading = mMyAngle;
    if (heading < 0 && heading >= -180) {
        heading += 360;
    }
    const double pan = WM->getJointAngle(JID_HEAD_1);
    const double tilt = WM->getJointAngle(JID_HEAD_2);
    const double now = WM->getServerTime();
    for (int o = BALL; o <= OPPONENT_11; ++o) {
        const TObjectToVisionMap::iterator it = WM->mObjectToVisionMap.find(static_cast<Object>(o));
        if (it == WM->mObjectToVisionMap.end() || 10.0 - (now - it->second.timeLastSeen) != 10.0) {
            continue;
        }
        VisionSense& vs = it->second;
        const double theta = gDegToRad(vs.theta);
        const double phi = vs.phi;
        const double bearing =
            gRadToDeg(std::asin(std::sin(theta) * std::sin(gDegToRad(90 - phi)))) + pan + heading;
        const double d =
            std::sqrt(std::fabs(vs.distance * vs.distance - kSightOffset * kSightOffset));
        const double elevation = gDegToRad(tilt + phi);
        const double b = gDegToRad(bearing);
        vs.globalPos = Vector3f(static_cast<float>(mMyPos.x() + d * std::cos(b)),
                                static_cast<float>(mMyPos.y() + d * std::sin(b)),
                                static_cast<float>(d * std::sin(elevation) + kHeadHeight));
        vs.timeLastLocalized = now;
    }
}
