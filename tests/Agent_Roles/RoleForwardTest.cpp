#include <gtest/gtest.h>

#include "Actions/Actions.h"
#include "Agent_Roles/RoleForward.h"
#include "RoleTestSupport.h"
#include "WorldModel/WorldModel.h"
#include "support/ScriptedWorld.h"

namespace tovra::test {
namespace {

ActionType cycle(ScriptedWorld& world, RoleForward& forward) {
    return world.run([&] { return forward.execute(static_cast<RoleType>(world.wm()->getUnum())); });
}

TEST(RoleForwardTest, KickTimeStartsBeforeAnyKickOff) {
    ScriptedWorld world(10);
    RoleForward forward;
    EXPECT_DOUBLE_EQ(-1000, forward.getKickTime());
}

TEST(RoleForwardTest, OnlyTheSeventhKicksOffTheOthersWait) {
    {
        ScriptedWorld world(9);
        startPlay(world, PM_KickOff_Left, TEAM_LEFT);
        RoleForward forward;
        world.placeMe(-1, 0, 0);
        world.placeBall(0, 0);
        EXPECT_EQ(WAIT, cycle(world, forward));
        EXPECT_DOUBLE_EQ(world.time(), forward.getKickTime());
    }
    {
        ScriptedWorld world(7);
        startPlay(world, PM_KickOff_Right, TEAM_RIGHT);
        RoleForward forward;
        world.placeMe(-0.5, 0.3, 0);
        world.placeBall(0, 0);
        const ActionType act = cycle(world, forward);
        EXPECT_NE(WAIT, act);
        EXPECT_NE(UNKNOWN, act);
        EXPECT_DOUBLE_EQ(world.time(), forward.getKickTime());
    }
    {
        // The other side's kick-off: face the ball, no kick time.
        ScriptedWorld world(9);
        startPlay(world, PM_KickOff_Right, TEAM_LEFT);
        RoleForward forward;
        world.placeMe(-1, 0, 0);
        world.placeBall(0, 0);
        EXPECT_EQ(WAIT, cycle(world, forward));
        world.placeMe(-1, 0, 90);
        world.placeBall(0, 0);
        EXPECT_EQ(FAST_TURN_R, cycle(world, forward));
        EXPECT_DOUBLE_EQ(-1000, forward.getKickTime());
    }
}

TEST(RoleForwardTest, DribblesRatherThanShootsRightInFrontOfGoal) {
    ScriptedWorld world(9);
    startPlay(world);
    RoleForward forward;
    world.placeMe(11.5, 1, 0);
    world.placeBall(12.5, 1);
    EXPECT_NE(UNKNOWN, cycle(world, forward));
    EXPECT_FALSE(RoleForward::playOnState().flagKickBall);
    EXPECT_FALSE(RoleForward::playOnState().interceptFlag);
}

TEST(RoleForwardTest, ShootsFromTheSideOfTheGoal) {
    ScriptedWorld world(9);
    startPlay(world);
    RoleForward forward;
    world.placeMe(11.5, 3, 0);
    world.placeBall(12.5, 3);
    EXPECT_NE(UNKNOWN, cycle(world, forward));
    EXPECT_TRUE(RoleForward::playOnState().flagKickBall);

    // An opponent at the robot keeps the kick latch: it walks into the ball.
    world.placeMe(11.5, 3, 0);
    world.place(OPPONENT_4, 11.8, 3.2);
    world.placeBall(12.5, 3);
    cycle(world, forward);
    EXPECT_TRUE(RoleForward::playOnState().flagKickBall);

    // Right in front of the goal with the opponent gone: the latch clears
    // and the ball is dribbled.
    world.placeMe(11.5, 1, 0);
    world.place(OPPONENT_4, 5, -5);
    world.placeBall(12.5, 1);
    cycle(world, forward);
    EXPECT_FALSE(RoleForward::playOnState().flagKickBall);
}

TEST(RoleForwardTest, BallAheadOfTheForwardIsIntercepted) {
    ScriptedWorld world(9);
    startPlay(world);
    RoleForward forward;
    world.placeMe(3, 0, 0);
    world.placeBall(1, 0.5);
    cycle(world, forward);
    EXPECT_TRUE(RoleForward::playOnState().interceptFlag);
}

TEST(RoleForwardTest, WaitsForTheDefenceWithTheBallDeepInTheOwnHalf) {
    ScriptedWorld world(8);
    startPlay(world);
    RoleForward forward;
    world.place(TEAMMATE_3, -9, 0);
    for (Object f : {TEAMMATE_7, TEAMMATE_9, TEAMMATE_10, TEAMMATE_11}) {
        world.place(f, -3, static_cast<double>(f) - 16);
    }
    world.placeMe(-4, 2, 0);
    world.placeBall(-8, 0);
    cycle(world, forward);
    // The waiting points lie at x = -7.5 when the ball is deep in the own half.
    EXPECT_FLOAT_EQ(-7.5, RoleForward::playOnState().oldWaitPos.x());
}

TEST(RoleForwardTest, FallenForwardOnlyGetsUp) {
    ScriptedWorld world(11);
    startPlay(world);
    RoleForward forward;
    world.placeMe(0, 0, 0);
    world.placeBall(1, 0);
    world.setFallen(TEAMMATE_11, true);
    const ActionType act = cycle(world, forward);
    EXPECT_TRUE(act == GET_UP_FRONT || act == GET_UP_BACK) << act;
    EXPECT_FALSE(RoleForward::playOnState().started);
}

}  // namespace
}  // namespace tovra::test
