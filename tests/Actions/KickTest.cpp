#include <gtest/gtest.h>

#include <string>

#include "ActionTestSupport.h"
#include "Actions/Actions.h"
#include "Actions/ScriptedActions.h"

namespace {

using tovra::test::ActionTest;

class KickTest : public ActionTest {
protected:
    void SetUp() override {
        ActionTest::SetUp();
        Actions::getInstance()->setIsLeftHold(false);
        for (int j = 0; j < JID_MAX; ++j) {
            wm->setJointVel(static_cast<JointID>(j), 0);
        }
    }
    void TearDown() override { Actions::getInstance()->setIsLeftHold(false); }

    void standInKickPosture() {
        setAngle(JID_LARM_1, -45);
        setAngle(JID_RARM_1, -44);
        setAngle(JID_LLEG_4, 1.5);
    }

    static std::string allZero() {
        std::string text;
        for (int j = 0; j < JID_MAX; ++j) {
            text += std::string("(") + tovra::test::effectorName(j) + " 0)";
        }
        return text;
    }
};

TEST_F(KickTest, PreparesThePostureWithClampedVelocities) {
    setAngle(JID_RLEG_4, 10);  // knee: 3.5 degrees per cycle at most
    setAngle(JID_LLEG_1, -1);  // hip yaw: the remaining degree
    Kick kick;
    const std::string text = kick.execute({});
    // Zero for every joint, then the stored velocities of every joint.
    ASSERT_EQ(text.rfind(allZero(), 0), 0u);
    const std::string velocities = text.substr(allZero().size());
    EXPECT_EQ(velocities,
              "(he1 0)(he2 0)(lle1 0.349066)(rle1 0)(lle2 0)(rle2 0)(lle3 0)(rle3 0)(lle4 0)"
              "(rle4 -1.22173)(lle5 0)(rle5 0)(lle6 0)(rle6 0)(lae1 -1.0472)(rae1 -1.0472)"
              "(lae2 0)(rae2 0)(lae3 0)(rae3 0)(lae4 0)(rae4 0)");
    EXPECT_NEAR(wm->getJointVel(JID_RLEG_4), -3.5 * M_PI / 180 * 20, 1e-6);
    EXPECT_FALSE(kick.isPrepared());
    // Still far from the posture: the next call prepares again.
    EXPECT_EQ(kick.execute({}).rfind(allZero(), 0), 0u);
    EXPECT_FALSE(kick.isPrepared());
}

TEST_F(KickTest, RunsItsFramesThenBringsEveryJointBack) {
    standInKickPosture();
    Kick kick;
    ASSERT_NE(kick.execute({}), "");
    ASSERT_TRUE(kick.isPrepared());
    EXPECT_EQ(kick.getShootJoint().time[4], 45);

    // Frame 0 (cycles 2..9): the right foot holds.
    const std::string frame0 = kick.execute({});
    EXPECT_EQ(frame0, allZero() +
                          "(lae1 0)(rae1 0)(lae2 2)(rae2 0)(lle1 0)(rle1 0)(lle2 -1)(rle2 -1)"
                          "(lle3 0)(rle3 0)(lle4 0)(rle4 0)(lle5 0)(rle5 0)(lle6 1.2)(rle6 1.2)");
    for (int cycle = 3; cycle < 10; ++cycle) {
        ASSERT_EQ(kick.execute({}), frame0) << cycle;
    }
    // Cycle 10 starts frame 1.
    EXPECT_NE(kick.execute({}).find("(rle3 2)(lle4 0)(rle4 -4.3)(lle5 0)(rle5 2.5)"),
              std::string::npos);
    for (int cycle = 11; cycle < 45; ++cycle) {
        ASSERT_EQ(kick.execute({}).rfind(allZero(), 0), 0u) << cycle;
    }
    // From cycle 45 every joint is brought back over the cycles left to 150.
    setAngle(JID_RLEG_4, 10);
    setAngle(JID_LARM_4, 21);
    const std::string back = kick.execute({});
    EXPECT_NE(back.find("(rle4 -0.0952381)"), std::string::npos) << back;
    EXPECT_NE(back.find("(lae4 -0.4)"), std::string::npos) << back;  // doubled
    for (int cycle = 46; cycle < 150; ++cycle) {
        const std::string text = kick.execute({});
        ASSERT_EQ(text.rfind("(he1 "), 0u) << cycle;
        ASSERT_EQ(text.find("inf"), std::string::npos) << cycle;
    }
    // Cycle 149 divided by 1; 150 ends the kick without dividing.
    EXPECT_EQ(kick.getCounter(), 150);
    EXPECT_EQ(kick.execute({}), allZero());
    EXPECT_TRUE(kick.isDone());
    EXPECT_EQ(kick.getCounter(), 2);
    EXPECT_EQ(kick.execute({}), "");
    EXPECT_FALSE(kick.isPrepared());
    // A new request prepares again.
    EXPECT_EQ(kick.execute({}).rfind(allZero(), 0), 0u);
}

TEST_F(KickTest, LeftHoldingFootMirrorsTheTable) {
    Kick kick;
    kick.importShootJoint(true);
    const Kick::shootJoint& s = kick.getShootJoint();
    EXPECT_DOUBLE_EQ(s.value[Kick::S_RLE6][0], -1.2);
    EXPECT_DOUBLE_EQ(s.value[Kick::S_LLE2][0], 1.0);
    EXPECT_DOUBLE_EQ(s.value[Kick::S_LLE3][1], 2.0);
    EXPECT_DOUBLE_EQ(s.value[Kick::S_RLE3][1], 0.0);
    EXPECT_DOUBLE_EQ(s.value[Kick::S_LLE4][1], -4.3);
    EXPECT_DOUBLE_EQ(s.value[Kick::S_RLE5][4], 6.0);
    EXPECT_DOUBLE_EQ(s.value[Kick::S_RAE2][2], -1.5);
    EXPECT_DOUBLE_EQ(s.value[Kick::S_LAE2][2], 0.0);

    // The dispatcher's flag selects the mirrored table when the kick starts.
    Actions::getInstance()->setIsLeftHold(true);
    standInKickPosture();
    ASSERT_NE(kick.execute({}), "");
    const std::string frame0 = kick.execute({});
    EXPECT_NE(frame0.find("(lae2 0)(rae2 -2)(lle1 0)(rle1 0)(lle2 1)(rle2 1)"), std::string::npos)
        << frame0;
    EXPECT_NE(frame0.find("(lle6 -1.2)(rle6 -1.2)"), std::string::npos) << frame0;
}

}  // namespace
