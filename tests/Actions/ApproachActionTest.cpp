#include <gtest/gtest.h>

#include <string>

#include "ActionTestSupport.h"
#include "Actions/ApproachActions.h"
#include "Effector/JointCommand.h"
#include "support/Capture.h"

namespace {

using tovra::test::ActionTest;
using tovra::test::countLines;

using ApproachActionTest = ActionTest;

const char* const kArmsThenLegs[] = {"rae1", "rae2", "rae3", "rae4", "lae1", "lae2", "lae3",
                                     "lae4", "rle1", "rle2", "rle3", "rle4", "rle5", "rle6",
                                     "lle1", "lle2", "lle3", "lle4", "lle5", "lle6"};

TEST_F(ApproachActionTest, KickLApproachesInTwentyFiveCyclesThenReplays) {
    ASSERT_TRUE(dir.write("Acts/KickL.txt", "(lle1 1)\nnot a command\n  (ignored)\n(lle1 2)\n"));
    setAngle(JID_LLEG_4, -4.38);
    KickL kick;
    EXPECT_EQ(kick.getLineCount(), 2u);

    tovra_test::captureStdout();
    const std::string first = kick.execute({"start"});
    // Every arm and leg joint, right arm first; (target - measured) / 25 * 3.
    std::string expected;
    for (const char* name : kArmsThenLegs) {
        double value = 0;
        const std::string joint = name;
        if (joint == "lle3")
            value = 9.17 / 25 * 3;
        if (joint == "lle4")
            value = -30.0 / 25 * 3;
        if (joint == "lle5")
            value = 25.78 / 25 * 3;
        if (joint == "rle3")
            value = 9.0 / 25 * 3;
        if (joint == "rle4")
            value = -34.39 / 25 * 3;
        if (joint == "rle5")
            value = 25.75 / 25 * 3;
        if (joint == "lae1" || joint == "rae1")
            value = -90.0 / 25 * 3;
        if (joint == "lae2")
            value = 23.0 / 25 * 3;
        if (joint == "rae2")
            value = 22.92 / 25 * 3;
        expected += " (" + joint + " " + formatNumber(value) + ") ";
    }
    EXPECT_EQ(first, expected);
    for (int call = 2; call <= 25; ++call) {
        const std::string text = kick.execute({});
        ASSERT_EQ(text.rfind(" (rae1 ", 0), 0u) << call;
    }
    // The last approach cycle divides by 25 - 24.
    EXPECT_EQ(kick.getCounter(), 25);
    EXPECT_EQ(kick.execute({}), "(lle1 1)");
    EXPECT_EQ(kick.execute({}), "(lle1 2)");
    EXPECT_EQ(kick.execute({}), "");
    EXPECT_EQ(tovra_test::capturedStdout(), "0\n1\n");
    EXPECT_EQ(kick.getCounter(), 0);
    // A new request approaches again.
    EXPECT_EQ(kick.execute({}).rfind(" (rae1 ", 0), 0u);
}

TEST_F(ApproachActionTest, GetUpBackDrivesTheHeadFirstForThirtySixCycles) {
    ASSERT_TRUE(dir.write("Acts/GetUpBack.txt", "(he1 0)\n"));
    setAngle(JID_HEAD_1, 36);
    GetUpBack getUp;
    const std::string first = getUp.execute({});
    EXPECT_EQ(first.rfind(" (he1 -3)  (he2 0)  (rae1 " + formatNumber(-80.0 / 36 * 3) + ") ", 0),
              0u)
        << first;
    for (int call = 2; call <= 36; ++call) {
        ASSERT_NE(getUp.execute({}).find("(lle6 "), std::string::npos) << call;
    }
    EXPECT_EQ(getUp.execute({}), "(he1 0)");
    EXPECT_EQ(getUp.execute({}), "");
}

TEST_F(ApproachActionTest, ScriptLineLimitsAndSetToZeroSkipsTheScript) {
    std::string many;
    for (int i = 0; i < 400; ++i) {
        many += "(line " + std::to_string(i) + ")\n";
    }
    ASSERT_TRUE(dir.write("Acts/GetUpBack.txt", many));
    ASSERT_TRUE(dir.write("Acts/KickR.txt", many));
    GetUpBack getUp;
    KickR kick;
    EXPECT_EQ(getUp.getLineCount(), 100u);
    EXPECT_EQ(kick.getLineCount(), 300u);

    // SetToZero needs no file: 25 approach cycles, then it ends.
    SetToZero zero;
    setAngle(JID_LARM_1, -90);
    const std::string first = zero.execute({});
    EXPECT_NE(first.find(" (lae1 0) "), std::string::npos);
    EXPECT_NE(first.find(" (rae1 " + formatNumber(-90.0 / 25 * 3) + ") "), std::string::npos);
    for (int call = 2; call <= 25; ++call) {
        ASSERT_NE(zero.execute({}), "");
    }
    EXPECT_EQ(zero.execute({}), "");
    EXPECT_NE(zero.execute({}), "");
}

TEST_F(ApproachActionTest, MissingOrOverlongScriptEndsAtOnceWithOneReport) {
    {
        KickL kick;
        tovra_test::captureStdout();
        EXPECT_EQ(kick.execute({"start"}), "");
        EXPECT_EQ(kick.execute({}), "");
        EXPECT_EQ(tovra_test::capturedStdout(), "(KickL) cannot read ./Acts/KickL.txt\n");
    }
    std::string longLine = "(lle1";
    while (longLine.size() < 3000) {
        longLine += " 0";
    }
    ASSERT_TRUE(dir.write("Acts/KickR.txt", "(lle1 1)\n" + longLine + ")\n(lle1 2)\n"));
    KickR kick;
    tovra_test::captureStdout();
    EXPECT_EQ(kick.execute({}), "");
    EXPECT_EQ(kick.execute({}), "");
    const std::string out = tovra_test::capturedStdout();
    EXPECT_EQ(countLines(out, "(KickR) cannot read ./Acts/KickR.txt"), 1) << out;
}

}  // namespace
