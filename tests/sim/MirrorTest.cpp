// Left-right symmetry of the robot model: the motion files play the right-hand
// side of a motion as the mirror image of the left-hand one (left and right
// joints swap; hip, ankle, shoulder and elbow rolls and the head's pan change
// sign), so mirrored commands must give mirrored motion.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "RobotModel.h"
#include "World.h"

using namespace tovrasim;

namespace {

// The joint that mirrors joint j (JointID order: head pan and tilt, then
// left/right pairs).
int mirrorJoint(int j) {
    if (j < 2)
        return j;
    return (j % 2 == 0) ? j + 1 : j - 1;
}

// The sign a joint's angle takes in the mirror image: hj1, l/rlj2, l/rlj6,
// l/raj2 and l/raj4 change sign.
double mirrorSign(int j) {
    switch (j) {
        case 0:
        case 4:
        case 5:
        case 12:
        case 13:
        case 16:
        case 17:
        case 20:
        case 21:
            return -1.0;
        default:
            return 1.0;
    }
}

// Reflection across the robot's sagittal plane (x is the robot's right).
Vec3 reflect(const Vec3& v) {
    return {-v.x, v.y, v.z};
}

void expectNear(const Vec3& a, const Vec3& b, const std::string& what) {
    EXPECT_NEAR(a.x, b.x, 1e-12) << what;
    EXPECT_NEAR(a.y, b.y, 1e-12) << what;
    EXPECT_NEAR(a.z, b.z, 1e-12) << what;
}

std::string mirrorBodyName(const std::string& name) {
    if (!name.empty() && name[0] == 'l')
        return "r" + name.substr(1);
    if (!name.empty() && name[0] == 'r')
        return "l" + name.substr(1);
    return name;
}

}  // namespace

TEST(SimMirror, JointAxesAndRangesMirrorWithTheMotionFilesSigns) {
    const auto& js = RobotModel::joints();
    for (int j = 0; j < RobotModel::kNumJoints; ++j) {
        const int m = mirrorJoint(j);
        const double s = mirrorSign(j);
        // A rotation by angle q about axis a, reflected, is a rotation by q
        // about -reflect(a): the mirror joint turns by s q about its axis.
        const Vec3 a = reflect(js[j].axis) * -1.0;
        expectNear(a, js[m].axis * s, js[j].perceptor);
        const double lo = s > 0 ? js[j].minDeg : -js[j].maxDeg;
        const double hi = s > 0 ? js[j].maxDeg : -js[j].minDeg;
        EXPECT_EQ(js[m].minDeg, lo) << js[j].perceptor;
        EXPECT_EQ(js[m].maxDeg, hi) << js[j].perceptor;
        EXPECT_EQ(js[m].group, js[j].group) << js[j].perceptor;
    }
}

TEST(SimMirror, BodiesMirrorTheirCounterparts) {
    const auto& bs = RobotModel::bodies();
    for (const BodySpec& b : bs) {
        const int m = RobotModel::bodyIndex(mirrorBodyName(b.name));
        ASSERT_GE(m, 0) << b.name;
        const BodySpec& o = bs[m];
        expectNear(reflect(b.pos), o.pos, b.name);
        expectNear(reflect(b.ipos), o.ipos, b.name);
        expectNear(b.inertia, o.inertia, b.name);
        EXPECT_EQ(b.mass, o.mass) << b.name;
        EXPECT_EQ(b.geom.kind, o.geom.kind) << b.name;
        expectNear(reflect(b.geom.pos), o.geom.pos, b.name);
        expectNear(b.geom.size, o.geom.size, b.name);
        if (b.geom.kind == GeomKind::Capsule)
            expectNear(reflect(b.geom.to), o.geom.to, b.name);
        if (b.parent >= 0) {
            EXPECT_EQ(bs[b.parent].name, mirrorBodyName(bs[o.parent].name)) << b.name;
            EXPECT_EQ(mirrorJoint(b.joint), o.joint) << b.name;
        }
    }
}

TEST(SimMirror, MirroredCommandsGiveMirroredMotion) {
    // Two robots in two worlds, facing +x (their left is +y): one gets a
    // swaying, stepping, arm-waving command sequence, the other its mirror
    // image. Torso path and heading must mirror over two seconds, through
    // single-foot stances and slipping.
    World a, b;
    const int sa = a.addRobot(Side::Left, 1, 0, 0, 0);
    const int sb = b.addRobot(Side::Left, 1, 0, 0, 0);
    ASSERT_GE(sa, 0);
    ASSERT_GE(sb, 0);
    std::array<double, RobotModel::kNumJoints> pose{};
    pose[14] = pose[15] = -90;
    a.setJointAngles(sa, pose);
    b.setJointAngles(sb, pose);
    a.placeUpright(sa, -3.0, 0.0, 0.0);
    b.placeUpright(sb, -3.0, 0.0, 0.0);
    const double kPiHere = std::acos(-1.0);
    double maxDy = 0, maxDh = 0, travel = 0, turn = 0;
    for (int k = 0; k < 100; ++k) {
        const double t = k * 0.02;
        std::array<double, RobotModel::kNumJoints> v{};
        // Sway onto the left foot, lift and swing the right leg, wave the
        // arms and turn the head: speeds in rad/s.
        v[4] = v[5] = 1.2 * std::sin(2 * kPiHere * t);
        v[12] = v[13] = -v[4];
        v[7] = 4.0 * std::sin(4 * kPiHere * t);
        v[9] = -3.0 * std::sin(4 * kPiHere * t);
        v[3] = -0.8 * std::sin(3 * kPiHere * t);
        v[0] = 3.0 * std::cos(2 * kPiHere * t);
        v[14] = 5.0 * std::sin(5 * kPiHere * t);
        v[17] = 2.0 * std::sin(3 * kPiHere * t);
        v[21] = -2.0 * std::sin(2 * kPiHere * t);
        for (int j = 0; j < RobotModel::kNumJoints; ++j) {
            a.setJointVelocity(sa, j, v[j]);
            b.setJointVelocity(sb, mirrorJoint(j), mirrorSign(j) * v[j]);
        }
        a.step();
        b.step();
        const Vec3 pa = a.torsoPos(sa), pb = b.torsoPos(sb);
        EXPECT_NEAR(pa.x, pb.x, 2e-3) << "t " << t;
        EXPECT_NEAR(pa.z, pb.z, 2e-3) << "t " << t;
        maxDy = std::max(maxDy, std::fabs(pa.y + pb.y));
        double dh = std::remainder(a.heading(sa) + b.heading(sb), 360.0);
        maxDh = std::max(maxDh, std::fabs(dh));
        travel = std::max(travel, std::fabs(pa.y));
        turn = std::max(turn, std::fabs(std::remainder(a.heading(sa), 360.0)));
        for (int j = 0; j < RobotModel::kNumJoints; ++j)
            EXPECT_NEAR(a.jointAngleDeg(sa, j), mirrorSign(j) * b.jointAngleDeg(sb, mirrorJoint(j)),
                        0.2)
                << "joint " << j << " t " << t;
    }
    EXPECT_LT(maxDy, 2e-3);
    EXPECT_LT(maxDh, 0.2);
    // The motion is not trivially symmetric: the robot moves sideways or
    // turns.
    EXPECT_GT(travel + turn / 100.0, 0.01);
}
