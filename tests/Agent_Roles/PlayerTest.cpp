#include <gtest/gtest.h>

#include "Agent_Roles/Player.h"
#include "Agent_Roles/Self.h"

namespace {

TEST(Self, MassesAreFixed) {
    const Self self;
    EXPECT_EQ(0.35, self.getMass(Head));
    EXPECT_EQ(1.2171, self.getMass(Torso));
    EXPECT_EQ(0.0, self.getMass(BNeck));
    EXPECT_EQ(0.0, self.getMass(LKnee));
    EXPECT_EQ(0.2, self.getMass(RFoot));
    double total = 0;
    for (int i = 0; i < BID_MAX; ++i) {
        total += self.getMass(static_cast<BodyID>(i));
    }
    EXPECT_NEAR(4.6071, total, 1e-12);
}

TEST(Self, CentreOfMassIsTheMassWeightedMean) {
    Self self;
    EXPECT_EQ(Vector3f(), self.getCOM());

    // Every part at the same place: the centre of mass is there.
    for (int i = 0; i < BID_MAX; ++i) {
        self.setMyRelPos(static_cast<BodyID>(i), Vector3f(1, -2, 3));
    }
    const Vector3f same = self.getCOM();
    EXPECT_NEAR(1, same.x(), 1e-6);
    EXPECT_NEAR(-2, same.y(), 1e-6);
    EXPECT_NEAR(3, same.z(), 1e-6);

    // Only the torso away from the origin; massless parts do not count.
    Self one;
    one.setMyRelPos(Torso, Vector3f(0, 0, -0.155f));
    one.setMyRelPos(BNeck, Vector3f(100, 100, 100));
    one.setMyRelPos(RKnee, Vector3f(100, 100, 100));
    const Vector3f com = one.getCOM();
    EXPECT_NEAR(0, com.x(), 1e-7);
    EXPECT_NEAR(-0.155 * 1.2171 / 4.6071, com.z(), 1e-7);

    one.setMyRelPos(Vector3f(0, 4.6071f / 0.35f, 0));  // the head slot
    EXPECT_NEAR(1.0, one.getCOM().y(), 1e-5);
}

TEST(Self, IndexedAccessorsIgnoreSlotsOutsideTheTables) {
    Self self;
    self.setMyPos(LFoot, Vector3f(1, 2, 3));
    self.setMyVel(Neck, Vector3f(4, 5, 6));
    self.setMyJointsVel(JID_RARM_4, 0.5);
    EXPECT_EQ(Vector3f(1, 2, 3), self.getMyPos(LFoot));
    EXPECT_EQ(Vector3f(4, 5, 6), self.getMyVel(Neck));
    EXPECT_EQ(0.5, self.getMyJointsVel(JID_RARM_4));

    self.setMyPos(BID_MAX, Vector3f(9, 9, 9));
    self.setMyJointsVel(JID_MAX, 9);
    EXPECT_EQ(Vector3f(), self.getMyPos(BID_MAX));
    EXPECT_EQ(0.0, self.getMyJointsVel(JID_MAX));
    EXPECT_EQ(Vector3f(1, 2, 3), self.getMyPos(LFoot));
}

TEST(Player, ServesOnlyHeadArmsAndFeet) {
    Player p;
    p.setPos(Head, Vector3f(5, 0, 0));
    p.setPos(RLowerArm, Vector3f(0, 5, 0));
    p.setPos(LLowerArm, Vector3f(0, 0, 5));
    p.setPos(RFoot, Vector3f(5, 5, 0));
    p.setPos(LFoot, Vector3f(0, 5, 5));
    p.setPos(Torso, Vector3f(100, 100, 100));
    EXPECT_EQ(Vector3f(), p.getPos(Torso));
    EXPECT_EQ(Vector3f(0, 5, 5), p.getPos(LFoot));
    EXPECT_EQ(Vector3f(2, 3, 2), p.getCOMPos());

    p.setVel(RFoot, Vector3f(10, 0, 0));
    p.setVel(RThigh, Vector3f(10, 0, 0));
    EXPECT_EQ(Vector3f(2, 0, 0), p.getCOMVel());
    p.setRelPos(LLowerArm, Vector3f(1, 1, 1));
    EXPECT_EQ(Vector3f(1, 1, 1), p.getRelPos(LLowerArm));
    EXPECT_EQ(Vector3f(), p.getRelPos(RLowerArm));
}

TEST(Player, TimeSeenAtZeroResetsThePreviousSighting) {
    Player p;
    p.setTimePrevSeen(3);
    p.setTimeSeen(5);
    EXPECT_EQ(2.0, p.getTimeDiff());
    p.setTimeSeen(0);
    EXPECT_EQ(0.0, p.getTimePrevSeen());
    EXPECT_EQ(0.0, p.getTimeDiff());
}

}  // namespace
