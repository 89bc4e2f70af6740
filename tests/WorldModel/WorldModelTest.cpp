#include <gtest/gtest.h>

#include <cmath>

#include "WorldModel/Types.h"
#include "WorldModel/WorldModel.h"

namespace {

class WorldModelTest : public ::testing::Test {
protected:
    void SetUp() override {
        WorldModel::deleteT();
        wm = WorldModel::instance();
    }
    void TearDown() override { WorldModel::deleteT(); }

    // An observation stored at the current server time.
    void see(Object obj, double d, double theta, double phi) {
        VisionSense vs;
        vs.distance = d;
        vs.theta = theta;
        vs.phi = phi;
        wm->setObjectVision(obj, vs);
    }
    // A global position localized at time t.
    void localize(Object obj, const Vector3f& pos, double t) {
        VisionSense& entry = wm->mObjectToVisionMap[obj];
        entry.globalPos = pos;
        entry.timeLastLocalized = t;
    }

    WorldModel* wm = nullptr;
};

TEST_F(WorldModelTest, SingletonAndStartValues) {
    EXPECT_EQ(wm, WorldModel::instance());
    EXPECT_EQ(0.0, wm->getServerTime());
    EXPECT_EQ(0.0, wm->getGameTime());
    EXPECT_EQ(PM_BeforeKickOff, wm->getGameState());
    EXPECT_EQ(TEAM_LEFT, wm->getTeamSide());
    EXPECT_EQ("KALDA", wm->getTeamName());
    EXPECT_EQ(Vector3f(), wm->getMyPos());
    EXPECT_EQ(0.0, wm->getMyAngle());
    EXPECT_EQ(0, wm->getCurrentCycle());
    EXPECT_TRUE(wm->getDribbleBall());
    EXPECT_FALSE(wm->isBeamed());
    EXPECT_EQ(Vector3f(), wm->getBallRelPos());
    // R starts as the identity: a head-frame offset is subtracted unchanged.
    wm->setMyPos(Vector3f(1, 2, 0.5f));
    EXPECT_EQ(Vector3f(0, 3, 0), wm->translate(Vector3f(1, -1, 0.5f)));
    for (int obj = TEAMMATE_1; obj <= TEAMMATE_11; ++obj) {
        EXPECT_FALSE(wm->getIsObjectFallDown(static_cast<Object>(obj)));
    }
}

TEST_F(WorldModelTest, ObjectVisionStoresPolarReadingAsHeadFramePosition) {
    wm->setServerTime(4.0);
    VisionSense vs;
    vs.distance = 2;
    vs.theta = 90;
    vs.phi = 30;
    vs.timeLastSeen = 99;
    vs.timeLastLocalized = 99;
    vs.globalPos = Vector3f(5, 5, 5);
    vs.distanceFromLeftArm = 7;
    EXPECT_TRUE(wm->setObjectVision(BALL, vs));

    const VisionSense stored = wm->getObjectVision(BALL);
    EXPECT_EQ(2.0, stored.distance);
    EXPECT_EQ(90.0, stored.theta);
    EXPECT_EQ(30.0, stored.phi);
    EXPECT_EQ(4.0, stored.timeLastSeen);
    EXPECT_EQ(-1000.0, stored.timeLastLocalized);
    EXPECT_EQ(-1000.0, stored.distanceFromLeftArm);
    EXPECT_EQ(Vector3f(-1000, -1000, -1000), stored.globalPos);
    EXPECT_NEAR(0, stored.localPos.x(), 1e-6);
    EXPECT_NEAR(std::sqrt(3.0), stored.localPos.y(), 1e-6);
    EXPECT_NEAR(1, stored.localPos.z(), 1e-6);
    EXPECT_NEAR(std::sqrt(3.0), wm->getBallDist(), 1e-6);
    EXPECT_EQ(4.0, wm->getObjectTimeLastSeen(BALL));
}

TEST_F(WorldModelTest, UnseenObjectsReadAsNeverSeen) {
    wm->setServerTime(3);
    const VisionSense vs = wm->getObjectVision(OPPONENT_7);
    EXPECT_EQ(-1000.0, vs.distance);
    EXPECT_EQ(-1000.0, vs.thetaFromRightFoot);
    EXPECT_EQ(Vector3f(-1000, -1000, -1000), vs.localPos);
    EXPECT_EQ(10.0 - 1003.0, wm->getLocalConfidence(OPPONENT_7));
    EXPECT_EQ(10.0 - 1003.0, wm->getGlobalConfidence(OPPONENT_7));
    EXPECT_EQ(0.0, wm->getJointAngle(JID_LARM_3));
    EXPECT_FALSE(wm->getIsObjectFallDown(OPPONENT_7));
    EXPECT_FALSE(wm->canSeeBall());
}

TEST_F(WorldModelTest, ConfidenceFallsByOnePerSecondOfAge) {
    wm->setServerTime(10.0);
    see(BALL, 1, 0, 0);
    localize(wm->getMyObject(), Vector3f(), 9.98);
    EXPECT_EQ(10.0, wm->getLocalConfidence(BALL));
    EXPECT_TRUE(wm->canSeeBall());
    EXPECT_NEAR(9.98, wm->getGlobalConfidence(), 1e-12);
    EXPECT_NEAR(9.98, wm->getGlobalConfidence(TEAMMATE_1), 1e-12);

    wm->setServerTime(10.04);
    EXPECT_NEAR(9.96, wm->getLocalConfidence(BALL), 1e-12);
    wm->setServerTime(10.06);
    EXPECT_FALSE(wm->canSeeBall());

    wm->setUnum(7);
    EXPECT_EQ(TEAMMATE_7, wm->getMyObject());
    EXPECT_EQ(TEAMMATE_11, wm->getOurPlayer(11));
    EXPECT_LT(wm->getGlobalConfidence(), 0.0);
}

TEST_F(WorldModelTest, ChangingPlayModeReArmsTheBeam) {
    EXPECT_TRUE(wm->canBeam());
    wm->setBeamed();
    wm->setGameState(PM_BeforeKickOff);
    EXPECT_TRUE(wm->isBeamed());
    wm->setGameState(PM_PlayOn);
    EXPECT_FALSE(wm->isBeamed());
    EXPECT_FALSE(wm->canBeam());
    wm->setGameState(PM_Goal_Left);
    EXPECT_TRUE(wm->canBeam());
    EXPECT_FALSE(wm->isBeamed());
    wm->setGameState(PM_Goal_Right);
    EXPECT_TRUE(wm->canBeam());
}

TEST_F(WorldModelTest, KickOffPredicatesBySide) {
    struct Case {
        PlayMode mode;
        bool otherLeft, usLeft, otherRight, usRight;
    };
    const Case cases[] = {
        {PM_KickOff_Left, false, true, true, false}, {PM_KickOff_Right, true, false, false, true},
        {PM_Goal_Left, true, false, false, true},    {PM_Goal_Right, false, true, true, false},
        {PM_KickIn_Left, false, true, false, false}, {PM_KickIn_Right, false, false, false, true},
        {PM_PlayOn, false, false, false, false},     {PM_FreeKick_Left, false, false, false, false},
    };
    for (const Case& c : cases) {
        wm->setGameState(c.mode);
        wm->setTeamSide(TEAM_LEFT);
        EXPECT_EQ(c.otherLeft, wm->getKickOffOther()) << c.mode;
        EXPECT_EQ(c.usLeft, wm->getKickOffUs()) << c.mode;
        wm->setTeamSide(TEAM_RIGHT);
        EXPECT_EQ(c.otherRight, wm->getKickOffOther()) << c.mode;
        EXPECT_EQ(c.usRight, wm->getKickOffUs()) << c.mode;
    }
}

TEST_F(WorldModelTest, FlagsSeenNeedThreeAtOneEndWithFlagAndPost) {
    wm->setServerTime(20.0);
    see(FLAG_1R, 10, 0, 0);
    see(GOAL_1R, 10, 0, 0);
    EXPECT_FALSE(wm->canSeeFlags());
    see(FLAG_1L, 10, 0, 0);  // the other end
    EXPECT_FALSE(wm->canSeeFlags());
    see(GOAL_2R, 10, 0, 0);
    EXPECT_TRUE(wm->canSeeFlags());

    wm->setServerTime(20.05);
    EXPECT_TRUE(wm->canSeeFlags());
    wm->setServerTime(20.1);
    EXPECT_FALSE(wm->canSeeFlags());

    // Three posts or three corner flags are not enough.
    see(GOAL_1L, 10, 0, 0);
    see(GOAL_2L, 10, 0, 0);
    see(FLAG_1R, 10, 0, 0);
    see(FLAG_2R, 10, 0, 0);
    EXPECT_FALSE(wm->canSeeFlags());
    see(FLAG_2L, 10, 0, 0);
    EXPECT_TRUE(wm->canSeeFlags());
}

TEST_F(WorldModelTest, EnemyGoalBySide) {
    localize(GOAL_1R, Vector3f(15, 1.05f, 0.8f), 0);
    localize(GOAL_2R, Vector3f(15, -1.05f, 0.8f), 0);
    localize(GOAL_1L, Vector3f(-15, 1.05f, 0.8f), 0);
    localize(GOAL_2L, Vector3f(-15, -1.05f, 0.8f), 0);
    see(GOAL_1L, 2, 0, 0);
    EXPECT_EQ(Vector3f(15, 1.05f, 0.8f), wm->getEnemyGoalPosition(1));
    EXPECT_EQ(Vector3f(15, -1.05f, 0.8f), wm->getEnemyGoalPosition(2));
    EXPECT_EQ(Vector3f(15, 0, 0.8f), wm->getEnemyGoalCenter());
    wm->setTeamSide(TEAM_RIGHT);
    EXPECT_EQ(Vector3f(-15, 1.05f, 0.8f), wm->getEnemyGoalPosition(1));
    EXPECT_EQ(Vector3f(-15, -1.05f, 0.8f), wm->getEnemyGoalPosition(0));
    EXPECT_NEAR(2, wm->getEnemyRelPosition(1).x(), 1e-6);
}

TEST_F(WorldModelTest, ClosestToBallAmongFreshPlayers) {
    wm->setServerTime(50.0);
    wm->setUnum(4);
    localize(BALL, Vector3f(1, 1, 0), 50.0);
    EXPECT_EQ(TEAMMATE_4, wm->getOurClosestToBall());
    EXPECT_EQ(OBJECT_MAX, wm->getEnemyClosestToBall());
    EXPECT_TRUE(wm->getOppMap().empty());

    localize(TEAMMATE_2, Vector3f(2, 1, 5), 50.0);
    localize(TEAMMATE_3, Vector3f(1, 2, 0), 50.0);     // tie: the lower one stays
    localize(TEAMMATE_5, Vector3f(1, 1.1f, 0), 49.0);  // stale
    EXPECT_EQ(TEAMMATE_2, wm->getOurClosestToBall());

    localize(OPPONENT_9, Vector3f(3, 1, 0), 49.97);
    localize(OPPONENT_2, Vector3f(4, 1, 0), 50.0);
    localize(OPPONENT_1, Vector3f(0, 0, 0), 49.9);
    EXPECT_EQ(OPPONENT_9, wm->getEnemyClosestToBall());
    const std::vector<Vector3f> opp = wm->getOppMap();
    ASSERT_EQ(2u, opp.size());
    EXPECT_EQ(Vector3f(4, 1, 0), opp[0]);
    EXPECT_EQ(Vector3f(3, 1, 0), opp[1]);
}

TEST_F(WorldModelTest, BodyRelativeBearingsAndPositions) {
    wm->mJointIDToAngleMap[JID_HEAD_1] = 30;
    see(BALL, 2, 60, 0);
    EXPECT_DOUBLE_EQ(90.0, wm->getBodyRelAngle(BALL));
    const Vector3f rel = wm->getBodyRelPos(BALL);
    EXPECT_NEAR(0, rel.x(), 1e-6);
    EXPECT_NEAR(2, rel.y(), 1e-6);
    EXPECT_EQ(0, rel.z());

    wm->setMyPos(Vector3f(1, 1, 0.5f));
    wm->setMyAngle(90);
    EXPECT_NEAR(0, wm->getBodyRelAngle(Vector3f(1, 5, 0)), 1e-9);
    EXPECT_NEAR(-90, wm->getBodyRelAngle(Vector3f(4, 1, 0)), 1e-9);
    EXPECT_EQ(180.0, std::fabs(wm->getBodyRelAngle(Vector3f(1, -3, 0))));
    wm->setMyAngle(-170);
    EXPECT_NEAR(170, wm->getBodyRelAngle(Vector3f(4, 1, 0)), 1e-9);
    const Vector3f p = wm->getBodyRelPos(Vector3f(4, 1, 0));
    EXPECT_NEAR(3 * std::cos(170 * M_PI / 180), p.x(), 1e-5);
    EXPECT_NEAR(3 * std::sin(170 * M_PI / 180), p.y(), 1e-5);
}

TEST_F(WorldModelTest, HeadFramePositionOfAGlobalPointWithTheStartRotation) {
    // With R the identity the axes are ex = (-1, 0, 0) and ey = (0, -1, 0).
    wm->setMyPos(Vector3f(1, 1, 0));
    const Vector3f rel = wm->getRelPos(Vector3f(2, 3, 4));
    EXPECT_NEAR(-2, rel.x(), 1e-6);
    EXPECT_NEAR(-1, rel.y(), 1e-6);
    EXPECT_NEAR(-4, rel.z(), 1e-6);
}

TEST_F(WorldModelTest, SmallRecordsAndFlags) {
    wm->setCommunicationString("|1!", 3.5);
    EXPECT_EQ("|1!", wm->getCommunicationString());
    EXPECT_EQ(3.5, wm->getTimeLastHeard());

    wm->setIsObjectFallDown(TEAMMATE_3, true);
    EXPECT_TRUE(wm->getIsObjectFallDown(TEAMMATE_3));
    EXPECT_TRUE(wm->setJointVel(JID_RLEG_2, 1.5));
    EXPECT_EQ(1.5, wm->getJointVel(JID_RLEG_2));
    EXPECT_EQ(1.5, wm->getMySelf().getMyJointsVel(JID_RLEG_2));
    wm->setDribbleBall(false);
    EXPECT_FALSE(wm->getDribbleBall());

    for (Object obj : {BALL, TEAMMATE_1, TEAMMATE_11, OBJECT_MAX, OPPONENT_11, FLAG_1L}) {
        const sayDistanceToBallInfo info = wm->getSayDisanceToBallInfo(obj);
        EXPECT_EQ(-1000.0, info.seeTime);
        EXPECT_EQ(1000.0, info.distance);
    }
}

}  // namespace
