#include <gtest/gtest.h>

#include <cmath>
#include <iostream>
#include <random>

#include "Effector/Kinematic.h"
#include "WorldUpdateSupport.h"
#include "support/LegPoints.h"

namespace world_update_test {
namespace {

// v rotated by angle degrees about a unit axis (Rodrigues' formula).
Vector3f turn(const Vector3f& v, Vector3f axis, double angle) {
    axis = axis / axis.Length();
    const double c = std::cos(rad(angle)), s = std::sin(rad(angle));
    const Vector3f cross = axis.Cross(v);
    const double dot = axis.Dot(v);
    return v * static_cast<float>(c) + cross * static_cast<float>(s) +
           axis * static_cast<float>(dot * (1 - c));
}

void expectNear(const Vector3f& expected, const Vector3f& actual, double tol = 1e-5) {
    EXPECT_NEAR(expected.x(), actual.x(), tol);
    EXPECT_NEAR(expected.y(), actual.y(), tol);
    EXPECT_NEAR(expected.z(), actual.z(), tol);
}

class WorldModelUpdateTest : public WorldUpdateTest {
protected:
    Vector3f rel(BodyID part) { return wm->getMySelf().getMyRelPos(part); }
};

TEST_F(WorldModelUpdateTest, BodyAtZeroAngles) {
    wm->updateSelf();
    expectNear(Vector3f(0, 0, 0), rel(Head));
    expectNear(Vector3f(0, 0, -0.065f), rel(Neck));
    expectNear(Vector3f(0, 0, -0.155f), rel(Torso));
    expectNear(Vector3f(0.025f, 0.055f, -0.525f), rel(LFoot));
    expectNear(Vector3f(0.025f, -0.055f, -0.525f), rel(RFoot));
    expectNear(Vector3f(0.1f, -0.118f, -0.071f), rel(RLowerArm));
    expectNear(Vector3f(0.1f, 0.118f, -0.071f), rel(LLowerArm));
    expectNear(Vector3f(-0.005f, 0.055f, -0.49f), rel(LAnkle));
}

// The leg is a serial chain: hip yaw-pitch about the tilted axis, hip roll
// and pitch, then knee, ankle pitch and ankle roll, each axis carried along by
// the joints before it, the shank turning about the knee joint.
TEST_F(WorldModelUpdateTest, LegIsASerialChain) {
    const double j1 = -20, j2 = 15, j3 = 35, j4 = -50, j5 = 25, j6 = -10;
    setJoint(JID_LLEG_1, j1);
    setJoint(JID_LLEG_2, j2);
    setJoint(JID_LLEG_3, j3);
    setJoint(JID_LLEG_4, j4);
    setJoint(JID_LLEG_5, j5);
    setJoint(JID_LLEG_6, j6);
    wm->updateSelf();
    const Vector3f x(1, 0, 0), y(0, 1, 0);
    // hip: yaw-pitch about (0, 1, -1), then roll (x), then pitch (-y).
    auto hip = [&](const Vector3f& v) {
        return turn(turn(turn(v, y, -j3), x, j2), Vector3f(0, 1, -1), j1);
    };
    auto knee = [&](const Vector3f& v) { return hip(turn(v, y, -j4)); };
    auto ankle = [&](const Vector3f& v) { return knee(turn(turn(v, x, j6), y, -j5)); };
    const Vector3f lhip(-0.01f, 0.055f, -0.27f);
    const Vector3f kneeJoint = lhip + hip(Vector3f(0.005f, 0, -0.12f));
    expectNear(lhip, rel(LHip));
    expectNear(lhip + hip(Vector3f(0.01f, 0, -0.04f)), rel(LThigh));
    expectNear(lhip + hip(Vector3f(0.01f, 0, -0.11f)), rel(LKnee));
    expectNear(kneeJoint + knee(Vector3f(0.01f, 0, -0.045f)), rel(LShank));
    expectNear(kneeJoint + knee(Vector3f(0, 0, -0.1f)), rel(LAnkle));
    expectNear(rel(LAnkle) + ankle(Vector3f(0.03f, 0, -0.035f)), rel(LFoot));
    // The right leg did not move.
    expectNear(Vector3f(0.025f, -0.055f, -0.525f), rel(RFoot));

    // The right leg's yaw-pitch axis is the mirror image, (0, 1, 1): equal
    // yaw-pitch angles alone place the feet as mirror images.
    wm->mJointIDToAngleMap.clear();
    setJoint(JID_LLEG_1, j1);
    setJoint(JID_RLEG_1, j1);
    wm->updateSelf();
    expectNear(Vector3f(-0.01f, -0.055f, -0.27f) +
                   turn(Vector3f(0.035f, 0, -0.255f), Vector3f(0, 1, 1), j1),
               rel(RFoot));
    expectNear(Vector3f(rel(LFoot).x(), -rel(LFoot).y(), rel(LFoot).z()), rel(RFoot));
    EXPECT_GT(rel(LFoot).y(), 0.055f + 0.01f);  // the feet turn outward and apart
}

// The body-part model and the leg kinematic model (the walk's and the
// simulator's model of the legs) place every leg point alike, whatever the
// joint angles: each angle is drawn over the whole range of the robot's leg
// joints and beyond.
TEST_F(WorldModelUpdateTest, LegsAgreeWithTheKinematicModel) {
    using namespace tovra::test;
    Kinematic::deleteT();
    Kinematic* kinematic = Kinematic::instance();
    kinematic->init();
    const JointID legs[2][6] = {
        {JID_LLEG_1, JID_LLEG_2, JID_LLEG_3, JID_LLEG_4, JID_LLEG_5, JID_LLEG_6},
        {JID_RLEG_1, JID_RLEG_2, JID_RLEG_3, JID_RLEG_4, JID_RLEG_5, JID_RLEG_6}};
    std::mt19937 rng(19);
    std::uniform_real_distribution<double> angle(-130, 100);
    double worst[2] = {0, 0};
    for (int draw = 0; draw < 200; ++draw) {
        for (const auto& leg : legs) {
            for (JointID joint : leg) {
                setJoint(joint, angle(rng));
            }
        }
        wm->updateSelf();
        kinematic->updateLink();
        for (int side = 0; side < 2; ++side) {
            const bool left = side == 0;
            const LegGap gap =
                largestGap(bodyPartLeg(wm->getMySelf(), left), kinematicLeg(*kinematic, left));
            worst[side] = std::max(worst[side], gap.metres);
            EXPECT_LT(gap.metres, 1e-3)
                << (left ? "left" : "right") << " leg, draw " << draw << ": " << describe(gap);
        }
    }
    std::cout << "largest gap, left leg " << worst[0] * 1000 << " mm, right leg " << worst[1] * 1000
              << " mm\n";
    Kinematic::deleteT();
}

TEST_F(WorldModelUpdateTest, ArmsTurnWithShoulderAndElbow) {
    setJoint(JID_RARM_1, -90);  // arm pitch: the arm swings to the front and up
    wm->updateSelf();
    // RotateY(90 deg): x goes to -z, z to x.
    expectNear(Vector3f(0, -0.098f, -0.08f) + Vector3f(0, -0.01f, 0.02f), rel(RUpperArm));
    expectNear(rel(RUpperArm) + Vector3f(0.009f, -0.01f, -0.07f), rel(RElbow));
    setJoint(JID_RARM_4, 90);  // elbow roll about the turned z axis
    wm->updateSelf();
    expectNear(rel(RElbow) + turn(Vector3f(0, 0, -0.05f), Vector3f(1, 0, 0), -90), rel(RLowerArm));
    // The elbow yaw takes no part.
    const Vector3f before = rel(RLowerArm);
    setJoint(JID_RARM_3, 45);
    wm->updateSelf();
    expectNear(before, rel(RLowerArm));
}

TEST_F(WorldModelUpdateTest, HeadPanAndTiltMoveOnlyTheCameraFrame) {
    setJoint(JID_LLEG_4, -40);
    setJoint(JID_RARM_1, -30);
    setJoint(JID_LARM_2, 20);
    wm->updateSelf();
    Vector3f body[BID_MAX];
    for (int i = 0; i < BID_MAX; ++i) {
        body[i] = rel(static_cast<BodyID>(i));
    }
    setJoint(JID_HEAD_1, 40);
    wm->updateSelf();
    for (int i = Neck; i < BID_MAX; ++i) {
        const BodyID part = static_cast<BodyID>(i);
        // Turning the pan back gives the same body-frame offset ...
        expectNear(body[i], turn(rel(part), Vector3f(0, 0, 1), 40));
        // ... while every part off the pan axis moved in the camera frame.
        if (std::hypot(body[i].x(), body[i].y()) > 1e-3) {
            EXPECT_GT((rel(part) - body[i]).Length(), 1e-3) << i;
        }
    }
    // Looking up, the parts below the head move behind the camera.
    setJoint(JID_HEAD_1, 0);
    setJoint(JID_HEAD_2, 30);
    wm->updateSelf();
    expectNear(Vector3f(-0.065f * 0.5f, 0, -0.065f * std::cos(rad(30))), rel(Neck));
}

TEST_F(WorldModelUpdateTest, GlobalPartPositionsFollowTheOwnPose) {
    wm->setMyPos(Vector3f(2, 3, 0.55f));
    wm->updateSelf();
    const Self self = wm->getMySelf();
    for (int i = Head; i < BID_MAX; ++i) {
        const BodyID part = static_cast<BodyID>(i);
        expectNear(wm->translate(self.getMyRelPos(part)), self.getMyPos(part));
    }
    // Head-frame centre of mass below the camera.
    EXPECT_LT(self.getCOM().z(), -0.2f);
}

TEST_F(WorldModelUpdateTest, GlobalizeRunsTheWholeCycle) {
    wm->setUnum(9);
    TruePose pose;
    pose.x = -4;
    pose.y = 1.5;
    pose.heading = 20;
    pose.pan = -25;
    seeLandmarks(2, pose, {FLAG_1R, FLAG_2R, GOAL_1R, GOAL_2R});
    std::string heard = "~";
    heard += Types::encodeDigit(3);
    heard += Types::encodeDigit(1);
    heard += std::string(5, '#');
    wm->setCommunicationString(heard, 2);

    wm->globalize();
    EXPECT_EQ(1, wm->getCurrentCycle());
    EXPECT_NEAR(-4, wm->getMyPos().x(), 0.05);
    EXPECT_NEAR(1.5, wm->getMyPos().y(), 0.05);
    EXPECT_NEAR(20, wm->getMyAngle(), 1);
    EXPECT_FALSE(wm->getIsObjectFallDown(TEAMMATE_9));
    // The message was decoded with the pose of this cycle.
    EXPECT_TRUE(wm->getIsObjectFallDown(TEAMMATE_3));
    EXPECT_NEAR(1.01, wm->getSayDisanceToBallInfo(TEAMMATE_3).distance, 1e-9);
    // Body parts placed from the new pose.
    const Self self = wm->getMySelf();
    expectNear(wm->translate(self.getMyRelPos(LFoot)), self.getMyPos(LFoot));
    EXPECT_NEAR(-4, self.getMyPos(Head).x(), 0.05);

    wm->setServerTime(2.02);
    wm->globalize();
    EXPECT_EQ(2, wm->getCurrentCycle());
}

}  // namespace
}  // namespace world_update_test
