// The ball skills driven through a scripted world model: the close-range
// kick routines, the kick approach, the dribble machine and the corner-zone
// machine.

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>

#include "Actions/Actions.h"
#include "Skills/Skills.h"
#include "WorldModel/WorldModel.h"
#include "support/ScriptedWorld.h"

using tovra::test::ScriptedWorld;

namespace {

constexpr double kPi = 3.141592653589793;

// Places the agent and sees the ball (fixed on the field) from there.
struct Scene {
    ScriptedWorld world;
    Skills* sk;
    double bx = 0;
    double by = 0;
    Scene() : sk(Skills::getInstance()) {}
    void ball(double x, double y) {
        bx = x;
        by = y;
        world.placeBall(x, y);
    }
    void me(double x, double y, double angle) {
        world.placeMe(x, y, angle);
        world.placeBall(bx, by);
    }
    ActionType run(const std::function<std::string()>& skill) { return world.run(skill); }
};

double bearingDeg(double fromX, double fromY, double toX, double toY) {
    return std::atan2(toY - fromY, toX - fromX) * 180.0 / kPi;
}

}  // namespace

TEST(SkillsNoDirKick, FifteenWaitsInTheWindowThenKickUntilTheBallIsAway) {
    Scene s;
    s.me(0, 0, 0);
    Actions* acs = s.world.acs();
    for (int i = 0; i < 15; ++i) {
        if (i == 7) {
            // Off the window for a cycle: a side step, the count is kept.
            s.world.placeBallRel(0.25, 0.1);
            EXPECT_EQ(s.run([&] { return s.sk->NoDirkickBall(); }), WALK_SLOW_LEFT);
            EXPECT_EQ(s.sk->getKickCount(), 7);
        }
        s.world.placeBallRel(0.25, 0);
        acs->setIsLeftHold(true);
        ASSERT_EQ(s.run([&] { return s.sk->NoDirkickBall(); }), WAIT) << i;
        EXPECT_FALSE(acs->getIsLeftHold());
        EXPECT_EQ(s.sk->getKickCount(), i + 1);
    }
    EXPECT_EQ(s.run([&] { return s.sk->NoDirkickBall(); }), KICK);
    s.world.placeBallRel(0.3, 0);
    EXPECT_EQ(s.run([&] { return s.sk->NoDirkickBall(); }), KICK);
    EXPECT_EQ(s.sk->getKickCount(), 15);
    // The ball is away: the last kick goes out and the count starts again.
    s.world.placeBallRel(0.4, 0);
    EXPECT_EQ(s.run([&] { return s.sk->NoDirkickBall(); }), KICK);
    EXPECT_EQ(s.sk->getKickCount(), 0);
    EXPECT_EQ(s.run([&] { return s.sk->NoDirkickBall(); }), WALK_OMNI);
    EXPECT_DOUBLE_EQ(acs->getSpeed(), 19);
}

TEST(SkillsNoDirKick, BandsAroundTheKickingWindow) {
    Scene s;
    s.me(0, 0, 0);
    Actions* acs = s.world.acs();
    const struct {
        double x, y;
        ActionType action;
    } cases[] = {
        {0.3, -0.05, WALK_SLOW_RIGHT}, {0.3, 0.07, WALK_SLOW_LEFT}, {0.15, -0.07, WALK_SLOW_RIGHT},
        {0.15, 0.07, WALK_SLOW_LEFT},  {0.05, 0, WALK_BACKWARD},    {0.15, 0.05, WAIT},
    };
    for (const auto& c : cases) {
        s.world.placeBallRel(c.x, c.y);
        EXPECT_EQ(s.run([&] { return s.sk->NoDirkickBall(); }), c.action) << c.x << " " << c.y;
    }
    s.world.placeBallRel(0.6, 0);
    acs->setTurAng(5);
    EXPECT_EQ(s.run([&] { return s.sk->NoDirkickBall(); }), WALK_OMNI);
    EXPECT_DOUBLE_EQ(acs->getSpeed(), 45);
    EXPECT_DOUBLE_EQ(acs->getTurAng(), 0);
    EXPECT_EQ(acs->getType(), SIDE_FORWARD_);
    // Localized 0.5 s ago: the last good position (0.6 ahead) is kept.
    s.world.placeBallRel(0.05, 0, 0, 0.5);
    EXPECT_EQ(s.run([&] { return s.sk->NoDirkickBall(); }), WALK_OMNI);
    EXPECT_DOUBLE_EQ(acs->getSpeed(), 45);
    // Far: the walk at the ball.
    s.world.placeBallRel(0.8, 0);
    EXPECT_EQ(s.run([&] { return s.sk->NoDirkickBall(); }), WALK_OMNI);
    EXPECT_TRUE(s.sk->getWalkOmniWithNoTarget());
}

TEST(SkillsSideKickRoutine, LateralChoiceAndBands) {
    Scene s;
    s.me(0, 0, 0);
    Actions* acs = s.world.acs();
    const struct {
        double x, y;
        ActionType action;
    } cases[] = {
        {0.3, -0.115, KICK_L},        {0.3, 0.115, KICK_R},         {0.3, 0, WALK_SLOW_LEFT},
        {0.3, 0.05, WALK_SLOW_RIGHT}, {0.3, -0.2, WALK_SLOW_RIGHT}, {0.3, 0.2, WALK_SLOW_LEFT},
        {0.36, -0.115, KICK_L},       {0.2, 0, WALK_BACKWARD},      {0.3, -0.05, WALK_SLOW_LEFT},
    };
    for (const auto& c : cases) {
        s.world.placeBallRel(c.x, c.y);
        acs->setIsLeftHold(true);
        EXPECT_EQ(s.run([&] { return s.sk->XNoDirkickBall(); }), c.action) << c.x << " " << c.y;
        // Only the left kick puts the weight on the right foot.
        EXPECT_EQ(acs->getIsLeftHold(), c.action != KICK_L) << c.x << " " << c.y;
    }
    s.world.placeBallRel(0.55, 0);
    EXPECT_EQ(s.run([&] { return s.sk->XNoDirkickBall(); }), WALK_OMNI);
    EXPECT_DOUBLE_EQ(acs->getSpeed(), 60);
    s.world.placeBallRel(0.45, 0);
    EXPECT_EQ(s.run([&] { return s.sk->XNoDirkickBall(); }), WALK_OMNI);
    EXPECT_DOUBLE_EQ(acs->getSpeed(), 25);
    s.world.placeBallRel(0.7, 0);
    EXPECT_EQ(s.run([&] { return s.sk->XNoDirkickBall(); }), WALK_OMNI);
    EXPECT_TRUE(s.sk->getWalkOmniWithNoTarget());
}

TEST(SkillsKickApproach, AimThenKickAndBackToAimingWhenTheTargetDrifts) {
    Scene s;
    s.ball(10, 0);
    const struct {
        double facing;
        ActionType action;
    } aims[] = {{40, FAST_TURN_R}, {20, SLOW_TURN_R}, {-20, SLOW_TURN_L}, {-40, FAST_TURN_L}};
    for (const auto& a : aims) {
        s.me(9.75, 0, a.facing);
        EXPECT_EQ(s.run([&] { return s.sk->kickBall(); }), a.action) << a.facing;
    }
    // Within 3 degrees: switch to the kick, this cycle still turns.
    s.me(9.75, 0, 2);
    EXPECT_EQ(s.run([&] { return s.sk->kickBall(); }), SLOW_TURN_R);
    EXPECT_EQ(s.run([&] { return s.sk->kickBall(); }), WAIT);  // the straight kick's window
    EXPECT_EQ(s.sk->getKickCount(), 1);
    // 20 degrees off with the ball close: back to aiming after this cycle.
    s.me(9.75, 0, 20);
    EXPECT_EQ(s.run([&] { return s.sk->kickBall(); }), WALK_SLOW_RIGHT);
    EXPECT_EQ(s.run([&] { return s.sk->kickBall(); }), SLOW_TURN_R);
}

TEST(SkillsKickApproach, NarrowerAimNearTheGoalOutsideThePosts) {
    // Ball at (14, 3): the straight kick waits for 2 degrees instead of 3.
    Scene s;
    s.ball(14, 3);
    const double len = std::sqrt(10.0);
    const double px = 14 - 0.25 / len;
    const double py = 3 + 0.75 / len;
    const double goal = bearingDeg(px, py, 15, 0);
    s.me(px, py, goal - 2.5);
    EXPECT_EQ(s.run([&] { return s.sk->kickBall(); }), SLOW_TURN_L);
    EXPECT_EQ(s.run([&] { return s.sk->kickBall(); }), SLOW_TURN_L);

    Scene mid;
    mid.ball(10, 0);
    mid.me(9.75, 0, -2.5);
    EXPECT_EQ(mid.run([&] { return mid.sk->kickBall(); }), SLOW_TURN_L);
    EXPECT_NE(mid.run([&] { return mid.sk->kickBall(); }), SLOW_TURN_L);
}

TEST(SkillsKickApproach, WalkLatchHoldsUntilCloseToThePreBallPoint) {
    Scene s;
    s.ball(10, 0);
    s.me(8.75, 0, 0);  // 1 m behind the pre-ball point
    EXPECT_EQ(s.run([&] { return s.sk->kickBall(); }), WALK_OMNI);
    s.me(9.45, 0, 0);  // 0.3 m: the latch keeps walking
    EXPECT_EQ(s.run([&] { return s.sk->kickBall(); }), WALK_OMNI);
    s.me(9.6, 0, 0);  // 0.15 m: released, this cycle still walks
    EXPECT_EQ(s.run([&] { return s.sk->kickBall(); }), WALK_OMNI);
    s.me(9.7, 0, 0);
    EXPECT_EQ(s.run([&] { return s.sk->kickBall(); }), SLOW_TURN_R);
}

TEST(SkillsKickApproach, BallOverTheGoalLineIsDribbledToTheGoalCentre) {
    // With the own goal as target the dribble would turn back (phase 2); the
    // kick approach dribbles to the goal centre instead and pushes on.
    {
        Scene s;
        s.ball(15.2, 0.5);
        s.me(14.5, 0.5, 0);
        s.run([&] { return s.sk->SideKick(Vector3f(-15, 0, 0)); });
        EXPECT_EQ(s.sk->getDrriblePhase(), 4);
        EXPECT_TRUE(s.world.wm()->getDribbleBall());
    }
    Scene control;
    control.ball(15.2, 0.5);
    control.me(14.5, 0.5, 0);
    control.run([&] { return control.sk->fastDribbleToPoint(Vector3f(-15, 0, 0)); });
    EXPECT_EQ(control.sk->getDrriblePhase(), 2);
}

TEST(SkillsKickApproach, RobotAheadOfTheBallFallsBackToDribbling) {
    for (int skill = 0; skill < 3; ++skill) {
        Scene s;
        s.ball(0, 0);
        s.me(0.2, 0, 0);
        auto call = [&] {
            switch (skill) {
                case 0:
                    return s.sk->kickBall();
                case 1:
                    return s.sk->SideKick();
                default:
                    return s.sk->SideKick(Vector3f(15, 3, 0));
            }
        };
        s.world.wm()->setDribbleBall(false);
        s.run(call);
        // The dribble machine saw the robot ahead of the ball.
        EXPECT_EQ(s.sk->getDrriblePhase(), 2) << skill;
        EXPECT_TRUE(s.world.wm()->getDribbleBall()) << skill;

        // 0.05 ahead is close enough to aim.
        Scene close;
        close.ball(0, 0);
        close.me(0.05, 0, 40);
        auto closeCall = [&] { return skill == 0 ? close.sk->kickBall() : close.sk->SideKick(); };
        EXPECT_EQ(close.run(closeCall), FAST_TURN_R) << skill;
        EXPECT_EQ(close.sk->getDrriblePhase(), 4) << skill;
    }
}

TEST(SkillsDribble, DribbleMachinePhases) {
    Scene s;
    s.ball(8, 0);  // target (15, 0): the pre-ball point is (7.75, 0)
    const Vector3f target(15, 0, 0);
    auto dribble = [&] { return s.sk->fastDribbleToPoint(target); };
    ASSERT_EQ(s.sk->getDrriblePhase(), 4);
    s.me(8.3, 0, 0);  // ahead of the ball: back behind it
    s.run(dribble);
    EXPECT_EQ(s.sk->getDrriblePhase(), 2);
    s.run(dribble);  // still ahead: by the near-ball point
    EXPECT_EQ(s.sk->getDrriblePhase(), 1);
    s.me(8.05, 1.0, 0);  // far from both points
    s.run(dribble);
    EXPECT_EQ(s.sk->getDrriblePhase(), 1);
    s.me(7.75, 0, 0);  // on the pre-ball point: push
    s.run(dribble);
    EXPECT_EQ(s.sk->getDrriblePhase(), 4);
    EXPECT_TRUE(s.sk->getWalkOmniWithNoTarget());

    s.me(8.3, 0, 0);
    s.run(dribble);
    ASSERT_EQ(s.sk->getDrriblePhase(), 2);
    s.me(7.8, 0, 0);  // at the pre-ball point, behind the ball: line up
    s.run(dribble);
    EXPECT_EQ(s.sk->getDrriblePhase(), 3);
    s.me(7.8, 0, 30);  // wide (beyond x = 6): turn for the target
    EXPECT_EQ(s.run(dribble), FAST_TURN_R);
    EXPECT_EQ(s.sk->getDrriblePhase(), 3);
    s.me(7.8, 0, 10);
    s.run(dribble);
    EXPECT_EQ(s.sk->getDrriblePhase(), 4);
    s.me(7.8, 0, 50);  // the target 50 degrees off: line up again
    s.run(dribble);
    EXPECT_EQ(s.sk->getDrriblePhase(), 2);
}

TEST(SkillsDribble, NotWideTurnsToTheBallInsteadOfTheTarget) {
    Scene s;
    s.ball(3, 0);
    const Vector3f target(15, 0, 0);
    auto dribble = [&] { return s.sk->fastDribbleToPoint(target); };
    s.me(3.3, 0, 0);
    s.run(dribble);
    ASSERT_EQ(s.sk->getDrriblePhase(), 2);
    s.me(2.8, 0, 50);
    s.run(dribble);
    ASSERT_EQ(s.sk->getDrriblePhase(), 3);
    EXPECT_EQ(s.run(dribble), FAST_TURN_R);  // the ball 50 degrees right
    s.me(2.8, 0, 25);
    EXPECT_EQ(s.run(dribble), FAST_TURN_R);  // latched: still beyond 20
    EXPECT_EQ(s.sk->getDrriblePhase(), 3);
    s.me(2.8, 0, 10);
    s.run(dribble);
    EXPECT_EQ(s.sk->getDrriblePhase(), 4);
}

TEST(SkillsDribble, PushInFrontOfTheGoalAndSideStepWhenSlow) {
    {
        Scene s;
        s.ball(13.5, 0);
        s.me(13.2, 0, 0);
        EXPECT_EQ(s.run([&] { return s.sk->fastDribbleToPoint(Vector3f(15, 0, 0)); }), WALK_OMNI);
        // The walk at the ball with the head on it, not the plain walk.
        EXPECT_FALSE(s.sk->getWalkOmniWithNoTarget());
        EXPECT_EQ(s.sk->getDrriblePhase(), 4);
    }
    Scene s;
    s.ball(8, 0);
    s.me(7.8, -0.25, 0);  // ball 0.25 to the left, 0.26 from the pre-ball point
    auto dribble = [&] { return s.sk->fastDribbleToPoint(Vector3f(15, 0, 0)); };
    s.world.acs()->setSpeed(45);
    EXPECT_EQ(s.run(dribble), WALK_FAST_LEFT);
    s.world.acs()->setSpeed(60);
    EXPECT_EQ(s.run(dribble), WALK_OMNI);
    EXPECT_TRUE(s.sk->getWalkOmniWithNoTarget());
}

TEST(SkillsDribble, CornerZoneMachineLeavesTheDribblePhaseAlone) {
    Scene s;
    const Vector3f target(15, 0, 0);
    auto dribble = [&] { return s.sk->fastDribbleToPoint(target); };
    s.ball(8, 0);
    s.me(8.3, 0, 0);
    s.run(dribble);
    ASSERT_EQ(s.sk->getDrriblePhase(), 2);

    // Ball at (12, 7): beyond the side limit, in the corner zone. The robot
    // stands outside it, so the pre-ball point is (11.98, 7.25).
    s.ball(12, 7);
    s.me(11.98, 7.2, -60);  // ball 24 degrees to the right
    EXPECT_EQ(s.sk->getCornerState(), 1);
    s.run(dribble);
    EXPECT_EQ(s.sk->getCornerState(), 2);
    EXPECT_EQ(s.run(dribble), FAST_TURN_R);  // face the ball
    EXPECT_EQ(s.sk->getCornerState(), 2);
    s.me(11.98, 7.2, -85);               // the ball straight ahead
    EXPECT_EQ(s.run(dribble), UNKNOWN);  // within 10 degrees: no turn
    EXPECT_EQ(s.sk->getCornerState(), 3);
    s.run(dribble);  // push at the ball
    EXPECT_EQ(s.sk->getCornerState(), 3);
    s.me(11.79, 7.35, -90);  // the ball 0.21 to the left, 0.22 from the point
    EXPECT_EQ(s.run(dribble), WALK_FAST_LEFT);
    EXPECT_EQ(s.sk->getCornerState(), 3);
    s.me(11.98, 7.2, 30);  // the ball far to the side: start again
    s.run(dribble);
    EXPECT_EQ(s.sk->getCornerState(), 1);
    EXPECT_EQ(s.sk->getDrriblePhase(), 2);
}

TEST(SkillsKickApproach, ATargetOnTheBallGivesNoPreBallDirection) {
    // Nothing to aim along: the pre-ball point is the ball itself, so the
    // robot 1 m behind walks up instead of aiming at an undefined point.
    Scene s;
    s.ball(5, 0);
    s.me(4, 0, 0);
    EXPECT_EQ(s.run([&] { return s.sk->SideKick(Vector3f(5, 0, BallRadius)); }), WALK_OMNI);
    EXPECT_FALSE(std::isnan(s.world.acs()->getSpeed()));
}
