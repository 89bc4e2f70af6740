#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "Actions/Actions.h"
#include "WorldModel/WorldModel.h"
#include "support/Capture.h"

namespace {

class ActionsBuildersTest : public ::testing::Test {
protected:
    void SetUp() override {
        wm_ = WorldModel::instance();
        wm_->mJointIDToAngleMap.clear();
        actions_ = Actions::getInstance();
    }
    void TearDown() override { wm_->mJointIDToAngleMap.clear(); }

    WorldModel* wm_ = nullptr;
    Actions* actions_ = nullptr;
};

}  // namespace

TEST_F(ActionsBuildersTest, InitBeamAndSayTexts) {
    EXPECT_EQ(actions_, Actions::getInstance());
    wm_->setUnum(7);
    wm_->setTeamName("KALDA");
    EXPECT_EQ("(init (unum 7)(teamname KALDA))", actions_->init());
    wm_->setUnum(11);
    EXPECT_EQ("(init (unum 11)(teamname KALDA))", actions_->init());

    EXPECT_EQ("(beam -3 0.5 90)", actions_->beam(Vector3f(-3.0f, 0.5f, 90.0f)));
    EXPECT_EQ("(beam -0.333333 1.23457e+06 -180)",
              actions_->beam(Vector3f(-1.0f / 3.0f, 1234567.0f, -180.0f)));
    const float nan = std::numeric_limits<float>::quiet_NaN();
    EXPECT_EQ("(beam 0 -14 0)",
              actions_->beam(Vector3f(nan, -14.0f, std::numeric_limits<float>::infinity())));

    EXPECT_EQ("(say abc)", actions_->say("abc"));
    EXPECT_EQ("(say )", actions_->say(""));
}

TEST_F(ActionsBuildersTest, JointCommands) {
    EXPECT_EQ("(he1 0)", actions_->moveJoint(JID_HEAD_1, 0));
    EXPECT_EQ("(rle6 -1.5)", actions_->moveJoint(JID_RLEG_6, -1.5));
    EXPECT_EQ("(lae3 0.0349066)", actions_->moveJoint(JID_LARM_3, 0.034906585));
    EXPECT_EQ("(rae4 0)",
              actions_->moveJoint(JID_RARM_4, std::numeric_limits<double>::quiet_NaN()));
    EXPECT_EQ("(lle1 0)",
              actions_->moveJoint(JID_LLEG_1, -std::numeric_limits<double>::infinity()));
    EXPECT_EQ("", actions_->moveJoint(JID_MAX, 1.0));
    EXPECT_EQ("", actions_->moveJoint(static_cast<JointID>(-1), 1.0));

    EXPECT_EQ(
        "(he1 0)(he2 0)(lle1 0)(rle1 0)(lle2 0)(rle2 0)(lle3 0)(rle3 0)(lle4 0)(rle4 0)"
        "(lle5 0)(rle5 0)(lle6 0)(rle6 0)(lae1 0)(rae1 0)(lae2 0)(rae2 0)(lae3 0)(rae3 0)"
        "(lae4 0)(rae4 0)",
        actions_->stop());
}

TEST_F(ActionsBuildersTest, MoveJointToStepsTowardsTheTarget) {
    // Joint at 7 degrees, target 10, step 6: the step shrinks to the 3 left.
    wm_->mJointIDToAngleMap[JID_LLEG_3] = 7.0f;
    double speed = 6.0;
    EXPECT_EQ("(lle3 3)", actions_->moveJointTo(JID_LLEG_3, 10.0, speed));
    EXPECT_EQ(3.0, speed);

    // Far away, downwards: the full step with the sign of the difference,
    // whatever sign it came with.
    speed = 6.0;
    EXPECT_EQ("(lle3 -6)", actions_->moveJointTo(JID_LLEG_3, -50.0, speed));
    EXPECT_EQ(-6.0, speed);
    speed = -6.0;
    EXPECT_EQ("(lle3 6)", actions_->moveJointTo(JID_LLEG_3, 50.0, speed));
    EXPECT_EQ(6.0, speed);

    // At the target: 0.
    speed = 2.0;
    EXPECT_EQ("(lle3 0)", actions_->moveJointTo(JID_LLEG_3, 7.0, speed));
    EXPECT_EQ(0.0, speed);
}

TEST_F(ActionsBuildersTest, InitStateDrivesEveryJointToZero) {
    actions_->setCurAct(WALK_OMNI);
    wm_->mJointIDToAngleMap[JID_HEAD_1] = 0.5f;    // within a degree: 0
    wm_->mJointIDToAngleMap[JID_LLEG_4] = -30.0f;  // far below: +6
    wm_->mJointIDToAngleMap[JID_RLEG_4] = 3.0f;    // near above: -3
    wm_->mJointIDToAngleMap[JID_RARM_1] = 1.0f;    // exactly one degree: -1
    wm_->mJointIDToAngleMap[JID_LARM_2] = -0.99f;  // within a degree: 0
    EXPECT_EQ(
        "(he1 0)(he2 0)(lle1 0)(rle1 0)(lle2 0)(rle2 0)(lle3 0)(rle3 0)(lle4 6)(rle4 -3)"
        "(lle5 0)(rle5 0)(lle6 0)(rle6 0)(lae1 0)(rae1 -1)(lae2 0)(rae2 0)(lae3 0)(rae3 0)"
        "(lae4 0)(rae4 0)",
        actions_->initState());
    EXPECT_EQ(UNKNOWN, actions_->getCurAct());
}

TEST_F(ActionsBuildersTest, CalculateVel) {
    // 10 degrees within one 0.02 s cycle.
    EXPECT_NEAR(gDegToRad(10.0) * 50.0, actions_->calculateVel(JID_HEAD_1, 10.0f, 20.0f), 1e-5);
    // Clamped to the limit, both signs; angles are normalised first.
    EXPECT_NEAR(gDegToRad(5.0) * 50.0, actions_->calculateVel(JID_HEAD_2, 40.0f, 5.0f), 1e-5);
    EXPECT_NEAR(gDegToRad(-5.0) * 50.0, actions_->calculateVel(JID_HEAD_2, -40.0f, 5.0f), 1e-5);
    EXPECT_NEAR(gDegToRad(-10.0) * 50.0, actions_->calculateVel(JID_HEAD_1, 350.0f, 90.0f), 1e-5);
    EXPECT_EQ(0.0, actions_->calculateVel(JID_HEAD_1, 12.0f, 0.0f));

    tovra_test::captureStdout();
    EXPECT_EQ(0.0, actions_->calculateVel(JID_HEAD_1, 12.0f, -1.0f));
    EXPECT_EQ("calculateVel Error", tovra_test::capturedStdout());

    EXPECT_EQ(0.0,
              actions_->calculateVel(JID_HEAD_1, std::numeric_limits<float>::quiet_NaN(), 10.0f));
    EXPECT_EQ(0.0,
              actions_->calculateVel(JID_HEAD_1, std::numeric_limits<float>::infinity(), 10.0f));
}
