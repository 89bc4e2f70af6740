#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "WorldUpdateSupport.h"

namespace world_update_test {
namespace {

class FieldQueriesTest : public WorldUpdateTest {
protected:
    void SetUp() override {
        WorldUpdateTest::SetUp();
        wm->setServerTime(50);
        Localization::instance()->setupObjectToVisionMap();
    }
    void place(Object opponent, double x, double y) {
        VisionSense& entry = wm->mObjectToVisionMap[opponent];
        entry.globalPos = Vector3f(static_cast<float>(x), static_cast<float>(y), 0.57f);
        entry.timeLastLocalized = 1;  // stale positions count too
    }
    void pose(double x, double y, double heading) {
        wm->setMyPos(Vector3f(static_cast<float>(x), static_cast<float>(y), 0.55f));
        wm->setMyAngle(heading);
        VisionSense& self = wm->mObjectToVisionMap[wm->getMyObject()];
        self.timeLastLocalized = wm->getServerTime();
    }
    const std::vector<Vector3f> none;
};

TEST_F(FieldQueriesTest, NoOpponentLocalizedLeavesEveryPathFree) {
    pose(3, -2, 37);
    // Entries that exist but were never localized do not block.
    wm->getObjectVision(OPPONENT_1);
    wm->mObjectToVisionMap[OPPONENT_2];
    EXPECT_TRUE(wm->currentWayAvailiablee(wm->getMyPos(), Vector3f(10, 0, 0), none));
    EXPECT_TRUE(wm->currentWayAvailiable(wm->getMyPos(), 37, none));
    EXPECT_EQ(37.0, wm->getAnglePass());
}

// Opponents exactly on the path: single-precision rounding must not let
// them through; just outside the width they do not block.
TEST_F(FieldQueriesTest, OpponentsOnAndBesideThePath) {
    std::mt19937 rng(11);
    std::uniform_real_distribution<double> coord(-12, 12), along(-8, 8), heading(-180, 180);
    for (int i = 0; i < 2000; ++i) {
        const Vector3f me(static_cast<float>(coord(rng)), static_cast<float>(coord(rng) / 2), 0);
        const double h = heading(rng);
        const double k = along(rng);
        const double ux = std::cos(rad(h)), uy = std::sin(rad(h));
        const Vector3f target(me.x() + static_cast<float>(5 * ux),
                              me.y() + static_cast<float>(5 * uy), 0);
        place(OPPONENT_1, me.x() + k * ux, me.y() + k * uy);
        ASSERT_FALSE(wm->currentWayAvailiable(me, static_cast<float>(h), none)) << i;
        ASSERT_FALSE(wm->currentWayAvailiablee(me, target, none)) << i;

        // Beside the line (to the left), inside and outside each width.
        const double nx = -uy, ny = ux;
        place(OPPONENT_1, me.x() + k * ux + 0.19 * nx, me.y() + k * uy + 0.19 * ny);
        ASSERT_FALSE(wm->currentWayAvailiable(me, static_cast<float>(h), none)) << i;
        place(OPPONENT_1, me.x() + k * ux + 0.21 * nx, me.y() + k * uy + 0.21 * ny);
        ASSERT_TRUE(wm->currentWayAvailiable(me, static_cast<float>(h), none)) << i;
        place(OPPONENT_1, me.x() + k * ux - 0.29 * nx, me.y() + k * uy - 0.29 * ny);
        ASSERT_FALSE(wm->currentWayAvailiablee(me, target, none)) << i;
        place(OPPONENT_1, me.x() + k * ux - 0.31 * nx, me.y() + k * uy - 0.31 * ny);
        ASSERT_TRUE(wm->currentWayAvailiablee(me, target, none)) << i;
    }
}

TEST_F(FieldQueriesTest, PathTestCornerCases) {
    const Vector3f me(1, 1, 0);
    // An opponent on the agent's own spot blocks.
    place(OPPONENT_4, 1, 1);
    EXPECT_FALSE(wm->currentWayAvailiable(me, 0, none));
    EXPECT_FALSE(wm->currentWayAvailiablee(me, Vector3f(5, 1, 0), none));
    // A target on the agent's own spot leaves a point, not a line.
    place(OPPONENT_4, 1, 1.25);
    EXPECT_FALSE(wm->currentWayAvailiablee(me, me, none));
    place(OPPONENT_4, 3, 3);
    EXPECT_TRUE(wm->currentWayAvailiablee(me, me, none));
    // Behind the agent on the same line blocks too.
    place(OPPONENT_4, -4, 1);
    EXPECT_FALSE(wm->currentWayAvailiable(me, 0, none));
    EXPECT_FALSE(wm->currentWayAvailiablee(me, Vector3f(5, 1, 0), none));
    // Only the first eight opponents are consulted.
    place(OPPONENT_4, 30, 30);
    place(OPPONENT_9, 4, 1);
    EXPECT_TRUE(wm->currentWayAvailiable(me, 0, none));
    EXPECT_TRUE(wm->currentWayAvailiablee(me, Vector3f(5, 1, 0), none));
    // The list argument is not consulted.
    const std::vector<Vector3f> listed = {Vector3f(4, 1, 0)};
    EXPECT_TRUE(wm->currentWayAvailiable(me, 0, listed));
}

TEST_F(FieldQueriesTest, PassAngleSearchesTowardsTheMiddle) {
    // Right half (y < 0): headings 0, 1, 2, ... are tried.
    pose(0, -2, 0);
    place(OPPONENT_1, 5, -2);  // blocks headings 0..2 (5 sin 2 = 0.17)
    EXPECT_EQ(3.0, wm->getAnglePass());
    // Left half: 0, -1, -2, ...
    pose(0, 2, 0);
    place(OPPONENT_1, 5, 2);
    EXPECT_EQ(-3.0, wm->getAnglePass());
    // The own heading comes first when it is free.
    pose(0, 2, 90);
    EXPECT_EQ(90.0, wm->getAnglePass());
}

TEST_F(FieldQueriesTest, PassAngleFallsBackToTheGoalCentre) {
    pose(0, -3, 90);
    // A ring of opponents 1 m away blocks 0..44 degrees and the own heading.
    place(OPPONENT_1, std::cos(rad(0)), -3 + std::sin(rad(0)));
    place(OPPONENT_2, std::cos(rad(10)), -3 + std::sin(rad(10)));
    place(OPPONENT_3, std::cos(rad(20)), -3 + std::sin(rad(20)));
    place(OPPONENT_4, std::cos(rad(30)), -3 + std::sin(rad(30)));
    place(OPPONENT_5, std::cos(rad(40)), -3 + std::sin(rad(40)));
    place(OPPONENT_6, 0, -2);
    EXPECT_NEAR(deg(std::atan2(3, 15)), wm->getAnglePass(), 1e-4);
}

TEST_F(FieldQueriesTest, AngleToGoal) {
    pose(10, 0, 0);
    EXPECT_EQ(0.0, wm->getAngleToGoal());
    pose(10, 0, 30);
    EXPECT_NEAR(0.0, wm->getAngleToGoal(), 1e-9);
    // From (10, 3) the posts lie at about -21 and -39 degrees.
    pose(10, 3, -30);
    EXPECT_EQ(-30.0, wm->getAngleToGoal());
    pose(10, 3, 0);
    EXPECT_NEAR(deg(std::atan2(-3, 5)), wm->getAngleToGoal(), 1e-4);
}

TEST_F(FieldQueriesTest, WayIntoTheGoalMouth) {
    pose(12, 0, 0);
    EXPECT_EQ(0, wm->isAvailiableWay());
    pose(12, 0, 30);  // crosses the goal line at 1.73 > 1.05
    EXPECT_EQ(-3, wm->isAvailiableWay());
    pose(12, 0, -30);
    EXPECT_EQ(3, wm->isAvailiableWay());
    pose(12, 0, 120);
    EXPECT_EQ(-2, wm->isAvailiableWay());
    pose(12, 0, -120);
    EXPECT_EQ(2, wm->isAvailiableWay());
    // Farther out the mouth is wider.
    pose(9, 0, 20);  // 2.18 < 3
    EXPECT_EQ(0, wm->isAvailiableWay());
    pose(0, 5, 30);  // 13.7 > 10
    EXPECT_EQ(-3, wm->isAvailiableWay());

    // With a stale own localization the remembered pose is used.
    pose(12, 0, 0);
    EXPECT_EQ(0, wm->isAvailiableWay());
    wm->setServerTime(50.2);
    wm->setMyAngle(60);
    EXPECT_EQ(0, wm->isAvailiableWay());
    wm->setServerTime(50.2);
    pose(12, 0, 60);
    EXPECT_EQ(-3, wm->isAvailiableWay());
}

}  // namespace
}  // namespace world_update_test
