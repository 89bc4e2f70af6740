// The tactic's movement behaviours over several cycles of a scripted world:
// obstacle avoidance bands and latches, turning to a target, intercepting
// the ball and moving to a support point without it.

#include <gtest/gtest.h>

#include <cmath>

#include "Actions/Actions.h"
#include "Skills/Skills.h"
#include "Tactic/Tactic.h"
#include "WorldModel/WorldModel.h"
#include "support/ScriptedWorld.h"

using tovra::test::ScriptedWorld;

namespace {

constexpr double kPi = 3.141592653589793;

Object mate(int n) {
    return static_cast<Object>(TEAMMATE_1 + n - 1);
}

// Places obj, seen now, at `bearing` degrees and `dist` metres from the
// agent's current pose.
void placeAt(ScriptedWorld& world, Object obj, double dist, double bearing) {
    const Vector3f me = world.wm()->getMyPos();
    const double a = (world.wm()->getMyAngle() + bearing) * kPi / 180.0;
    world.place(obj, me.x() + dist * std::cos(a), me.y() + dist * std::sin(a), 0, 0);
}

// Refreshes the lists a forward's role refreshes before moving.
void refreshForwardLists(Tactic* t) {
    t->sortOurAllByDistToBall(t->ourAllDistToBall);
    t->sortOurAllByDistToMe(t->ourAllDistToMe);
    t->sortOurForwardByDistToMe(t->ourForwardDistToMe);
    t->sortOurForwardByDistToBall(t->ourForwardDistToBall);
    t->sortOurForwardByDistBehindBall(t->ourForwardBehindDistToBall);
}

bool isWalk(ActionType a) {
    return a == WALK_OMNI || a == FAST_TURN_L || a == FAST_TURN_R || a == WALK_FAST_LEFT ||
           a == WALK_FAST_RIGHT;
}

}  // namespace

TEST(TacticAvoidObstacle, BearingBands) {
    const struct {
        double bearing;
        ActionType action;
    } cases[] = {{20, WALK_RIGHT}, {75, WALK_RIGHT}, {-20, WALK_LEFT},
                 {-75, WALK_LEFT}, {0, WALK_OMNI},   {31, WALK_OMNI},
                 {-31, WALK_OMNI}, {59, WALK_OMNI},  {91, WALK_OMNI}};
    for (const auto& c : cases) {
        ScriptedWorld world;
        world.placeMe(0, 0, 0);
        placeAt(world, mate(8), 1, c.bearing);
        const Vector3f target(5, 0, 0);  // straight ahead
        EXPECT_EQ(world.run([&] {
            return Tactic::instance()->avoidObstacle(world.wm()->getMyPos(), target, mate(8));
        }),
                  c.action)
            << c.bearing;
    }
}

TEST(TacticAvoidObstacle, FortyFiveDegreesWalksOnToTheTarget) {
    ScriptedWorld world;
    world.placeMe(0, 0, 0);
    placeAt(world, mate(8), 1, 45);
    const double back = 150 * kPi / 180.0;  // far behind on the left: the walk turns
    const Vector3f target(static_cast<float>(5 * std::cos(back)),
                          static_cast<float>(5 * std::sin(back)), 0);
    EXPECT_EQ(world.run([&] {
        return Tactic::instance()->avoidObstacle(world.wm()->getMyPos(), target, mate(8));
    }),
              FAST_TURN_L);
}

TEST(TacticAvoidObstacle, ASideStepLatchesForThreeHundredCycles) {
    ScriptedWorld world;
    world.placeMe(0, 0, 0);
    Tactic* t = Tactic::instance();
    const Vector3f target(5, 0, 0);
    placeAt(world, mate(8), 1, 20);
    ASSERT_EQ(world.run([&] { return t->avoidObstacle(world.wm()->getMyPos(), target, mate(8)); }),
              WALK_RIGHT);
    // The obstacle is now at 45 degrees, but the step goes on.
    placeAt(world, mate(8), 1, 45);
    for (int i = 2; i <= 301; ++i) {
        ASSERT_EQ(
            world.run([&] { return t->avoidObstacle(world.wm()->getMyPos(), target, mate(8)); }),
            WALK_RIGHT)
            << i;
    }
    EXPECT_EQ(world.run([&] { return t->avoidObstacle(world.wm()->getMyPos(), target, mate(8)); }),
              WALK_OMNI);
}

TEST(TacticAvoidObstacle, AnUnseenObstacleKeepsItsLastBearing) {
    ScriptedWorld world;
    world.placeMe(0, 0, 0);
    Tactic* t = Tactic::instance();
    const Vector3f target(5, 0, 0);
    // Never seen: treated as straight ahead, no step.
    EXPECT_EQ(world.run([&] { return t->avoidObstacle(world.wm()->getMyPos(), target, mate(8)); }),
              WALK_OMNI);
    EXPECT_EQ(
        world.run([&] { return t->avoidObstacle(world.wm()->getMyPos(), target, OBJECT_MAX); }),
        WALK_OMNI);
    placeAt(world, mate(8), 1, -20);
    world.wm()->mObjectToVisionMap[mate(8)].timeLastSeen = world.time() - 0.02;
    EXPECT_EQ(world.run([&] { return t->avoidObstacle(world.wm()->getMyPos(), target, mate(8)); }),
              WALK_OMNI);
}

TEST(TacticKeepDirToTarget, TwentyDegreeDeadBand) {
    ScriptedWorld world;
    world.placeMe(0, 0, 0);
    Tactic* t = Tactic::instance();
    const struct {
        double bearing;
        ActionType action;
    } cases[] = {{21, FAST_TURN_L}, {-21, FAST_TURN_R}, {19, WAIT}, {-19, WAIT}};
    for (const auto& c : cases) {
        const double a = c.bearing * kPi / 180.0;
        const Vector3f target(static_cast<float>(5 * std::cos(a)),
                              static_cast<float>(5 * std::sin(a)), 0);
        EXPECT_EQ(world.run([&] { return t->keepDirToTarget(target); }), c.action) << c.bearing;
    }
}

TEST(TacticIntercept, WalksBesideTheBallThenLinesUp) {
    ScriptedWorld world;
    world.placeMe(0, 0, 0);
    world.placeBall(2, 0);
    Tactic* t = Tactic::instance();
    Skills* sk = Skills::getInstance();
    // Far from the ball: walk to the point beside it, dribbling off.
    EXPECT_TRUE(isWalk(world.run([&] { return t->InterceptBall(); })));
    EXPECT_FALSE(world.wm()->getDribbleBall());
    // The ball was more than 0.3 ahead: from now on line up with it.
    EXPECT_EQ(world.run([&] { return t->InterceptBall(); }), WALK_OMNI);
    EXPECT_TRUE(sk->getWalkOmniWithNoTarget());  // the plain walk at the ball

    // Turned 45 degrees: keep direction (turn back right), latched until
    // within 10 degrees.
    world.placeMe(0, 0, 45);
    world.placeBall(2, 0);
    EXPECT_EQ(world.run([&] { return t->InterceptBall(); }), FAST_TURN_R);
    world.placeMe(0, 0, 15);
    world.placeBall(2, 0);
    EXPECT_EQ(world.run([&] { return t->InterceptBall(); }), FAST_TURN_R);
    world.placeMe(0, 0, 5);
    world.placeBall(2, 0);
    EXPECT_EQ(world.run([&] { return t->InterceptBall(); }), STEP);
    world.placeMe(0, 0, 15);
    world.placeBall(2, 0);
    EXPECT_EQ(world.run([&] { return t->InterceptBall(); }), WALK_OMNI);

    // Facing sideways-backwards: turn on the spot towards the heading.
    world.placeMe(0, 0, 120);
    world.placeBall(2, 0);
    EXPECT_EQ(world.run([&] { return t->InterceptBall(); }), FAST_TURN_L);
    world.placeMe(0, 0, -120);
    world.placeBall(2, 0);
    EXPECT_EQ(world.run([&] { return t->InterceptBall(); }), FAST_TURN_R);
}

TEST(TacticIntercept, SideStepsTowardsTheBallLineBySense) {
    ScriptedWorld world;
    world.placeMe(0, 0.5, 0);
    world.placeBall(2, 0);
    Tactic* t = Tactic::instance();
    t->InterceptBall();  // walk; the ball is ahead, so lining up follows
    // The ball line is 0.5 to the right: step right facing forward.
    EXPECT_EQ(world.run([&] { return t->InterceptBall(); }), WALK_FAST_RIGHT);
    // Latched below 0.25 until within 0.2 of the line; the releasing cycle
    // still steps.
    world.placeMe(0, 0.22, 0);
    world.placeBall(2, 0);
    EXPECT_EQ(world.run([&] { return t->InterceptBall(); }), WALK_FAST_RIGHT);
    world.placeMe(0, 0.1, 0);
    world.placeBall(2, 0);
    EXPECT_EQ(world.run([&] { return t->InterceptBall(); }), WALK_FAST_RIGHT);
    EXPECT_EQ(world.run([&] { return t->InterceptBall(); }), WALK_OMNI);
    // Facing backwards the body's sides swap.
    world.placeMe(0, 0.5, 170);
    world.placeBall(2, 0);
    EXPECT_EQ(world.run([&] { return t->InterceptBall(); }), WALK_FAST_LEFT);
}

TEST(TacticMovingWithoutBall, AnAgentWithoutAStrategyPointKeepsItsOldOne) {
    // TEAMMATE_7 plays the ball from behind it, so the support points go to
    // the others; it must not be sent to a made-up point such as (0, 0).
    ScriptedWorld world(7);
    world.placeMe(-5, 3, 0);
    world.placeBall(-3, 3);
    world.place(mate(8), -10, -5);
    world.place(mate(9), -9, -6);
    world.place(mate(10), -11, -7);
    world.place(mate(11), -12, -8);
    Tactic* t = Tactic::instance();
    refreshForwardLists(t);
    ASSERT_EQ(t->ourForwardBehindDistToBall[0], mate(7));
    ASSERT_EQ(t->getForwardStrategyPos().count(mate(7)), 0u);
    EXPECT_EQ(world.run([&] { return t->movingWithoutBall(); }), WAIT);  // facing the ball
    EXPECT_FLOAT_EQ(t->getOldStrategyPos().x(), -5);
    EXPECT_FLOAT_EQ(t->getOldStrategyPos().y(), 3);
    EXPECT_EQ(world.acs()->getObgetctFocused(), BALL);
}

TEST(TacticMovingWithoutBall, WalksToItsSupportPoint) {
    ScriptedWorld world(8);
    world.placeMe(-10, -5, 0);
    world.placeBall(-3, 3);
    world.place(mate(7), -5, 3);
    world.place(mate(9), -9, -6);
    world.place(mate(10), -11, -7);
    world.place(mate(11), -12, -8);
    Tactic* t = Tactic::instance();
    refreshForwardLists(t);
    const Tactic::StrategyMap points = t->getForwardStrategyPos();
    ASSERT_EQ(points.count(mate(8)), 1u);
    world.wm()->setDribbleBall(true);
    EXPECT_TRUE(isWalk(world.run([&] { return t->movingWithoutBall(); })));
    EXPECT_FALSE(world.wm()->getDribbleBall());
    EXPECT_FLOAT_EQ(t->getOldStrategyPos().x(), points.at(mate(8)).x());
    EXPECT_FLOAT_EQ(t->getOldStrategyPos().y(), points.at(mate(8)).y());

    // Deep in the own half the waiting points apply.
    world.placeBall(-9, 0);
    refreshForwardLists(t);
    const Tactic::StrategyMap waits = t->GetWaitStrategyPos();
    t->movingWithoutBall();
    EXPECT_FLOAT_EQ(t->getOldStrategyPos().x(), -7.5f);
    EXPECT_FLOAT_EQ(t->getOldStrategyPos().y(), waits.at(mate(8)).y());
}

TEST(TacticMovingWithoutBall, StepsAsideFromTheBallPath) {
    ScriptedWorld world(8);
    world.placeMe(-3.2, 3.3, 0);
    world.placeBall(-3, 3);
    world.place(mate(7), -6, 0);
    world.place(mate(9), -9, -6);
    world.place(mate(10), -11, -7);
    world.place(mate(11), -12, -8);
    Tactic* t = Tactic::instance();
    refreshForwardLists(t);
    ASSERT_TRUE(t->isMeMostCloseToBall(0));
    EXPECT_TRUE(isWalk(world.run([&] { return t->movingWithoutBall(); })));
    // The ball lies to the right: the point 2 m to its left.
    EXPECT_FLOAT_EQ(t->getOldStrategyPos().x(), -2.5f);
    EXPECT_FLOAT_EQ(t->getOldStrategyPos().y(), 5.0f);
    // The latch holds while the robot is still within 1.5 m sideways.
    world.placeMe(-3.2, 4.4, 0);
    world.placeBall(-3, 3);
    refreshForwardLists(t);
    t->movingWithoutBall();
    EXPECT_FLOAT_EQ(t->getOldStrategyPos().y(), 5.0f);
}

TEST(TacticMovingWithoutBall, AvoidsATeammateCloseByUntilClear) {
    ScriptedWorld world(9);
    world.placeMe(-6, -2, 160);
    world.placeBall(0, 5);
    placeAt(world, mate(8), 0.3, 20);  // 0.3 m away, 20 degrees left
    world.place(mate(10), 0.5, 5);     // nearest the ball: it plays it
    Tactic* t = Tactic::instance();
    refreshForwardLists(t);
    ASSERT_EQ(t->ourAllDistToMe[0], mate(8));
    ASSERT_EQ(t->ourForwardDistToMe[0], mate(8));
    ASSERT_FALSE(t->isMeMostCloseToBall(0));
    EXPECT_EQ(world.run([&] { return t->movingWithoutBall(); }), WALK_RIGHT);
    EXPECT_EQ(world.acs()->getObgetctFocused(), BALL);
    // 0.6 m apart: the avoidance goes on.
    placeAt(world, mate(8), 0.6, 20);
    refreshForwardLists(t);
    EXPECT_EQ(world.run([&] { return t->movingWithoutBall(); }), WALK_RIGHT);
}
