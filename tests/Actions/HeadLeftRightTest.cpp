#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "ActionTestSupport.h"
#include "Actions/ScriptedActions.h"

namespace {

using tovra::test::ActionTest;

using HeadLeftRightTest = ActionTest;

// The pan value of a "(he1 v)" command.
double panValue(const std::string& text) {
    EXPECT_EQ(text.rfind("(he1 ", 0), 0u) << text;
    return std::stod(text.substr(5));
}

TEST_F(HeadLeftRightTest, WithoutLandmarksSweepsToBothSidesInTurn) {
    HeadLeftRight head;
    double pan = 0;
    setAngle(JID_HEAD_1, pan);
    EXPECT_EQ(head.execute({}), "(he1 120)");
    double highest = 0;
    double lowest = 0;
    int sideChanges = 0;
    double lastExtreme = 0;
    for (int call = 0; call < 400; ++call) {
        const std::string text = head.execute({});
        ASSERT_FALSE(text.empty()) << call;
        // A head that covers a fifth of the commanded difference per cycle.
        pan += panValue(text) / 5;
        setAngle(JID_HEAD_1, pan);
        highest = std::max(highest, pan);
        lowest = std::min(lowest, pan);
        if (std::abs(pan) > 117 && pan * lastExtreme <= 0) {
            ++sideChanges;
            lastExtreme = pan;
        }
    }
    EXPECT_GT(highest, 117);
    EXPECT_LT(lowest, -117);
    EXPECT_LT(highest, 120.01);
    EXPECT_GT(lowest, -120.01);
    EXPECT_GE(sideChanges, 3);
}

TEST_F(HeadLeftRightTest, BodyAndPanAngleChooseTheFirstSide) {
    wm->setMyAngle(45);  // body - pan in (0, 90]: right first
    HeadLeftRight head;
    EXPECT_EQ(head.execute({}), "(he1 -120)");
    EXPECT_EQ(head.getDirection(), HeadLeftRight::RIGHT);
}

TEST_F(HeadLeftRightTest, LandmarksOnOneSideChooseTheirSide) {
    wm->setServerTime(10);
    VisionSense vs;
    vs.distance = 5;
    vs.theta = 0;
    vs.phi = 0;
    wm->setObjectVision(FLAG_1R, vs);
    wm->setServerTime(10.04);  // still within 0.07 s
    HeadLeftRight head;
    EXPECT_EQ(head.execute({}), "(he1 -120)");
}

TEST_F(HeadLeftRightTest, EndsAtTheCentreOnceFlagsAreSeen) {
    wm->setServerTime(3);
    VisionSense vs;
    vs.distance = 5;
    vs.theta = 10;
    vs.phi = 0;
    for (Object obj : {FLAG_1L, FLAG_2L, GOAL_1L}) {
        wm->setObjectVision(obj, vs);
    }
    ASSERT_TRUE(wm->canSeeFlags());
    HeadLeftRight head;
    setAngle(JID_HEAD_1, 1);
    // More than two landmarks: no side; seen: return to the centre.
    EXPECT_EQ(head.execute({}), "(he1 119)");
    EXPECT_EQ(head.getPhase(), HeadLeftRight::RETURN);
    EXPECT_EQ(head.execute({}), "");
    EXPECT_EQ(head.getPhase(), HeadLeftRight::MOVE);
    EXPECT_EQ(head.getDirection(), HeadLeftRight::NONE);
}

}  // namespace
