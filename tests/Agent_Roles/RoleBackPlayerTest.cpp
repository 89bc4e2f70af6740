#include <gtest/gtest.h>

#include "Actions/Actions.h"
#include "Agent_Roles/RoleDefensive.h"
#include "Agent_Roles/RoleMidForward.h"
#include "RoleTestSupport.h"
#include "Tactic/Tactic.h"
#include "WorldModel/WorldModel.h"
#include "support/ScratchDir.h"
#include "support/ScriptedWorld.h"

namespace tovra::test {
namespace {

template <class R>
ActionType cycle(ScriptedWorld& world, R& role) {
    return world.run([&] { return role.execute(static_cast<RoleType>(world.wm()->getUnum())); });
}

// Two field players ahead of the ball: nobody stands behind it.
void placeNobodyBehindTheBall(ScriptedWorld& world, Object other) {
    world.placeMe(-2, 1, 0);
    world.place(other, -2.5, -1);
    world.placeBall(-3, 0);
}

TEST(RoleBackPlayerTest, DefenderWithoutCarrierTakesTheUprightOneNearestTheBall) {
    ScriptedWorld world(3);
    startPlay(world);
    RoleDefensive defender;
    placeNobodyBehindTheBall(world, TEAMMATE_4);
    cycle(world, defender);
    EXPECT_EQ(TEAMMATE_4, RoleDefensive::classState().carrier);

    // A fallen defender is passed over.
    world.setFallen(TEAMMATE_4, true);
    placeNobodyBehindTheBall(world, TEAMMATE_4);
    cycle(world, defender);
    EXPECT_EQ(TEAMMATE_3, RoleDefensive::classState().carrier);
}

TEST(RoleBackPlayerTest, MidfielderWithoutCarrierTakesItself) {
    ScriptedWorld world(5);
    startPlay(world);
    RoleMidForward midfielder;
    placeNobodyBehindTheBall(world, TEAMMATE_3);
    cycle(world, midfielder);
    EXPECT_EQ(TEAMMATE_5, RoleMidForward::classState().carrier);
    // The defenders' state is a set of its own.
    EXPECT_FALSE(RoleDefensive::classState().neighbourSet);
}

TEST(RoleBackPlayerTest, DefenderBehindTheBallCarriesIt) {
    ScriptedWorld world(4);
    startPlay(world);
    RoleDefensive defender;
    world.placeMe(-8, 3, 0);
    world.place(TEAMMATE_3, -6, 0);
    world.placeBall(-5, 0);
    cycle(world, defender);
    EXPECT_EQ(TEAMMATE_3, RoleDefensive::classState().carrier);
    EXPECT_TRUE(RoleDefensive::classState().flagDefensive);
}

TEST(RoleBackPlayerTest, BallInTheGoalieAreaIsLeftToTheGoalies) {
    ScriptedWorld world(3);
    startPlay(world);
    RoleDefensive defender;
    world.placeMe(-12, 0.5, 0);
    world.placeBall(-14, 0);
    cycle(world, defender);
    EXPECT_EQ(OBJECT_MAX, RoleDefensive::classState().carrier);
    EXPECT_FLOAT_EQ(-12, RoleDefensive::classState().stragePos.x());
    EXPECT_FLOAT_EQ(0, RoleDefensive::classState().stragePos.y());
}

TEST(RoleBackPlayerTest, StrategicTargetMovesOnlyBeyondOneMetre) {
    ScriptedWorld world(4);
    startPlay(world);
    RoleDefensive defender;
    // TEAMMATE_3 carries the ball; this defender gets the point 2.5 m behind it.
    auto place = [&](double ballX) {
        world.placeMe(-8, 3, 0);
        world.place(TEAMMATE_3, ballX - 1, 0);
        world.placeBall(ballX, 0);
    };
    place(-5);
    cycle(world, defender);
    ASSERT_EQ(TEAMMATE_3, RoleDefensive::classState().carrier);
    EXPECT_FLOAT_EQ(-7.5, RoleDefensive::classState().stragePos.x());

    place(-4.2);  // a new point 0.8 away: ignored
    cycle(world, defender);
    EXPECT_FLOAT_EQ(-7.5, RoleDefensive::classState().stragePos.x());
    EXPECT_FLOAT_EQ(-7.5, RoleDefensive::classState().oldStragePos.x());

    place(-3.8);  // 1.2 away: taken
    cycle(world, defender);
    EXPECT_NEAR(-6.3, RoleDefensive::classState().stragePos.x(), 1e-5);
    EXPECT_NEAR(-6.3, RoleDefensive::classState().oldStragePos.x(), 1e-5);
}

TEST(RoleBackPlayerTest, OpponentHalfMeansHoldingHome) {
    ScriptedWorld world(3);
    world.dir().write("formation.conf",
                      "unums 1 2 3 4 5 6 7 8 9 10 11\nid 0\n"
                      "homePosX -14 -14 -10 -10 -6 -6 -2 -2 -2 -1 -1\n"
                      "homePosY 0 1 2 -2 3 -3 4 0 -4 1 -1\n"
                      "homePosZ 0 0 0 0 0 0 0 0 0 0 0\n");
    startPlay(world);
    RoleDefensive defender;
    world.placeMe(-4, 0, 0);
    world.placeBall(5, 0);
    // The walk home starts on the cycle after the decision.
    EXPECT_EQ(UNKNOWN, cycle(world, defender));
    EXPECT_TRUE(RoleDefensive::classState().flagWalkToHome);
    EXPECT_NE(UNKNOWN, cycle(world, defender));
    // At home and facing forward it waits.
    world.placeMe(-10, 2.2, 0);
    world.placeBall(5, 0);
    EXPECT_EQ(WAIT, cycle(world, defender));
    EXPECT_FALSE(RoleDefensive::classState().flagWalkToHome);
}

TEST(RoleBackPlayerTest, FallenFieldPlayerOnlyGetsUp) {
    ScriptedWorld world(6);
    startPlay(world);
    RoleMidForward midfielder;
    world.placeMe(-4, 0, 0);
    world.placeBall(-3, 0);
    world.setFallen(TEAMMATE_6, true);
    const ActionType act = cycle(world, midfielder);
    EXPECT_TRUE(act == GET_UP_FRONT || act == GET_UP_BACK) << act;
    EXPECT_FALSE(RoleMidForward::classState().neighbourSet);
}

TEST(RoleBackPlayerTest, OwnGoalKickLineUpByRank) {
    ScriptedWorld world(5);
    startPlay(world, PM_Goal_Kick_Left, TEAM_LEFT);
    RoleMidForward midfielder;
    world.placeMe(-8, 0, 0);
    world.place(TEAMMATE_1, -14, 0.5);
    world.place(TEAMMATE_3, -10, 2);
    world.place(TEAMMATE_4, -10, -2);
    world.placeBall(-14, 1);
    cycle(world, midfielder);
    // Two of TEAMMATE_1..4 stand further left: rank 3.
    EXPECT_FLOAT_EQ(-12.5, RoleMidForward::classState().stragePos.x());
    EXPECT_FLOAT_EQ(-1, RoleMidForward::classState().stragePos.y());

    world.placeMe(-8, 3, 0);
    world.placeBall(-14, 1);
    cycle(world, midfielder);
    EXPECT_FLOAT_EQ(-13.5, RoleMidForward::classState().stragePos.x());
    EXPECT_FLOAT_EQ(2.5, RoleMidForward::classState().stragePos.y());
}

TEST(RoleBackPlayerTest, OwnKickInNearTheOwnGoalIsKickedByTheNearestPlayer) {
    ScriptedWorld world(3);
    startPlay(world, PM_KickIn_Left, TEAM_LEFT);
    RoleDefensive defender;
    world.placeMe(-6, 9, 0);
    world.place(TEAMMATE_4, -9, 0);
    world.place(TEAMMATE_8, -1, 5);
    world.placeBall(-5, 10);
    cycle(world, defender);
    // The whole side is ordered for this decision.
    EXPECT_EQ(TEAMMATE_3, Tactic::instance()->ourAllDistToBall.front());
    EXPECT_TRUE(world.acs()->getCurAct() != WAIT);
}

}  // namespace
}  // namespace tovra::test
