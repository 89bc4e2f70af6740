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

    // The ball's field x: ahead of the robot (towards the opponent goal) when
    // positive, behind it when negative.
    void ballFieldX(double x) {
        wm->mObjectToVisionMap[BALL].globalPos.x() = static_cast<float>(x);
    }

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

TEST_F(BhvBasicWalkTest, NearTurnGoesOnUntilTheTargetIsAheadBehindOrInLine) {
    ballFieldX(1);
    wm->setBallRelPos(Vector3f(0.5f, 0.8f, 0));  // well to the side
    seeBall(1, 90);
    EXPECT_EQ(toBall(), SIDE_TURNLEFT_);
    // Once turning, 50 degrees is not yet ahead ...
    seeBall(1, 50);
    EXPECT_EQ(toBall(), SIDE_TURNLEFT_);
    // ... below 45 it is, and the robot walks.
    seeBall(1, 44);
    EXPECT_EQ(toBall(), SIDE_FORWARD_);
    // Without a turn under way 50 degrees is a forward walk.
    seeBall(1, 50);
    EXPECT_EQ(toBall(), SIDE_FORWARD_);

    seeBall(1, -70);
    EXPECT_EQ(toBall(), SIDE_TURNRIGHT_);
    seeBall(1, -50);
    EXPECT_EQ(toBall(), SIDE_TURNRIGHT_);
    // In line with the ball the turn ends at once.
    wm->setBallRelPos(Vector3f(0.9f, 0.05f, 0));
    seeBall(1, -50);
    EXPECT_EQ(toBall(), SIDE_FORWARD_);

    // The robot faces its own goal, so a ball behind its back lies ahead on
    // the field: the turn goes towards the ball's side.
    wm->setMyAngle(180);
    wm->setBallRelPos(Vector3f(-0.5f, 0.8f, 0));
    seeBall(1, 100);
    EXPECT_EQ(toBall(), SIDE_TURNLEFT_);
    seeBall(1, 140);
    EXPECT_EQ(toBall(), SIDE_TURNLEFT_);
    // Beyond 145 degrees the turn ends: backwards.
    seeBall(1, 150);
    EXPECT_EQ(toBall(), SIDE_BACKWARD_);
    seeBall(1, 140);
    EXPECT_EQ(toBall(), SIDE_BACKWARD_);
}

TEST_F(BhvBasicWalkTest, TargetBehindAndWellBackTurnsTheOtherWayRound) {
    ballFieldX(-1);
    wm->setBallRelPos(Vector3f(-0.2f, 0.8f, 0));
    seeBall(1, 100);
    EXPECT_EQ(toBall(), SIDE_TURNRIGHT_);
    EXPECT_DOUBLE_EQ(acs->getTurAng(), -12);
    seeBall(1, -100);
    EXPECT_EQ(toBall(), SIDE_TURNLEFT_);
    EXPECT_DOUBLE_EQ(acs->getTurAng(), 12);
    // Up to 90 degrees the turn is towards the target's side.
    seeBall(1, 80);
    EXPECT_EQ(toBall(), SIDE_TURNLEFT_);
    // The turn under way continues beyond 130 degrees, the other way round.
    seeBall(1, 140);
    EXPECT_EQ(toBall(), SIDE_TURNRIGHT_);

    // A point behind the robot, 124 degrees to its left.
    localized();
    EXPECT_EQ(BhvBasicWalk(Vector3f(-1, 1.5f, 0), true).execute(), SIDE_TURNRIGHT_);
}

TEST_F(BhvBasicWalkTest, DribblingTurnsToABallAheadAndTheShorterWayToOneBehind) {
    wm->setDribbleBall(true);
    wm->setBallRelPos(Vector3f(0.3f, 0.9f, 0));
    ballFieldX(1);
    for (double angle : {50.0, 100.0}) {
        seeBall(1.2, angle);
        EXPECT_EQ(toBall(), SIDE_TURNLEFT_) << angle;
    }
    seeBall(1.2, -100);
    EXPECT_EQ(toBall(), SIDE_TURNRIGHT_);
    seeBall(1.2, 170);
    EXPECT_EQ(toBall(), SIDE_BACKWARD_);

    ballFieldX(-1);
    seeBall(1.2, 50);
    EXPECT_EQ(toBall(), SIDE_TURNLEFT_);
    seeBall(1.2, 100);
    EXPECT_EQ(toBall(), SIDE_TURNRIGHT_);
    seeBall(1.2, -100);
    EXPECT_EQ(toBall(), SIDE_TURNLEFT_);
    seeBall(1.2, 165);
    EXPECT_EQ(toBall(), SIDE_BACKWARD_);
    seeBall(1.2, 10);
    EXPECT_EQ(toBall(), SIDE_FORWARD_);
    // Walking on, a ball within 40 degrees keeps the robot walking ...
    seeBall(1.2, 30);
    EXPECT_EQ(toBall(), SIDE_FORWARD_);
    // ... further round it turns again, and then 30 degrees is a turn too.
    seeBall(1.2, 60);
    EXPECT_EQ(toBall(), SIDE_TURNLEFT_);
    seeBall(1.2, 30);
    EXPECT_EQ(toBall(), SIDE_TURNLEFT_);
}

TEST_F(BhvBasicWalkTest, DribblingWithinAMetreStepsSidewaysOnlyWithoutAFreeWay) {
    wm->setDribbleBall(true);
    wm->setBallRelPos(Vector3f(0.5f, 0.6f, 0));
    ballFieldX(1);
    // Heading straight at the goal mouth: a turn to the ball.
    seeBall(0.8, 50);
    localized();
    EXPECT_EQ(toBall(), SIDE_TURNLEFT_);
    // Far to the side of the goal mouth: a sideways step.
    wm->setMyPos(Vector3f(0, 12, 0));
    seeBall(0.8, 50);
    localized();
    EXPECT_EQ(toBall(), SIDE_LEFT_);
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
