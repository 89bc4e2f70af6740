#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "WorldModel/TalkCodec.h"
#include "WorldUpdateSupport.h"
#include "support/Capture.h"

namespace world_update_test {
namespace {

// Bytes the alphabet never produces: they would break the say command.
bool isForbidden(char c) {
    const unsigned char u = static_cast<unsigned char>(c);
    return u == ' ' || u == '"' || u == '\'' || u == '(' || u == ')' || u == '\\' || u == 127;
}

class TalkCodecTest : public ::testing::Test {
protected:
    void SetUp() override { Types::fill(); }

    static std::string coordinate(double v) {
        std::string s(2, ' ');
        TalkCodec::encodeCoordinate(v, s, 0);
        return s;
    }
    static std::string timeStamp(double t) {
        std::string s(3, ' ');
        TalkCodec::encodeTime(t, s, 0);
        return s;
    }
    static int digit(const std::string& s, std::size_t i) { return Types::decodeDigit(s[i]); }
};

TEST_F(TalkCodecTest, CoordinatesRoundTripOverTheWholeRange) {
    for (int i = -4999; i <= 4999; ++i) {
        const double v = i / 100.0;
        const std::string s = coordinate(v);
        ASSERT_FALSE(isForbidden(s[0]) || isForbidden(s[1])) << v;
        ASSERT_NEAR(v, TalkCodec::decodeCoordinate(s, 0), 1e-9) << v;
        // Values between the hundredths round to the nearest one.
        const double w = v + 0.004;
        if (w < 49.99) {
            ASSERT_NEAR(w, TalkCodec::decodeCoordinate(coordinate(w), 0), 0.005 + 1e-9) << w;
        }
    }
}

TEST_F(TalkCodecTest, CoordinateDigits) {
    EXPECT_EQ(53, digit(coordinate(-3.25), 0));
    EXPECT_EQ(25, digit(coordinate(-3.25), 1));
    EXPECT_EQ(3, digit(coordinate(3.25), 0));
    EXPECT_EQ(25, digit(coordinate(3.25), 1));
    // Hundredths that round to 100 carry into the metres, for both signs.
    EXPECT_EQ(4, digit(coordinate(3.996), 0));
    EXPECT_EQ(0, digit(coordinate(3.996), 1));
    EXPECT_EQ(54, digit(coordinate(-3.996), 0));
    EXPECT_EQ(0, digit(coordinate(-3.996), 1));
    EXPECT_DOUBLE_EQ(1.0, TalkCodec::decodeCoordinate(coordinate(0.9999), 0));
    // Out of range: clamped, so a carry never reaches the negative mark.
    EXPECT_DOUBLE_EQ(49.99, TalkCodec::decodeCoordinate(coordinate(49.999), 0));
    EXPECT_DOUBLE_EQ(49.99, TalkCodec::decodeCoordinate(coordinate(120), 0));
    EXPECT_DOUBLE_EQ(-49.99, TalkCodec::decodeCoordinate(coordinate(-1000), 0));
    EXPECT_DOUBLE_EQ(0.0, TalkCodec::decodeCoordinate(coordinate(std::nan("")), 0));
}

TEST_F(TalkCodecTest, TimeStampsRoundTripOverTheWholeRange) {
    // Every seventh hundredth: all values of each of the three digits occur.
    for (int i = 0; i <= 999999; i += 7) {
        const double t = i / 100.0;
        const std::string s = timeStamp(t);
        ASSERT_NEAR(t, TalkCodec::decodeTime(s, 0), 1e-6) << t;
    }
    EXPECT_NEAR(9999.99, TalkCodec::decodeTime(timeStamp(9999.99), 0), 1e-6);
    EXPECT_DOUBLE_EQ(0.0, TalkCodec::decodeTime(timeStamp(-1000), 0));
    EXPECT_DOUBLE_EQ(9999.99, TalkCodec::decodeTime(timeStamp(1e7), 0));
    // Between hundredths the time is cut, not rounded.
    EXPECT_NEAR(123.45, TalkCodec::decodeTime(timeStamp(123.4575), 0), 1e-9);
}

TEST_F(TalkCodecTest, DistancesAndShortMessages) {
    std::string s(2, ' ');
    TalkCodec::encodeDistance(7.5, s, 0);
    EXPECT_DOUBLE_EQ(7.5, TalkCodec::decodeDistance(s, 0));
    // Every distance in hundredths comes back as it was; others are cut.
    for (int i = 0; i <= 9999; ++i) {
        TalkCodec::encodeDistance(i / 100.0, s, 0);
        ASSERT_NEAR(i / 100.0, TalkCodec::decodeDistance(s, 0), 1e-9) << i;
    }
    TalkCodec::encodeDistance(1.239, s, 0);
    EXPECT_NEAR(1.23, TalkCodec::decodeDistance(s, 0), 1e-9);
    TalkCodec::encodeDistance(250, s, 0);
    EXPECT_DOUBLE_EQ(99.99, TalkCodec::decodeDistance(s, 0));
    TalkCodec::encodeDistance(-3, s, 0);
    EXPECT_DOUBLE_EQ(0.0, TalkCodec::decodeDistance(s, 0));
    // Nothing is written or read beyond the end of the text.
    std::string one(1, ' ');
    TalkCodec::encodeTime(345.67, one, 0);
    EXPECT_EQ(1u, one.size());
    EXPECT_DOUBLE_EQ(300.0, TalkCodec::decodeTime(one, 0));
    EXPECT_DOUBLE_EQ(0.0, TalkCodec::decodeCoordinate(std::string(), 5));
    // Bytes outside the alphabet read as 0.
    EXPECT_DOUBLE_EQ(0.0, TalkCodec::decodeCoordinate("  ", 0));
}

// Two agents of one team share the store here: the message is encoded with
// one uniform number and decoded with another.
class TalkTest : public WorldUpdateTest {
protected:
    void localizeAt(double time, const Vector3f& pos) {
        wm->setServerTime(time);
        wm->setMyPos(pos);
        VisionSense& self = wm->mObjectToVisionMap[wm->getMyObject()];
        self.globalPos = pos;
        self.timeLastLocalized = time;
    }
    void hear(const std::string& msg) {
        wm->setCommunicationString(msg, wm->getServerTime());
        wm->getSayDecoded();
    }
};

TEST_F(TalkTest, PositionReportRoundTrip) {
    wm->setUnum(3);
    localizeAt(12.34, Vector3f(-3.25f, 7.5f, 0.55f));
    VisionSense& ball = wm->mObjectToVisionMap[BALL];
    ball.globalPos = Vector3f(1.2f, -0.4f, 0.04f);
    ball.timeLastLocalized = 12.3;
    wm->setIsObjectFallDown(TEAMMATE_3, true);
    const std::string msg = wm->getSayEncoded();
    ASSERT_EQ(17u, msg.size());
    EXPECT_EQ('~', msg[0]);
    EXPECT_EQ(3, Types::decodeDigit(msg[1]));
    EXPECT_EQ(0, Types::decodeDigit(msg[2]));
    for (char c : msg) {
        EXPECT_FALSE(isForbidden(c)) << static_cast<int>(c);
    }

    // Teammate 5 hears it, localized itself, with no picture of the ball.
    WorldModel::deleteT();
    wm = WorldModel::instance();
    wm->setUnum(5);
    localizeAt(12.36, Vector3f(0, 0, 0.55f));
    hear(msg);
    EXPECT_TRUE(wm->getIsObjectFallDown(TEAMMATE_3));
    const VisionSense sender = wm->getObjectVision(TEAMMATE_3);
    EXPECT_NEAR(-3.25, sender.globalPos.x(), 1e-5);
    EXPECT_NEAR(7.5, sender.globalPos.y(), 1e-5);
    EXPECT_EQ(0.0f, sender.globalPos.z());
    EXPECT_NEAR(12.34, sender.timeLastLocalized, 1e-9);
    EXPECT_NEAR(1.2, wm->getBallPos().x(), 1e-5);
    EXPECT_NEAR(-0.4, wm->getBallPos().y(), 1e-5);
    EXPECT_NEAR(12.3, wm->getObjectVision(BALL).timeLastLocalized, 1e-9);

    // A fresher own picture of the ball is not replaced by an older report;
    // a standing sender clears its flag.
    VisionSense& own = wm->mObjectToVisionMap[BALL];
    own.globalPos = Vector3f(5, 5, 0);
    own.timeLastLocalized = 12.36;
    std::string standing = msg;
    standing[0] = '|';
    hear(standing);
    EXPECT_FALSE(wm->getIsObjectFallDown(TEAMMATE_3));
    EXPECT_EQ(Vector3f(5, 5, 0), wm->getBallPos());
}

TEST_F(TalkTest, BallDistanceReportWhenTheOwnPoseIsStale) {
    wm->setUnum(7);
    localizeAt(20, Vector3f(1, 1, 0.55f));
    wm->setServerTime(20.1);  // localized 0.1 s ago
    VisionSense ball;
    ball.distance = 3.37;
    ball.theta = 0;
    ball.phi = 0;
    wm->setObjectVision(BALL, ball);
    const std::string msg = wm->getSayEncoded();
    ASSERT_EQ(17u, msg.size());
    EXPECT_EQ('|', msg[0]);
    EXPECT_EQ(1, Types::decodeDigit(msg[2]));
    EXPECT_EQ(std::string(9, ' '), msg.substr(8));

    WorldModel::deleteT();
    wm = WorldModel::instance();
    wm->setUnum(2);
    localizeAt(20.12, Vector3f());
    hear(msg.substr(0, 8));  // the trailing spaces are not needed
    const sayDistanceToBallInfo info = wm->getSayDisanceToBallInfo(TEAMMATE_7);
    EXPECT_NEAR(3.37, info.distance, 1e-9);
    EXPECT_NEAR(20.1, info.seeTime, 1e-9);
    // Nobody else's record changed.
    EXPECT_EQ(1000.0, wm->getSayDisanceToBallInfo(TEAMMATE_6).distance);
    EXPECT_EQ(1000.0, wm->getSayDisanceToBallInfo(OBJECT_MAX).distance);
    EXPECT_EQ(1000.0, wm->getSayDisanceToBallInfo(OPPONENT_3).distance);
    EXPECT_EQ(1000.0, wm->getSayDisanceToBallInfo(FLAG_1L).distance);

    // Never localized at all: the time stamp is clamped to 0.
    WorldModel::deleteT();
    wm = WorldModel::instance();
    wm->setServerTime(1);
    wm->setObjectVision(BALL, ball);
    EXPECT_DOUBLE_EQ(1.0, TalkCodec::decodeTime(wm->getSayEncoded(), 5));
    wm->setObjectVision(BALL, VisionSense());
    wm->setServerTime(1.5);
    const std::string position = wm->getSayEncoded();
    EXPECT_EQ(0, Types::decodeDigit(position[2]));
    EXPECT_DOUBLE_EQ(0.0, TalkCodec::decodeTime(position, 7));
    EXPECT_DOUBLE_EQ(-49.99, TalkCodec::decodeCoordinate(position, 10));
}

TEST_F(TalkTest, SpacesOnlyReportReplacesOnlyWhatWasNeverLocalized) {
    wm->setUnum(1);
    localizeAt(30, Vector3f(2, 2, 0.55f));
    std::string msg = "|";
    msg += Types::encodeDigit(4);
    msg += Types::encodeDigit(0);
    msg += std::string(14, ' ');
    hear(msg);
    const VisionSense sender = wm->getObjectVision(TEAMMATE_4);
    EXPECT_EQ(Vector3f(0, 0, 0), sender.globalPos);
    EXPECT_EQ(0.0, sender.timeLastLocalized);
    EXPECT_EQ(Vector3f(0, 0, 0), wm->getBallPos());

    // Once localized, the zero time stamp is older and changes nothing.
    VisionSense& ball = wm->mObjectToVisionMap[BALL];
    ball.globalPos = Vector3f(3, 3, 0);
    ball.timeLastLocalized = 29;
    hear(msg);
    EXPECT_EQ(Vector3f(3, 3, 0), wm->getBallPos());
}

TEST_F(TalkTest, MessagesThatAreIgnored) {
    wm->setUnum(6);
    localizeAt(40, Vector3f());
    const std::string good = [] {
        std::string m = "~";
        m += Types::encodeDigit(8);
        m += Types::encodeDigit(1);
        m += std::string(5, '#');
        return m;
    }();
    auto header = [](char first, int number, int type) {
        std::string m(1, first);
        m += Types::encodeDigit(number);
        m += Types::encodeDigit(type);
        return m;
    };
    const std::string ignored[] = {
        "",
        "~",
        good.substr(0, 2),
        good.substr(0, 7),                          // ball report one byte short
        header('~', 8, 0) + std::string(13, '#'),   // position report one byte short
        "x" + good.substr(1),                       // not a talk message
        header('~', 6, 1) + std::string(5, '#'),    // the agent's own number
        header('~', 0, 1) + std::string(5, '#'),    // no such teammate
        header('~', 12, 1) + std::string(5, '#'),   // no such teammate
        header('~', 99, 0) + std::string(14, '#'),  // no such teammate
    };
    for (const std::string& msg : ignored) {
        hear(msg);
        for (int obj = TEAMMATE_1; obj <= TEAMMATE_11; ++obj) {
            EXPECT_FALSE(wm->getIsObjectFallDown(static_cast<Object>(obj))) << msg;
            EXPECT_EQ(1000.0, wm->getSayDisanceToBallInfo(static_cast<Object>(obj)).distance);
        }
        EXPECT_EQ(-1000.0, wm->getObjectVision(BALL).timeLastLocalized);
    }
    EXPECT_FALSE(wm->getIsObjectFallDown(BALL));

    // With the own localization older than 0.3 s every message is ignored.
    wm->setServerTime(40.31);
    hear(good);
    EXPECT_FALSE(wm->getIsObjectFallDown(TEAMMATE_8));
    wm->setServerTime(40.29);
    hear(good);
    EXPECT_TRUE(wm->getIsObjectFallDown(TEAMMATE_8));
    EXPECT_NEAR(1.01, wm->getSayDisanceToBallInfo(TEAMMATE_8).distance, 1e-9);
}

TEST_F(TalkTest, UnknownTypeIsReported) {
    wm->setUnum(6);
    localizeAt(40, Vector3f());
    std::string msg = "|";
    msg += Types::encodeDigit(2);
    msg += Types::encodeDigit(7);
    msg += std::string(14, '#');
    tovra_test::captureStdout();
    hear(msg);
    EXPECT_EQ("in WorldModel::getSayDecoded ERROR\n", tovra_test::capturedStdout());
    EXPECT_EQ(-1000.0, wm->getObjectVision(TEAMMATE_2).timeLastLocalized);
}

}  // namespace
}  // namespace world_update_test
