// Physics and sensor behaviour of the simulated robot and ball.
#include <gtest/gtest.h>

#include "RobotModel.h"
#include "World.h"

using namespace tovrasim;

namespace {

constexpr int kLaj1 = 14, kRaj1 = 15;

std::array<double, 22> armsDown() {
    std::array<double, 22> a{};
    a[kLaj1] = a[kRaj1] = -90;
    return a;
}

std::array<double, 4> quatMul(const std::array<double, 4>& a, const std::array<double, 4>& b) {
    return {a[0] * b[0] - a[1] * b[1] - a[2] * b[2] - a[3] * b[3],
            a[0] * b[1] + a[1] * b[0] + a[2] * b[3] - a[3] * b[2],
            a[0] * b[2] - a[1] * b[3] + a[2] * b[0] + a[3] * b[1],
            a[0] * b[3] + a[1] * b[2] - a[2] * b[1] + a[3] * b[0]};
}

// Torso orientation of a robot heading along +x and lying on its back
// (forward axis turned up) or on its front (forward axis turned down).
std::array<double, 4> lyingQuat(bool back) {
    const double a = -kPi / 4;                   // heading +x: the body's y axis along world x
    const double b = (back ? 1 : -1) * kPi / 4;  // about the body's right axis
    return quatMul({std::cos(a), 0, 0, std::sin(a)}, {std::cos(b), std::sin(b), 0, 0});
}

}  // namespace

TEST(Physics, RobotWithZeroAnglesAndArmsDownStandsStillForTenSeconds) {
    World w;
    const int s = w.addRobot(Side::Left, 1, 0, 0, 0);
    ASSERT_GE(s, 0);
    w.setJointAngles(s, armsDown());
    w.placeUpright(s, 2.0, -1.0, 30.0);
    const Vec3 start = w.torsoPos(s);
    for (int i = 0; i < 500; ++i)
        w.step();
    const Vec3 end = w.torsoPos(s);
    EXPECT_NEAR(end.x, start.x, 0.01);
    EXPECT_NEAR(end.y, start.y, 0.01);
    EXPECT_NEAR(end.z, RobotModel::kTorsoStandingHeight, 0.01);
    EXPECT_NEAR(w.heading(s), 30.0, 1.0);
    EXPECT_FALSE(w.lying(s));
    const RobotSensors& se = w.sensors(s);
    EXPECT_NEAR(se.acc.x, 0.0, 0.3);
    EXPECT_NEAR(se.acc.y, 0.0, 0.3);
    EXPECT_NEAR(se.acc.z, 9.81, 0.3);
    EXPECT_NEAR(se.gyroDeg.norm(), 0.0, 1.0);
    ASSERT_TRUE(se.lf.contact);
    ASSERT_TRUE(se.rf.contact);
    // Both feet carry the weight, pushed up by the ground.
    EXPECT_NEAR(se.lf.f.z + se.rf.f.z, RobotModel::totalMass() * 9.81, 1.5);
    EXPECT_GT(se.lf.f.z, 10.0);
    EXPECT_GT(se.rf.f.z, 10.0);
    // The centre of pressure lies on the sole.
    EXPECT_NEAR(se.lf.c.z, -0.015, 0.003);
    EXPECT_LE(std::abs(se.lf.c.x), 0.04 + 1e-6);
    EXPECT_LE(std::abs(se.lf.c.y), 0.08 + 1e-6);
    for (int j = 0; j < RobotModel::kNumJoints; ++j) {
        EXPECT_NEAR(se.jointDeg[j], armsDown()[j], 2.0) << RobotModel::joints()[j].perceptor;
    }
}

TEST(Physics, LyingOnBackAndFrontReadsWhatFallDetectionExpects) {
    for (bool back : {true, false}) {
        World w;
        const int s = w.addRobot(Side::Left, 1, 0, 0, 0);
        w.setJointAngles(s, armsDown());
        w.setTorsoPose(s, {0, 0, 0.2}, lyingQuat(back));
        for (int i = 0; i < 100; ++i)
            w.step();
        const RobotSensors& se = w.sensors(s);
        EXPECT_TRUE(w.lying(s)) << "back=" << back;
        if (back) {
            EXPECT_GT(se.acc.y, 7.0);
        } else {
            EXPECT_LT(se.acc.y, -7.0);
        }
        EXPECT_LT(std::abs(se.acc.x), 7.5);
        // Feet off the ground: less than the 12 N the fall detection asks for.
        const double fz = (se.lf.contact ? se.lf.f.z : 0) + (se.rf.contact ? se.rf.f.z : 0);
        EXPECT_LT(fz, 12.0);
    }
}

TEST(Physics, FallingBackwardsTurnsAboutPositiveX) {
    World w;
    const int s = w.addRobot(Side::Left, 1, 0, 0, 0);
    w.setJointAngles(s, armsDown());
    w.placeUpright(s, 0, 0, 0);
    // Push the torso backwards (its own -y) near the top.
    const Mat3 R = w.torsoRot(s);
    const Vec3 back = -R.column(1);
    w.setTorsoVelocity(s, back * 0.6, {1.5, 0, 0});
    double peak = 0;
    for (int i = 0; i < 60; ++i) {
        w.step();
        peak = std::max(peak, w.sensors(s).gyroDeg.x);
        EXPECT_GT(w.sensors(s).gyroDeg.x, -60.0);
    }
    EXPECT_GT(peak, 75.0);
    for (int i = 0; i < 100; ++i)
        w.step();
    EXPECT_TRUE(w.lying(s));
    EXPECT_GT(w.sensors(s).acc.y, 7.0);
}

TEST(Physics, JointFollowsConstantVelocityUntilItsRangeEnds) {
    World w;
    const int s = w.addRobot(Side::Left, 1, 0, 0, 0);
    w.setJointAngles(s, armsDown());
    w.placeUpright(s, 0, 0, 0);
    // Head yaw at 1 rad/s: 57.3 degrees per second up to its 120 degree end.
    std::vector<double> angle;
    for (int i = 0; i < 150; ++i) {
        w.setJointVelocity(s, 0, 1.0);
        w.step();
        angle.push_back(w.sensors(s).jointDeg[0]);
    }
    const double rate = (angle[60] - angle[20]) / (40 * 0.02);
    EXPECT_NEAR(rate, rad2deg(1.0), 2.0);
    EXPECT_NEAR(angle.back(), 120.0, 1.0);
    // A command above the speed limit moves at 351.77 degrees per second.
    for (int i = 0; i < 30; ++i) {
        w.setJointVelocity(s, 0, -20.0);
        w.step();
        angle.push_back(w.sensors(s).jointDeg[0]);
    }
    const size_t n = angle.size();
    const double fast = (angle[n - 20] - angle[n - 10]) / (10 * 0.02);
    EXPECT_NEAR(fast, 351.77, 8.0);
    // No command: the joint stops within a few degrees (the servo's lag)
    // and then holds.
    const double moving = w.sensors(s).jointDeg[0];
    for (int i = 0; i < 10; ++i)
        w.step();
    const double held = w.sensors(s).jointDeg[0];
    EXPECT_NEAR(held, moving, 4.0);
    for (int i = 0; i < 50; ++i)
        w.step();
    EXPECT_NEAR(w.sensors(s).jointDeg[0], held, 0.5);
}

TEST(Physics, DroppedAndRollingBallComesToRest) {
    World w;
    w.placeBall({1, 1, 1.0});
    for (int i = 0; i < 250; ++i)
        w.step();
    EXPECT_NEAR(w.ballPos().z, World::kBallRadius, 0.003);
    EXPECT_LT(w.ballVel().norm(), 0.01);
    w.placeBall({0, 0, World::kBallRadius}, {3.0, 0, 0});
    int restStep = -1;
    for (int i = 0; i < 1500 && restStep < 0; ++i) {
        w.step();
        if (w.ballVel().norm() < 0.005)
            restStep = i;
    }
    ASSERT_GE(restStep, 0) << "ball still rolling after 30 s";
    EXPECT_GT(w.ballPos().x, 2.0);
    EXPECT_LT(w.ballPos().x, 25.0);
    EXPECT_NEAR(w.ballPos().y, 0.0, 0.05);
}

TEST(RobotModel, ZeroPoseMatchesTheLegLinkTable) {
    World w;
    const int s = w.addRobot(Side::Left, 1, 0, 0, 0);
    w.placeUpright(s, 0, 0, 90.0);  // heading +y: model axes equal world axes
    const Mat3 R = w.torsoRot(s);
    const Vec3 torso = w.torsoPos(s);
    auto rel = [&](const char* part) {
        return R.transposeTimes(w.partPos(s, RobotModel::bodyIndex(part)) - torso);
    };
    // Foot body centre of the left leg: (-0.055, -0.01 + 0.005 + 0.03,
    // -0.115 - 0.12 - 0.1 - 0.035) from the torso centre.
    const Vec3 lf = rel("lfoot");
    EXPECT_NEAR(lf.x, -0.055, 1e-3);
    EXPECT_NEAR(lf.y, 0.025, 1e-3);
    EXPECT_NEAR(lf.z, -0.37, 1e-3);
    const Vec3 rf = rel("rfoot");
    EXPECT_NEAR(rf.x, 0.055, 1e-3);
    EXPECT_NEAR(w.torsoPos(s).z, RobotModel::kTorsoStandingHeight, 1e-3);
    // Arms stretch forward at zero angles.
    const Vec3 ra = rel("rlowerarm");
    EXPECT_GT(ra.y, 0.05);
    EXPECT_NEAR(ra.x, 0.098 + 0.02, 1e-3);
}

TEST(RobotModel, JointSignsMeanWhatTheAgentAssumes) {
    World w;
    const int s = w.addRobot(Side::Left, 1, 0, 0, 0);
    w.placeUpright(s, 0, 0, 90.0);
    const Vec3 torso = w.torsoPos(s);
    auto at = [&](const std::array<double, 22>& a, const char* part) {
        w.setJointAngles(s, a);
        w.setTorsoPose(s, torso, {std::cos(0.0), 0, 0, 0});
        return w.partPos(s, RobotModel::bodyIndex(part)) - torso;
    };
    std::array<double, 22> a{};
    const Vec3 foot0 = at(a, "lfoot");
    a[6] = 30;  // llj3, hip pitch: positive swings the leg forward
    EXPECT_GT(at(a, "lfoot").y, foot0.y + 0.1);
    a = {};
    a[4] = 20;  // llj2, left hip roll: positive moves the foot left (outward)
    EXPECT_LT(at(a, "lfoot").x, foot0.x - 0.05);
    a = {};
    a[5] = -20;  // rlj2, right hip roll: negative moves the right foot right (outward)
    const Vec3 rfoot0 = at(std::array<double, 22>{}, "rfoot");
    EXPECT_GT(at(a, "rfoot").x, rfoot0.x + 0.05);
    a = {};
    a[kLaj1] = -90;  // shoulder pitch -90: arm down, 0.1 below the shoulder
    const Vec3 down = at(a, "llowerarm");
    EXPECT_NEAR(down.z, 0.075 - 0.1, 1e-3);
    EXPECT_NEAR(down.y, 0.009, 1e-3);
    a = {};
    a[16] = -60;  // laj2 negative: left arm outward (to the left)
    a[17] = 60;   // raj2 positive: right arm outward (to the right)
    EXPECT_LT(at(a, "llowerarm").x, -0.15);
    EXPECT_GT(at(a, "rlowerarm").x, 0.15);
    a = {};
    a[0] = 90;  // hj1 positive: the head turns left
    w.setJointAngles(s, a);
    const Mat3 cam = w.cameraAxes(s);
    EXPECT_NEAR(cam.column(0).x, -1.0, 1e-6);
    a = {};
    a[1] = 30;  // hj2 positive: the camera looks up
    w.setJointAngles(s, a);
    EXPECT_NEAR(w.cameraAxes(s).column(0).z, std::sin(deg2rad(30)), 1e-6);
    // The two hip yaw-pitch joints with equal angles move the feet as mirror
    // images of each other.
    a = {};
    a[2] = a[3] = -40;
    const Vec3 l = at(a, "lfoot"), r = at(a, "rfoot");
    EXPECT_NEAR(l.x, -r.x, 1e-6);
    EXPECT_NEAR(l.y, r.y, 1e-6);
    EXPECT_NEAR(l.z, r.z, 1e-6);
}

TEST(RobotModel, CommittedModelFileIsTheGeneratedOne) {
    std::FILE* f = std::fopen(TOVRA_SIM_MODEL_DIR "/world-one-robot.xml", "r");
    ASSERT_NE(f, nullptr);
    std::string text;
    char buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
        text.append(buf, n);
    std::fclose(f);
    EXPECT_EQ(text, World::buildXml({0}));
}
