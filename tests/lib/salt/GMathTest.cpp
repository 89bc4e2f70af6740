#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "salt/gmath.h"

using namespace salt;

TEST(GMathNormalizeDeg, BoundariesFollowTheSteppingRule) {
    EXPECT_DOUBLE_EQ(180.0, gNormalizeDeg(540.0));
    EXPECT_DOUBLE_EQ(170.0, gNormalizeDeg(-190.0));
    EXPECT_DOUBLE_EQ(180.0, gNormalizeDeg(180.0));
    EXPECT_DOUBLE_EQ(-180.0, gNormalizeDeg(-180.0));
    EXPECT_DOUBLE_EQ(-179.0, gNormalizeDeg(181.0));
    EXPECT_DOUBLE_EQ(179.0, gNormalizeDeg(-181.0));
    EXPECT_FLOAT_EQ(180.0f, gNormalizeDeg(540.0f));
    EXPECT_FLOAT_EQ(170.0f, gNormalizeDeg(-190.0f));
    EXPECT_FLOAT_EQ(-180.0f, gNormalizeDeg(-900.0f));
}

TEST(GMathNormalizeDeg, HugeValuesEndInRangeAndKeepTheDirection) {
    const double big = 3600000.0 + 30.0;  // 10000 turns plus 30 degrees
    EXPECT_NEAR(30.0, gNormalizeDeg(big), 1e-6);
    EXPECT_NEAR(-30.0, gNormalizeDeg(-big), 1e-6);
    for (double v : {1e7, -1e7, 1e30, -1e30, 1e300, std::numeric_limits<double>::max()}) {
        const double r = gNormalizeDeg(v);
        EXPECT_GE(r, -180.0) << v;
        EXPECT_LE(r, 180.0) << v;
        // Same direction: the difference is a multiple of 360 degrees.
        EXPECT_NEAR(0.0, std::remainder(std::fmod(v, 360.0) - r, 360.0), 1e-6) << v;
    }
    const float rf = gNormalizeDeg(1e30f);
    EXPECT_GE(rf, -180.0f);
    EXPECT_LE(rf, 180.0f);
}

TEST(GMathNormalizeDeg, NonFiniteInputGivesNaN) {
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_TRUE(std::isnan(gNormalizeDeg(inf)));
    EXPECT_TRUE(std::isnan(gNormalizeDeg(-inf)));
    EXPECT_TRUE(std::isnan(gNormalizeDeg(std::nan(""))));
    EXPECT_TRUE(std::isnan(gNormalizeDeg(std::numeric_limits<float>::infinity())));
    EXPECT_TRUE(std::isnan(gNormalizeRad(inf)));
    EXPECT_TRUE(std::isnan(gNormalizeRad(-std::numeric_limits<float>::infinity())));
}

TEST(GMathNormalizeRad, StepsByTwoPi) {
    EXPECT_DOUBLE_EQ(gPI - g2PI, gNormalizeRad(gPI - g2PI));  // -pi stays
    EXPECT_NEAR(-gPI + 1.0, gNormalizeRad(gPI + 1.0), 1e-12);
    EXPECT_NEAR(gPI - 1.0, gNormalizeRad(-gPI - 1.0 - 2 * g2PI), 1e-12);
    EXPECT_NEAR(0.5, gNormalizeRad(0.5 + 1e6 * g2PI), 1e-6);
    const float r = gNormalizeRad(7.0f);
    EXPECT_NEAR(7.0 - g2PI, r, 1e-6);
}

TEST(GMathConversions, DegreesAndRadians) {
    EXPECT_DOUBLE_EQ(gPI, gDegToRad(180.0));
    EXPECT_FLOAT_EQ(static_cast<float>(gHalfPI), gDegToRad(90.0f));
    EXPECT_DOUBLE_EQ(180.0, gRadToDeg(gPI));
    for (double a : {-720.0, -33.3, 0.0, 12.5, 359.0}) {
        EXPECT_NEAR(a, gRadToDeg(gDegToRad(a)), 1e-12);
    }
}

TEST(GMathScalars, SignAbsSwap) {
    EXPECT_EQ(1.0, gSign(2.5));
    EXPECT_EQ(-1.0f, gSign(-0.1f));
    EXPECT_EQ(0.0, gSign(0.0));
    EXPECT_EQ(0.0, gSign(-0.0));
    EXPECT_EQ(3.0, gAbs(-3.0));
    int a = 1;
    int b = 2;
    gSwap(a, b);
    EXPECT_EQ(2, a);
    EXPECT_EQ(1, b);
    EXPECT_TRUE(gIsNan(std::nan("")));
    EXPECT_FALSE(gIsNan(1.0f));
    // No clamping: out-of-domain arguments give NaN.
    EXPECT_TRUE(std::isnan(gArcCos(1.5)));
    EXPECT_DOUBLE_EQ(std::atan2(1.0, -1.0), gArcTan2(1.0, -1.0));
}
