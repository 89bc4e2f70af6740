#include <gtest/gtest.h>

#include <memory>

#include "Actions/Actions.h"
#include "Agent_Roles/RoleDefensive.h"
#include "Agent_Roles/RoleMidForward.h"
#include "RoleTestSupport.h"
#include "Skills/Skills.h"
#include "Tactic/Tactic.h"
#include "WorldModel/WorldModel.h"
#include "support/ScratchDir.h"
#include "support/ScriptedWorld.h"

namespace tovra::test {
namespace {

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
    ASSERT_TRUE(writeFormation(world));
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

// A defender or a midfielder in defence mode, alone of the players its class
// chooses the carrier from, so it carries the ball itself.
template <class R>
class CarrierCase {
public:
    explicit CarrierCase(int unum) : world(unum) {
        startPlay(world);
        role = std::make_unique<R>();
    }
    const RoleBackPlayer::ClassState& state() const { return R::classState(); }
    Skills* skills() const { return Skills::getInstance(); }
    ActionType run() { return cycle(world, *role); }
    // One cycle with the carrier at (meX, meY) facing along x and the ball at
    // (ballX, ballY).
    ActionType runAt(double meX, double meY, double ballX, double ballY) {
        world.placeMe(meX, meY, 0);
        world.placeBall(ballX, ballY);
        return run();
    }

    ScriptedWorld world;
    std::unique_ptr<R> role;
};

TEST(RoleBackPlayerCarrier, NearTheCornerOfTheGoalAreaWalksIntoTheBall) {
    // An opponent within a metre of the ball but further from it than the
    // carrier: into the ball, although the ball lies behind it.
    CarrierCase<RoleDefensive> corner(3);
    corner.world.placeMe(-13.2, 2.5, 0);
    corner.world.place(OPPONENT_1, -13.5, 3.3);
    corner.world.placeBall(-13.5, 2.5);
    corner.run();
    EXPECT_EQ(TEAMMATE_3, corner.state().carrier);
    EXPECT_FALSE(corner.state().flagInterceptBall);
    EXPECT_TRUE(corner.skills()->getWalkOmniWithNoTarget());

    // The opponent more than a metre from the ball: the ball is intercepted.
    CarrierCase<RoleDefensive> away(3);
    away.world.placeMe(-13.2, 2.5, 0);
    away.world.place(OPPONENT_1, -13.5, 3.6);
    away.world.placeBall(-13.5, 2.5);
    away.run();
    EXPECT_TRUE(away.state().flagInterceptBall);
}

TEST(RoleBackPlayerCarrier, InterceptsABallBehindUntilLinedUpBehindIt) {
    CarrierCase<RoleDefensive> c(3);
    c.runAt(-5, 0, -6, 0);
    EXPECT_TRUE(c.state().flagInterceptBall);
    // Behind the ball now, but half a metre to its side: still intercepting.
    c.runAt(-6.5, 0.5, -6, 0);
    EXPECT_TRUE(c.state().flagInterceptBall);
    // In line behind it: the interception ends ...
    c.runAt(-6.5, 0.1, -6, 0);
    EXPECT_FALSE(c.state().flagInterceptBall);
    EXPECT_FALSE(c.state().flagKickBall);
    // ... and with no opponent about, the ball is kicked.
    c.runAt(-6.5, 0.1, -6, 0);
    EXPECT_FALSE(c.state().flagInterceptBall);
    EXPECT_TRUE(c.state().flagKickBall);
}

TEST(RoleBackPlayerCarrier, OpponentWithinAMetreAndAHalfMakesOnlyTheMidfielderIntercept) {
    // The ball 0.3 behind, an opponent exactly a metre from the carrier.
    auto place = [](ScriptedWorld& world) {
        world.placeMe(-5, 0, 0);
        world.place(OPPONENT_1, -5, 1);
        world.placeBall(-5.3, 0);
    };
    CarrierCase<RoleDefensive> defender(3);
    place(defender.world);
    defender.run();
    EXPECT_FALSE(defender.state().flagInterceptBall);
    EXPECT_TRUE(defender.skills()->getWalkOmniWithNoTarget());

    CarrierCase<RoleMidForward> midfielder(5);
    place(midfielder.world);
    midfielder.run();
    EXPECT_EQ(TEAMMATE_5, midfielder.state().carrier);
    EXPECT_TRUE(midfielder.state().flagInterceptBall);
}

TEST(RoleBackPlayerCarrier, SideKickGoesOnUntilAnOpponentReachesTheBall) {
    // Each case: the kick started close to the ball, then the carrier two
    // metres behind it with one opponent placed.
    struct Case {
        double oppX, oppY;
        bool kickGoesOn;
    };
    for (const Case& k : {Case{-4.8, 0.8, true}, Case{-5.2, 0.2, false}, Case{-4.8, 0.3, false}}) {
        CarrierCase<RoleDefensive> c(3);
        c.runAt(-6, 0, -5.5, 0);
        ASSERT_TRUE(c.state().flagKickBall);

        c.world.placeMe(-7.5, 0, 0);
        c.world.place(OPPONENT_1, k.oppX, k.oppY);
        c.world.placeBall(-5.5, 0);
        c.run();
        EXPECT_EQ(k.kickGoesOn, c.state().flagKickBall) << k.oppX << " " << k.oppY;
        if (k.kickGoesOn) {
            // The kick's approach: to the point just behind the ball.
            const Vector3f& target = c.skills()->getSlowDownTarget();
            EXPECT_LT(target.x(), -5.5);
            EXPECT_GT(target.x(), -6.5);
            EXPECT_NEAR(0, target.y(), 1e-6);
        }
    }
}

TEST(RoleBackPlayerCarrier, BallBeyondTheSideLineIsDribbledUnlessAnOpponentIsNear) {
    // Facing sideways the dribble first walks round to the ball (phase 2);
    // walking into the ball is phase 4.
    CarrierCase<RoleDefensive> free(3);
    free.world.placeMe(-6.2, 17.5, 90);
    free.world.placeBall(-5, 17.5);
    free.run();
    EXPECT_EQ(2, free.skills()->getDrriblePhase());

    CarrierCase<RoleDefensive> marked(3);
    marked.world.placeMe(-6.2, 17.5, 90);
    marked.world.place(OPPONENT_1, -6.2, 16.5);
    marked.world.placeBall(-5, 17.5);
    marked.run();
    EXPECT_EQ(4, marked.skills()->getDrriblePhase());
    EXPECT_TRUE(marked.skills()->getWalkOmniWithNoTarget());
}

TEST(RoleBackPlayerCarrier, OpponentNearerTheBallSendsTheCarrierBehindItBeyondTheClassDistance) {
    // The carrier 1.14 from the ball, an opponent nearer to it: the
    // midfielder (beyond 1) walks to half a metre behind the ball, turning
    // right to it; the defender (within 1.5) walks straight into the ball.
    auto place = [](ScriptedWorld& world) {
        world.placeMe(-6.6, 0.3, 0);
        world.place(OPPONENT_1, -5.3, -0.3);
        world.placeBall(-5.5, 0);
    };
    CarrierCase<RoleMidForward> midfielder(5);
    place(midfielder.world);
    EXPECT_EQ(FAST_TURN_R, midfielder.run());
    EXPECT_FALSE(midfielder.skills()->getWalkOmniWithNoTarget());

    CarrierCase<RoleDefensive> defender(3);
    place(defender.world);
    EXPECT_EQ(WALK_OMNI, defender.run());
    EXPECT_TRUE(defender.skills()->getWalkOmniWithNoTarget());
}

TEST(RoleBackPlayerCarrier, ForwardBehindTheBallAndNearerTakesItOver) {
    CarrierCase<RoleDefensive> c(3);
    c.world.placeMe(-8, 2, 0);
    c.world.place(TEAMMATE_9, -6, 0);
    c.world.placeBall(-5, 0);
    // The defender stays where it is and waits.
    EXPECT_EQ(WAIT, c.run());
    EXPECT_EQ(TEAMMATE_9, c.state().carrier);
    EXPECT_FLOAT_EQ(-8, c.state().stragePos.x());
    EXPECT_FLOAT_EQ(2, c.state().stragePos.y());

    // A forward ahead of the ball leaves it to the defender.
    CarrierCase<RoleDefensive> ahead(3);
    ahead.world.placeMe(-8, 2, 0);
    ahead.world.place(TEAMMATE_9, -4, 0);
    ahead.world.placeBall(-5, 0);
    ahead.run();
    EXPECT_EQ(TEAMMATE_3, ahead.state().carrier);
}

// A defender supporting TEAMMATE_3, who stands a metre behind the ball at
// (-5, 0); the supporter's strategic point is 2.5 m behind the ball.
class RoleBackPlayerSupport : public ::testing::Test {
protected:
    void SetUp() override { startPlay(world); }

    ActionType at(double x, double y, double angle = 0) {
        world.placeMe(x, y, angle);
        world.place(TEAMMATE_3, -6, 0);
        if (goalieAt) {
            world.place(TEAMMATE_1, goalieX, goalieY, 0, 0);
        }
        world.placeBall(-5, 0);
        const ActionType act = cycle(world, defender);
        EXPECT_EQ(TEAMMATE_3, state().carrier);
        return act;
    }
    void goalie(double x, double y) {
        goalieAt = true;
        goalieX = x;
        goalieY = y;
    }
    const RoleBackPlayer::ClassState& state() const { return RoleDefensive::classState(); }

    ScriptedWorld world{4};
    RoleDefensive defender;
    bool goalieAt = false;
    double goalieX = 0;
    double goalieY = 0;
};

TEST_F(RoleBackPlayerSupport, WalksToTheStrategicPointThenFacesTheBallAndWaits) {
    EXPECT_NE(WAIT, at(-8, 3));
    EXPECT_TRUE(state().flagWalkStraPos);
    EXPECT_FALSE(world.wm()->getDribbleBall());
    EXPECT_FLOAT_EQ(-7.5, state().stragePos.x());
    const Vector3f& target = Skills::getInstance()->getSlowDownTarget();
    EXPECT_FLOAT_EQ(state().stragePos.x(), target.x());
    EXPECT_FLOAT_EQ(state().stragePos.y(), target.y());

    const Vector3f point = state().stragePos;
    // 0.4 from the point the walk goes on; within 0.3 it ends.
    EXPECT_NE(WAIT, at(point.x(), point.y() + 0.4));
    EXPECT_TRUE(state().flagWalkStraPos);
    EXPECT_NE(WAIT, at(point.x(), point.y() + 0.25));
    EXPECT_FALSE(state().flagWalkStraPos);
    EXPECT_EQ(WAIT, at(point.x(), point.y() + 0.4));
    // Turned away from the ball: it turns back to it.
    EXPECT_EQ(FAST_TURN_R, at(point.x(), point.y() + 0.4, 30));
    EXPECT_EQ(FAST_TURN_L, at(point.x(), point.y() + 0.4, -30));
    // Turned 15 degrees, with the ball 10 degrees to the left on the field:
    // it faces the ball, not the opponent goal, and so stays.
    EXPECT_EQ(STEP, at(point.x(), point.y() - 0.45, 15));
}

// A supporter that has been walking to its point is not dribbling, so the
// walk never steps sideways: it turns to the side it gives way to.
TEST_F(RoleBackPlayerSupport, GivesWayToTheBallUntilWellToItsSide) {
    world.wm()->setDribbleBall(false);
    // Just ahead of the ball: it steps to the side it already stands on.
    EXPECT_EQ(FAST_TURN_L, at(-4.8, 0.3));
    EXPECT_TRUE(state().flag);
    EXPECT_EQ(FAST_TURN_L, at(-4.8, 1.0));
    EXPECT_TRUE(state().flag);
    EXPECT_FALSE(state().flagWalkStraPos);
    EXPECT_EQ(FAST_TURN_L, at(-4.8, 1.6));
    EXPECT_FALSE(state().flag);
    at(-4.8, 1.6);
    EXPECT_TRUE(state().flagWalkStraPos);
}

TEST_F(RoleBackPlayerSupport, GivesWayToTheRightFromTheRightOfTheBall) {
    world.wm()->setDribbleBall(false);
    EXPECT_EQ(FAST_TURN_R, at(-4.8, -0.3));
    EXPECT_TRUE(state().flag);
}

TEST_F(RoleBackPlayerSupport, StepsAsideFromTheNearestTeammateUntilClearOfIt) {
    // A teammate 0.2 ahead and a little to the left: a step to the right.
    goalie(-7.8, 3.05);
    EXPECT_EQ(WALK_RIGHT, at(-8, 3));
    EXPECT_TRUE(state().flagAvoidBump);
    EXPECT_EQ(TEAMMATE_1, state().oldObjClosedToMe);
    // Half a metre away it still steps aside ...
    goalie(-7.5, 3);
    EXPECT_EQ(WALK_RIGHT, at(-8, 3));
    EXPECT_TRUE(state().flagAvoidBump);
    EXPECT_FALSE(state().flagWalkStraPos);
    // ... beyond 0.6 it walks to its point.
    goalie(-7.3, 3);
    at(-8, 3);
    EXPECT_FALSE(state().flagAvoidBump);
    EXPECT_TRUE(state().flagWalkStraPos);
}

}  // namespace
}  // namespace tovra::test
