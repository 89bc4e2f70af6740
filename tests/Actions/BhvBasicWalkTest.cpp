#include <gtest/gtest.h>

#include "ActionTestSupport.h"
#include "Actions/Actions.h"
#include "Actions/BhvBasicWalk.h"
#include "Actions/Walk.h"
#include "Skills/Skills.h"

namespace {

using tovra::test::ActionTest;

class BhvBasicWalkTest : public ActionTest {
protected:
    void SetUp() override {
        ActionTest::SetUp();
        BhvBasicWalk::resetState();
        Walk::deleteT();
        acs = Actions::getInstance();
        acs->setSpeed(0);
        acs->setTurAng(0);
        Skills::getInstance()->setSlowDown(false);
        wm->setDribbleBall(false);
        wm->setBallRelPos(Vector3f(0, 0, 0));
        wm->setMyPos(Vector3f(0, 0, 0));
        wm->setMyAngle(0);
        now = 50;
        wm->setServerTime(now);
    }
    void TearDown() override {
        Walk::deleteT();
        wm->setDribbleBall(true);
    }

    // The ball seen `age` seconds before the current cycle at this distance
    // and body-relative angle (head straight).
    void seeBall(double distance, double angle, double age = 0) {
        now += 0.02;
        wm->setServerTime(now - age);
        VisionSense vs;
        vs.distance = distance;
        vs.theta = angle;
        vs.phi = 0;
        wm->setObjectVision(BALL, vs);
        wm->setServerTime(now);
    }

    // Own position localized in the current cycle.
    void localized() { wm->mObjectToVisionMap[wm->getMyObject()].timeLastLocalized = now; }

    ESide toBall() { return BhvBasicWalk(true).execute(); }

    Actions* acs = nullptr;
    double now = 0;
};

TEST_F(BhvBasicWalkTest, FarBallAheadWalksForwardAndToTheSideTurnsUntilBelowSixty) {
    seeBall(5, 0);
    EXPECT_EQ(toBall(), SIDE_FORWARD_);
    EXPECT_DOUBLE_EQ(acs->getSpeed(), 65);
    EXPECT_DOUBLE_EQ(acs->getTurAng(), 0);

    seeBall(5, 120);
    EXPECT_EQ(toBall(), SIDE_TURNLEFT_);
    EXPECT_DOUBLE_EQ(acs->getSpeed(), 10);
    EXPECT_DOUBLE_EQ(acs->getTurAng(), 12);
    for (double angle : {100.0, 80.0, 61.0}) {
        seeBall(5, angle);
        EXPECT_EQ(toBall(), SIDE_TURNLEFT_) << angle;
    }
    seeBall(5, 59);
    EXPECT_EQ(toBall(), SIDE_FORWARD_);
    // Up to 100 degrees the far walk goes straight on once the turn is over.
    seeBall(5, 95);
    EXPECT_EQ(toBall(), SIDE_FORWARD_);

    seeBall(5, -120);
    EXPECT_EQ(toBall(), SIDE_TURNRIGHT_);
    EXPECT_DOUBLE_EQ(acs->getSpeed(), 0);
    EXPECT_DOUBLE_EQ(acs->getTurAng(), -12);
}

TEST_F(BhvBasicWalkTest, HeadingIsCorrectedOnlyInNormalSteps) {
    seeBall(1, 20);
    EXPECT_EQ(toBall(), SIDE_FORWARD_);
    EXPECT_DOUBLE_EQ(acs->getTurAng(), 0);  // the gait is preparing

    Walk::instance()->setWalkPhase(Walk::NORMAL_STEP);
    seeBall(1, 20);
    EXPECT_EQ(toBall(), SIDE_FORWARD_);
    EXPECT_DOUBLE_EQ(acs->getTurAng(), 6);
    seeBall(1, -20);
    EXPECT_EQ(toBall(), SIDE_FORWARD_);
    EXPECT_DOUBLE_EQ(acs->getTurAng(), -6);
    seeBall(1, 5);
    EXPECT_EQ(toBall(), SIDE_FORWARD_);
    EXPECT_DOUBLE_EQ(acs->getTurAng(), 0);

    // Behind: walk backwards, the turn sent with the opposite sign.
    seeBall(1, 170);
    EXPECT_EQ(toBall(), SIDE_BACKWARD_);
    EXPECT_DOUBLE_EQ(acs->getSpeed(), 60);
    EXPECT_DOUBLE_EQ(acs->getTurAng(), -6);
}

TEST_F(BhvBasicWalkTest, SlowDownScalesTheSpeedNearThePositionOnce) {
    localized();
    Skills* skills = Skills::getInstance();
    skills->setSlowDown(true);
    EXPECT_EQ(BhvBasicWalk(Vector3f(0.75f, 0, 0), true).execute(), SIDE_FORWARD_);
    EXPECT_DOUBLE_EQ(acs->getSpeed(), 40);  // 65 * 0.5 = 32.5, raised to 40
    EXPECT_FALSE(skills->getSlowDown());

    EXPECT_EQ(BhvBasicWalk(Vector3f(0.75f, 0, 0), true).execute(), SIDE_FORWARD_);
    EXPECT_DOUBLE_EQ(acs->getSpeed(), 65);  // the request was used up

    skills->setSlowDown(true);
    BhvBasicWalk(Vector3f(1.2f, 0, 0), true).execute();
    EXPECT_NEAR(acs->getSpeed(), 52, 1e-5);

    skills->setSlowDown(true);
    EXPECT_EQ(BhvBasicWalk(Vector3f(-1.2f, 0, 0), true).execute(), SIDE_BACKWARD_);
    EXPECT_NEAR(acs->getSpeed(), 48, 1e-5);

    BhvBasicWalk walk(Vector3f(0.5f, 0, 0), true);
    double speed = 65;
    walk.manageSpeed(speed, SIDE_FORWARD_);
    EXPECT_DOUBLE_EQ(speed, 40);
}

TEST_F(BhvBasicWalkTest, DribblingCloseToTheBallStepsSideways) {
    wm->setDribbleBall(true);
    acs->setSpeed(33);
    acs->setTurAng(3);
    wm->setBallRelPos(Vector3f(0.3f, 0.2f, 0));
    seeBall(0.5, 50);
    EXPECT_EQ(toBall(), SIDE_LEFT_);
    // Sideways steps leave speed and turn as they were.
    EXPECT_DOUBLE_EQ(acs->getSpeed(), 33);
    EXPECT_DOUBLE_EQ(acs->getTurAng(), 3);

    wm->setBallRelPos(Vector3f(0.3f, -0.2f, 0));
    seeBall(0.5, -50);
    EXPECT_EQ(toBall(), SIDE_RIGHT_);

    // Lined up with the ball: the forward rule.
    wm->setBallRelPos(Vector3f(0.3f, 0.05f, 0));
    seeBall(0.5, 50);
    EXPECT_EQ(toBall(), SIDE_FORWARD_);
    // A ball behind and in line: backwards.
    wm->setBallRelPos(Vector3f(-0.3f, 0.05f, 0));
    seeBall(0.5, 150);
    EXPECT_EQ(toBall(), SIDE_BACKWARD_);
}

TEST_F(BhvBasicWalkTest, UntrustedMeasurementsKeepTheLastValues) {
    Walk::instance()->setWalkPhase(Walk::NORMAL_STEP);
    seeBall(5, 30);
    EXPECT_EQ(toBall(), SIDE_FORWARD_);
    EXPECT_DOUBLE_EQ(acs->getTurAng(), 6);
    // Seen half a second ago (confidence 9.5) far to the side: ignored.
    seeBall(5, -150, 0.5);
    EXPECT_EQ(toBall(), SIDE_FORWARD_);
    EXPECT_DOUBLE_EQ(acs->getTurAng(), 6);
    seeBall(5, -150);
    EXPECT_EQ(toBall(), SIDE_TURNRIGHT_);

    // A position target needs a fresh own localization.
    BhvBasicWalk walk(Vector3f(3, 4, 0), true);
    double ang = 17;
    double dist = 2;
    walk.getAngle(ang);
    walk.getDistance(dist);
    EXPECT_DOUBLE_EQ(ang, 17);
    EXPECT_DOUBLE_EQ(dist, 2);
    localized();
    walk.getAngle(ang);
    walk.getDistance(dist);
    EXPECT_NEAR(ang, 53.1301, 1e-3);
    EXPECT_NEAR(dist, 5, 1e-6);
    EXPECT_TRUE(walk.targetFrontMe());
}

}  // namespace
