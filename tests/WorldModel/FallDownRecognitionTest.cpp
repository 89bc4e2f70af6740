#include <gtest/gtest.h>

#include "WorldUpdateSupport.h"

namespace world_update_test {
namespace {

class FallDownRecognitionTest : public WorldUpdateTest {
protected:
    // One world update with the given readings; returns the own fallen flag.
    bool cycle(const Vector3f& acc, const Vector3f& gyro = Vector3f(), float footForce = 22) {
        wm->setServerTime(wm->getServerTime() + 0.02);
        wm->setAcc(acc);
        wm->setGyro(gyro);
        wm->setLeftFootForce(world_update_test::footForce(0, 0, footForce));
        wm->setRightFootForce(world_update_test::footForce(0, 0, footForce));
        wm->globalize();
        return wm->getIsObjectFallDown(wm->getMyObject());
    }
    // Six cycles with the same readings fill the whole ring.
    bool sixCycles(const Vector3f& acc, const Vector3f& gyro = Vector3f(), float footForce = 22) {
        bool fallen = false;
        for (int i = 0; i < 6; ++i) {
            fallen = cycle(acc, gyro, footForce);
        }
        return fallen;
    }
    FallDownRecognition* fall() { return FallDownRecognition::instance(); }

    const Vector3f upright{0, 0, 9.81f};
};

TEST_F(FallDownRecognitionTest, StandingRobotIsNotFallenFromTheFirstCycle) {
    EXPECT_FALSE(cycle(upright));
    EXPECT_NEAR(44, fall()->getMeanForce(), 1e-9);
    for (int i = 0; i < 10; ++i) {
        EXPECT_FALSE(cycle(upright)) << "cycle " << i;
    }
    EXPECT_EQ(FT_NONE, fall()->getFeltType());
}

TEST_F(FallDownRecognitionTest, LyingDirectionsFromTheAccelerometer) {
    struct Case {
        Vector3f acc;
        FeltType expected;
    };
    const Case cases[] = {{Vector3f(0, 9.8f, 0), FT_BACK},
                          {Vector3f(0, -9.8f, 0), FT_FRONT},
                          {Vector3f(-9.8f, 0, 0), FT_RIGHT},
                          {Vector3f(9.8f, 0, 0), FT_LEFT}};
    for (const Case& c : cases) {
        resetSingletons();
        wm = WorldModel::instance();
        EXPECT_TRUE(sixCycles(c.acc)) << c.expected;
        EXPECT_EQ(c.expected, fall()->getFeltType());
    }
}

TEST_F(FallDownRecognitionTest, FallingDirectionsFromTheGyroscope) {
    // Feet off the ground make the verdict; the rates choose the direction.
    struct Case {
        Vector3f gyro;
        FeltType expected;
    };
    const Case cases[] = {{Vector3f(100, 10, 0), FT_BACK},
                          {Vector3f(-100, 10, 0), FT_FRONT},
                          {Vector3f(10, -100, 0), FT_RIGHT},
                          {Vector3f(-10, -100, 0), FT_LEFT},
                          {Vector3f(50, 0, 0), FT_LEFT}};
    for (const Case& c : cases) {
        resetSingletons();
        wm = WorldModel::instance();
        EXPECT_TRUE(sixCycles(upright, c.gyro, 0));
        EXPECT_EQ(c.expected, fall()->getFeltType()) << c.gyro.x() << ", " << c.gyro.y();
    }
}

TEST_F(FallDownRecognitionTest, FeetOffTheGroundCountAsFallen) {
    EXPECT_FALSE(cycle(upright));
    // The mean over six cycles drops below 12 N only as the ring fills.
    EXPECT_FALSE(cycle(upright, Vector3f(), 0));
    EXPECT_FALSE(cycle(upright, Vector3f(), 0));
    EXPECT_FALSE(cycle(upright, Vector3f(), 0));
    EXPECT_FALSE(cycle(upright, Vector3f(), 0));
    EXPECT_TRUE(cycle(upright, Vector3f(), 0));
}

TEST_F(FallDownRecognitionTest, OneJoltIsSmoothedAway) {
    sixCycles(upright);
    EXPECT_FALSE(cycle(Vector3f(0, 30, 0)));
    EXPECT_NEAR(5, fall()->getMeanAcc().y(), 1e-5);
    // The jolt leaves the ring after six cycles; a steady tilt does not.
    EXPECT_FALSE(sixCycles(upright));
    EXPECT_TRUE(sixCycles(Vector3f(0, 8, 0)));
    // Standing up again clears the verdict once the ring has turned over.
    EXPECT_FALSE(sixCycles(upright));
}

}  // namespace
}  // namespace world_update_test
