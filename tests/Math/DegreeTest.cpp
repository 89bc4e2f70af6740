#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "Math/Degree.h"

TEST(DegreeNormalize, BoundariesAndHugeValues) {
    EXPECT_EQ(-180.0f, Degree::normalizeAngle(-180));
    EXPECT_EQ(180.0f, Degree::normalizeAngle(180));
    EXPECT_EQ(180.0f, Degree::normalizeAngle(540));
    EXPECT_EQ(170.0f, Degree::normalizeAngle(-190));
    EXPECT_EQ(-180.0f, Degree::normalizeAngle(-540));
    const float big = Degree::normalizeAngle(1e30f);
    EXPECT_TRUE(big >= -180 && big <= 180) << big;
    EXPECT_NEAR(10.0f, Degree::normalizeAngle(10 + 360 * 5000.0f), 1e-2f);
    EXPECT_TRUE(std::isnan(Degree::normalizeAngle(std::numeric_limits<float>::infinity())));
    EXPECT_TRUE(std::isnan(Degree::absoluteAngle(-std::numeric_limits<float>::infinity())));
}

TEST(DegreeAbsolute, IntoZeroTo360) {
    EXPECT_EQ(350.0f, Degree::absoluteAngle(-10));
    EXPECT_EQ(0.0f, Degree::absoluteAngle(360));
    EXPECT_EQ(0.0f, Degree::absoluteAngle(720));
    EXPECT_EQ(90.0f, Degree::absoluteAngle(-630));
    const float tiny = Degree::absoluteAngle(-1e-8f);  // rounds to 360 on the way
    EXPECT_TRUE(tiny >= 0 && tiny < 360) << tiny;
    const float big = Degree::absoluteAngle(-3e12f);
    EXPECT_TRUE(big >= 0 && big < 360) << big;
}

TEST(DegreeIsBetween, RangesThatWrapThroughZero) {
    EXPECT_TRUE(Degree::isBetween(350, 10, 5));
    EXPECT_TRUE(Degree::isBetween(350, 10, 355));
    EXPECT_FALSE(Degree::isBetween(350, 10, 180));
    EXPECT_FALSE(Degree::isBetween(10, 350, 5));
    EXPECT_TRUE(Degree::isBetween(10, 350, 180));
    EXPECT_TRUE(Degree::isBetween(-10, 10, 0));
    EXPECT_TRUE(Degree::isBetween(-10, 10, 360));
    EXPECT_TRUE(Degree::isBetween(30, 30, 390));
    EXPECT_FALSE(Degree::isBetween(30, 30, 31));
    EXPECT_TRUE(Degree::isBetween(10, 20, 10));  // inclusive ends
    EXPECT_TRUE(Degree::isBetween(10, 20, 20));
}

TEST(DegreeDifferences, DeltaDegreeAndTurn) {
    EXPECT_EQ(20.0f, Degree::getDeltaAngle(10, 350));
    EXPECT_EQ(-20.0f, Degree::getDeltaAngle(350, 10));
    EXPECT_EQ(-20.0f, Degree::getDeltaAngle(-10, 10));
    EXPECT_NEAR(90.0f, Degree::getDegree(Vector(1, 0, 0), Vector(0, 0, 0), Vector(0, 1, 0)), 1e-4f);
    EXPECT_NEAR(-90.0f, Degree::getDegree(Vector(0, 1, 0), Vector(0, 0, 0), Vector(1, 0, 0)),
                1e-4f);
    Vector p(1, 0, 5);
    const Vector copy = Degree::turn(p, 90);
    EXPECT_NEAR(0, p.getX(), 1e-6);
    EXPECT_NEAR(1, p.getY(), 1e-6);
    EXPECT_EQ(5, p.getZ());
    EXPECT_EQ(p, copy);
}
