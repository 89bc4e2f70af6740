#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "WorldUpdateSupport.h"

namespace world_update_test {
namespace {

class LocalizationTest : public WorldUpdateTest {
protected:
    Localization* loc() { return Localization::instance(); }

    // Heading difference in (-180, 180].
    static double headingError(double a, double b) {
        double d = std::fmod(a - b, 360.0);
        if (d > 180)
            d -= 360;
        if (d <= -180)
            d += 360;
        return std::fabs(d);
    }

    void expectPose(const TruePose& pose, double posTol, double headingTol) {
        const Vector3f p = wm->getMyPos();
        EXPECT_NEAR(pose.x, p.x(), posTol);
        EXPECT_NEAR(pose.y, p.y(), posTol);
        EXPECT_NEAR(pose.cameraZ, p.z(), 1e-4);
        EXPECT_LE(headingError(pose.heading, wm->getMyAngle()), headingTol)
            << "true " << pose.heading << " got " << wm->getMyAngle();
    }
};

TEST_F(LocalizationTest, CentreSpotLeftSideSeesTheOpponentFlags) {
    seeLandmarks(10, TruePose(), {FLAG_1R, FLAG_2R});
    loc()->localize();
    EXPECT_NEAR(0, wm->getMyPos().x(), 1e-4);
    EXPECT_NEAR(0, wm->getMyPos().y(), 1e-4);
    EXPECT_NEAR(0.55, wm->getMyPos().z(), 1e-6);
    EXPECT_NEAR(0, wm->getMyAngle(), 1e-3);
    // The own entry: localized now, at the head height.
    const VisionSense self = wm->getObjectVision(wm->getMyObject());
    EXPECT_EQ(10.0, self.timeLastLocalized);
    EXPECT_NEAR(0.57, self.globalPos.z(), 1e-6);
    EXPECT_EQ(10.0, wm->getGlobalConfidence());
}

TEST_F(LocalizationTest, CentreSpotRightSideUsesTheMirroredTable) {
    wm->setTeamSide(TEAM_RIGHT);
    seeLandmarks(10, TruePose(), {FLAG_1L, FLAG_2L});
    loc()->localize();
    EXPECT_NEAR(0, wm->getMyPos().x(), 1e-4);
    EXPECT_NEAR(0, wm->getMyPos().y(), 1e-4);
    EXPECT_NEAR(0, wm->getMyAngle(), 1e-3);
    // Both sides see their own goal at x = -15.
    EXPECT_EQ(Vector3f(-15, -1.05f, 0.8f), wm->getObjectVision(GOAL_1R).globalPos);
    EXPECT_EQ(Vector3f(15, -1.05f, 0.8f), wm->getEnemyGoalPosition(1));
}

// Random poses on the field, both sides, any head pan and tilt: a pair of
// equal height, or all four landmarks of one end.
TEST_F(LocalizationTest, RandomPosesFromEqualHeightPairsAndWholeEnds) {
    std::mt19937 rng(20240607);
    std::uniform_real_distribution<double> xs(-14, 14), ys(-9.5, 9.5), headings(-180, 180),
        pans(-110, 110), tilts(-40, 40);
    const std::vector<std::vector<Object>> views = {{FLAG_1L, FLAG_2L},
                                                    {FLAG_1R, FLAG_2R},
                                                    {GOAL_1L, GOAL_2L},
                                                    {GOAL_1R, GOAL_2R},
                                                    {FLAG_1L, FLAG_2L, GOAL_1L, GOAL_2L},
                                                    {FLAG_1R, FLAG_2R, GOAL_1R, GOAL_2R}};
    double worstPos = 0, worstHeading = 0;
    double time = 1;
    for (TeamSide side : {TEAM_LEFT, TEAM_RIGHT}) {
        wm->setTeamSide(side);
        for (int i = 0; i < 300; ++i) {
            TruePose pose;
            pose.x = xs(rng);
            pose.y = ys(rng);
            pose.heading = headings(rng);
            pose.pan = pans(rng);
            pose.tilt = tilts(rng);
            const std::vector<Object>& view = views[i % views.size()];
            time += 0.02;
            wm->setServerTime(time);
            setJoint(JID_HEAD_1, pose.pan);
            setJoint(JID_HEAD_2, pose.tilt);
            for (Object obj : view) {
                wm->setObjectVision(obj, observe(pose, side, serverLandmark(obj)));
            }
            loc()->localize();
            SCOPED_TRACE(testing::Message()
                         << "side " << side << " pose " << pose.x << ", " << pose.y << " heading "
                         << pose.heading << " view " << i % views.size());
            expectPose(pose, 0.05, 1.0);
            const double dx = pose.x - wm->getMyPos().x(), dy = pose.y - wm->getMyPos().y();
            worstPos = std::max(worstPos, std::sqrt(dx * dx + dy * dy));
            worstHeading = std::max(worstHeading, headingError(pose.heading, wm->getMyAngle()));
        }
    }
    RecordProperty("worst_position_error_mm", static_cast<int>(worstPos * 1000));
    RecordProperty("worst_heading_error_mdeg", static_cast<int>(worstHeading * 1000));
}

// A corner flag with a goal post: the baseline slopes, so the foot of the
// perpendicular lies a little off and so does the position.
TEST_F(LocalizationTest, FlagWithPostIsSlightlyOffset) {
    seeLandmarks(3, TruePose(), {FLAG_1R, GOAL_1R});
    loc()->localize();
    EXPECT_NEAR(0.03, wm->getMyPos().y(), 0.01);
    EXPECT_NEAR(0, wm->getMyPos().x(), 0.11);

    std::mt19937 rng(7);
    std::uniform_real_distribution<double> xs(-14, 14), ys(-9.5, 9.5), headings(-180, 180);
    double time = 3;
    for (int i = 0; i < 200; ++i) {
        TruePose pose;
        pose.x = xs(rng);
        pose.y = ys(rng);
        pose.heading = headings(rng);
        const Object pairs[4][2] = {
            {FLAG_1L, GOAL_1L}, {FLAG_2L, GOAL_2L}, {FLAG_1R, GOAL_1R}, {FLAG_2R, GOAL_2R}};
        time += 0.02;
        seeLandmarks(time, pose, {pairs[i % 4][0], pairs[i % 4][1]});
        loc()->localize();
        EXPECT_NEAR(pose.x, wm->getMyPos().x(), 0.12) << pose.x << ", " << pose.y;
        EXPECT_NEAR(pose.y, wm->getMyPos().y(), 0.12) << pose.x << ", " << pose.y;
    }
}

TEST_F(LocalizationTest, DifferentEndsKeepThePositionButRecomputeTheHeading) {
    TruePose first;
    first.x = -3;
    first.y = 2;
    seeLandmarks(1, first, {FLAG_1L, FLAG_2L});
    loc()->localize();
    expectPose(first, 0.01, 0.1);

    TruePose second = first;
    second.x = 4;
    second.heading = 60;
    seeLandmarks(2, second, {FLAG_1L, FLAG_1R});
    loc()->localize();
    // No same-end pair: the last estimate stands, while the heading is taken
    // from both landmarks as seen from there.
    EXPECT_NEAR(-3, wm->getMyPos().x(), 1e-4);
    EXPECT_NEAR(2, wm->getMyPos().y(), 1e-4);
    // By hand: from (-3, 2) the flags lie at 146.31 and 23.96 degrees, seen
    // from the true pose at 97.17 and -23.97 degrees off the body: headings
    // 49.14 and 47.94, mean 48.54 (not the true 60).
    EXPECT_NEAR(48.539, wm->getMyAngle(), 0.01);
    EXPECT_EQ(2.0, wm->getObjectVision(wm->getMyObject()).timeLastLocalized);
}

// A pair whose distances are absurd but finite gives a position beyond the
// range of a float: infinite, not NaN. It is left out of the mean, and the
// sound pair of the same end decides.
TEST_F(LocalizationTest, InfinitePairResultsAreLeftOut) {
    TruePose pose;
    pose.x = -6;
    pose.y = 1;
    seeLandmarks(4, pose, {FLAG_1L, FLAG_2L, GOAL_1L, GOAL_2L});
    for (Object obj : {FLAG_1L, FLAG_2L}) {
        VisionSense far = wm->getObjectVision(obj);
        far.distance = 1e100;
        wm->setObjectVision(obj, far);
    }
    loc()->localize();
    const Vector3f flags = loc()->myPosWithTwoFlagsGeometric(FLAG_1L, FLAG_2L);
    EXPECT_TRUE(std::isinf(flags.x()) || std::isinf(flags.y())) << flags.x() << ", " << flags.y();
    EXPECT_FALSE(std::isnan(flags.x()) || std::isnan(flags.y()));
    EXPECT_NEAR(-6, wm->getMyPos().x(), 0.05);
    EXPECT_NEAR(1, wm->getMyPos().y(), 0.05);
}

TEST_F(LocalizationTest, FewerThanTwoLandmarksLeaveThePoseUnchanged) {
    TruePose pose;
    pose.x = 5;
    pose.y = -4;
    pose.heading = -120;
    seeLandmarks(1, pose, {GOAL_1R, GOAL_2R});
    wm->setObjectVision(BALL, observe(pose, TEAM_LEFT, Vector3f(6, -4, 0.04f)));
    loc()->localize();
    expectPose(pose, 0.01, 0.1);
    const Vector3f ball = wm->getBallPos();

    TruePose moved = pose;
    moved.x = -5;
    moved.heading = 30;
    seeLandmarks(2, moved, {GOAL_1R});
    wm->setObjectVision(BALL, observe(moved, TEAM_LEFT, Vector3f(0, 0, 0.04f)));
    loc()->localize();
    expectPose(pose, 0.01, 0.1);
    EXPECT_EQ(1.0, wm->getObjectVision(wm->getMyObject()).timeLastLocalized);
    // Nothing else is placed either.
    EXPECT_EQ(ball, wm->getBallPos());
    EXPECT_EQ(1.0, wm->getObjectVision(BALL).timeLastLocalized);

    // Landmarks seen in an earlier message do not count.
    wm->setServerTime(3);
    loc()->localize();
    expectPose(pose, 0.01, 0.1);
}

TEST_F(LocalizationTest, ImpossiblePairsAreSkipped) {
    TruePose pose;
    pose.x = 2;
    pose.y = 1;
    seeLandmarks(1, pose, {FLAG_1R, FLAG_2R});
    loc()->localize();
    expectPose(pose, 0.01, 0.1);

    // Posts 2.1 m apart seen at 0.5 m each: no such triangle.
    wm->setServerTime(2);
    VisionSense close;
    close.distance = 0.5;
    close.theta = 10;
    close.phi = 0;
    wm->setObjectVision(GOAL_1L, close);
    close.theta = -10;
    wm->setObjectVision(GOAL_2L, close);
    loc()->localize();
    EXPECT_TRUE(std::isfinite(wm->getMyPos().x()));
    EXPECT_NEAR(2, wm->getMyPos().x(), 1e-4);
    EXPECT_NEAR(1, wm->getMyPos().y(), 1e-4);

    // With a valid pair at the other end only that pair counts.
    TruePose moved;
    moved.x = -6;
    moved.y = 3;
    seeLandmarks(3, moved, {FLAG_1R, FLAG_2R});
    wm->setObjectVision(GOAL_1L, close);
    wm->setObjectVision(GOAL_2L, close);
    loc()->localize();
    EXPECT_NEAR(-6, wm->getMyPos().x(), 1e-3);
    EXPECT_NEAR(3, wm->getMyPos().y(), 1e-3);
}

TEST_F(LocalizationTest, HeadingAveragingStopsNearTheWrap) {
    // FLAG_1L comes first in Object order; FLAG_2L's direction is falsified.
    // A heading beyond 150 degrees ends the averaging after FLAG_1L.
    for (double heading : {170.0, 140.0}) {
        TruePose pose;
        pose.x = 1;
        pose.heading = heading;
        seeLandmarks(heading, pose, {FLAG_1L, FLAG_2L});
        VisionSense wrong = observe(pose, TEAM_LEFT, serverLandmark(FLAG_2L));
        wrong.theta += 20;
        wm->setObjectVision(FLAG_2L, wrong);
        loc()->localize();
        if (heading > 150) {
            EXPECT_NEAR(heading, wm->getMyAngle(), 0.01);
        } else {
            EXPECT_NEAR(heading - 10, wm->getMyAngle(), 0.01);
        }
    }
}

TEST_F(LocalizationTest, CameraHeightFromTheFootOnTheGround) {
    Localization* l = loc();
    EXPECT_NEAR(0.54, l->zFromLFoot(), 1e-9);
    EXPECT_NEAR(0.54, l->zFromRFoot(), 1e-9);
    EXPECT_NEAR(0.55, l->getMyZ(), 1e-9);

    // Bent left leg: the left foot carries the robot.
    setJoint(JID_LLEG_3, 30);
    setJoint(JID_LLEG_4, -60);
    setJoint(JID_LLEG_5, 30);
    const double zL = l->zFromLFoot() + 0.01;
    // The leg formula worked by hand for hip pitch 30, knee -60 and ankle
    // pitch 30 degrees: h = 1, k = 0, l = 0.866, g = 0.5, m = 0.866, n = -0.5.
    EXPECT_NEAR(0.4980256, l->zFromLFoot(), 1e-6);
    EXPECT_NEAR(zL, l->getMyZ(), 1e-12);

    // Left foot tilted away from vertical: the right one decides.
    wm->setLeftFootForce(footForce(20, 0, 5));
    EXPECT_NEAR(0.55, l->getMyZ(), 1e-9);
    setJoint(JID_RLEG_3, 30);
    setJoint(JID_RLEG_4, -60);
    setJoint(JID_RLEG_5, 30);
    EXPECT_NEAR(zL, l->getMyZ(), 1e-12);
    setJoint(JID_RLEG_4, -30);
    EXPECT_NE(zL, l->getMyZ());
    EXPECT_NEAR(l->zFromRFoot() + 0.01, l->getMyZ(), 1e-12);

    // No usable foot (a zero force has no direction): straight standing.
    wm->setLeftFootForce(footForce(0, 0, 0));
    wm->setRightFootForce(footForce(0, 10, 0));
    EXPECT_NEAR(0.55, l->getMyZ(), 1e-12);
}

TEST_F(LocalizationTest, SeenObjectsArePlacedFromThePose) {
    TruePose pose;
    pose.x = 1;
    pose.y = 2;
    pose.heading = 90;
    pose.pan = 30;
    wm->setUnum(4);
    seeLandmarks(5, pose, {FLAG_1R, FLAG_2R, GOAL_1R});
    // Ball 3 m to the left of the torso, seen along the ground plane.
    VisionSense ball;
    ball.distance = 3;
    ball.theta = 60;  // 90 to the left of the torso minus the pan
    ball.phi = 0;
    wm->setObjectVision(BALL, ball);
    VisionSense opponent;
    opponent.distance = 2;
    opponent.theta = -30;  // straight ahead of the torso
    opponent.phi = 10;
    wm->setObjectVision(OPPONENT_3, opponent);
    // Seen earlier: not placed.
    wm->setServerTime(4);
    wm->setObjectVision(OPPONENT_4, opponent);
    wm->setServerTime(5);

    loc()->localize();
    const double d = std::sqrt(9 - 0.45 * 0.45);
    const Vector3f b = wm->getBallPos();
    EXPECT_NEAR(1 - d, b.x(), 0.01);
    EXPECT_NEAR(2, b.y(), 0.01);
    EXPECT_NEAR(0.57, b.z(), 1e-3);
    EXPECT_EQ(5.0, wm->getObjectVision(BALL).timeLastLocalized);
    // Above or below the horizon the horizontal angle is taken as
    // asin(sin theta cos phi): slightly less than theta.
    const double d2 = std::sqrt(4 - 0.45 * 0.45);
    const Vector3f me = wm->getMyPos();
    const double bearing =
        deg(std::asin(std::sin(rad(-30)) * std::cos(rad(10)))) + 30 + wm->getMyAngle();
    const VisionSense opp = wm->getObjectVision(OPPONENT_3);
    EXPECT_NEAR(me.x() + d2 * std::cos(rad(bearing)), opp.globalPos.x(), 1e-4);
    EXPECT_NEAR(me.y() + d2 * std::sin(rad(bearing)), opp.globalPos.y(), 1e-4);
    EXPECT_NEAR(d2 * std::sin(rad(10)) + 0.57, opp.globalPos.z(), 1e-3);
    EXPECT_EQ(-1000.0, wm->getObjectVision(OPPONENT_4).timeLastLocalized);
    // The own entry is not among them: it carries the own position.
    EXPECT_NEAR(1, wm->getObjectVision(TEAMMATE_4).globalPos.x(), 0.01);
}

}  // namespace
}  // namespace world_update_test
