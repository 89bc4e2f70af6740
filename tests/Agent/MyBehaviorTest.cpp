#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <string>

#include "Actions/Actions.h"
#include "Agent/MyBehavior.h"
#include "Agent_Roles/RoleDefensive.h"
#include "Agent_Roles/RoleForward.h"
#include "Agent_Roles/RoleGoalie.h"
#include "Agent_Roles/RoleMidForward.h"
#include "WorldModel/Localization.h"
#include "WorldModel/WorldModel.h"
#include "support/ScratchDir.h"
#include "support/ScriptedWorld.h"

namespace tovra::test {
namespace {

const char* const kFormation =
    "# test formation\n"
    "unums 1 2 3 4 5 6 7 8 9 10 11\n"
    "id 0\n"
    "homePosX -14.5 -14.5 -11 -11 -6 -6 -2 -1 -2 -0.5 -3\n"
    "homePosY 0.5 -0.5 2 -2 3 -3 4 0 -4 1 0\n"
    "homePosZ 0 0 0 0 0 0 0 0 0 0 90\n";

// One perceptor message of a standing robot at server time t.
std::string perceptor(double t, const char* playMode, const char* team = "left") {
    char text[512];
    std::snprintf(text, sizeof text,
                  "(time (now %.2f))(GS (unum 1) (team %s) (t 0.00) (pm %s))"
                  "(GYR (n torso) (rt 0.00 0.00 0.00))(ACC (n torso) (a 0.00 0.00 9.81))"
                  "(FRP (n lf) (c 0.00 0.00 -0.01) (f 0.00 0.00 22.50))"
                  "(FRP (n rf) (c 0.00 0.00 -0.01) (f 0.00 0.00 22.50))",
                  t, team, playMode);
    return text;
}

class MyBehaviorTest : public testing::Test {
protected:
    void start(int unum, const std::string& formation = kFormation) {
        agent.reset();
        world = std::make_unique<ScriptedWorld>(unum);
        world->dir().write("formation.conf", formation);
        // Localization keeps the world model it was made with.
        Localization::deleteT();
        RoleGoalie::resetState();
        RoleDefensive::resetState();
        RoleMidForward::resetState();
        RoleForward::resetState();
        agent = std::make_unique<MyBehavior>(unum);
    }

    WorldModel* wm() const { return world->wm(); }
    Actions* acs() const { return world->acs(); }

    // The step at which the reply to the message at 0.02 * step is wanted.
    std::string at(int step, const char* playMode = "BeforeKickOff") {
        return agent->Think(perceptor(base + 0.02 * step, playMode));
    }

    double base = 0;
    std::unique_ptr<ScriptedWorld> world;
    std::unique_ptr<MyBehavior> agent;  // goes before the world
};

TEST_F(MyBehaviorTest, FirstCallAnswersTheInitMessageWithoutReading) {
    start(7);
    const double time = wm()->getServerTime();
    EXPECT_EQ("(init (unum 7)(teamname KALDA))", agent->Think(perceptor(3.5, "PlayOn", "right")));
    EXPECT_DOUBLE_EQ(time, wm()->getServerTime());
    EXPECT_EQ(0, wm()->getCurrentCycle());
    EXPECT_EQ(TEAM_LEFT, wm()->getTeamSide());
    EXPECT_EQ("KALDA", wm()->getTeamName());
    EXPECT_EQ(7, agent->getUnum());

    // From the second call on every message is read.
    agent->Think(perceptor(3.52, "PlayOn", "right"));
    EXPECT_FLOAT_EQ(3.52f, static_cast<float>(wm()->getServerTime()));
    EXPECT_EQ(TEAM_RIGHT, wm()->getTeamSide());
    EXPECT_EQ(1, wm()->getCurrentCycle());
}

// Window opened at 0.02: single-precision times put 0.52 still 0.49999998
// after the start (silent) and 1.02 still 0.99999998 (beaming).
TEST_F(MyBehaviorTest, BeamWindowTimelineAtOneMessagePerStep) {
    start(7);
    base = 0;
    ASSERT_EQ("(init (unum 7)(teamname KALDA))", at(0));
    const std::string beam = acs()->beam(Vector3f(-2, 4, 0));
    for (int step = 1; step <= 26; ++step) {
        EXPECT_EQ("", at(step)) << step;
        EXPECT_TRUE(wm()->isBeamed());
    }
    for (int step = 27; step <= 51; ++step) {
        const std::string reply = at(step);
        // The beam command followed by the initial state of every joint.
        EXPECT_EQ(beam + acs()->initState(), reply) << step;
    }
    // From 1.04 on the role decides: a waiting field player keeps its joints
    // at zero and is beamed home again 11 cycles after its first call.
    for (int step = 52; step <= 62; ++step) {
        const std::string reply = at(step);
        EXPECT_NE("", reply) << step;
        EXPECT_EQ(std::string::npos, reply.find("(beam")) << step;
        EXPECT_EQ(SETTOZERO, acs()->getCurAct()) << step;
    }
    EXPECT_EQ(0u, at(63).find(beam));
    EXPECT_EQ(std::string::npos, at(64).find("(beam"));
}

// Window opened at 0.32: 0.82 is exactly 0.5 after it in single precision,
// although the decimal difference computed in double is below 0.5.
TEST_F(MyBehaviorTest, BeamWindowBoundaryDecidedBySinglePrecision) {
    start(8);
    base = 0.30;
    agent->Think("");
    for (int step = 1; step <= 25; ++step) {
        EXPECT_EQ("", at(step)) << step;
    }
    const std::string beam = acs()->beam(Vector3f(-1, 0, 0));
    for (int step = 26; step <= 50; ++step) {
        EXPECT_EQ(0u, at(step).find(beam)) << step;
    }
    EXPECT_EQ(std::string::npos, at(51).find("(beam"));  // 1.32: 1.0000001 after
}

TEST_F(MyBehaviorTest, GoalOpensANewWindow) {
    start(10);
    base = 100;
    agent->Think("");
    int step = 1;
    while (step < 60) {
        at(step++);
    }
    for (int i = 0; i < 5; ++i) {
        EXPECT_NE("", at(step++, "PlayOn"));
        EXPECT_FALSE(wm()->isBeamed());
    }
    // The goal: half a second of silence, half a second of beams, then the
    // role again.
    const std::string beam = acs()->beam(Vector3f(-0.5, 1, 0));
    const double goal = 100 + 0.02 * step;
    int silent = 0;
    int beams = 0;
    std::string reply;
    while ((reply = at(step, "Goal_Left")).empty() || reply.find("(beam") == 0) {
        (reply.empty() ? silent : beams) += 1;
        EXPECT_EQ(beams == 0, reply.empty()) << step;
        ++step;
        ASSERT_LT(step, 200);
    }
    EXPECT_EQ(25, silent);
    EXPECT_EQ(25, beams);
    EXPECT_NEAR(1.0, 0.02 * step + 100 - goal, 0.03);
    EXPECT_EQ(PM_Goal_Left, wm()->getGameState());
}

TEST_F(MyBehaviorTest, NumberMissingFromTheFormationIsNeverBeamed) {
    start(11,
          "unums 1 2 3 4 5 6 7 8 9 10\n"
          "id 0\n"
          "homePosX -14 -14 -11 -11 -6 -6 -2 -1 -2 -0.5\n"
          "homePosY 0 1 2 -2 3 -3 4 0 -4 1\n"
          "homePosZ 0 0 0 0 0 0 0 0 0 0\n");
    base = 0.02;
    agent->Think("");
    for (int step = 1; step <= 51; ++step) {
        EXPECT_EQ("", at(step)) << step;
    }
    EXPECT_NE("", at(52));
}

TEST_F(MyBehaviorTest, EmptyRoleAnswerBecomesWaitWithStillHead) {
    start(1);
    agent->Think("");
    // The goalie leaves its own side's kick-in to the think cycle.
    const std::string reply = at(1, "KickIn_Left");
    EXPECT_NE("", reply);
    EXPECT_EQ(WAIT, acs()->getCurAct());
    EXPECT_EQ("", agent->getRole(1)->execute(RT_GOLIAR1));
    EXPECT_EQ(RT_GOLIAR1, agent->getRole(1)->getRoleType());
}

TEST_F(MyBehaviorTest, OpenPlayAnswersEveryCycle) {
    for (int unum : {1, 3, 5, 9}) {
        start(unum);
        agent->Think("");
        for (int step = 1; step <= 20; ++step) {
            EXPECT_NE("", at(step, "PlayOn")) << unum << " " << step;
        }
        EXPECT_EQ(static_cast<RoleType>(unum), agent->getRole(unum)->getRoleType());
    }
}

TEST_F(MyBehaviorTest, UnusableServerTimesNeverOpenTheWindow) {
    start(4);
    agent->Think("");
    EXPECT_EQ("", agent->Think(perceptor(1.0, "BeforeKickOff")));
    // A time that is not a number puts dTime outside the window.
    const std::string reply =
        agent->Think("(time (now nan))(GS (unum 4) (team left) (t 0.00) (pm BeforeKickOff))");
    ASSERT_TRUE(std::isnan(wm()->getServerTime()));
    EXPECT_NE("", reply);
    // Later valid times go on with the window.
    EXPECT_EQ("", agent->Think(perceptor(1.04, "BeforeKickOff")));
}

TEST_F(MyBehaviorTest, ATimeThatGoesBackRestartsTheBeamWindow) {
    start(4);
    agent->Think("");
    EXPECT_EQ("", agent->Think(perceptor(5.0, "BeforeKickOff")));
    // The server's clock goes back 4 s: the window starts again there,
    // silent for half a second, then beaming.
    EXPECT_EQ("", agent->Think(perceptor(1.0, "BeforeKickOff")));
    EXPECT_EQ("", agent->Think(perceptor(1.3, "BeforeKickOff")));
    EXPECT_EQ(0u, agent->Think(perceptor(1.7, "BeforeKickOff")).find("(beam "));
    // After the window the role decides.
    EXPECT_EQ(std::string::npos, agent->Think(perceptor(2.1, "BeforeKickOff")).find("(beam "));
    EXPECT_EQ(SETTOZERO, acs()->getCurAct());
}

}  // namespace
}  // namespace tovra::test
