#include <gtest/gtest.h>

#include <string>

#include "LogUnit/LogUnit.h"
#include "support/Capture.h"

TEST(LogUnitTest, InvalidChannelsChangeNothing) {
    LogUnit log;
    log.SetLogOn(32);
    log.SetLogOn(-1);
    log.SetLabel(32, "x");
    log.SetLabel(-1, "x");
    for (int i = 0; i < LogUnit::MaxChannels; ++i) {
        EXPECT_FALSE(log.LogOn[i]) << i;
        EXPECT_STREQ("", log.label[i]) << i;
    }
    EXPECT_TRUE(log.IsValidChannel(0));
    EXPECT_TRUE(log.IsValidChannel(31));
    EXPECT_FALSE(log.IsValidChannel(32));
}

TEST(LogUnitTest, InitSetsStandardLabelsAndChannelOne) {
    LogUnit log;
    log.PauseLog(true);
    tovra_test::captureStdout();
    log.Init(5);
    EXPECT_EQ("1 : ", tovra_test::capturedStdout());
    for (int i = 0; i < LogUnit::MaxChannels; ++i)
        EXPECT_EQ(i == 1, log.LogOn[i]) << i;
    EXPECT_EQ(5, log.Unum);
    EXPECT_FALSE(log.logpause);
    EXPECT_STREQ("Interception", log.label[14]);
    EXPECT_STREQ("HabdelBall", log.label[15]);
    EXPECT_STREQ("", log.label[16]);
}

TEST(LogUnitTest, LongCaptionIsCutToFifteenCharacters) {
    LogUnit log;
    log.SetLabel(3, "abcdefghijklmnopqrstuvwxyz");
    EXPECT_EQ(std::string("abcdefghijklmno"), log.label[3]);
    log.SetLabel(3, "short");
    EXPECT_STREQ("short", log.label[3]);
}

TEST(LogUnitTest, InitTurnsChannelOneOnAndLeavesTheOtherSwitches) {
    LogUnit log;
    log.SetLogOn(7);
    log.SetLogOn(31);
    tovra_test::captureStdout();
    log.Init(2);
    tovra_test::capturedStdout();
    for (int i = 0; i < LogUnit::MaxChannels; ++i)
        EXPECT_EQ(i == 1 || i == 7 || i == 31, log.LogOn[i]) << i;
}
