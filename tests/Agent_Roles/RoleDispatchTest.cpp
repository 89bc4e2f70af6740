#include <gtest/gtest.h>

#include <string>

#include "Actions/Actions.h"
#include "Agent/MyBehavior.h"
#include "Agent_Roles/Role.h"
#include "RoleTestSupport.h"
#include "WorldModel/WorldModel.h"
#include "support/Capture.h"
#include "support/ScratchDir.h"
#include "support/ScriptedWorld.h"

namespace tovra::test {
namespace {

TEST(RoleDispatchTest, PlayModeTables) {
    struct Row {
        PlayMode mode;
        Role::Handler goalie;
        Role::Handler field;
    };
    const Row rows[] = {
        {PM_BeforeKickOff, Role::H_BEFORE_KICK_OFF, Role::H_BEFORE_KICK_OFF},
        {PM_KickOff_Left, Role::H_PLAY_ON, Role::H_KICK_OFF_LEFT},
        {PM_KickOff_Right, Role::H_PLAY_ON, Role::H_KICK_OFF_RIGHT},
        {PM_PlayOn, Role::H_PLAY_ON, Role::H_PLAY_ON},
        {PM_FreeKick_Left, Role::H_PLAY_ON, Role::H_PLAY_ON},
        {PM_FreeKick_Right, Role::H_PLAY_ON, Role::H_PLAY_ON},
        {PM_Goal_Left, Role::H_PLAY_ON, Role::H_PLAY_ON},
        {PM_Goal_Right, Role::H_PLAY_ON, Role::H_PLAY_ON},
        {PM_KickIn_Left, Role::H_KICK_IN_LEFT, Role::H_KICK_IN_LEFT},
        {PM_KickIn_Right, Role::H_KICK_IN_RIGHT, Role::H_KICK_IN_RIGHT},
        {PM_Goal_Kick_Left, Role::H_GOAL_KICK_LEFT, Role::H_GOAL_KICK_LEFT},
        {PM_Goal_Kick_Right, Role::H_GOAL_KICK_RIGHT, Role::H_GOAL_KICK_RIGHT},
        {PM_Corner_Kick_Right, Role::H_PLAY_ON, Role::H_CORNER_KICK_RIGHT},
        {PM_Corner_Kick_Left, Role::H_PLAY_ON, Role::H_CORNER_KICK_LEFT},
        {PM_Offside_Left, Role::H_PLAY_ON, Role::H_PLAY_ON},
        {PM_Offside_Right, Role::H_PLAY_ON, Role::H_PLAY_ON},
        {PM_GameOver, Role::H_PLAY_ON, Role::H_PLAY_ON},
        {PM_Unknown, Role::H_NONE, Role::H_NONE},
        {static_cast<PlayMode>(31), Role::H_NONE, Role::H_NONE},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(row.goalie, Role::handlerFor(row.mode, true)) << row.mode;
        EXPECT_EQ(row.field, Role::handlerFor(row.mode, false)) << row.mode;
    }
}

TEST(RoleDispatchTest, UnknownPlayModeReportsAndAnswersNothing) {
    ScriptedWorld world(4);
    startPlay(world, PM_Unknown);
    RoleDefensive defender;
    RoleGoalie goalie;
    world.placeMe(-5, 0, 0);
    world.placeBall(0, 0);
    tovra_test::captureStdout();
    const std::string field = defender.execute(RT_DEFENDER_RIGHT);
    const std::string keeper = goalie.execute(RT_GOLIAR1);
    EXPECT_EQ("Role Error\nRole Error\n", tovra_test::capturedStdout());
    EXPECT_EQ("", field);
    EXPECT_EQ("", keeper);
    EXPECT_EQ(RT_DEFENDER_RIGHT, defender.getRoleType());
}

TEST(RoleDispatchTest, CornerKickRunsGoaliePlayOnAndDefenderCornerHandler) {
    ScriptedWorld world(3);
    startPlay(world, PM_Corner_Kick_Left, TEAM_LEFT);
    RoleGoalie goalie;
    RoleDefensive defender;
    world.placeMe(-5, 0, 0);
    world.placeBall(14, 9);
    world.run([&] { return goalie.execute(RT_GOLIAR1); });
    EXPECT_TRUE(RoleGoalie::playOnState().started);
    EXPECT_EQ(1, RoleGoalie::playOnState().count);

    // The defender's own corner kick walks it home; its open-play state
    // stays untouched.
    const ActionType act = world.run([&] { return defender.execute(RT_DEFENDRE_LEFT); });
    EXPECT_NE(UNKNOWN, act);
    EXPECT_FALSE(RoleDefensive::classState().neighbourSet);

    // The other side's corner kick is open play for it.
    world.wm()->setGameState(PM_Corner_Kick_Right);
    world.placeMe(-5, 0, 0);
    world.placeBall(-14, 9);
    world.run([&] { return defender.execute(RT_DEFENDRE_LEFT); });
    EXPECT_TRUE(RoleDefensive::classState().neighbourSet);
}

TEST(RoleDispatchTest, GameOverRunsPlayOn) {
    ScriptedWorld world(5);
    startPlay(world, PM_GameOver);
    RoleGoalie goalie;
    RoleMidForward midfielder;
    RoleForward forward;
    world.placeMe(-5, 0, 0);
    world.placeBall(0, 0);
    world.run([&] { return goalie.execute(RT_GOLIAR1); });
    world.run([&] { return midfielder.execute(RT_MIDDLE_LEFT); });
    world.run([&] { return forward.execute(RT_ATTACKER_LEFT); });
    EXPECT_TRUE(RoleGoalie::playOnState().started);
    EXPECT_TRUE(RoleMidForward::classState().neighbourSet);
    EXPECT_TRUE(RoleForward::playOnState().started);
}

TEST(RoleDispatchTest, KickOffsOfFieldPlayersKeepDirection) {
    ScriptedWorld world(6);
    startPlay(world, PM_KickOff_Right, TEAM_LEFT);
    RoleMidForward midfielder;
    world.placeMe(-5, 0, 30);
    world.placeBall(0, 0);
    EXPECT_EQ(FAST_TURN_R, world.run([&] { return midfielder.execute(RT_MIDDLE_RIGHT); }));
    world.placeMe(-5, 0, 0);
    EXPECT_EQ(STEP, world.run([&] { return midfielder.execute(RT_MIDDLE_RIGHT); }));
}

TEST(RoleDispatchTest, BeforeKickOffGoalieWaitsFieldPlayersHoldZero) {
    ScriptedWorld world(1);
    startPlay(world, PM_BeforeKickOff);
    RoleGoalie goalie;
    RoleDefensive defender;
    world.placeMe(-14, 0, 0);
    EXPECT_EQ(WAIT, world.run([&] { return goalie.execute(RT_GOLIAR1); }));
    EXPECT_EQ(BALL, world.acs()->getObgetctFocused());
    EXPECT_EQ(SETTOZERO, world.run([&] { return defender.execute(RT_DEFENDRE_LEFT); }));
    EXPECT_EQ(std::string::npos, world.lastText().find("(beam"));
}

TEST(RoleDispatchTest, EveryUniformNumberGetsItsRoleClass) {
    ScriptedWorld world(2);
    resetRoleState();
    MyBehavior agent(2);
    for (int u = 1; u <= 11; ++u) {
        Role* role = agent.getRole(u);
        ASSERT_NE(nullptr, role);
        EXPECT_EQ(u <= 2, dynamic_cast<RoleGoalie*>(role) != nullptr) << u;
        EXPECT_EQ(u == 3 || u == 4, dynamic_cast<RoleDefensive*>(role) != nullptr) << u;
        EXPECT_EQ(u == 5 || u == 6, dynamic_cast<RoleMidForward*>(role) != nullptr) << u;
        EXPECT_EQ(u >= 7, dynamic_cast<RoleForward*>(role) != nullptr) << u;
    }
    EXPECT_EQ(nullptr, agent.getRole(0));
    EXPECT_EQ(nullptr, agent.getRole(12));

    // Number 2 runs the goalie's handlers, as role 2.
    agent.Think("");
    world.wm()->setGameState(PM_PlayOn);
    agent.Think("(time (now 100.02))(GS (unum 2) (team left) (t 1.00) (pm PlayOn))");
    EXPECT_TRUE(RoleGoalie::playOnState().started);
    EXPECT_EQ(RT_GOLIAR2, agent.getRole(2)->getRoleType());
    EXPECT_EQ(RT_NONE, agent.getRole(1)->getRoleType());
}

}  // namespace
}  // namespace tovra::test
