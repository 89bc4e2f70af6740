// The joints' velocity motors: commanded speed within the torque limit, no
// position target, holding without creep, stops without wind-up; and the
// setpoint servo kept for comparison.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "RobotModel.h"
#include "World.h"

using namespace tovrasim;

namespace {

constexpr int kHj1 = 0, kLlj3 = 6, kRlj3 = 7, kLlj4 = 8, kRlj4 = 9, kLlj5 = 10, kRlj5 = 11;
constexpr int kLaj1 = 14, kRaj1 = 15, kLaj3 = 18;

using Angles = std::array<double, RobotModel::kNumJoints>;

Angles armsDown() {
    Angles a{};
    a[kLaj1] = a[kRaj1] = -90;
    return a;
}

// The walk engine's ready posture: knees bent, feet flat, torso upright.
Angles bentKnees() {
    Angles a = armsDown();
    a[kLlj3] = a[kRlj3] = 36;
    a[kLlj4] = a[kRlj4] = -80;
    a[kLlj5] = a[kRlj5] = 44;
    return a;
}

struct Standing {
    World w;
    int s;
    explicit Standing(const Angles& a, World::Config cfg = {}) : w(cfg) {
        s = w.addRobot(Side::Left, 1, 0, 0, 0);
        w.setJointAngles(s, a);
        w.placeUpright(s, -5, 3, 0);
    }
    double joint(int j) const { return w.jointAngleDeg(s, j); }
    void steps(int n) {
        for (int i = 0; i < n; ++i)
            w.step();
    }
};

}  // namespace

TEST(JointMotor, UnloadedJointTurnsAtTheCommandedSpeed) {
    // 1 rad/s for 10 steps is 0.2 rad, for the head's pan and an elbow.
    for (int j : {kHj1, kLaj3}) {
        Standing r(armsDown());
        r.steps(10);
        const double start = r.joint(j);
        for (int i = 0; i < 10; ++i) {
            r.w.setJointVelocity(r.s, j, 1.0);
            r.w.step();
        }
        EXPECT_NEAR(deg2rad(r.joint(j) - start), 0.2, 0.01) << "joint " << j;
    }
}

TEST(JointMotor, KnockedJointStaysWhereTheKnockLeftIt) {
    Standing r(armsDown());
    r.steps(10);
    const double before = r.joint(kHj1);
    // Faster than the motor can stop at once: the head turns on.
    r.w.setJointSpeed(r.s, kHj1, 15.0);
    r.steps(5);
    const double knocked = r.joint(kHj1);
    EXPECT_GT(knocked - before, 2.0);
    r.steps(100);
    // No spring pulls it back.
    EXPECT_LE(std::abs(r.joint(kHj1) - knocked), 0.5);
    // The earlier servo did pull it back towards its setpoint.
    World::Config old;
    old.servo = ServoModel::Setpoint;
    Standing s(armsDown(), old);
    s.steps(10);
    s.w.setJointSpeed(s.s, kHj1, 15.0);
    s.steps(5);
    const double oldKnocked = s.joint(kHj1);
    s.steps(100);
    EXPECT_GT(std::abs(s.joint(kHj1) - oldKnocked), 0.5);
}

TEST(JointMotor, UprightRobotWithZeroCommandsStandsThirtySeconds) {
    Standing r(armsDown());
    Angles start;
    for (int j = 0; j < RobotModel::kNumJoints; ++j)
        start[j] = r.joint(j);
    for (int i = 0; i < 1500; ++i) {
        r.w.step();
        ASSERT_FALSE(r.w.lying(r.s)) << "fell at step " << i;
    }
    EXPECT_NEAR(r.w.torsoPos(r.s).z, RobotModel::kTorsoStandingHeight, 0.01);
    for (int j = 0; j < RobotModel::kNumJoints; ++j)
        EXPECT_NEAR(r.joint(j), start[j], 1.0) << "joint " << j;
}

TEST(JointMotor, BentKneeStanceDoesNotCreep) {
    Standing r(bentKnees());
    r.steps(25);  // the landing
    ASSERT_FALSE(r.w.lying(r.s));
    Angles start;
    for (int j = 0; j < RobotModel::kNumJoints; ++j)
        start[j] = r.joint(j);
    // The knees carry the weight: they need a good part of their torque.
    r.steps(500);
    double worst = 0;
    for (int j = 0; j < RobotModel::kNumJoints; ++j)
        worst = std::max(worst, std::abs(r.joint(j) - start[j]));
    EXPECT_LT(worst, 1.0);
    EXPECT_NEAR(r.joint(kLlj4), -80, 2.0);
    EXPECT_EQ(r.w.overloadedSubsteps(), 0);
}

TEST(JointMotor, JointDrivenIntoItsStopStaysThereAndLeavesAtOnce) {
    Standing r(armsDown());
    // Past the pan's 120 degree stop for a second.
    for (int i = 0; i < 50; ++i) {
        r.w.setJointVelocity(r.s, kHj1, 5.0);
        r.w.step();
    }
    EXPECT_NEAR(r.joint(kHj1), 120.0, 0.5);
    // Turning back starts at once: nothing was wound up at the stop.
    for (int i = 0; i < 5; ++i) {
        r.w.setJointVelocity(r.s, kHj1, -1.0);
        r.w.step();
    }
    EXPECT_NEAR(r.joint(kHj1), 120.0 - rad2deg(0.1), 0.6);
}

TEST(JointMotor, TorqueLimitBoundsTheAcceleration) {
    // A knee swung from rest at full speed, robot in the air: the motor's
    // torque limit, not the command, sets how fast it gets going.
    Standing r(armsDown());
    r.w.setTorsoPose(r.s, {-5, 3, 2.0}, {1, 0, 0, 0});
    const double start = r.joint(kRlj4);
    r.w.setJointVelocity(r.s, kRlj4, -RobotModel::kMaxJointSpeed);
    r.w.step();
    const double moved = deg2rad(start - r.joint(kRlj4));
    EXPECT_GT(moved, 0.0);
    EXPECT_LT(moved, RobotModel::kMaxJointSpeed * World::kStepTime * 0.9);
}
