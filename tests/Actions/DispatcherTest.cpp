#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <string>
#include <typeinfo>
#include <vector>

#include "ActionTestSupport.h"
#include "Actions/Actions.h"
#include "Actions/ApproachActions.h"
#include "Actions/MatrixActions.h"
#include "Actions/RecordedActions.h"
#include "Actions/ScriptedActions.h"
#include "Actions/SineActions.h"
#include "Actions/Walk.h"
#include "Effector/Effector.h"
#include "Effector/JointCommand.h"
#include "Effector/Kinematic.h"
#include "support/Capture.h"

namespace {

using tovra::test::ActionTest;

// Drives the dispatcher cycle by cycle as the think cycle does, with a robot
// whose joints follow the walk engine's velocities exactly.
class DispatcherTest : public ActionTest {
protected:
    void SetUp() override {
        ActionTest::SetUp();
        ASSERT_TRUE(dir.write("Acts/KickL.txt", "(kick 1)\n(kick 2)\n"));
        ASSERT_TRUE(dir.write("Acts/GetUpBack.txt", "(getup 1)\n(getup 2)\n(getup 3)\n"));
        ASSERT_TRUE(dir.write("Acts/Wait.txt", "3 2\n0 0\n0 0.04\n1 0\n"));
        Actions::deleteT();
        Walk::deleteT();
        Effector::deleteT();
        acs = Actions::getInstance();
        acs->setObjectFocused(OBJECT_MAX);
        acs->setType(SIDE_FORWARD_);
        acs->setSpeed(50);
        acs->setTurAng(0);
        time = 0;
    }
    void TearDown() override {
        Actions::deleteT();
        Walk::deleteT();
        Effector::deleteT();
    }

    // One cycle; returns the body text (the head text cut off).
    std::string cycle(ActionType act) {
        time += 0.02;
        wm->setServerTime(time);
        Kinematic* robot = Kinematic::instance();
        robot->updateLink();
        Effector* effector = Effector::instance();
        effector->updateJointAngle(robot->getLink());
        wm->globalize();
        const std::string text = acs->doAction(act, HEAD_STILL);
        for (int j = 0; j < JID_MAX; ++j) {
            const double vel = effector->mJointVel[jointToLink(j)];
            setAngle(static_cast<JointID>(j),
                     wm->getJointAngle(static_cast<JointID>(j)) + vel * 0.02 * 180 / M_PI);
        }
        const std::size_t head = text.rfind("(he1 ");
        return head == std::string::npos ? text : text.substr(0, head);
    }

    Actions* acs = nullptr;
    double time = 0;
};

TEST_F(DispatcherTest, WalkingEveryCycleStartsOnceThenOrdersNormalAtEachStep) {
    std::vector<std::string> orders;
    for (int i = 0; i < 150; ++i) {
        const std::string body = cycle(WALK_OMNI);
        ASSERT_FALSE(body.empty()) << i;
        orders.push_back(Walk::instance()->getParams());
    }
    EXPECT_EQ(orders.front(), "start");
    EXPECT_EQ(acs->getCurAct(), WALK_OMNI);
    EXPECT_EQ(acs->getPhase(), "normal");
    int normals = 0;
    int lastNormal = -1;
    for (int i = 1; i < static_cast<int>(orders.size()); ++i) {
        ASSERT_TRUE(orders[i].empty() || orders[i] == "normal") << i << " " << orders[i];
        if (orders[i] == "normal") {
            // A normal step of the forward gait takes 8 cycles.
            if (lastNormal >= 0) {
                EXPECT_EQ(i - lastNormal, 8) << i;
            }
            lastNormal = i;
            ++normals;
        }
    }
    EXPECT_GE(normals, 10);
    EXPECT_GT(Walk::instance()->getTotalStep(), 9);
}

TEST_F(DispatcherTest, SwitchingFromWalkToSideKickEndsTheWalkFirst) {
    for (int i = 0; i < 60; ++i) {
        cycle(WALK_OMNI);
    }
    ASSERT_EQ(Walk::instance()->getWalkPhase(), Walk::NORMAL_STEP);
    int cycles = 0;
    bool endSent = false;
    // Until the next step boundary the walk goes on; then it gets "end".
    std::string body;
    while (acs->getCurAct() == WALK_OMNI) {
        body = cycle(KICK_L);
        ASSERT_FALSE(body.empty());
        if (acs->getCurAct() != WALK_OMNI) {
            break;
        }
        ASSERT_NE(body.rfind(" (rae1 ", 0), 0u) << "kick before the walk ended";
        if (Walk::instance()->getParams() == "end") {
            EXPECT_FALSE(endSent) << "end sent twice";
            endSent = true;
            EXPECT_EQ(acs->getPhase(), "end");
            EXPECT_EQ(Walk::instance()->getWalkPhase(), Walk::LAST_STEP);
        }
        ASSERT_LT(++cycles, 40);
    }
    EXPECT_TRUE(endSent);
    // The last step was played to its end before the kick started.
    EXPECT_EQ(Walk::instance()->getWalkPhase(), Walk::LAST_STEP);
    EXPECT_TRUE(Walk::instance()->IsLastStepDone());
    EXPECT_EQ(acs->getCurAct(), KICK_L);
    EXPECT_EQ(acs->getPhase(), "start");
    // The kick approaches from this cycle on and then replays its script.
    EXPECT_EQ(body.rfind(" (rae1 ", 0), 0u);
    for (int i = 1; i < 25; ++i) {
        ASSERT_EQ(cycle(KICK_L).rfind(" (rae1 ", 0), 0u) << i;
    }
    tovra_test::captureStdout();
    EXPECT_EQ(cycle(KICK_L), "(kick 1)");
    EXPECT_EQ(cycle(KICK_L), "(kick 2)");
    EXPECT_EQ(tovra_test::capturedStdout(), "0\n1\n");
}

TEST_F(DispatcherTest, WaitRequestedDuringGetUpStartsWhenTheGetUpEnds) {
    // From idle a get-up starts without an order.
    EXPECT_EQ(cycle(GET_UP_BACK).rfind(" (he1 ", 0), 0u);
    EXPECT_EQ(acs->getCurAct(), GET_UP_BACK);
    int getUpCycles = 1;
    std::string body = cycle(WAIT);
    while (acs->getCurAct() == GET_UP_BACK) {
        ++getUpCycles;
        ASSERT_LT(getUpCycles, 100);
        body = cycle(WAIT);
    }
    // 36 approach cycles and 3 script lines; the boundary cycle starts the wait.
    EXPECT_EQ(getUpCycles, 39);
    EXPECT_EQ(acs->getCurAct(), WAIT);
    EXPECT_EQ(body.rfind("(he1 0)(he2 0)", 0), 0u) << body;
}

TEST_F(DispatcherTest, IdleStartOrdersFollowTheWalkTypeRange) {
    ASSERT_TRUE(dir.write("Acts/TurnL.txt", "0.1 0.1\nllj3 : 10 1 0 5\n"));
    ASSERT_TRUE(dir.write("Acts/WalkSideShortL.txt", "3 2\n0 0\n0 0.1\n7 30\n"));
    EXPECT_NE(cycle(TURN_L), "");
    EXPECT_EQ(Action::getPhase(), "start");
    EXPECT_EQ(acs->getPhase(), "start");

    // A side kick from idle runs without an order: it approaches at once.
    acs->initState();
    EXPECT_EQ(cycle(KICK_L).rfind(" (rae1 ", 0), 0u);
    EXPECT_EQ(acs->getCurAct(), KICK_L);

    // A request for the same walk-type action at its boundary is "normal".
    acs->initState();
    for (int i = 0; i < 5; ++i) {
        EXPECT_NE(cycle(WALK_SIDE_SHORT_L), "") << i;
    }
    EXPECT_NE(cycle(WALK_SIDE_SHORT_L), "");
    EXPECT_EQ(acs->getPhase(), "normal");
}

TEST_F(DispatcherTest, RequestsWithoutAnActionGiveOnlyTheHeadText) {
    setAngle(JID_HEAD_1, 0);
    // 63 is the largest value an ActionType can hold, past the table's 58 slots.
    for (ActionType act : {ACTION_MAX, static_cast<ActionType>(63), WALK_STOP, UNKNOWN, ILLEGAL}) {
        acs->initState();
        EXPECT_EQ(acs->doAction(act, HEAD_STILL), "(he1 10)(he2 0)") << act;
        EXPECT_EQ(acs->doAction(act, HEAD_STILL), "(he1 10)(he2 0)") << act;
        EXPECT_EQ(acs->doAction(act, HEAD_STILL, OBJECT_MAX), "(he1 10)(he2 0)") << act;
    }
    EXPECT_EQ(acs->getAction(ACTION_MAX), nullptr);
    EXPECT_EQ(acs->getAction(static_cast<ActionType>(63)), nullptr);
    EXPECT_EQ(acs->getAction(CATCH_BALL), nullptr);
    EXPECT_NE(acs->getAction(KICK), nullptr);
}

class HeadControlTest : public ActionTest {
protected:
    void SetUp() override {
        ActionTest::SetUp();
        Actions::deleteT();
        acs = Actions::getInstance();
        wm->setServerTime(kNow);
        // Own position localized in this cycle.
        wm->mObjectToVisionMap[wm->getMyObject()].timeLastLocalized = kNow;
    }
    void TearDown() override { Actions::deleteT(); }

    void seeBall(double when, double theta) {
        wm->setServerTime(when);
        VisionSense vs;
        vs.distance = 2;
        vs.theta = theta;
        vs.phi = -20;
        wm->setObjectVision(BALL, vs);
        wm->setServerTime(kNow);
    }

    // 10 - (10.06 - 10) is exactly 9.94.
    static constexpr double kNow = 10.06;
    static constexpr double kSixtyMsAgo = 10.0;

    Actions* acs = nullptr;
};

TEST_F(HeadControlTest, BallIsCentredWhenFreshAndSweptForOtherwise) {
    acs->setObjectFocused(BALL);
    seeBall(kNow, 20);
    // Pan and tilt limited to 10 degrees per cycle, tilt towards -22.
    EXPECT_EQ(acs->mergeVisionMsg("", HEAD_STILL), "(he1  8.72665)(he2  -8.72665)");
    seeBall(kNow, -3);
    setAngle(JID_HEAD_2, -25);
    EXPECT_EQ(acs->mergeVisionMsg("(lle1 1)", HEAD_STILL), "(lle1 1)(he1  -0)(he2  0.872665)");

    seeBall(kSixtyMsAgo, 20);  // local confidence 9.94: not fresh enough
    EXPECT_EQ(acs->mergeVisionMsg("", HEAD_STILL), "(he1 10)(he2 0)");
    // The prior-object variant accepts it (threshold 9.93) ...
    EXPECT_EQ(acs->mergeVisionMsg("", HEAD_STILL, BALL).rfind("(he1  ", 0), 0u);
    // ... and ignores the own localization, which the other variant needs.
    seeBall(kNow, 20);
    wm->mObjectToVisionMap[wm->getMyObject()].timeLastLocalized = kNow - 1.01;
    EXPECT_EQ(acs->mergeVisionMsg("", HEAD_STILL), "(he1 10)(he2 0)");
    EXPECT_EQ(acs->mergeVisionMsg("", HEAD_STILL, BALL).rfind("(he1  ", 0), 0u);
}

TEST_F(HeadControlTest, SweepTurnsAtTheEndsAndOtherObjectsAreCircled) {
    acs->setObjectFocused(OBJECT_MAX);
    setAngle(JID_HEAD_1, 118);
    EXPECT_EQ(acs->mergeVisionMsg("", HEAD_STILL), "(he1 10)(he2 0)");
    setAngle(JID_HEAD_1, 119);
    EXPECT_EQ(acs->mergeVisionMsg("", HEAD_STILL), "(he1 10)(he2 0)");
    EXPECT_EQ(acs->mergeVisionMsg("", HEAD_STILL), "(he1 -10)(he2 0)");
    setAngle(JID_HEAD_1, -119);
    EXPECT_EQ(acs->mergeVisionMsg("", HEAD_STILL), "(he1 -10)(he2 0)");
    EXPECT_EQ(acs->mergeVisionMsg("", HEAD_STILL), "(he1 10)(he2 0)");

    // A goal post seen now: the head swings 30 degrees past it on each side.
    VisionSense vs;
    vs.distance = 8;
    vs.theta = 0;
    vs.phi = 0;
    wm->setObjectVision(GOAL_1R, vs);
    setAngle(JID_HEAD_1, 0);
    acs->setObjectFocused(GOAL_1R);
    EXPECT_EQ(acs->mergeVisionMsg("", HEAD_STILL), "(he1 8.72665)(he2 0)");
    vs.theta = -35;
    wm->setObjectVision(GOAL_1R, vs);
    EXPECT_EQ(acs->mergeVisionMsg("", HEAD_STILL), "(he1 -4.36332)(he2 0)");
    EXPECT_EQ(acs->mergeVisionMsg("", HEAD_STILL), "(he1 -8.72665)(he2 0)");
    // Far to the side the head centres the object instead.
    setAngle(JID_HEAD_1, 116);
    EXPECT_EQ(acs->mergeVisionMsg("", HEAD_STILL).rfind("(he1  -8.72665)", 0), 0u);
}

TEST_F(HeadControlTest, WalkParametersAreHeld) {
    acs->setType(SIDE_TURNLEFT_);
    acs->setSpeed(10);
    acs->setTurAng(12);
    acs->setIsLeftHold(true);
    EXPECT_EQ(acs->getType(), SIDE_TURNLEFT_);
    EXPECT_DOUBLE_EQ(acs->getSpeed(), 10);
    EXPECT_DOUBLE_EQ(acs->getTurAng(), 12);
    EXPECT_TRUE(acs->getIsLeftHold());
    Actions::deleteT();
    acs = Actions::getInstance();
    // Unset fields start at zero: the first landmark, the forward side.
    EXPECT_EQ(acs->getObgetctFocused(), FLAG_1L);
    EXPECT_EQ(acs->getType(), SIDE_FORWARD_);
    EXPECT_EQ(acs->getCurAct(), UNKNOWN);
    EXPECT_EQ(acs->getPhase(), "start");
}

// The whole registration: every action type, the class that plays it and
// the motion file that class reads (named by its report in a directory
// without motion files). Swapping two entries, or two file names, fails.
TEST_F(DispatcherTest, EveryActionTypeHasItsClassAndMotionFile) {
    struct Entry {
        ActionType type;
        const std::type_info& cls;
        const char* report;  // empty: no motion file
    };
    const Entry table[] = {
        {DIVE_FRONT, typeid(DiveFront), "(matrixFill) cannot read ./Acts/DiveFront.txt\n"},
        {DIVE_BACK, typeid(DiveBack), "(matrixFill) cannot read ./Acts/DiveBack.txt\n"},
        {DIVE_HAND_L, typeid(DiveHandL), "(matrixFill) cannot read ./Acts/DiveHandL.txt\n"},
        {DIVE_HAND_R, typeid(DiveHandR), "(matrixFill) cannot read ./Acts/DiveHandR.txt\n"},
        {DIVE_LEG_L, typeid(DiveLegL), "(matrixFill) cannot read ./Acts/DiveLegL.txt\n"},
        {DIVE_LEG_R, typeid(DiveLegR), "(matrixFill) cannot read ./Acts/DiveLegR.txt\n"},
        {DEFEND_GOAL_L, typeid(DefendGoalL), "(matrixFill) cannot read ./Acts/DefendGoalL.txt\n"},
        {DEFEND_GOAL_R, typeid(DefendGoalR), "(matrixFill) cannot read ./Acts/DefendGoalR.txt\n"},
        {HEAD_LEFTRIGHT, typeid(HeadLeftRight), ""},
        {LIE_FRONT, typeid(LieFront), "(matrixFill) cannot read ./Acts/LieFront.txt\n"},
        {LIE_BACK, typeid(LieBack), "(matrixFill) cannot read ./Acts/LieBack.txt\n"},
        {GET_UP_FRONT, typeid(GetUpFront), "(matrixFill) cannot read ./Acts/GetUpFront.txt\n"},
        {GET_UP_BACK, typeid(GetUpBack), "(GetUpBack) cannot read ./Acts/GetUpBack.txt\n"},
        {GET_UP_LEFT, typeid(GetUpLeft), "(matrixFill) cannot read ./Acts/GetUpLeft.txt\n"},
        {GET_UP_RIGHT, typeid(GetUpRight), "(matrixFill) cannot read ./Acts/GetUpRight.txt\n"},
        {STEP, typeid(Step), "(sinFill) cannot read ./Acts/Step.txt\n"},
        {WAIT, typeid(Wait), "(matrixFill) cannot read ./Acts/Wait.txt\n"},
        {SETTOZERO, typeid(SetToZero), ""},
        {TURN_L, typeid(TurnL), "(sinFill) cannot read ./Acts/TurnL.txt\n"},
        {FAST_TURN_L, typeid(FastTurnL), "(sinFill) cannot read ./Acts/FastTurnL.txt\n"},
        {SLOW_TURN_L, typeid(SlowTurnL), "(sinFill) cannot read ./Acts/SlowTurnL.txt\n"},
        {TURN_R, typeid(TurnR), "(sinFill) cannot read ./Acts/TurnR.txt\n"},
        {FAST_TURN_R, typeid(FastTurnR), "(sinFill) cannot read ./Acts/FastTurnR.txt\n"},
        {SLOW_TURN_R, typeid(SlowTurnR), "(sinFill) cannot read ./Acts/SlowTurnR.txt\n"},
        {LARGE_TURN_L, typeid(LargeTurnL), "(sinFill) cannot read ./Acts/LargeTurnL.txt\n"},
        {LARGE_TURN_R, typeid(LargeTurnR), "(sinFill) cannot read ./Acts/LargeTurnR.txt\n"},
        {WALK_OMNI, typeid(WalkOmni), ""},
        {WALK_FORWARD, typeid(WalkForward), "(sinFill) cannot read ./Acts/WalkForward.txt\n"},
        {WALK_FAST, typeid(WalkFast), "(sinFill) cannot read ./Acts/WalkFast.txt\n"},
        {MINI_WALK_FORWARD, typeid(MiniWalkForward),
         "(sinFill) cannot read ./Acts/MiniWalkForward.txt\n"},
        {WALK_BACKWARD, typeid(WalkBackward), "(sinFill) cannot read ./Acts/WalkBackward.txt\n"},
        {WALK_LEFT, typeid(WalkLeft), "(sinFill) cannot read ./Acts/WalkLeft.txt\n"},
        {WALK_FAST_LEFT, typeid(WalkFastLeft), "(sinFill) cannot read ./Acts/WalkFastLeft.txt\n"},
        {WALK_SLOW_LEFT, typeid(WalkSlowLeft), "(sinFill) cannot read ./Acts/WalkSlowLeft.txt\n"},
        {WALK_RIGHT, typeid(WalkRight), "(sinFill) cannot read ./Acts/WalkRight.txt\n"},
        {WALK_FAST_RIGHT, typeid(WalkFastRight),
         "(sinFill) cannot read ./Acts/WalkFastRight.txt\n"},
        {WALK_SLOW_RIGHT, typeid(WalkSlowRight),
         "(sinFill) cannot read ./Acts/WalkSlowRight.txt\n"},
        {WALK_AROUND_BALL_L, typeid(WalkAroundBallL),
         "(sinFill) cannot read ./Acts/WalkAroundBallL.txt\n"},
        {WALK_AROUND_BALL_R, typeid(WalkAroundBallR),
         "(sinFill) cannot read ./Acts/WalkAroundBallR.txt\n"},
        {WALK_SIDE_L, typeid(WalkSideL), "(messageFill) cannot read ./Acts/WalkSideL.txt\n"},
        {WALK_SIDE_R, typeid(WalkSideR), "(messageFill) cannot read ./Acts/WalkSideR.txt\n"},
        {WALK_SIDE_SHORT_L, typeid(WalkSideShortL),
         "(matrixFill) cannot read ./Acts/WalkSideShortL.txt\n"},
        {WALK_SIDE_SHORT_R, typeid(WalkSideShortR),
         "(matrixFill) cannot read ./Acts/WalkSideShortR.txt\n"},
        {KICK_L, typeid(KickL), "(KickL) cannot read ./Acts/KickL.txt\n"},
        {KICK_R, typeid(KickR), "(KickR) cannot read ./Acts/KickR.txt\n"},
        {SHOOT, typeid(Shoot), "(matrixFill) cannot read ./Acts/Shoot.txt\n"},
        {KICK, typeid(Kick), ""},
    };
    ASSERT_EQ(47u, sizeof(table) / sizeof(table[0]));
    // Built where there are no motion files: the scripts are read at
    // construction.
    tovra::test::ScratchDir empty;
    Actions::deleteT();
    acs = Actions::getInstance();
    std::set<ActionType> seen;
    for (const Entry& e : table) {
        SCOPED_TRACE(e.cls.name());
        EXPECT_TRUE(seen.insert(e.type).second);
        Action* action = acs->getAction(e.type);
        ASSERT_NE(nullptr, action);
        EXPECT_TRUE(typeid(*action) == e.cls);
        if (*e.report == '\0') {
            continue;
        }
        Action::forgetReportedFiles();
        tovra_test::captureStdout();
        EXPECT_EQ("", action->execute({}));
        EXPECT_EQ(e.report, tovra_test::capturedStdout());
    }
}

}  // namespace
