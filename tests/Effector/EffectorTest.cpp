#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <sstream>
#include <string>

#include "Effector/Effector.h"
#include "Effector/JointCommand.h"
#include "Effector/Kinematic.h"
#include "WorldModel/WorldModel.h"

namespace {

const float kNaN = std::numeric_limits<float>::quiet_NaN();

class EffectorTest : public ::testing::Test {
protected:
    void SetUp() override {
        wm_ = WorldModel::instance();
        wm_->setServerTime(0.0);
        wm_->mJointIDToAngleMap.clear();
        Effector::deleteT();
        eff_ = Effector::instance();
        Kinematic::deleteT();
        kin_ = Kinematic::instance();
        kin_->init();
        kin_->updateLink();
        eff_->updateJointAngle(kin_->getLink());
    }
    void TearDown() override {
        Effector::deleteT();
        Kinematic::deleteT();
        wm_->mJointIDToAngleMap.clear();
        wm_->setServerTime(0.0);
    }

    WorldModel* wm_ = nullptr;
    Effector* eff_ = nullptr;
    Kinematic* kin_ = nullptr;
};

}  // namespace

TEST(JointCommand, NumbersAsATextStreamWritesThem) {
    std::mt19937 gen(17);
    std::uniform_real_distribution<double> mantissa(-10.0, 10.0);
    std::uniform_int_distribution<int> exponent(-9, 9);
    const double fixed[] = {0.0,     -1.5, 0.0349066, 90.0,    -3.0,  1e-5,     123456.0,
                            1234567, 1e21, -0.0001,   0.00001, 200.0, 1.0 / 3.0};
    auto check = [](double v) {
        std::ostringstream stream;
        stream << v;
        EXPECT_EQ(stream.str(), formatNumber(v)) << v;
    };
    for (double v : fixed) {
        check(v);
    }
    for (int i = 0; i < 2000; ++i) {
        check(mantissa(gen) * std::pow(10.0, exponent(gen)));
    }
    EXPECT_EQ("0", formatNumber(std::numeric_limits<double>::quiet_NaN()));
    EXPECT_EQ("0", formatNumber(std::numeric_limits<double>::infinity()));
    EXPECT_EQ("0", formatNumber(-std::numeric_limits<double>::infinity()));
}

TEST(JointCommand, JointAndLinkNumberings) {
    EXPECT_EQ(2, jointToLink(JID_HEAD_1));
    EXPECT_EQ(3, jointToLink(JID_HEAD_2));
    EXPECT_EQ(12, jointToLink(JID_LLEG_1));
    EXPECT_EQ(23, jointToLink(JID_RLEG_6));
    EXPECT_EQ(4, jointToLink(JID_LARM_1));
    EXPECT_EQ(11, jointToLink(JID_RARM_4));
    EXPECT_EQ(0, jointToLink(JID_MAX));
    EXPECT_EQ(0, jointToLink(-1));
    for (int j = 0; j < JID_MAX; ++j) {
        EXPECT_EQ(j, linkToJoint(jointToLink(j)));
    }
    EXPECT_EQ(JID_MAX, linkToJoint(1));
    EXPECT_EQ(JID_MAX, linkToJoint(24));
}

TEST_F(EffectorTest, CommandStringListsAllJointsInJointOrder) {
    // Nothing written this cycle: 22 zero commands.
    EXPECT_EQ(
        "(he1 0)(he2 0)(lle1 0)(rle1 0)(lle2 0)(rle2 0)(lle3 0)(rle3 0)(lle4 0)(rle4 0)"
        "(lle5 0)(rle5 0)(lle6 0)(rle6 0)(lae1 0)(rae1 0)(lae2 0)(rae2 0)(lae3 0)(rae3 0)"
        "(lae4 0)(rae4 0)",
        eff_->setActionCommand());

    // Each link slot shows up under its joint's effector name.
    for (int link = 2; link <= 23; ++link) {
        eff_->mJointVel[link] = static_cast<float>(link) + 0.5f;
    }
    eff_->mJointVel[JID_RLEG_1_] = -0.5f;
    eff_->mJointVel[JID_LARM_2_] = 0.0349066f;
    eff_->mJointVel[JID_RARM_4_] = kNaN;
    eff_->mJointVel[JID_HEAD_2_] = std::numeric_limits<float>::infinity();
    EXPECT_EQ(
        "(he1 2.5)(he2 0)(lle1 12.5)(rle1 -0.5)(lle2 14.5)(rle2 15.5)(lle3 16.5)(rle3 17.5)"
        "(lle4 18.5)(rle4 19.5)(lle5 20.5)(rle5 21.5)(lle6 22.5)(rle6 23.5)(lae1 4.5)"
        "(rae1 5.5)(lae2 0.0349066)(rae2 7.5)(lae3 8.5)(rae3 9.5)(lae4 10.5)(rae4 0)",
        eff_->setActionCommand());

    eff_->setIsDone(true);
    EXPECT_EQ("", eff_->setActionCommand());
    eff_->setIsDone(false);
    EXPECT_FALSE(eff_->setActionCommand().empty());
}

TEST_F(EffectorTest, UpdateJointAngleCopiesAnglesAndClearsVelocities) {
    wm_->mJointIDToAngleMap[JID_LARM_1] = 90.0f;
    wm_->mJointIDToAngleMap[JID_RLEG_3] = -45.0f;
    kin_->updateLink();
    for (int link = 1; link <= 23; ++link) {
        eff_->mJointVel[link] = 7.0f;
    }
    eff_->updateJointAngle(kin_->getLink());
    EXPECT_NEAR(gDegToRad(90.0f), eff_->mJointAngle[JID_LARM_1_], 1e-6f);
    EXPECT_NEAR(gDegToRad(-45.0f), eff_->mJointAngle[JID_RLEG_3_], 1e-6f);
    EXPECT_EQ(0.0f, eff_->mJointAngle[JID_HEAD_1_]);
    for (int link = 1; link <= 23; ++link) {
        EXPECT_EQ(0.0f, eff_->mJointVel[link]) << link;
    }
    // No table to copy from: nothing changes.
    eff_->mJointVel[5] = 1.0f;
    eff_->updateJointAngle(boost::shared_array<Link>());
    EXPECT_EQ(1.0f, eff_->mJointVel[5]);
}

TEST_F(EffectorTest, ShoulderVelocities) {
    // 190 degrees from a shoulder at 0: -170 after normalising, clamped to
    // -10 degrees, not limited below.
    eff_->calculateVel1(190.0f, 10.0f);
    EXPECT_NEAR(gDegToRad(-10.0f) * 20.0f, eff_->mJointVel[JID_LARM_1_], 1e-5f);
    EXPECT_NEAR(-3.49f, eff_->mJointVel[JID_LARM_1_], 0.005f);

    // A 30-degree difference under a wide limit.
    wm_->mJointIDToAngleMap[JID_RARM_1] = 15.0f;
    kin_->updateLink();
    eff_->updateJointAngle(kin_->getLink());
    eff_->calculateVel2(45.0f, 100.0f);
    EXPECT_NEAR(10.47f, eff_->mJointVel[JID_RARM_1_], 0.005f);

    // The 200 cap applies to the stored value (radians per second).
    eff_->calculateVel2(15.0f + 179.0f, 1e6f);
    EXPECT_NEAR(gDegToRad(179.0f) * 20.0f, eff_->mJointVel[JID_RARM_1_], 1e-4f);
    // After normalisation no step exceeds 180 degrees, so the cap never
    // binds: the largest steps either way pass unchanged (62.8 rad/s), and
    // a negative velocity has no lower bound.
    wm_->mJointIDToAngleMap[JID_LARM_1] = 0.0f;
    kin_->updateLink();
    eff_->updateJointAngle(kin_->getLink());
    eff_->calculateVel1(180.0f, std::numeric_limits<float>::infinity());
    EXPECT_NEAR(gDegToRad(180.0f) * 20.0f, std::fabs(eff_->mJointVel[JID_LARM_1_]), 1e-4f);
    eff_->calculateVel1(-179.5f, std::numeric_limits<float>::infinity());
    EXPECT_NEAR(gDegToRad(-179.5f) * 20.0f, eff_->mJointVel[JID_LARM_1_], 1e-4f);

    // A negative limit leaves the slot alone.
    eff_->mJointVel[JID_LARM_1_] = 0.25f;
    eff_->calculateVel1(50.0f, -1.0f);
    EXPECT_EQ(0.25f, eff_->mJointVel[JID_LARM_1_]);

    // An angle that is not finite gives 0, never a NaN in the table.
    eff_->calculateVel1(kNaN, 10.0f);
    EXPECT_EQ(0.0f, eff_->mJointVel[JID_LARM_1_]);
    eff_->calculateVel2(std::numeric_limits<float>::infinity(), 10.0f);
    EXPECT_EQ(0.0f, eff_->mJointVel[JID_RARM_1_]);
}

TEST_F(EffectorTest, CycleFollowsServerTimeAndKeepsUnusableTimes) {
    wm_->setServerTime(12.34);
    eff_->updateCycle();
    EXPECT_EQ(617u, eff_->mCurrentCycle);
    // The step is the single-precision 0.02, slightly below 0.02: 0.06 s is
    // cycle 3 (a double 0.02 would give 2.9999... and cycle 2).
    wm_->setServerTime(0.06);
    eff_->updateCycle();
    EXPECT_EQ(3u, eff_->mCurrentCycle);
    wm_->setServerTime(100.0);
    eff_->updateCycle();
    EXPECT_EQ(static_cast<std::uint32_t>(100.0 / static_cast<double>(0.02f)), eff_->mCurrentCycle);
    const std::uint32_t kept = eff_->mCurrentCycle;

    const double unusable[] = {std::numeric_limits<double>::quiet_NaN(),
                               std::numeric_limits<double>::infinity(),
                               -std::numeric_limits<double>::infinity(),
                               -0.5,
                               -1e12,
                               1e12,
                               4294967296.0 * 0.02};
    for (double t : unusable) {
        wm_->setServerTime(t);
        eff_->updateCycle();
        EXPECT_EQ(kept, eff_->mCurrentCycle) << t;
    }
    // The counter of the world model, not the effector's own.
    EXPECT_EQ(wm_->getCurrentCycle(), eff_->getCurrentCycle());
}

TEST_F(EffectorTest, LegVelocityDiagnostic) {
    for (int i = 0; i < 6; ++i) {
        eff_->mJointVel[JID_LLEG_1_ + 2 * i] = static_cast<float>(i + 1);
        eff_->mJointVel[JID_RLEG_1_ + 2 * i] = -0.5f * static_cast<float>(i + 1);
    }
    eff_->mJointVel[JID_RLEG_6_] = kNaN;
    EXPECT_EQ(
        "1   2   3   4   5   6   \n"
        "-0.5   -1   -1.5   -2   -2.5   0   ",
        eff_->getmyjoint());
}

TEST_F(EffectorTest, EffectorNamesInJointOrder) {
    const char* names[] = {"he1",  "he2",  "lle1", "rle1", "lle2", "rle2", "lle3", "rle3",
                           "lle4", "rle4", "lle5", "rle5", "lle6", "rle6", "lae1", "rae1",
                           "lae2", "rae2", "lae3", "rae3", "lae4", "rae4"};
    for (int j = 0; j < JID_MAX; ++j) {
        EXPECT_EQ(names[j], eff_->mEffectorName[j]);
        // The kinematic model's effector name of the same joint agrees.
        EXPECT_EQ(names[j], kin_->getLink()[jointToLink(j)].eff_name);
    }
}
