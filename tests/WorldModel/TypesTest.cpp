#include <gtest/gtest.h>

#include <set>
#include <string>

#include "WorldModel/Types.h"

TEST(TypesIdentifiers, NumberingMatchesTheProtocolAndTables) {
    EXPECT_EQ(8, BALL);
    EXPECT_EQ(9, TEAMMATE_1);
    EXPECT_EQ(19, TEAMMATE_11);
    EXPECT_EQ(20, OPPONENT_1);
    EXPECT_EQ(31, OBJECT_MAX);
    EXPECT_EQ(13, JID_RLEG_6);
    EXPECT_EQ(21, JID_RARM_4);
    EXPECT_EQ(22, JID_MAX);
    EXPECT_EQ(1, JID_ROOT_);
    EXPECT_EQ(23, JID_RLEG_6_);
    EXPECT_EQ(1, PART_BODY);
    EXPECT_EQ(23, PART_RFOOT);
    EXPECT_EQ(24, BID_MAX);
    EXPECT_EQ(12, PM_Corner_Kick_Right);
    EXPECT_EQ(13, PM_Corner_Kick_Left);
    EXPECT_EQ(17, PM_Unknown);
    EXPECT_EQ(30, WALK_OMNI);
    EXPECT_EQ(54, WAIT);
    EXPECT_EQ(58, ACTION_MAX);
    EXPECT_EQ(11, RT_ATTACKER_FROWARD);
    EXPECT_EQ(10, SKILL_MAX);
    EXPECT_EQ(5, FT_SIT);
    EXPECT_EQ(8, SIDE_NONE_);
    EXPECT_EQ(1, PT_DEFFENDER);
    EXPECT_EQ("KALDA", TeamName);
}

TEST(TypesRecords, DefaultsMeanNeverSeen) {
    const VisionSense v;
    EXPECT_EQ(-1000, v.distance);
    EXPECT_EQ(-1000, v.timeLastSeen);
    EXPECT_EQ(-1000, v.timeLastLocalized);
    EXPECT_EQ(Vector3f(-1000, -1000, -1000), v.globalPos);
    EXPECT_EQ(Vector3f(-1000, -1000, -1000), v.localPos);
    const sayDistanceToBallInfo s;
    EXPECT_EQ(-1000, s.seeTime);
    EXPECT_EQ(1000, s.distance);
    const WalkParams w;
    EXPECT_FLOAT_EQ(0.14f, w.mDs3D.y());
    EXPECT_FLOAT_EQ(0.2151f, w.Hnor);
    const ModelParams m;
    EXPECT_FLOAT_EQ(-10.0f, m.TorsoRot_X);
    EXPECT_FLOAT_EQ(0.1201f, m.Lth);
}

TEST(TypesTables, FillTwiceLeavesExactlyTheListedEntries) {
    Types::fill();
    Types::mPlayModeMap["NotAMode"];
    Types::mStringToObjectMap["TEAMMATE12"];
    Types::fill();
    EXPECT_EQ(17u, Types::mPlayModeMap.size());
    EXPECT_EQ(31u, Types::mStringToObjectMap.size());
    EXPECT_EQ(22u, Types::mStringToJointIDMap.size());
    EXPECT_EQ(0u, Types::mSayTimeToObjectMap.size());
    EXPECT_EQ(100u, Types::mEncodingMap.size());
    EXPECT_EQ(100u, Types::mDecodingMap.size());
    EXPECT_TRUE(Types::mJointEffMap.empty());
    EXPECT_TRUE(Types::mHingeJointSenseMap.empty());
    EXPECT_TRUE(Types::mTCHMap.empty());
    for (const auto& entry : Types::mPlayModeMap) {
        EXPECT_NE(PM_Unknown, entry.second) << entry.first;
    }
}

TEST(TypesTables, ServerNamesGiveTheirIdentifiers) {
    Types::fill();
    EXPECT_EQ(PM_FreeKick_Left, Types::mPlayModeMap["free_kick_left"]);
    EXPECT_EQ(4, Types::mPlayModeMap["free_kick_left"]);
    EXPECT_EQ(PM_Corner_Kick_Right, Types::mPlayModeMap["corner_kick_right"]);
    EXPECT_EQ(PM_Goal_Kick_Left, Types::mPlayModeMap["goal_kick_left"]);
    EXPECT_EQ(PM_KickIn_Right, Types::mPlayModeMap["KickIn_Right"]);
    EXPECT_EQ(TEAMMATE_11, Types::mStringToObjectMap["TEAMMATE11"]);
    EXPECT_EQ(TEAMMATE_1, Types::mStringToObjectMap["TEAMMATE1"]);
    EXPECT_EQ(OPPONENT_1, Types::mStringToObjectMap["OPPONENT1"]);
    EXPECT_EQ(GOAL_2R, Types::mStringToObjectMap["G2R"]);
    EXPECT_EQ(BALL, Types::mStringToObjectMap["B"]);
    EXPECT_EQ(JID_RLEG_4, Types::mStringToJointIDMap["rlj4"]);
    EXPECT_EQ(JID_LARM_1, Types::mStringToJointIDMap["laj1"]);
    EXPECT_EQ(31u, Types::mStringToObjectMap.size());  // every name was present
    // Effector names and leading zeros are not perceptor or vision names.
    EXPECT_EQ(Types::mStringToJointIDMap.end(), Types::mStringToJointIDMap.find("he1"));
    EXPECT_EQ(Types::mStringToObjectMap.end(), Types::mStringToObjectMap.find("TEAMMATE01"));
    EXPECT_EQ(Types::mPlayModeMap.end(), Types::mPlayModeMap.find("playon"));
}

TEST(TypesTables, IndexingAMissingNameInsertsZero) {
    Types::fill();
    EXPECT_EQ(PM_BeforeKickOff, Types::mPlayModeMap["Unheard_Mode"]);
    EXPECT_EQ(18u, Types::mPlayModeMap.size());
    EXPECT_EQ(FLAG_1L, Types::mStringToObjectMap["ALIEN3"]);
    EXPECT_EQ(JID_HEAD_1, Types::mStringToJointIDMap["he1"]);
    EXPECT_NE(Types::mStringToJointIDMap.end(), Types::mStringToJointIDMap.find("he1"));
    Types::fill();
    EXPECT_EQ(Types::mStringToJointIDMap.end(), Types::mStringToJointIDMap.find("he1"));
}

TEST(TypesLookups, NonInsertingAndReverseLookupsAgree) {
    Types::fill();
    EXPECT_EQ(PM_Unknown, Types::getPlayMode("Unheard_Mode"));
    EXPECT_EQ(OBJECT_MAX, Types::getObject("TEAMMATE0"));
    EXPECT_EQ(JID_MAX, Types::getJointID("he1"));
    EXPECT_EQ(17u, Types::mPlayModeMap.size());
    EXPECT_EQ(31u, Types::mStringToObjectMap.size());
    EXPECT_EQ(22u, Types::mStringToJointIDMap.size());
    for (int i = 0; i < OBJECT_MAX; ++i) {
        const Object o = static_cast<Object>(i);
        EXPECT_EQ(o, Types::getObject(Types::getObjectName(o))) << i;
    }
    for (int i = 0; i < JID_MAX; ++i) {
        const JointID j = static_cast<JointID>(i);
        EXPECT_EQ(j, Types::getJointID(Types::getJointName(j))) << i;
    }
    for (int i = 0; i < PM_Unknown; ++i) {
        const PlayMode p = static_cast<PlayMode>(i);
        EXPECT_EQ(p, Types::getPlayMode(Types::getPlayModeName(p))) << i;
    }
    EXPECT_EQ("", Types::getPlayModeName(PM_Unknown));
    EXPECT_EQ("", Types::getObjectName(OBJECT_MAX));
    EXPECT_EQ("", Types::getJointName(JID_MAX));
    EXPECT_EQ("OPPONENT11", Types::getObjectName(OPPONENT_11));
}

TEST(TypesAlphabet, IsAnExactInverseAndAvoidsProtocolBytes) {
    Types::fill();
    const std::set<unsigned char> forbidden = {' ', '"', '\'', '(', ')', '\\', 127};
    std::set<unsigned char> used;
    for (int d = 0; d < 100; ++d) {
        const char byte = Types::mEncodingMap[d];
        used.insert(static_cast<unsigned char>(byte));
        EXPECT_EQ(0u, forbidden.count(static_cast<unsigned char>(byte))) << d;
        EXPECT_EQ(d, Types::mDecodingMap[byte]) << d;
        EXPECT_EQ(d, Types::decodeDigit(Types::encodeDigit(d))) << d;
    }
    EXPECT_EQ(100u, used.size());
    EXPECT_EQ('!', Types::encodeDigit(0));
    EXPECT_EQ('#', Types::encodeDigit(1));
    EXPECT_EQ('&', Types::encodeDigit(4));
    EXPECT_EQ('*', Types::encodeDigit(5));
    EXPECT_EQ('[', Types::encodeDigit(54));
    EXPECT_EQ(138, static_cast<unsigned char>(Types::encodeDigit(55)));
    EXPECT_EQ(']', Types::encodeDigit(56));
    EXPECT_EQ('~', Types::encodeDigit(89));
    EXPECT_EQ(128, static_cast<unsigned char>(Types::encodeDigit(90)));
    EXPECT_EQ(137, static_cast<unsigned char>(Types::encodeDigit(99)));
    // A coordinate of -3.25 travels as the digits 53 and 25.
    EXPECT_EQ('Z', Types::encodeDigit(53));
    EXPECT_EQ('>', Types::encodeDigit(25));
}

TEST(TypesAlphabet, BytesOutsideDecodeAsZeroAndDigitsAreClamped) {
    Types::fill();
    for (char c : {' ', '"', '\'', '(', ')', '\\', '\x7f', '\0', '\xff'}) {
        EXPECT_EQ(0, Types::decodeDigit(c)) << static_cast<int>(c);
    }
    EXPECT_EQ(100u, Types::mDecodingMap.size());
    EXPECT_EQ(Types::encodeDigit(0), Types::encodeDigit(-5));
    EXPECT_EQ(Types::encodeDigit(99), Types::encodeDigit(100));
}
