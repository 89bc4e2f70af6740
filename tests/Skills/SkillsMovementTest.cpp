// The movement skills driven through a scripted world model over several
// cycles: the chosen action, the walk side, speed and turn.

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "Actions/Actions.h"
#include "Skills/Skills.h"
#include "WorldModel/WorldModel.h"
#include "support/ScratchDir.h"
#include "support/ScriptedWorld.h"

using tovra::test::ScriptedWorld;

namespace {

constexpr double kPi = 3.141592653589793;

// A point `dist` metres from the agent at the bearing `bearing` (degrees,
// relative to the body).
Vector3f around(WorldModel* wm, double dist, double bearing) {
    const double a = (wm->getMyAngle() + bearing) * kPi / 180.0;
    const Vector3f me = wm->getMyPos();
    return Vector3f(static_cast<float>(me.x() + dist * std::cos(a)),
                    static_cast<float>(me.y() + dist * std::sin(a)), 0);
}

}  // namespace

TEST(SkillsWalk, WalkAtTheBallMapsTheWalkSideToAnAction) {
    ScriptedWorld world;
    Skills* sk = Skills::getInstance();
    Actions* acs = world.acs();
    world.placeMe(0, 0, 0);
    world.placeBall(5, 0);
    EXPECT_EQ(world.run([&] { return sk->Walk_Omni(); }), WALK_OMNI);
    EXPECT_EQ(acs->getType(), SIDE_FORWARD_);
    EXPECT_DOUBLE_EQ(acs->getSpeed(), 65);
    EXPECT_TRUE(sk->getWalkOmniWithNoTarget());
    EXPECT_EQ(sk->getWalkOmniType(), SIDE_FORWARD_);
    EXPECT_EQ(sk->getDrriblePhase(), 4);
    EXPECT_TRUE(world.wm()->getDribbleBall());

    // Far behind on the left: turn left; the turn latch then turns right
    // for a ball behind on the right.
    world.placeBall(-5, 3);
    EXPECT_EQ(world.run([&] { return sk->Walk_Omni(); }), FAST_TURN_L);
    EXPECT_EQ(acs->getType(), SIDE_TURNLEFT_);
    EXPECT_EQ(sk->getWalkOmniType(), SIDE_TURNLEFT_);
    world.placeBall(-5, -3);
    EXPECT_EQ(world.run([&] { return sk->Walk_Omni(BALL); }), FAST_TURN_R);
    EXPECT_EQ(acs->getType(), SIDE_TURNRIGHT_);
}

TEST(SkillsWalk, WalkToAPointBackwardsWithoutDribbling) {
    ScriptedWorld world;
    Skills* sk = Skills::getInstance();
    world.placeMe(0, 0, 0);
    world.wm()->setDribbleBall(false);
    EXPECT_EQ(world.run([&] { return sk->Walk_Omni(around(world.wm(), 1, 170)); }), WALK_OMNI);
    EXPECT_EQ(world.acs()->getType(), SIDE_BACKWARD_);
    EXPECT_DOUBLE_EQ(world.acs()->getSpeed(), 60);
    // The point walks do not touch the dribbling state.
    EXPECT_FALSE(sk->getWalkOmniWithNoTarget());
    EXPECT_FALSE(world.wm()->getDribbleBall());
}

TEST(SkillsSlowDown, TheFirstTargetIsNoChangeOfTarget) {
    ScriptedWorld world;
    Skills* sk = Skills::getInstance();
    world.placeMe(0, 0, 0);
    // A turn asked for at once: without a change of target there is no
    // slow-down phase.
    const Vector3f behind = around(world.wm(), 5, 150);
    EXPECT_EQ(world.run([&] { return sk->Walk_Omni_SlowDown(behind); }), FAST_TURN_L);
    EXPECT_EQ(world.acs()->getType(), SIDE_TURNLEFT_);
    // The request was not applied by a straight walk, so it is still up.
    EXPECT_TRUE(sk->getSlowDown());
}

TEST(SkillsSlowDown, ANewTargetKeepsWalkingStraightThenTurns) {
    ScriptedWorld world;
    Skills* sk = Skills::getInstance();
    Actions* acs = world.acs();
    world.placeMe(0, 0, 0);
    const Vector3f ahead = around(world.wm(), 5, 0);
    EXPECT_EQ(world.run([&] { return sk->Walk_Omni_SlowDown(ahead); }), WALK_OMNI);
    EXPECT_DOUBLE_EQ(acs->getSpeed(), 65);  // 5 m away: not slowed
    EXPECT_FALSE(sk->getSlowDown());        // applied and cleared by the walk

    // Walks slowly forward while the walk behaviour asks for a turn: the
    // phase counts 28 cycles at 40, and the cycle that ends it sends one
    // more slow step, still forward (not backwards out of a forward walk).
    const auto slowPhase = [&](const Vector3f& target, int cycles) {
        for (int cycle = 0; cycle < cycles; ++cycle) {
            world.advance(0.02);
            world.placeMe(0, 0, 0);
            ASSERT_EQ(world.run([&] { return sk->Walk_Omni_SlowDown(target); }), WALK_OMNI)
                << cycle;
            EXPECT_EQ(acs->getType(), SIDE_FORWARD_) << cycle;
            EXPECT_DOUBLE_EQ(acs->getSpeed(), 40) << cycle;
            EXPECT_DOUBLE_EQ(acs->getTurAng(), 3) << cycle;
        }
        world.advance(0.02);
        world.placeMe(0, 0, 0);
        EXPECT_EQ(world.run([&] { return sk->Walk_Omni_SlowDown(target); }), FAST_TURN_L);
        EXPECT_EQ(acs->getType(), SIDE_TURNLEFT_);
    };
    const Vector3f left = around(world.wm(), 5, 150);
    const Vector3f right = around(world.wm(), 5, -150);
    {
        SCOPED_TRACE("first phase");
        slowPhase(left, 29);
    }

    // From a turn into another target there is nothing to slow down.
    EXPECT_EQ(world.run([&] { return sk->Walk_Omni_SlowDown(right); }), FAST_TURN_R);

    // The phase's counter starts the next phase at 1: it lasts 27 cycles
    // and the one that ends it.
    world.advance(0.02);
    EXPECT_EQ(world.run([&] { return sk->Walk_Omni_SlowDown(ahead); }), WALK_OMNI);
    EXPECT_DOUBLE_EQ(acs->getSpeed(), 65);
    {
        SCOPED_TRACE("second phase");
        slowPhase(left, 28);
    }
}

TEST(SkillsSlowDown, ABackwardWalkSlowsDownBackwards) {
    ScriptedWorld world;
    Skills* sk = Skills::getInstance();
    Actions* acs = world.acs();
    world.placeMe(0, 0, 0);
    world.wm()->setDribbleBall(false);
    ASSERT_EQ(world.run([&] { return sk->Walk_Omni_SlowDown(around(world.wm(), 1, 170)); }),
              WALK_OMNI);
    ASSERT_EQ(acs->getType(), SIDE_BACKWARD_);
    const Vector3f left = around(world.wm(), 5, 150);
    for (int cycle = 0; cycle < 29; ++cycle) {
        world.advance(0.02);
        world.placeMe(0, 0, 0);
        ASSERT_EQ(world.run([&] { return sk->Walk_Omni_SlowDown(left); }), WALK_OMNI) << cycle;
        EXPECT_EQ(acs->getType(), SIDE_BACKWARD_) << cycle;
        EXPECT_DOUBLE_EQ(acs->getSpeed(), 40) << cycle;
        EXPECT_DOUBLE_EQ(acs->getTurAng(), 3) << cycle;
    }
    world.advance(0.02);
    world.placeMe(0, 0, 0);
    EXPECT_EQ(world.run([&] { return sk->Walk_Omni_SlowDown(left); }), FAST_TURN_L);
}

TEST(SkillsSlowDown, ThePhaseEndsWhenTheOldDirectionIsAskedForAgain) {
    ScriptedWorld world;
    Skills* sk = Skills::getInstance();
    Actions* acs = world.acs();
    world.placeMe(0, 0, 0);
    const Vector3f target = around(world.wm(), 5, 150);
    sk->Walk_Omni_SlowDown(around(world.wm(), 5, 0));
    EXPECT_EQ(world.run([&] { return sk->Walk_Omni_SlowDown(target); }), WALK_OMNI);
    EXPECT_DOUBLE_EQ(acs->getTurAng(), 3);
    EXPECT_DOUBLE_EQ(acs->getSpeed(), 40);
    // The robot has turned to face the target: the forward walk resumes at
    // full speed.
    world.placeMe(0, 0, 150);
    EXPECT_EQ(world.run([&] { return sk->Walk_Omni_SlowDown(target); }), WALK_OMNI);
    EXPECT_EQ(acs->getType(), SIDE_FORWARD_);
    EXPECT_DOUBLE_EQ(acs->getSpeed(), 65);
}

TEST(SkillsSlowDown, AfterWalkingAtTheBallEvenTheSameDirectionSlowsDown) {
    ScriptedWorld world;
    Skills* sk = Skills::getInstance();
    Actions* acs = world.acs();
    world.placeMe(0, 0, 0);
    world.placeBall(5, 0);
    ASSERT_EQ(world.run([&] { return sk->Walk_Omni(); }), WALK_OMNI);
    ASSERT_TRUE(sk->getWalkOmniWithNoTarget());
    const Vector3f ahead = around(world.wm(), 5, 0);
    for (int cycle = 0; cycle < 28; ++cycle) {
        ASSERT_EQ(world.run([&] { return sk->Walk_Omni_SlowDown(ahead); }), WALK_OMNI) << cycle;
        EXPECT_EQ(acs->getType(), SIDE_FORWARD_);
        EXPECT_DOUBLE_EQ(acs->getSpeed(), 40);
        EXPECT_DOUBLE_EQ(acs->getTurAng(), 0);
        EXPECT_TRUE(sk->getWalkOmniWithNoTarget());
    }
    // The cycle that ends the phase clears the latch and still walks slowly;
    // the next one walks at the walk behaviour's speed.
    EXPECT_EQ(world.run([&] { return sk->Walk_Omni_SlowDown(ahead); }), WALK_OMNI);
    EXPECT_FALSE(sk->getWalkOmniWithNoTarget());
    EXPECT_EQ(acs->getType(), SIDE_FORWARD_);
    EXPECT_DOUBLE_EQ(acs->getSpeed(), 40);
    EXPECT_EQ(world.run([&] { return sk->Walk_Omni_SlowDown(ahead); }), WALK_OMNI);
    EXPECT_DOUBLE_EQ(acs->getSpeed(), 65);
}

TEST(SkillsTurn, TurnToTheBallKeepsTheLastGoodBearing) {
    ScriptedWorld world;
    Skills* sk = Skills::getInstance();
    world.placeMe(0, 0, 0);
    world.placeBall(1, 0.6);  // about 31 degrees to the left
    EXPECT_EQ(world.run([&] { return sk->turnToObject(BALL); }), FAST_TURN_L);
    // Seen 0.3 s ago on the right: the old bearing still turns left.
    world.placeBall(1, -0.6, 0.3);
    EXPECT_EQ(world.run([&] { return sk->turnToObject(BALL); }), FAST_TURN_L);
    // Seen now on the right.
    world.placeBall(1, -0.6);
    EXPECT_EQ(world.run([&] { return sk->turnToObject(BALL); }), FAST_TURN_R);
    // Within 10 degrees: nothing is sent.
    world.placeBall(1, 0.1);
    EXPECT_EQ(world.run([&] { return sk->turnToObject(BALL); }), UNKNOWN);
    EXPECT_TRUE(world.lastText().empty());

    // Another object counts as seen up to 0.04 s back.
    world.place(GOAL_1R, 1, 1, 0, 0.02);
    EXPECT_EQ(world.run([&] { return sk->turnToObject(GOAL_1R); }), FAST_TURN_L);
    world.place(GOAL_1R, 1, -1, 0, 0.05);
    EXPECT_EQ(world.run([&] { return sk->turnToObject(GOAL_1R); }), FAST_TURN_L);
}

TEST(SkillsTurn, KeepDirectionBoundaries) {
    ScriptedWorld world;
    Skills* sk = Skills::getInstance();
    const struct {
        double angle;
        ActionType action;
    } cases[] = {{10, STEP}, {-10, STEP}, {10.01, FAST_TURN_R}, {-10.01, FAST_TURN_L}, {0, STEP}};
    for (const auto& c : cases) {
        world.placeMe(0, 0, c.angle);
        EXPECT_EQ(world.run([&] { return sk->keepDir(); }), c.action) << c.angle;
    }
    // Facing the ball: the bearing, not the heading, decides.
    world.placeMe(0, 0, 90);
    world.placeBall(1, 1);  // 45 degrees to the right of the body
    EXPECT_EQ(world.run([&] { return sk->keepDirToBall(); }), FAST_TURN_R);
    world.placeBall(0.1, 1);  // about 6 degrees
    EXPECT_EQ(world.run([&] { return sk->keepDirToBall(); }), STEP);
}

TEST(SkillsStayUp, GetsUpByTheWayItFell) {
    ScriptedWorld world;
    Skills* sk = Skills::getInstance();
    WorldModel* wm = world.wm();
    // No foot force and gravity along +y: lying on the back.
    wm->setAcc(Vector3f(0, 9.8f, 0));
    EXPECT_EQ(world.run([&] { return sk->stayUp(); }), GET_UP_BACK);
    EXPECT_FALSE(sk->getStandupFinished());

    ScriptedWorld front;
    WorldModel* wm2 = front.wm();
    wm2->setAcc(Vector3f(0, -9.8f, 0));
    Skills* sk2 = Skills::getInstance();
    EXPECT_EQ(front.run([&] { return sk2->stayUp(); }), GET_UP_FRONT);
    EXPECT_TRUE(sk2->getStandupFinished());
}

TEST(SkillsStandUpData, KeepsBracketLinesUpToTheLimits) {
    tovra::test::ScriptedWorld world;
    std::string text = "# comment\n(first line)\n  (indented: dropped)\n\n";
    text += "(" + std::string(3000, 'x') + ")\n";  // too long: cut, the rest no line
    text += "(after the long line)\nplain\n(last line without newline)";
    ASSERT_TRUE(world.dir().write("outputdata", text));
    Skills* sk = Skills::getInstance();
    ASSERT_EQ(sk->getStandLen(), 4);
    EXPECT_EQ(sk->getStandLine(0), "(first line)");
    EXPECT_EQ(sk->getStandLine(1).size(), static_cast<size_t>(Skills::kMaxStandLineLength));
    EXPECT_EQ(sk->getStandLine(2), "(after the long line)");
    EXPECT_EQ(sk->getStandLine(3), "(last line without newline)");
    EXPECT_TRUE(sk->getStandupFinished());
    EXPECT_EQ(sk->getCurSkill(), SKILL_UNKNOWN);
}

TEST(SkillsStandUpData, StopsAtThreeThousandLinesAndToleratesAMissingFile) {
    {
        ScriptedWorld world;
        std::string text;
        for (int i = 0; i < 3100; ++i) {
            text += "(" + std::to_string(i) + ")\n";
        }
        ASSERT_TRUE(world.dir().write("outputdata", text));
        Skills* sk = Skills::getInstance();
        ASSERT_EQ(sk->getStandLen(), Skills::kMaxStandLines);
        EXPECT_EQ(sk->getStandLine(2999), "(2999)");
    }
    ScriptedWorld world;
    EXPECT_EQ(Skills::getInstance()->getStandLen(), 0);
}
