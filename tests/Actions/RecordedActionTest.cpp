#include <gtest/gtest.h>

#include <string>

#include "ActionTestSupport.h"
#include "Actions/RecordedActions.h"
#include "support/Capture.h"

namespace {

using tovra::test::ActionTest;

using RecordedActionTest = ActionTest;

TEST_F(RecordedActionTest, FiveLinesOnFiveCallsThenEmptyThenReplay) {
    ASSERT_TRUE(dir.write("Acts/WalkSideL.txt",
                          "(lle1 1)\n(lle1 2)\n(lle1 3)\n(lle1 4)(rle1 -4)\n(lle1 5) \n"));
    WalkSideL side;
    EXPECT_EQ(side.execute({"start"}), "(lle1 1)");
    EXPECT_EQ(side.execute({}), "(lle1 2)");
    EXPECT_EQ(side.execute({}), "(lle1 3)");
    EXPECT_EQ(side.execute({}), "(lle1 4)(rle1 -4)");
    EXPECT_EQ(side.execute({}), "(lle1 5) ");
    EXPECT_EQ(side.execute({}), "");
    EXPECT_DOUBLE_EQ(side.getTime(), 0.0);
    EXPECT_EQ(side.execute({}), "(lle1 1)");
}

TEST_F(RecordedActionTest, EmptyLineEndsThePlaybackFromTheStart) {
    ASSERT_TRUE(dir.write("Acts/WalkSideL.txt", "(lle1 1)\n\n(lle1 3)\n"));
    WalkSideL side;
    EXPECT_EQ(side.execute({}), "(lle1 1)");
    EXPECT_EQ(side.execute({}), "");
    EXPECT_DOUBLE_EQ(side.getTime(), 0.0);
    EXPECT_EQ(side.execute({}), "(lle1 1)");
}

TEST_F(RecordedActionTest, MissingFileEndsAtOnceWithOneReport) {
    WalkSideR side;
    tovra_test::captureStdout();
    EXPECT_EQ(side.execute({}), "");
    EXPECT_EQ(side.execute({}), "");
    EXPECT_EQ(tovra_test::capturedStdout(), "(messageFill) cannot read ./Acts/WalkSideR.txt\n");
}

}  // namespace
