#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ActionTestSupport.h"
#include "Actions/MatrixActions.h"
#include "Effector/JointCommand.h"
#include "support/Capture.h"

namespace {

using tovra::test::ActionTest;
using tovra::test::countLines;
using tovra::test::undrivenZeros;

using MatrixActionTest = ActionTest;

TEST_F(MatrixActionTest, OneSegmentPlaysFiftyCyclesThenEnds) {
    // One segment from 0 to 1 s driving the left hip pitch (JointID 6) to 30.
    ASSERT_TRUE(dir.write("Acts/DiveFront.txt", "3 2\n0 0\n0 1\n7 30\n"));
    setAngle(JID_LLEG_3, 10);
    DiveFront dive;
    for (int call = 0; call < 50; ++call) {
        const double time = call * 0.02;
        const std::string text = dive.execute({});
        const std::string expected = "(lle3 " + formatNumber((30 - 10) / (1 - time) / 50) + ")" +
                                     undrivenZeros({JID_LLEG_3});
        ASSERT_EQ(text, expected) << "call " << call + 1;
    }
    EXPECT_EQ(dive.execute({}), "");
    EXPECT_DOUBLE_EQ(dive.getTime(), 0.0);
    // The next request replays from the beginning.
    EXPECT_EQ(dive.execute({}).rfind("(lle3 0.4)", 0), 0u);
}

TEST_F(MatrixActionTest, SegmentsFollowEachOtherAndUnlistedJointsGetZero) {
    // Two segments, 0-0.1 and 0.1-0.2, two joint rows; orders are ignored.
    ASSERT_TRUE(dir.write("Acts/Wait.txt", "4 3\n0 0 0.1\n0 0.1 0.2\n1 10 20\n16 -5 5\n"));
    Wait wait;
    const std::string first = wait.execute({"start"});
    EXPECT_EQ(first, "(he1 2)(rae1 -1)" + undrivenZeros({JID_HEAD_1, JID_RARM_1}));
    std::vector<std::string> texts{first};
    for (std::string text = wait.execute({}); !text.empty(); text = wait.execute({})) {
        texts.push_back(text);
        ASSERT_LT(texts.size(), 20u);
    }
    ASSERT_EQ(texts.size(), 10u);
    // The sixth cycle (0.1 s) belongs to the second segment: (20 - 0) / 0.1 / 50.
    EXPECT_EQ(texts[5].rfind("(he1 4)(rae1 1)", 0), 0u);
}

TEST_F(MatrixActionTest, TablesThatDoNotFitEndTheActionWithOneReport) {
    std::string longLine = "0";
    while (longLine.size() < 1200) {
        longLine += " 0";
    }
    const std::vector<std::string> bad = {
        "25 2\n0 0\n0 1\n7 30\n",              // more than 24 rows
        "-1 2\n0 0\n0 1\n7 30\n",              // negative row count
        "3 101\n0 0\n0 1\n7 30\n",             // more than 100 columns
        "3 0\n0 0\n0 1\n7 30\n",               // no column for the end time
        "4 2\n0 0\n0 1\n7 30\n",               // fewer lines than declared
        "3 2\n0 0\n0 1\n0 30\n",               // joint number 0
        "3 2\n0 0\n0 1\n23 30\n",              // joint number 23
        "3 2\n" + longLine + "\n0 1\n7 30\n",  // line over 999 characters
        "x y\n0 0\n0 1\n7 30\n",               // no size line
    };
    for (const std::string& content : bad) {
        SCOPED_TRACE(content.substr(0, 40));
        tovra::test::ScratchDir local;
        ASSERT_TRUE(local.write("Acts/DiveFront.txt", content));
        DiveFront dive;
        tovra_test::captureStdout();
        EXPECT_EQ(dive.execute({}), "");
        EXPECT_EQ(dive.execute({}), "");
        const std::string out = tovra_test::capturedStdout();
        EXPECT_EQ(countLines(out, "./Acts/DiveFront.txt"), 1) << out;
        EXPECT_EQ(out.rfind("(matrixFill) ", 0), 0u) << out;
        Action::forgetReportedFiles();
    }
}

TEST_F(MatrixActionTest, SmallTablesPlayTheirTimeLine) {
    // Two rows: no joint row, one segment of 0.1 s. Every joint but the
    // first head joint is held for five cycles, then the action ends.
    ASSERT_TRUE(dir.write("Acts/DiveFront.txt", "2 2\n0 0\n0 0.1\n"));
    setAngle(JID_LLEG_3, 10);
    DiveFront dive;
    tovra_test::captureStdout();
    for (int call = 0; call < 5; ++call) {
        ASSERT_EQ(dive.execute({}), undrivenZeros({})) << "call " << call + 1;
    }
    EXPECT_EQ(dive.execute({}), "");
    // One column: the last end time is row 1's first number, which holds
    // the column count, so the motion lasts 1 s (50 cycles).
    tovra::test::ScratchDir local;
    ASSERT_TRUE(local.write("Acts/DiveFront.txt", "3 1\n0\n0\n7\n"));
    int calls = 0;
    while (!dive.execute({}).empty()) {
        ASSERT_LT(++calls, 60);
    }
    EXPECT_EQ(calls, 50);
    EXPECT_EQ(tovra_test::capturedStdout(), "");
}

TEST_F(MatrixActionTest, NumbersBeyondTheColumnCountAreNotPlayed) {
    // Row 1 carries a third number (2) beyond the two columns: the segment
    // still ends at 1 s, and the joint row's extra target is ignored.
    ASSERT_TRUE(dir.write("Acts/DiveFront.txt", "3 2\n0 0 0\n0 1 2\n7 30 90\n"));
    setAngle(JID_LLEG_3, 10);
    DiveFront dive;
    tovra_test::captureStdout();
    EXPECT_EQ(dive.execute({}), "(lle3 0.4)" + undrivenZeros({JID_LLEG_3}));
    int calls = 1;
    while (!dive.execute({}).empty()) {
        ASSERT_LT(++calls, 200);
    }
    EXPECT_EQ(calls, 50);
    // A row longer than the table's 100 columns is cut at the table's width.
    std::string manyColumns = "7";
    for (int c = 1; c < 120; ++c) {
        manyColumns += " 30";
    }
    tovra::test::ScratchDir local;
    ASSERT_TRUE(local.write("Acts/DiveFront.txt", "3 2\n0 0\n0 1\n" + manyColumns + "\n"));
    EXPECT_EQ(dive.execute({}), "(lle3 0.4)" + undrivenZeros({JID_LLEG_3}));
    EXPECT_EQ(tovra_test::capturedStdout(), "");
}

TEST_F(MatrixActionTest, MissingFileEndsAtOnceAndIsReportedOnce) {
    DiveFront dive;
    tovra_test::captureStdout();
    for (int call = 0; call < 5; ++call) {
        EXPECT_EQ(dive.execute({}), "");
    }
    const std::string out = tovra_test::capturedStdout();
    EXPECT_EQ(out, "(matrixFill) cannot read ./Acts/DiveFront.txt\n");
    // Once the file is there the motion plays.
    ASSERT_TRUE(dir.write("Acts/DiveFront.txt", "3 2\n0 0\n0 1\n7 30\n"));
    EXPECT_NE(dive.execute({}), "");
}

TEST_F(MatrixActionTest, ConstructionEmptiesTheLogFile) {
    ASSERT_TRUE(dir.write("l.txt", "old content"));
    DiveFront dive;
    EXPECT_TRUE(dir.exists("l.txt"));
    EXPECT_EQ(dir.read("l.txt"), "");
}

}  // namespace
