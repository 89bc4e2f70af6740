#include <gtest/gtest.h>

#include "Actions/Actions.h"
#include "Agent_Roles/RoleGoalie.h"
#include "RoleTestSupport.h"
#include "WorldModel/WorldModel.h"
#include "support/ScriptedWorld.h"

namespace tovra::test {
namespace {

// One goalie cycle through the role's entry point; the action the dispatcher
// takes.
ActionType cycle(ScriptedWorld& world, RoleGoalie& goalie) {
    return world.run([&] { return goalie.execute(static_cast<RoleType>(world.wm()->getUnum())); });
}

TEST(RoleGoalieTest, FastBallStartsADiveThenACoolDown) {
    ScriptedWorld world(1);
    startPlay(world);
    RoleGoalie goalie;
    world.placeMe(-14.3, 0, 0);
    world.place(TEAMMATE_2, -14.3, 0.8);
    world.placeBall(-11.3, 0);
    for (int i = 0; i < 10; ++i) {
        ASSERT_NE(DIVE_LEG_R, cycle(world, goalie)) << i;
    }

    // 0.7 m in nine cycles at x = -12: a dive of 32 cycles.
    world.placeBall(-12.0, 0);
    int dives = 0;
    while (cycle(world, goalie) == DIVE_LEG_R && dives < 100) {
        ++dives;
    }
    EXPECT_EQ(32, dives);
    EXPECT_TRUE(RoleGoalie::playOnState().flagJudge);

    // The cool-down began with the cycle after the dive (counted above) and
    // lasts 201 cycles; a fast ball in its last cycle starts nothing ...
    for (int i = 1; i < 200; ++i) {
        ASSERT_NE(DIVE_LEG_R, cycle(world, goalie)) << i;
    }
    world.placeBall(-12.7, 0);
    EXPECT_NE(DIVE_LEG_R, cycle(world, goalie));
    // ... the same ball one cycle later does.
    EXPECT_EQ(DIVE_LEG_R, cycle(world, goalie));
}

TEST(RoleGoalieTest, NoDiveForASlowBall) {
    ScriptedWorld world(1);
    startPlay(world);
    RoleGoalie goalie;
    world.placeMe(-14.3, 0, 0);
    world.placeBall(-11.3, 0);
    for (int i = 0; i < 10; ++i) {
        cycle(world, goalie);
    }
    // 0.5 m in nine cycles is not fast enough.
    world.placeBall(-11.8, 0);
    EXPECT_NE(DIVE_LEG_R, cycle(world, goalie));
}

TEST(RoleGoalieTest, NoDiveInFrontOfTheBox) {
    ScriptedWorld away(1);
    startPlay(away);
    RoleGoalie other;
    away.placeMe(-12.8, 0, 0);  // in front of the box
    away.placeBall(-11.3, 0);
    for (int i = 0; i < 10; ++i) {
        cycle(away, other);
    }
    away.placeBall(-12.0, 0);
    EXPECT_NE(DIVE_LEG_R, cycle(away, other));
    EXPECT_FALSE(RoleGoalie::playOnState().flagFallDown);
}

TEST(RoleGoalieTest, LiesStillWhenADiveEndsOnTheGround) {
    ScriptedWorld world(1);
    startPlay(world);
    RoleGoalie goalie;
    world.placeMe(-14.3, 0, 0);
    world.placeBall(-11.3, 0);
    cycle(world, goalie);
    world.placeBall(-12.0, 0);
    ASSERT_EQ(DIVE_LEG_R, cycle(world, goalie));
    world.setFallen(TEAMMATE_1, true);
    world.run([&] { return goalie.execute(RT_GOLIAR1); });
    EXPECT_EQ(world.acs()->stop(), world.lastText());
}

TEST(RoleGoalieTest, BallHandlerOnATieIsTheFirstGoalie) {
    for (int unum : {1, 2}) {
        ScriptedWorld world(unum);
        startPlay(world);
        RoleGoalie goalie;
        // Both goalies 1 m behind the ball and equally far from it.
        const Object other = unum == 1 ? TEAMMATE_2 : TEAMMATE_1;
        world.placeMe(-14.5, unum == 1 ? 0.5 : -0.5, 0);
        world.place(other, -14.5, unum == 1 ? -0.5 : 0.5);
        world.placeBall(-13.5, 0);
        cycle(world, goalie);
        EXPECT_TRUE(RoleGoalie::playOnState().flagFastDribbler);
        EXPECT_EQ(TEAMMATE_1, RoleGoalie::playOnState().DribbleBallObject) << unum;
        EXPECT_TRUE(RoleGoalie::playOnState().flagWalkToBall);
    }
}

TEST(RoleGoalieTest, BallHandlerIsTheNearerOrTheOneBehindTheBall) {
    {
        // Strictly nearer, the second goalie takes it.
        ScriptedWorld world(2);
        startPlay(world);
        RoleGoalie goalie;
        world.placeMe(-14.4, -0.5, 0);
        world.place(TEAMMATE_1, -14.5, 0.5);
        world.placeBall(-13.5, 0);
        cycle(world, goalie);
        EXPECT_EQ(TEAMMATE_2, RoleGoalie::playOnState().DribbleBallObject);
    }

    // A ball between the goalies (in x) goes to the one it is behind.
    ScriptedWorld between(1);
    startPlay(between);
    RoleGoalie first;
    between.placeMe(-13.2, 0.5, 0);
    between.place(TEAMMATE_2, -14.6, -0.5);
    between.placeBall(-13.6, 0.2);
    cycle(between, first);
    EXPECT_EQ(TEAMMATE_2, RoleGoalie::playOnState().DribbleBallObject);
}

TEST(RoleGoalieTest, ChaseEndsOnTheFirstCycleBeyondMinus12) {
    ScriptedWorld world(1);
    startPlay(world);
    RoleGoalie goalie;
    world.placeMe(-14.5, 0, 0);
    world.place(TEAMMATE_2, -14.5, -1.5);
    world.placeBall(-13.5, 0);
    cycle(world, goalie);
    ASSERT_TRUE(RoleGoalie::playOnState().flagWalkToBall);

    // The ball rolls slowly out (too slowly for a dive): out of the goal
    // area but not yet beyond -12 it is still chased.
    for (int i = 1; i <= 30; ++i) {
        const double x = i == 30 ? -12.0 : -13.5 + 0.05 * i;
        world.placeBall(x, 0);
        ASSERT_NE(DIVE_LEG_R, cycle(world, goalie)) << x;
        ASSERT_TRUE(RoleGoalie::playOnState().flagWalkToBall) << x;
    }

    // The first cycle beyond -12 still clears (the handler choice stays) and
    // ends the chase; the next one positions (and drops the choice).
    world.placeBall(-11.95, 0);
    cycle(world, goalie);
    EXPECT_FALSE(RoleGoalie::playOnState().flagWalkToBall);
    EXPECT_TRUE(RoleGoalie::playOnState().flagFastDribbler);
    world.placeBall(-11.95, 0);
    EXPECT_NE(DIVE_LEG_R, cycle(world, goalie));
    EXPECT_FALSE(RoleGoalie::playOnState().flagFastDribbler);
}

TEST(RoleGoalieTest, StopsWhileTheOpponentsKickOff) {
    for (TeamSide side : {TEAM_LEFT, TEAM_RIGHT}) {
        ScriptedWorld world(1);
        startPlay(world, side == TEAM_LEFT ? PM_KickOff_Right : PM_KickOff_Left, side);
        RoleGoalie goalie;
        world.placeMe(-14.5, 0, 0);
        world.placeBall(0, 0);
        world.run([&] { return goalie.execute(RT_GOLIAR1); });
        EXPECT_EQ(world.acs()->stop(), world.lastText());
    }
}

TEST(RoleGoalieTest, PositionsAtItsOwnKickOff) {
    ScriptedWorld world(1);
    startPlay(world, PM_KickOff_Left, TEAM_LEFT);
    RoleGoalie goalie;
    world.placeMe(-14.5, 0.5, 0);
    world.placeBall(-10, 0);
    EXPECT_EQ(WALK_RIGHT, cycle(world, goalie));
}

TEST(RoleGoalieTest, SecondGoalieWaitsInItsLane) {
    ScriptedWorld world(2);
    startPlay(world);
    RoleGoalie goalie;
    world.placeMe(-14.5, 0.25, 0);
    world.placeBall(-10, 0);
    EXPECT_EQ(WAIT, cycle(world, goalie));

    // Beside its target of 0.3 by more than 0.2 it steps sideways.
    world.placeMe(-14.5, 0.6, 0);
    world.placeBall(-10, 0);
    EXPECT_EQ(WALK_RIGHT, cycle(world, goalie));
    world.placeMe(-14.5, -0.2, 0);
    world.placeBall(-10, 0);
    EXPECT_EQ(WALK_LEFT, cycle(world, goalie));
    // With the ball far to the left its target is 0.8.
    world.placeMe(-14.5, 0.7, 0);
    world.placeBall(-10, 2);
    EXPECT_EQ(WAIT, cycle(world, goalie));
}

TEST(RoleGoalieTest, PositionsInTheBox) {
    ScriptedWorld world(1);
    startPlay(world);
    RoleGoalie goalie;
    world.placeBall(-5, 0);
    // Too far forward within the box depth: back; too deep: forward.
    world.placeMe(-13.8, 0, 0);
    world.placeBall(-10, 0);
    EXPECT_EQ(WALK_BACKWARD, cycle(world, goalie));
    world.placeMe(-14.8, 0, 0);
    world.placeBall(-10, 0);
    EXPECT_EQ(WALK_FORWARD, cycle(world, goalie));
    // A far ball leaves the decision to the think cycle.
    world.placeMe(-14.5, 0, 0);
    world.placeBall(0, 0);
    EXPECT_EQ(UNKNOWN, cycle(world, goalie));
    EXPECT_EQ("", world.lastText());
}

TEST(RoleGoalieTest, KickInsOfTheOwnSideAreLeftToTheThinkCycle) {
    ScriptedWorld world(1);
    startPlay(world, PM_KickIn_Left, TEAM_LEFT);
    RoleGoalie goalie;
    world.placeMe(-14.5, 0, 0);
    world.placeBall(-5, 9);
    EXPECT_EQ("", goalie.execute(RT_GOLIAR1));

    // The other side's kick-in: the single-goalie variant with its own
    // lateral targets (0 with the ball in the middle, tolerance 0.1).
    world.wm()->setGameState(PM_KickIn_Right);
    world.placeMe(-14.5, 0.15, 0);
    world.placeBall(-10, 0);
    EXPECT_EQ(WALK_RIGHT, cycle(world, goalie));
    world.placeMe(-14.5, 0.05, 0);
    world.placeBall(-10, 0);
    EXPECT_EQ(WAIT, cycle(world, goalie));
    EXPECT_TRUE(RoleGoalie::kickInState().started);
    EXPECT_FALSE(RoleGoalie::playOnState().started);
}

TEST(RoleGoalieTest, OwnGoalKickGoesToTheNearerGoalie) {
    ScriptedWorld world(2);
    startPlay(world, PM_Goal_Kick_Left, TEAM_LEFT);
    RoleGoalie goalie;
    world.placeMe(-14, -1, 0);
    world.place(TEAMMATE_1, -14, 2);
    world.placeBall(-14, -0.5);
    cycle(world, goalie);
    EXPECT_EQ(TEAMMATE_2, RoleGoalie::goalKickState().KickBallObject);
}

TEST(RoleGoalieTest, OtherSidesGoalKickIsOpenPlay) {
    ScriptedWorld other(1);
    startPlay(other, PM_Goal_Kick_Right, TEAM_LEFT);
    RoleGoalie first;
    other.placeMe(-14.5, 0.5, 0);
    other.placeBall(-10, 0);
    EXPECT_EQ(WALK_RIGHT, cycle(other, first));
    EXPECT_TRUE(RoleGoalie::playOnState().started);
}

}  // namespace
}  // namespace tovra::test
