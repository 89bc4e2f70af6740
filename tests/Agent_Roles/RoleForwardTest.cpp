#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>

#include "Actions/Actions.h"
#include "Agent_Roles/RoleForward.h"
#include "RoleTestSupport.h"
#include "Skills/Skills.h"
#include "Tactic/Tactic.h"
#include "WorldModel/WorldModel.h"
#include "support/ScriptedWorld.h"

namespace tovra::test {
namespace {

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

TEST(RoleForwardTest, WithoutTheBallStepsRoundTheTeammateNearestNow) {
    ScriptedWorld world(9);
    startPlay(world);
    RoleForward forward;
    world.placeMe(0, 0, 0);
    world.placeBall(5, 0);
    world.place(TEAMMATE_7, 4.5, 0);
    world.place(TEAMMATE_10, -4, 3);
    cycle(world, forward);
    EXPECT_EQ(TEAMMATE_7, Tactic::instance()->ourAllDistToBall.front());
    // Teammate 10 comes up 0.3 m ahead on the left: the forward steps
    // right round it, not round where teammate 7 stood at the first call.
    world.advance(0.02);
    world.placeMe(0, 0, 0);
    world.placeBall(5, 0);
    world.place(TEAMMATE_7, 4.5, 0);
    world.place(TEAMMATE_10, 0.28, 0.1, 0, 0);
    EXPECT_EQ(WALK_RIGHT, cycle(world, forward));
    EXPECT_EQ(TEAMMATE_10, Tactic::instance()->ourAllDistToMe.front());
}

// A set piece seen by forward 9 of the left side, with teammates 3 and 7
// placed and the other forwards spread over the own half.
struct SetPiece {
    PlayMode mode;
    double myX, myY;
    double ballX, ballY;
};

void arrange(ScriptedWorld& world, const SetPiece& sp) {
    startPlay(world, sp.mode, TEAM_LEFT);
    world.place(TEAMMATE_3, -10, 3);
    world.place(TEAMMATE_7, -2, 6);
    world.place(TEAMMATE_8, -3, -6);
    world.place(TEAMMATE_10, 1, 2);
    world.place(TEAMMATE_11, 2, -2);
    world.placeMe(sp.myX, sp.myY, 0);
    world.placeBall(sp.ballX, sp.ballY);
}

// What one cycle sends: the action, and the walk's side, speed and turn.
std::string sent(ScriptedWorld& world, ActionType act) {
    Actions* acs = world.acs();
    return std::to_string(act) + " side " + std::to_string(acs->getType()) + " speed " +
           std::to_string(acs->getSpeed()) + " turn " + std::to_string(acs->getTurAng());
}

// One cycle of the role, and the given skill alone from the same fresh
// world with the role's orderings: the handler called that skill when they
// agree.
std::string roleText(const SetPiece& sp) {
    ScriptedWorld world(9);
    arrange(world, sp);
    RoleForward forward;
    return sent(world, cycle(world, forward));
}

std::string skillText(const SetPiece& sp, const std::function<std::string()>& skill) {
    ScriptedWorld world(9);
    arrange(world, sp);
    Tactic* tac = Tactic::instance();
    tac->sortOurAllByDistToBall(tac->ourAllDistToBall);
    tac->sortOurDefensiveToBall(tac->ourDefensiveDistToBall);
    tac->sortOurForwardByDistBehindBall(tac->ourForwardBehindDistToBall);
    tac->sortOurForwardByDistToMe(tac->ourForwardDistToMe);
    tac->sortOurForwardByDistToBall(tac->ourForwardDistToBall);
    tac->sortOppAllByDistToBall(tac->oppAllDistToBall);
    return sent(world, world.run(skill));
}

TEST(RoleForwardSetPieces, OwnKickInIsTakenByTheNearestPlayerOnly) {
    Skills* sk = nullptr;
    const auto side = [&] { return (sk = Skills::getInstance())->SideKick(); };
    const auto kick = [&] { return (sk = Skills::getInstance())->kickBall(); };
    const auto face = [&] {
        return Tactic::instance()->keepDirToTarget(WorldModel::instance()->getBallPos());
    };
    // Nearest to a ball near the touch line: side kick.
    const SetPiece wide{PM_KickIn_Left, 3.5, 9.5, 4, 9.6};
    EXPECT_EQ(roleText(wide), skillText(wide, side));
    EXPECT_NE(roleText(wide), skillText(wide, face));
    // Nearest to a ball within 8 of the middle: the ordinary kick.
    const SetPiece inner{PM_KickIn_Left, 3.5, 7.5, 4, 7.6};
    EXPECT_EQ(roleText(inner), skillText(inner, kick));
    EXPECT_NE(roleText(inner), skillText(inner, face));
    // A ball exactly at 8: nobody kicks.
    const SetPiece edge{PM_KickIn_Left, 3.5, 7.9, 4, 8};
    EXPECT_EQ(roleText(edge), skillText(edge, face));
    // Not the nearest: face the ball.
    const SetPiece far{PM_KickIn_Left, 6, 0, 1.5, 2.2};
    EXPECT_EQ(roleText(far), skillText(far, face));
    EXPECT_NE(roleText(far), skillText(far, side));
}

TEST(RoleForwardSetPieces, OtherKickInKeepsItsOwnTargets) {
    ScriptedWorld world(9);
    arrange(world, {PM_KickIn_Right, -4, 0, -9, 2});
    RoleForward forward;
    Skills* sk = Skills::getInstance();
    // Ball deep in the own half: the waiting point, x = -7.5.
    cycle(world, forward);
    const Vector3f wait = RoleForward::kickInState().waitPos;
    EXPECT_FLOAT_EQ(-7.5, wait.x());
    EXPECT_EQ(wait, sk->getSlowDownTarget());
    // A ball that moves 0.2 m keeps the target (hysteresis 0.3).
    world.placeBall(-9, 2.2);
    cycle(world, forward);
    EXPECT_EQ(wait, sk->getSlowDownTarget());

    // The other side's corner kick walks to the current waiting point and
    // leaves the kick-in's memory alone.
    world.wm()->setGameState(PM_Corner_Kick_Right);
    world.placeBall(-9, 2.4);
    cycle(world, forward);
    const Vector3f corner = sk->getSlowDownTarget();
    EXPECT_NE(wait, corner);
    EXPECT_NEAR(0.4, std::fabs(corner.y() - wait.y()), 1e-5);
    EXPECT_EQ(wait, RoleForward::kickInState().waitPos);

    // So does the own goal kick.
    world.wm()->setGameState(PM_Goal_Kick_Left);
    world.placeBall(-9, 2.3);
    cycle(world, forward);
    EXPECT_NEAR(0.3, std::fabs(sk->getSlowDownTarget().y() - wait.y()), 1e-5);
    EXPECT_EQ(wait, RoleForward::kickInState().waitPos);

    // Back at the kick-in the remembered point still holds.
    world.wm()->setGameState(PM_KickIn_Right);
    world.placeBall(-9, 2.2);
    cycle(world, forward);
    EXPECT_EQ(wait, sk->getSlowDownTarget());
}

TEST(RoleForwardSetPieces, OtherKickInUpFieldGoesForTheBallOrSupports) {
    {
        // Forward 9 nearest the ball of the forwards: 2.5 m behind the ball.
        ScriptedWorld world(9);
        arrange(world, {PM_KickIn_Right, 4, 8, 5, 9.5});
        RoleForward forward;
        cycle(world, forward);
        const Vector3f t = Skills::getInstance()->getSlowDownTarget();
        EXPECT_FLOAT_EQ(2.5, t.x());
        EXPECT_FLOAT_EQ(9.5, t.y());
    }
    {
        // Far from the ball: a support point, remembered as the kick-in's.
        ScriptedWorld world(9);
        arrange(world, {PM_KickIn_Right, -6, -8, 5, 9.5});
        world.place(TEAMMATE_10, 4.5, 9);
        RoleForward forward;
        cycle(world, forward);
        const RoleForward::KickInState& s = RoleForward::kickInState();
        EXPECT_TRUE(s.strategySet);
        EXPECT_EQ(s.strategyPos, Skills::getInstance()->getSlowDownTarget());
        EXPECT_LT(s.strategyPos.x(), 5);
        EXPECT_NE(s.strategyPos, world.wm()->getMyPos());
    }
}

TEST(RoleForwardSetPieces, CornerAndGoalKicks) {
    const auto face = [] {
        return Tactic::instance()->keepDirToTarget(WorldModel::instance()->getBallPos());
    };
    const auto corner = [] { return Skills::getInstance()->SideKick(Vector3f(7.5, 0, 0)); };
    // Own corner: the nearest side-kicks towards (7.5, 0), the others face
    // the ball.
    const SetPiece near{PM_Corner_Kick_Left, 14, 9, 14.5, 9.5};
    EXPECT_EQ(roleText(near), skillText(near, corner));
    EXPECT_NE(roleText(near), skillText(near, face));
    const SetPiece away{PM_Corner_Kick_Left, 5, -5, 14.5, 9.5};
    EXPECT_EQ(roleText(away), skillText(away, face));
    // The other side's goal kick is open play.
    const SetPiece other{PM_Goal_Kick_Right, 5, -5, 13, 0};
    const SetPiece play{PM_PlayOn, 5, -5, 13, 0};
    EXPECT_EQ(roleText(other), roleText(play));
}

TEST(RoleForwardSetPieces, ALaterBeforeKickOffBeamsAtOnce) {
    ScriptedWorld world(9);
    startPlay(world, PM_BeforeKickOff, TEAM_LEFT);
    RoleForward forward;
    world.placeMe(0, 0, 0);
    cycle(world, forward);
    EXPECT_EQ(std::string::npos, world.lastText().find("beam"));
    // Play for a while, then back before a kick-off: the mark is old.
    world.wm()->setGameState(PM_PlayOn);
    const int mark = world.wm()->getCurrentCycle();
    while (world.wm()->getCurrentCycle() < mark + 30) {
        world.advance(0.02);
        world.wm()->globalize();
        world.setFallen(TEAMMATE_9, false);
        world.placeMe(0, 0, 0);
        world.placeBall(1, 0);
        cycle(world, forward);
    }
    world.wm()->setGameState(PM_BeforeKickOff);
    cycle(world, forward);
    EXPECT_NE(std::string::npos, world.lastText().find("(beam "));
    // The mark moved with the beam: the next cycle does not beam again.
    cycle(world, forward);
    EXPECT_EQ(std::string::npos, world.lastText().find("(beam "));
}

}  // namespace tovra::test
