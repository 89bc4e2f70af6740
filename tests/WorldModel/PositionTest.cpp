#include <gtest/gtest.h>

#include <string>

#include "Actions/Actions.h"
#include "WorldModel/Position.h"
#include "WorldModel/WorldModel.h"
#include "support/ScratchDir.h"

namespace {

using tovra::test::ScratchDir;

const char* const kNormalFile =
    "# home positions\n"
    "unums 1 2 3 4 5 6 7 8 9 10 11\n"
    "id 0\n"
    "homePosX -14 -10 -10 -6 -6 -3 -2.5 -1 -1 -0.5 -0.2\n"
    "homePosY 0 3 -3 4 -4 0 1.5 5 -5 2 -2\n"
    "homePosZ 0 0 0 0 0 0 90 0 0 0 0\n"
    "id 1\n"
    "homePosX 1 1 1 1 1 1 1 1 1 1 1\n"
    "id 2\n"
    "homePosY 2 2 2 2 2 2 2 2 2 2 2\n";

std::string zeroJoints() {
    std::string text;
    for (const char* name :
         {"he1",  "he2",  "lle1", "rle1", "lle2", "rle2", "lle3", "rle3", "lle4", "rle4", "lle5",
          "rle5", "lle6", "rle6", "lae1", "rae1", "lae2", "rae2", "lae3", "rae3", "lae4", "rae4"}) {
        text += std::string("(") + name + " 0)";
    }
    return text;
}

class PositionTest : public ::testing::Test {
protected:
    void SetUp() override {
        wm = WorldModel::instance();
        wm->mJointIDToAngleMap.clear();
        wm->setUnum(7);
        acs = Actions::getInstance();
    }
    void TearDown() override { wm->setUnum(1); }

    ScratchDir dir;
    WorldModel* wm = nullptr;
    Actions* acs = nullptr;
};

TEST_F(PositionTest, NormalFormationGivesElevenEntriesAndBeamText) {
    ASSERT_TRUE(dir.write("formation.conf", kNormalFile));
    Position pos(acs);
    EXPECT_EQ(pos.getBeamInfoCount(), 11);
    acs->setCurAct(WAIT);
    EXPECT_EQ(pos.init(), "(beam -2.5 1.5 90)" + zeroJoints());
    // initState drops the running action.
    EXPECT_EQ(acs->getCurAct(), UNKNOWN);

    const Vector3f home = pos.getHomePos();
    EXPECT_FLOAT_EQ(home.x(), -2.5f);
    EXPECT_FLOAT_EQ(home.y(), 1.5f);
    EXPECT_FLOAT_EQ(home.z(), 0.0f);
    EXPECT_EQ(pos.position(), "");

    wm->setUnum(1);
    EXPECT_EQ(pos.init().rfind("(beam -14 0 0)", 0), 0u);
}

TEST_F(PositionTest, OtherFormationsAreSelectedByTheirIdBlock) {
    ASSERT_TRUE(dir.write("formation.conf", kNormalFile));
    Position pos(acs);
    pos.setFormation(F_DEFENSIVE);
    // x from block 1, y and z kept from the earlier read of block 0.
    EXPECT_FLOAT_EQ(pos.getBeamInfo(6).beamPos.x(), 1.0f);
    EXPECT_FLOAT_EQ(pos.getBeamInfo(6).beamPos.y(), 1.5f);
    pos.setFormation(F_OFFENSIVE);
    EXPECT_FLOAT_EQ(pos.getBeamInfo(6).beamPos.x(), 1.0f);
    EXPECT_FLOAT_EQ(pos.getBeamInfo(6).beamPos.y(), 2.0f);
}

TEST_F(PositionTest, OnlyForeignBlockLeavesPositionsUnwritten) {
    ASSERT_TRUE(dir.write("formation.conf",
                          "id 1\n"
                          "unums 1 2 3 4 5 6 7 8 9 10 11\n"
                          "homePosX 5 5 5 5 5 5 5 5 5 5 5\n"
                          "homePosY 5 5 5 5 5 5 5 5 5 5 5\n"
                          "homePosZ 5 5 5 5 5 5 5 5 5 5 5\n"));
    Position pos(acs);
    EXPECT_EQ(pos.getBeamInfoCount(), 11);
    for (int i = 0; i < 11; ++i) {
        EXPECT_EQ(pos.getBeamInfo(i).unum, i + 1);
        EXPECT_FLOAT_EQ(pos.getBeamInfo(i).beamPos.x(), 0.0f);
        EXPECT_FLOAT_EQ(pos.getBeamInfo(i).beamPos.z(), 0.0f);
    }
    EXPECT_EQ(pos.init(), "(beam 0 0 0)" + zeroJoints());
}

TEST_F(PositionTest, MissingUniformNumberOrFileGivesNoBeamAndOriginHome) {
    {
        Position pos(acs);  // no file at all
        EXPECT_EQ(pos.getBeamInfoCount(), 0);
        EXPECT_EQ(pos.init(), "");
        const Vector3f home = pos.getHomePos();
        EXPECT_FLOAT_EQ(home.x(), 0.0f);
        EXPECT_FLOAT_EQ(home.y(), 0.0f);
    }
    ASSERT_TRUE(dir.write("formation.conf",
                          "unums 1 2 3 4 5 6 8 9 10 11\n"
                          "id 0\n"
                          "homePosX 1 2 3 4 5 6 8 9 10 11\n"));
    Position pos(acs);
    EXPECT_EQ(pos.getBeamInfoCount(), 10);
    acs->setCurAct(WAIT);
    EXPECT_EQ(pos.init(), "");
    EXPECT_EQ(acs->getCurAct(), WAIT);  // nothing placed, nothing dropped
    EXPECT_FLOAT_EQ(pos.getHomePos().x(), 0.0f);
}

TEST_F(PositionTest, CommentsMisspeltKeysAndBadNumbersEndOnlyTheirLine) {
    ASSERT_TRUE(dir.write("formation.conf",
                          "   #unums 9 9 9 9 9 9 9 9 9 9 9 9\n"
                          "unums 1 2 3 4 5 6 7\n"
                          "\n"
                          "id 0\n"
                          "homePosx 9 9 9 9 9 9 9 9 9\n"
                          "homePosX 1 2 3 4 5 6 7.5 # 8 9\n"
                          "homePosY 1 2 3 4 5 6 abc 8 9\n"
                          "homePosZ 1e50 5\n"
                          "unums 1 2 3 4 5 6 7 1e12 9\n"));
    Position pos(acs);
    // The longest run taken from one line is the seven uniform numbers.
    EXPECT_EQ(pos.getBeamInfoCount(), 7);
    EXPECT_EQ(pos.getBeamInfo(0).unum, 1);
    const Vector3f home = pos.getHomePos();
    EXPECT_FLOAT_EQ(home.x(), 7.5f);
    EXPECT_FLOAT_EQ(home.y(), 0.0f);
    // A value too large for a float ends the homePosZ line before anything is taken.
    EXPECT_EQ(pos.init(), "(beam 7.5 0 0)" + zeroJoints());
}

TEST_F(PositionTest, OverlongLinesAndOversizedRowsStayInsideTheTable) {
    std::string many = "unums";
    for (int n = 1; n <= 40; ++n) {
        many += " " + std::to_string(n);
    }
    std::string tooLong = "homePosX";
    while (tooLong.size() < 1200) {
        tooLong += " 3";
    }
    ASSERT_TRUE(dir.write("formation.conf", many + "\nid 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0\n" +
                                                "homePosX 1 2 3 4 5 6 7 8 9 10 11 12 13 14\n" +
                                                tooLong + "\nhomePosY 4 4 4 4 4 4 4\n"));
    Position pos(acs);
    EXPECT_EQ(pos.getBeamInfoCount(), Position::MAX_ENTRIES);
    EXPECT_EQ(pos.getBeamInfo(11).unum, 12);
    EXPECT_FLOAT_EQ(pos.getBeamInfo(11).beamPos.x(), 12.0f);
    // The over-long line ends the reading: no y was taken.
    EXPECT_FLOAT_EQ(pos.getHomePos().x(), 7.0f);
    EXPECT_FLOAT_EQ(pos.getHomePos().y(), 0.0f);
}

TEST_F(PositionTest, HugeIdValueClosesTheBlock) {
    ASSERT_TRUE(dir.write("formation.conf",
                          "unums 7\n"
                          "id 0\n"
                          "homePosX 3\n"
                          "id 1e300\n"
                          "homePosX 9\n"));
    Position pos(acs);
    EXPECT_FLOAT_EQ(pos.getHomePos().x(), 3.0f);
}

}  // namespace
