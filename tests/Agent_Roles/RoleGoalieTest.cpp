#include <gtest/gtest.h>

#include <memory>

#include "Actions/Actions.h"
#include "Agent_Roles/RoleGoalie.h"
#include "RoleTestSupport.h"
#include "Skills/Skills.h"
#include "WorldModel/WorldModel.h"
#include "support/ScriptedWorld.h"

namespace tovra::test {
namespace {

// A ball that rolls 0.7 m at the goal in nine cycles, from x = -11.3 to
// -12, after lying still for ten cycles, none of them a dive. Returns the
// cycles of DIVE_LEG_R in a row that follow (at most 100).
int diveAtAFastBall(ScriptedWorld& world, RoleGoalie& goalie) {
    world.placeBall(-11.3, 0);
    for (int i = 0; i < 10; ++i) {
        EXPECT_NE(DIVE_LEG_R, cycle(world, goalie)) << i;
    }
    world.placeBall(-12.0, 0);
    int dives = 0;
    while (cycle(world, goalie) == DIVE_LEG_R && dives < 100) {
        ++dives;
    }
    return dives;
}

TEST(RoleGoalieTest, FastBallStartsADiveThenACoolDown) {
    ScriptedWorld world(1);
    startPlay(world);
    RoleGoalie goalie;
    world.placeMe(-14.3, 0, 0);
    world.place(TEAMMATE_2, -14.3, 0.8);
    // 0.7 m in nine cycles at x = -12: a dive of 32 cycles.
    EXPECT_EQ(32, diveAtAFastBall(world, goalie));
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

// The second goalie in the goal area with the first one, which is nearer to
// the ball at (-13.5, 0.5) and so handles it; the second one's home is
// (-14, 1). The goalies here are not dribbling, so their walks turn rather
// than step sideways towards a point to their side.
class RoleGoalieKeepClear : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(writeFormation(world));
        startPlay(world, mode);
        world.wm()->setDribbleBall(false);
        goalie = std::make_unique<RoleGoalie>();
    }
    ActionType at(double x, double y, double firstX, double firstY) {
        world.placeMe(x, y, 0);
        world.place(TEAMMATE_1, firstX, firstY, 0, 0);
        world.placeBall(-13.5, 0.5);
        return cycle(world, *goalie);
    }

    PlayMode mode = PM_PlayOn;
    ScriptedWorld world{2};
    std::unique_ptr<RoleGoalie> goalie;
};

TEST_F(RoleGoalieKeepClear, StepsAsideFromTheHandlerUntilClearThenGoesHomeAndWaits) {
    // 0.22 from the handler, which stands ahead and to the right: a step to
    // the left.
    EXPECT_EQ(WALK_LEFT, at(-14, 0.6, -13.8, 0.5));
    ASSERT_EQ(TEAMMATE_1, RoleGoalie::playOnState().DribbleBallObject);
    EXPECT_TRUE(RoleGoalie::playOnState().avoidFlag);
    // Up to 0.45 away it keeps stepping aside.
    EXPECT_EQ(WALK_LEFT, at(-14, 0.6, -13.6, 0.6));
    EXPECT_TRUE(RoleGoalie::playOnState().avoidFlag);
    // Beyond, it walks home, 0.4 to its left.
    EXPECT_EQ(FAST_TURN_L, at(-14, 0.6, -13.5, 0.6));
    EXPECT_FALSE(RoleGoalie::playOnState().avoidFlag);
    EXPECT_FALSE(RoleGoalie::playOnState().flagwait);

    // At home it waits, and goes on waiting once pushed off.
    EXPECT_EQ(WAIT, at(-14, 0.95, -13.5, 0.6));
    EXPECT_TRUE(RoleGoalie::playOnState().flagwait);
    EXPECT_EQ(WAIT, at(-14, 0.6, -13.5, 0.6));
    // Too near the handler again it steps aside even while waiting.
    EXPECT_EQ(WALK_LEFT, at(-14, 0.6, -13.8, 0.5));
}

class RoleGoalieOtherKickIn : public RoleGoalieKeepClear {
protected:
    RoleGoalieOtherKickIn() { mode = PM_KickIn_Right; }
};

TEST_F(RoleGoalieOtherKickIn, ClearsTheBallItselfEvenWhenTheOtherGoalieIsNearer) {
    at(-14, 0.6, -13.8, 0.5);
    EXPECT_TRUE(RoleGoalie::kickInState().flagWalkToBall);
    EXPECT_FALSE(RoleGoalie::kickInState().avoidFlag);
    // Walks into the ball ahead of it.
    EXPECT_TRUE(Skills::getInstance()->getWalkOmniWithNoTarget());
}

TEST(RoleGoalieTest, OtherKickInDivesFromAnywhereWithoutCoolDown) {
    ScriptedWorld world(1);
    startPlay(world, PM_KickIn_Right, TEAM_LEFT);
    RoleGoalie goalie;
    // In front of the box, where open play would not dive.
    world.placeMe(-12.5, 0, 0);
    EXPECT_EQ(32, diveAtAFastBall(world, goalie));
    EXPECT_FALSE(RoleGoalie::kickInState().flagJudge);
    // The next fast ball starts a dive at once.
    world.placeBall(-11.3, 0);
    EXPECT_EQ(DIVE_LEG_R, cycle(world, goalie));
}

TEST(RoleGoalieTest, WalkHomeAndTurnGoOnUntilWellInside) {
    ScriptedWorld world(1);
    ASSERT_TRUE(writeFormation(world));
    startPlay(world);
    world.wm()->setDribbleBall(false);  // walks turn to a point to the side
    RoleGoalie goalie;
    auto at = [&](double x, double y, double angle) {
        world.placeMe(x, y, angle);
        world.placeBall(-10, 0);
        return cycle(world, goalie);
    };
    // In front of the box: home to (-14, 0).
    at(-12.5, 0.5, 0);
    EXPECT_TRUE(RoleGoalie::playOnState().flagWalkToHomPos);
    // In the box but 0.5 from home it walks on (home is to its right) ...
    EXPECT_EQ(FAST_TURN_R, at(-14, 0.5, 0));
    // ... the last step within 0.3 ends the walk ...
    EXPECT_EQ(FAST_TURN_R, at(-14, 0.2, 0));
    EXPECT_FALSE(RoleGoalie::playOnState().flagWalkToHomPos);
    // ... and it sidesteps to its lane at y = -0.3.
    EXPECT_EQ(WALK_RIGHT, at(-14, 0.2, 0));

    // Turned more than 20 degrees it faces forward, down to below 10.
    EXPECT_EQ(FAST_TURN_R, at(-14.2, -0.3, 30));
    EXPECT_TRUE(RoleGoalie::playOnState().flagTurn);
    EXPECT_EQ(FAST_TURN_R, at(-14.2, -0.3, 15));
    EXPECT_TRUE(RoleGoalie::playOnState().flagTurn);
    at(-14.2, -0.3, 9);
    EXPECT_FALSE(RoleGoalie::playOnState().flagTurn);
    EXPECT_EQ(WAIT, at(-14.2, -0.3, 15));
}

class RoleGoalieOwnGoalKick : public RoleGoalieKeepClear {
protected:
    RoleGoalieOwnGoalKick() { mode = PM_Goal_Kick_Left; }
};

TEST_F(RoleGoalieOwnGoalKick, OtherGoalieKeepsClearOfTheKickTaker) {
    EXPECT_EQ(WALK_LEFT, at(-14, 0.6, -13.8, 0.5));
    EXPECT_EQ(TEAMMATE_1, RoleGoalie::goalKickState().KickBallObject);
    EXPECT_TRUE(RoleGoalie::goalKickState().avoidFlag);
    EXPECT_EQ(WALK_LEFT, at(-14, 0.6, -13.6, 0.6));
    EXPECT_EQ(FAST_TURN_L, at(-14, 0.6, -13.5, 0.6));
    EXPECT_FALSE(RoleGoalie::goalKickState().avoidFlag);
    EXPECT_EQ(WAIT, at(-14, 0.95, -13.5, 0.6));
    EXPECT_TRUE(RoleGoalie::goalKickState().flagwait);
    // Waiting goes on off home until the kicker is chosen again, on the
    // 21st cycle of the goal kick.
    for (int cycleOfKick = 5; cycleOfKick <= 20; ++cycleOfKick) {
        ASSERT_EQ(WAIT, at(-14, 0.6, -13.5, 0.6)) << cycleOfKick;
    }
    EXPECT_EQ(FAST_TURN_L, at(-14, 0.6, -13.5, 0.6));
    EXPECT_FALSE(RoleGoalie::goalKickState().flagwait);
    EXPECT_FALSE(RoleGoalie::playOnState().started);
}

}  // namespace
}  // namespace tovra::test
