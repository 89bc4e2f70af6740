#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ActionTestSupport.h"
#include "Actions/SineActions.h"
#include "Effector/JointCommand.h"
#include "support/Capture.h"

namespace {

using tovra::test::ActionTest;
using tovra::test::countLines;
using tovra::test::undrivenZeros;

using SineActionTest = ActionTest;

// Fade in and out over 0.1 s (0.2 per cycle); the left hip pitch follows
// 10 sin(2 pi t + pi/2) + 5 with a period of 1 s.
const char* const kTurn = "0.1 0.1\nllj3 : 10 1 1.5707963267948966 5\n";

std::string hipCommand(double value) {
    return "(lle3 " + formatNumber(value) + ")";
}

TEST_F(SineActionTest, StartResetsTheSharedFactorWhichRisesEachCycle) {
    ASSERT_TRUE(dir.write("Acts/TurnL.txt", kTurn));
    ASSERT_TRUE(dir.write("Acts/TurnR.txt", kTurn));
    TurnL left;
    TurnR right;
    // factor 0.2: angle = 0.2 * 10 + 5 at t = 0, command = angle * 0.1.
    EXPECT_EQ(left.execute({"start"}), hipCommand(0.7) + undrivenZeros({JID_LLEG_3}));
    EXPECT_DOUBLE_EQ(Action::getFactor(), 0.2);
    left.execute({});
    EXPECT_DOUBLE_EQ(Action::getFactor(), 0.4);
    // The other sine action continues from the same factor ...
    right.execute({"normal"});
    EXPECT_DOUBLE_EQ(Action::getFactor(), 0.6);
    right.execute({});
    right.execute({});
    right.execute({});
    EXPECT_DOUBLE_EQ(Action::getFactor(), 1.0);  // clamped
    // ... until a "start" sets it back to 0.
    right.execute({"start"});
    EXPECT_DOUBLE_EQ(Action::getFactor(), 0.2);
    EXPECT_EQ(Action::getPhase(), "start");
}

TEST_F(SineActionTest, OnePeriodPerRequestAndWindDownUntilFadedOut) {
    ASSERT_TRUE(dir.write("Acts/TurnL.txt", kTurn));
    setAngle(JID_LLEG_3, 5);
    TurnL turn;
    int calls = 1;
    ASSERT_NE(turn.execute({"start"}), "");
    while (!turn.execute({}).empty()) {
        ++calls;
        ASSERT_LT(calls, 100);
    }
    EXPECT_EQ(calls, 50);  // one period of 1 s
    EXPECT_DOUBLE_EQ(turn.getTime(), 0.0);

    // "end" fades out over 0.1 s; the step then ends at the period's end.
    ASSERT_NE(turn.execute({"end"}), "");
    calls = 1;
    while (!turn.execute({}).empty()) {
        ++calls;
        ASSERT_LT(calls, 100);
    }
    EXPECT_EQ(calls, 50);
    EXPECT_LT(Action::getFactor(), 0.02);
}

TEST_F(SineActionTest, TermsAreSummedPerJoint) {
    ASSERT_TRUE(dir.write("Acts/TurnL.txt",
                          "0 0\n"
                          "\n"
                          "rlj1 a 0 1 0 3 b 0 0.5 0 4\n"
                          "hj2 a 0 0.5 0 -10\n"));
    TurnL turn;
    setAngle(JID_HEAD_2, -20);
    EXPECT_EQ(turn.execute({"start"}),
              "(rle1 0.7)(he2 1)" + undrivenZeros({JID_RLEG_1, JID_HEAD_2}));
    // The period of the last term read (0.5 s here, 25 cycles) sets the step.
    int calls = 1;
    while (!turn.execute({}).empty()) {
        ++calls;
        ASSERT_LT(calls, 100);
    }
    EXPECT_EQ(calls, 25);
}

TEST_F(SineActionTest, FilesThatDoNotFitEndTheActionWithOneReport) {
    const std::vector<std::string> bad = {
        "0.1 0.1\nhe1 : 10 1 0 5\n",      // effector name, not a joint name
        "0.1 0.1\nHeadYaw : 10 1 0 5\n",  // unknown joint
        "0.1 0.1\nllj3 : 10 0 0 5\n",     // period 0
        "0.1 0.1\nllj3 : 10 1 0\n",       // incomplete term
        "0.1 0.1\nllj3 : 10 1 x 5\n",     // not a number
        "0.1 0.1\nllj3\n",                // no term in the whole file
        "0.1 0.1\n",                      // no joint line at all
        "\nllj3 : 10 1 0 5\n",            // no fade times
    };
    for (const std::string& content : bad) {
        SCOPED_TRACE(content);
        ASSERT_TRUE(dir.write("Acts/TurnL.txt", content));
        TurnL turn;
        const double factorBefore = Action::getFactor();
        tovra_test::captureStdout();
        EXPECT_EQ(turn.execute({"start"}), "");
        EXPECT_EQ(turn.execute({}), "");
        const std::string out = tovra_test::capturedStdout();
        EXPECT_EQ(countLines(out, "(sinFill) "), 1) << out;
        EXPECT_EQ(countLines(out, "./Acts/TurnL.txt"), 1) << out;
        EXPECT_DOUBLE_EQ(Action::getFactor(), factorBefore);
        Action::forgetReportedFiles();
    }
    // An unknown name is not added to the joint table.
    EXPECT_EQ(Types::mStringToJointIDMap.count("HeadYaw"), 0u);
    EXPECT_EQ(Types::mStringToJointIDMap.size(), 22u);
}

TEST_F(SineActionTest, MissingFileIsReportedOnce) {
    TurnR turn;
    tovra_test::captureStdout();
    EXPECT_EQ(turn.execute({"start"}), "");
    EXPECT_EQ(turn.execute({"normal"}), "");
    EXPECT_EQ(tovra_test::capturedStdout(), "(sinFill) cannot read ./Acts/TurnR.txt\n");
}

}  // namespace
