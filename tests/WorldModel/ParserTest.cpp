#include <gtest/gtest.h>

#include <string>

#include "Effector/Effector.h"
#include "Effector/Kinematic.h"
#include "WorldModel/Parser.h"
#include "WorldModel/Types.h"
#include "WorldModel/WorldModel.h"
#include "support/Capture.h"

namespace {

// Every test starts from fresh tables and a fresh world model. The effector
// and the kinematic model keep the world model they saw at construction, so
// they are renewed with it.
class ParserTest : public ::testing::Test {
protected:
    void SetUp() override {
        Types::fill();
        Effector::deleteT();
        Kinematic::deleteT();
        WorldModel::deleteT();
        wm = WorldModel::instance();
        parser = new Parser();
    }
    void TearDown() override {
        delete parser;
        Effector::deleteT();
        Kinematic::deleteT();
        WorldModel::deleteT();
    }

    // Parses and returns what went to standard output and standard error.
    struct Output {
        std::string out;
        std::string err;
    };
    Output parse(const std::string& message) {
        tovra_test::captureStdout();
        tovra_test::captureStderr();
        parser->doParse(message);
        Output o;
        o.out = tovra_test::capturedStdout();
        o.err = tovra_test::capturedStderr();
        return o;
    }
    bool hasEntry(Object obj) const {
        return wm->mObjectToVisionMap.find(obj) != wm->mObjectToVisionMap.end();
    }

    WorldModel* wm = nullptr;
    Parser* parser = nullptr;
};

TEST_F(ParserTest, TimeArrivesInSinglePrecision) {
    parse("(time (now 12.34))");
    EXPECT_EQ(static_cast<double>(12.34f), wm->getServerTime());
    EXPECT_NEAR(12.34000015258789, wm->getServerTime(), 1e-14);
    EXPECT_NE(12.34, wm->getServerTime());

    parse("(time (later 3))");
    EXPECT_EQ(static_cast<double>(12.34f), wm->getServerTime());
}

TEST_F(ParserTest, EffectorCycleSeesThePreviousTimeAndKinematicsIsInitialised) {
    parse("(time (now 1.00))");
    EXPECT_TRUE(Kinematic::instance()->getinit());
    EXPECT_EQ(0u, Effector::instance()->mCurrentCycle);
    parse("(time (now 1.02))");
    EXPECT_EQ(50u, Effector::instance()->mCurrentCycle);
}

TEST_F(ParserTest, GameStateSidesTimesAndModes) {
    wm->setTeamSide(TEAM_RIGHT);
    wm->setGameState(PM_PlayOn);
    parse("(GS (unum 4) (t 0.00) (pm BeforeKickOff))");
    EXPECT_EQ(TEAM_RIGHT, wm->getTeamSide());
    EXPECT_EQ(0.0, wm->getGameTime());
    EXPECT_EQ(PM_BeforeKickOff, wm->getGameState());

    parse("(GS (team left) (t 5) (pm PlayOn))");
    EXPECT_EQ(TEAM_LEFT, wm->getTeamSide());
    EXPECT_EQ(5.0, wm->getGameTime());
    EXPECT_EQ(PM_PlayOn, wm->getGameState());

    parse("(GS (pm corner_kick_right) (team right) (t 7.5))");
    EXPECT_EQ(TEAM_RIGHT, wm->getTeamSide());
    EXPECT_EQ(7.5, wm->getGameTime());
    EXPECT_EQ(PM_Corner_Kick_Right, wm->getGameState());

    parse("(GS (team middle))");
    EXPECT_EQ(TEAM_RIGHT, wm->getTeamSide());
    EXPECT_EQ(PM_Corner_Kick_Right, wm->getGameState());
}

TEST_F(ParserTest, UnknownPlayModeReadsAsBeforeKickOffAndIsNotEntered) {
    wm->setGameState(PM_PlayOn);
    wm->setBeamed();
    const size_t size = Types::mPlayModeMap.size();
    for (const char* mode : {"penalty_kick_left", "playon", "PM_Unknown"}) {
        wm->setGameState(PM_PlayOn);
        parse(std::string("(GS (pm ") + mode + "))");
        EXPECT_EQ(PM_BeforeKickOff, wm->getGameState()) << mode;
        EXPECT_TRUE(Types::mPlayModeMap.find(mode) == Types::mPlayModeMap.end()) << mode;
    }
    EXPECT_EQ(size, Types::mPlayModeMap.size());
    EXPECT_FALSE(wm->isBeamed());
}

TEST_F(ParserTest, GyroscopeAndAccelerometerNeedNameAndThreeNumbers) {
    parse("(GYR (n torso) (rt 0.1 0.2 -0.3))(ACC (n torso) (a 1 2 9.81))");
    EXPECT_EQ(Vector3f(0.1f, 0.2f, -0.3f), wm->getGyro());
    EXPECT_EQ(Vector3f(1, 2, 9.81f), wm->getAcc());

    parse("(GYR (n torso) (rt 5 6))(ACC (a 7 8 9))(GYR (rt 7 8 9))(ACC (n torso) (rt 1 1 1))");
    EXPECT_EQ(Vector3f(0.1f, 0.2f, -0.3f), wm->getGyro());
    EXPECT_EQ(Vector3f(1, 2, 9.81f), wm->getAcc());
}

TEST_F(ParserTest, HandlerIsChosenByTheFirstCharacters) {
    // "AgentState" reaches the accelerometer handler and finds nothing;
    // "GYRO" and "tick" reach the gyroscope and time handlers; "GX" none.
    parse(
        "(AgentState (temp 40) (battery 75))(GYRO (n x) (rt 1 2 3))(tick (now 2.5))"
        "(GX (n x) (rt 9 9 9))(gyr (n x) (rt 8 8 8))");
    EXPECT_EQ(Vector3f(), wm->getAcc());
    EXPECT_EQ(Vector3f(1, 2, 3), wm->getGyro());
    EXPECT_EQ(2.5, wm->getServerTime());
}

TEST_F(ParserTest, HingeJointsByPerceptorName) {
    Output o = parse("(HJ (n hj1) (ax -45.5))(HJ (n rlj4) (ax 12))");
    EXPECT_EQ("", o.err);
    EXPECT_EQ(-45.5, wm->getJointAngle(JID_HEAD_1));
    EXPECT_EQ(12.0, wm->getJointAngle(JID_RLEG_4));

    o = parse("(HJ (n he1) (ax 3))");
    EXPECT_EQ("(VezEzavedir) unknown joint id!\n", o.err);
    EXPECT_EQ(2u, wm->mJointIDToAngleMap.size());

    o = parse("(HJ (n hj1))(HJ (ax 3))");
    EXPECT_EQ("", o.err);
    EXPECT_EQ(-45.5, wm->getJointAngle(JID_HEAD_1));
}

TEST_F(ParserTest, NonFiniteJointAnglesKeepThePreviousReading) {
    parse("(HJ (n llj2) (ax 7.25))");
    parse("(HJ (n llj2) (ax nan))(HJ (n llj2) (ax inf))(HJ (n llj2) (ax 1e300))");
    EXPECT_EQ(7.25, wm->getJointAngle(JID_LLEG_2));
}

TEST_F(ParserTest, FootPressureAndTouchByFoot) {
    parse("(FRP (n lf) (c 0.01 0.02 -0.02) (f 0 0 22.5))(FRP (n rf) (f 1 2 3) (c 4 5 6))");
    EXPECT_EQ(Vector3f(0.01f, 0.02f, -0.02f), wm->getLeftFootForce().point);
    EXPECT_EQ(Vector3f(0, 0, 22.5f), wm->getLeftFootForce().force);
    EXPECT_EQ(Vector3f(4, 5, 6), wm->getRightFootForce().point);
    EXPECT_EQ(Vector3f(1, 2, 3), wm->getRightFootForce().force);

    parse("(FRP (n xx) (c 9 9 9) (f 9 9 9))(FRP (n lf) (c 9 9 9))(FRP (n lf) (f 9 9 9))");
    EXPECT_EQ(Vector3f(0.01f, 0.02f, -0.02f), wm->getLeftFootForce().point);
    EXPECT_EQ(Vector3f(0, 0, 22.5f), wm->getLeftFootForce().force);

    parse("(TCH (name lf) (val 1))(TCH (name rf) (val 3))");
    EXPECT_EQ(1, wm->getLeftTouchVal());
    EXPECT_EQ(3, wm->getRightTouchVal());
    parse("(TCH (name lf))(TCH (val 0))(TCH (name xx) (val 0))");
    EXPECT_EQ(1, wm->getLeftTouchVal());
    EXPECT_EQ(3, wm->getRightTouchVal());
}

TEST_F(ParserTest, VisionOfLandmarksAndBall) {
    parse("(time (now 3.5))(See (G1L (pol 10.2 -20 1.5)) (B (pol 1 0 -30)) (F2R (pol 4 90 0)))");
    const VisionSense goal = wm->getObjectVision(GOAL_1L);
    EXPECT_EQ(10.2, goal.distance);
    EXPECT_EQ(-20, goal.theta);
    EXPECT_EQ(1.5, goal.phi);
    EXPECT_EQ(3.5, goal.timeLastSeen);
    EXPECT_EQ(-1000, goal.timeLastLocalized);
    EXPECT_EQ(Vector3f(-1000, -1000, -1000), goal.globalPos);

    const VisionSense ball = wm->getObjectVision(BALL);
    EXPECT_NEAR(std::cos(30 * M_PI / 180), ball.localPos.x(), 1e-6);
    EXPECT_NEAR(0, ball.localPos.y(), 1e-6);
    EXPECT_NEAR(-0.5, ball.localPos.z(), 1e-6);

    const VisionSense flag = wm->getObjectVision(FLAG_2R);
    EXPECT_NEAR(0, flag.localPos.x(), 1e-6);
    EXPECT_NEAR(4, flag.localPos.y(), 1e-6);
    EXPECT_EQ(10.0, wm->getLocalConfidence(FLAG_2R));
}

TEST_F(ParserTest, VisionDiagnosticsAndUnusableEntries) {
    Output o = parse("(See (F9X (pol 1 2 3)) (G7 (pol 1 2 3)) (Q1 (pol 1 2 3)))");
    EXPECT_EQ("Flag sense error\nGoal sense error\n", o.out);
    EXPECT_TRUE(wm->mObjectToVisionMap.empty());

    // Without a readable pol nothing is looked up, so nothing is reported.
    o = parse("(See (F1L (pol 1 2)) (B) (G1R (x 1 2 3)) F2L (B (pol 1 2 (x))) ((F1R)))");
    EXPECT_EQ("", o.out);
    EXPECT_TRUE(wm->mObjectToVisionMap.empty());

    o = parse("(See (mypos 1 2 3) (F1Lx (pol 2 3 4)))");
    EXPECT_EQ("PARSER ERROR!\n", o.out);
    EXPECT_EQ(2.0, wm->getObjectVision(FLAG_1L).distance);
    EXPECT_EQ(1u, wm->mObjectToVisionMap.size());
}

TEST_F(ParserTest, PlayersAreTeammatesOnlyByExactTeamText) {
    parse("(See (P (team KALDA) (id 3) (head (pol 5 10 0))))");
    EXPECT_EQ(5.0, wm->getObjectVision(TEAMMATE_3).distance);
    EXPECT_FALSE(hasEntry(OPPONENT_3));

    parse(
        "(See (P (team KALDAX) (id 3) (head (pol 6 10 0))) (P (team kalda) (id 4) "
        "(head (pol 7 0 0))))");
    EXPECT_EQ(6.0, wm->getObjectVision(OPPONENT_3).distance);
    EXPECT_EQ(7.0, wm->getObjectVision(OPPONENT_4).distance);
    EXPECT_EQ(5.0, wm->getObjectVision(TEAMMATE_3).distance);

    wm->setTeamName("Other");
    parse("(See (P (team Other) (id 11) (head (pol 8 0 0))))");
    EXPECT_EQ(8.0, wm->getObjectVision(TEAMMATE_11).distance);
}

TEST_F(ParserTest, PlayerBodyPartsGoIntoTheRecordWithoutTouchingTheRest) {
    parse(
        "(time (now 2))(See (P (team KALDA) (id 5) (head (pol 5 10 1)) "
        "(rlowerarm (pol 1 2 3)) (llowerarm (pol 4 5 6)) (rfoot (pol 7 8 9)) "
        "(lfoot (pol 10 11 12)) (tail (pol 1 1 1))))");
    const VisionSense p = wm->getObjectVision(TEAMMATE_5);
    EXPECT_EQ(5.0, p.distance);
    EXPECT_EQ(10.0, p.theta);
    EXPECT_EQ(1.0, p.phi);
    EXPECT_EQ(2.0, p.timeLastSeen);
    EXPECT_EQ(1.0, p.distanceFromRightArm);
    EXPECT_EQ(2.0, p.thetaFromRightArm);
    EXPECT_EQ(3.0, p.phiFromRightArm);
    EXPECT_EQ(4.0, p.distanceFromLeftArm);
    EXPECT_EQ(6.0, p.phiFromLeftArm);
    EXPECT_EQ(8.0, p.thetaFromRightFoot);
    EXPECT_EQ(10.0, p.distanceFromLeftFoot);
    EXPECT_EQ(12.0, p.phiFromLeftFoot);

    // Arms seen alone change only their fields.
    parse("(time (now 3))(See (P (team KALDA) (id 5) (rlowerarm (pol 0.5 0.25 0))))");
    const VisionSense q = wm->getObjectVision(TEAMMATE_5);
    EXPECT_EQ(0.5, q.distanceFromRightArm);
    EXPECT_EQ(5.0, q.distance);
    EXPECT_EQ(2.0, q.timeLastSeen);

    // A part without a readable pol leaves its values alone.
    parse("(See (P (team KALDA) (id 5) (lfoot (pol 1)) (rfoot)))");
    EXPECT_EQ(10.0, wm->getObjectVision(TEAMMATE_5).distanceFromLeftFoot);
    EXPECT_EQ(7.0, wm->getObjectVision(TEAMMATE_5).distanceFromRightFoot);
}

TEST_F(ParserTest, PlayerWithoutTeamCountsAsOpponent) {
    const Output o = parse("(See (P (id 2) (head (pol 3 0 0))))");
    EXPECT_EQ("could not get team \n", o.err);
    EXPECT_EQ(3.0, wm->getObjectVision(OPPONENT_2).distance);
}

TEST_F(ParserTest, PlayerWithoutUsableNumberUpdatesNothing) {
    const size_t objects = Types::mStringToObjectMap.size();
    Output o = parse("(See (P (team KALDA) (head (pol 3 0 0)) (rfoot (pol 1 1 1))))");
    EXPECT_EQ("could not get id \n", o.err);
    for (const char* id : {"0", "12", "-1", "99999"}) {
        o = parse(std::string("(See (P (team KALDA) (id ") + id +
                  ") (head (pol 3 0 0)) (lfoot (pol 1 1 1))))");
        EXPECT_EQ("", o.err) << id;
    }
    o = parse("(See (P (team Them) (id 0) (head (pol 3 0 0))))");
    EXPECT_TRUE(wm->mObjectToVisionMap.empty());
    EXPECT_EQ(objects, Types::mStringToObjectMap.size());
    EXPECT_TRUE(Types::mStringToObjectMap.find("TEAMMATE0") == Types::mStringToObjectMap.end());
}

TEST_F(ParserTest, PlayerSeenAsOnePointIsReportedAndDiscarded) {
    const Output o = parse("(See (P (team KALDA) (id 2) (pol 1 2 3)))");
    EXPECT_EQ("PARSER ERROR!\n", o.out);
    EXPECT_TRUE(wm->mObjectToVisionMap.empty());
}

TEST_F(ParserTest, PlayerHandlingStopsAtAPartWithoutName) {
    parse("(See (P (team KALDA) (id 6) ((x) (pol 1 1 1)) (head (pol 4 0 0))))");
    EXPECT_FALSE(hasEntry(TEAMMATE_6));
}

TEST_F(ParserTest, HearingStoresMessageAndTime) {
    Output o = parse("(hear 12.3 self hello)");
    EXPECT_EQ("", o.err);
    EXPECT_EQ("hello", wm->getCommunicationString());
    EXPECT_EQ(12.3, wm->getTimeLastHeard());

    o = parse("(hear 13 -45.5 \"|1!\")");
    EXPECT_EQ("|1!", wm->getCommunicationString());
    EXPECT_EQ(13.0, wm->getTimeLastHeard());
}

TEST_F(ParserTest, HearingDiagnostics) {
    parse("(hear 1 self first)");
    EXPECT_EQ("could not get hear time \n", parse("(hear)").err);
    EXPECT_EQ("could not get hear time \n", parse("(hear (x) self m)").err);
    EXPECT_EQ("could not get sender \n", parse("(hear 12.3)").err);
    EXPECT_EQ("could not get message \n", parse("(hear 12.3 self)").err);
    EXPECT_EQ("could not get message \n", parse("(hear 12.3 self (a b))").err);
    EXPECT_EQ("first", wm->getCommunicationString());
    EXPECT_EQ(1.0, wm->getTimeLastHeard());
}

TEST_F(ParserTest, BadlyFormedMessageKeepsWhatCameBefore) {
    const Output o = parse("(time (now 1.5))(HJ (n hj2) (ax 3)))(GS (pm PlayOn))");
    EXPECT_NE(std::string::npos, o.err.find("Badly formed s-expression."));
    EXPECT_EQ(1.5, wm->getServerTime());
    EXPECT_EQ(3.0, wm->getJointAngle(JID_HEAD_2));
    EXPECT_EQ(PM_BeforeKickOff, wm->getGameState());

    parse("(time (now 2");
    EXPECT_EQ(1.5, wm->getServerTime());
    parse("");
    EXPECT_EQ(1.5, wm->getServerTime());
}

TEST_F(ParserTest, ReadingsNotInTheMessageStay) {
    parse("(time (now 1))(GYR (n t) (rt 1 2 3))(HJ (n hj1) (ax 10))(See (B (pol 2 0 0)))");
    parse("(time (now 1.02))");
    EXPECT_EQ(Vector3f(1, 2, 3), wm->getGyro());
    EXPECT_EQ(10.0, wm->getJointAngle(JID_HEAD_1));
    EXPECT_EQ(1.0, wm->getObjectTimeLastSeen(BALL));
    EXPECT_LT(wm->getLocalConfidence(BALL), 10.0);
}

}  // namespace
