#ifndef TOVRA_TESTS_WORLDMODEL_WORLDUPDATESUPPORT_H
#define TOVRA_TESTS_WORLDMODEL_WORLDUPDATESUPPORT_H

#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>

#include "WorldModel/FallDownRecognition.h"
#include "WorldModel/Localization.h"
#include "WorldModel/Types.h"
#include "WorldModel/WorldModel.h"

namespace world_update_test {

constexpr double kPi = 3.141592653589793;
inline double rad(double deg) {
    return deg * kPi / 180.0;
}
inline double deg(double r) {
    return r * 180.0 / kPi;
}

// Where the server puts a landmark, in the server's field frame (the left
// team's goal at x = -15).
inline Vector3f serverLandmark(Object obj) {
    switch (obj) {
        case FLAG_1L:
            return Vector3f(-15, 10, 0);
        case FLAG_1R:
            return Vector3f(15, 10, 0);
        case FLAG_2L:
            return Vector3f(-15, -10, 0);
        case FLAG_2R:
            return Vector3f(15, -10, 0);
        case GOAL_1L:
            return Vector3f(-15, 1.05f, 0.8f);
        case GOAL_1R:
            return Vector3f(15, 1.05f, 0.8f);
        case GOAL_2L:
            return Vector3f(-15, -1.05f, 0.8f);
        case GOAL_2R:
            return Vector3f(15, -1.05f, 0.8f);
        default:
            return Vector3f();
    }
}

// The true state of the robot in its own side's frame (own goal at
// x = -15): camera position, torso heading and head joints, degrees.
struct TruePose {
    double x = 0;
    double y = 0;
    double heading = 0;
    double pan = 0;
    double tilt = 0;
    double cameraZ = 0.55;
};

// The polar observation the server sends for a point given in the server's
// frame, seen by a robot of `side` at `pose`. A right-side robot's own frame
// is the server's turned by 180 degrees about the vertical.
inline VisionSense observe(const TruePose& pose, TeamSide side, const Vector3f& point) {
    double cx = pose.x, cy = pose.y, heading = pose.heading;
    if (side == TEAM_RIGHT) {
        cx = -cx;
        cy = -cy;
        heading += 180;
    }
    const double dx = point.x() - cx;
    const double dy = point.y() - cy;
    const double dz = point.z() - pose.cameraZ;
    // Into the torso's orientation ...
    const double ch = std::cos(rad(heading)), sh = std::sin(rad(heading));
    const double tx = ch * dx + sh * dy;
    const double ty = -sh * dx + ch * dy;
    const double tz = dz;
    // ... then undo the head pan (about z) and the tilt (about y; a positive
    // tilt looks up).
    const double cp = std::cos(rad(pose.pan)), sp = std::sin(rad(pose.pan));
    const double px = cp * tx + sp * ty;
    const double py = -sp * tx + cp * ty;
    const double ct = std::cos(rad(pose.tilt)), st = std::sin(rad(pose.tilt));
    const double hx = ct * px + st * tz;
    const double hy = py;
    const double hz = -st * px + ct * tz;
    VisionSense vs;
    vs.distance = std::sqrt(hx * hx + hy * hy + hz * hz);
    vs.theta = deg(std::atan2(hy, hx));
    vs.phi = deg(std::asin(hz / vs.distance));
    return vs;
}

inline FRPSense footForce(float fx, float fy, float fz) {
    FRPSense frp;
    frp.force = Vector3f(fx, fy, fz);
    return frp;
}

// Resets every world-update singleton around each test, so the store, the
// localization memory and the fall-detection rings start fresh.
class WorldUpdateTest : public ::testing::Test {
protected:
    void SetUp() override {
        resetSingletons();
        Types::fill();
        wm = WorldModel::instance();
        standStraight();
    }
    void TearDown() override { resetSingletons(); }

    static void resetSingletons() {
        Localization::deleteT();
        FallDownRecognition::deleteT();
        WorldModel::deleteT();
    }

    // Straight legs, feet flat on the ground with the robot's weight.
    void standStraight() {
        wm->setLeftFootForce(footForce(0, 0, 22));
        wm->setRightFootForce(footForce(0, 0, 22));
        wm->setAcc(Vector3f(0, 0, 9.81f));
        wm->setGyro(Vector3f());
    }

    void setJoint(JointID joint, double angle) {
        wm->mJointIDToAngleMap[joint] = static_cast<float>(angle);
    }

    // One message: the server time and the landmarks seen from `pose`.
    void seeLandmarks(double time, const TruePose& pose, std::initializer_list<Object> seen) {
        wm->setServerTime(time);
        setJoint(JID_HEAD_1, pose.pan);
        setJoint(JID_HEAD_2, pose.tilt);
        for (Object obj : seen) {
            wm->setObjectVision(obj, observe(pose, wm->getTeamSide(), serverLandmark(obj)));
        }
    }

    WorldModel* wm = nullptr;
};

}  // namespace world_update_test

#endif
