#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

#include "Math/Mathematics.h"
#include "Math/MyMath.h"

namespace {

const double kPi = 3.141592653589793;

void ExpectNear(const Vector3f& expected, const Vector3f& actual, float tol = 1e-5f) {
    EXPECT_NEAR(expected.x(), actual.x(), tol);
    EXPECT_NEAR(expected.y(), actual.y(), tol);
    EXPECT_NEAR(expected.z(), actual.z(), tol);
}

}  // namespace

TEST(MyMathPolar, VisionReadingsBecomePositionsAndBack) {
    VisionSense v;
    v.distance = 2;
    v.theta = 90;
    v.phi = 0;
    ExpectNear(Vector3f(0, 2, 0), PolarToCartecian(v));
    ExpectNear(Vector3f(0, 0, -3), PolarToCartecian(Vector3f(3, 10, -90)));
    const VisionSense p = CartecianToPolar(Vector3f(0, 2, 0));
    EXPECT_DOUBLE_EQ(2, p.distance);
    EXPECT_DOUBLE_EQ(90, p.theta);
    EXPECT_DOUBLE_EQ(0, p.phi);
    EXPECT_EQ(-1000, p.timeLastSeen);  // otherwise a default record

    std::mt19937 gen(2);
    std::uniform_real_distribution<double> dist(0.1, 30), theta(-179, 179), phi(-89, 89);
    for (int i = 0; i < 200; ++i) {
        VisionSense in;
        in.distance = dist(gen);
        in.theta = theta(gen);
        in.phi = phi(gen);
        const Vector3f cart = PolarToCartecian(in);
        ExpectNear(cart, PolarToCartecian(Vector3f(in.distance, in.theta, in.phi)), 1e-5f);
        const VisionSense out = CartecianToPolar(cart);
        EXPECT_NEAR(in.distance, out.distance, 1e-5 * in.distance);
        EXPECT_NEAR(in.theta, out.theta, 1e-3);
        EXPECT_NEAR(in.phi, out.phi, 1e-3);
    }
}

TEST(MyMathPolar, ZeroVectorHasDistanceZeroAndNoAngles) {
    const VisionSense p = CartecianToPolar(Vector3f(0, 0, 0));
    EXPECT_EQ(0, p.distance);
    EXPECT_EQ(0, p.theta);
    EXPECT_EQ(0, p.phi);
}

TEST(MyMathNormalize, DegreesAtTheBoundaries) {
    EXPECT_DOUBLE_EQ(180, degNormalizeAngle(540));
    EXPECT_DOUBLE_EQ(170, degNormalizeAngle(-190));
    EXPECT_DOUBLE_EQ(180, degNormalizeAngle(180));
    EXPECT_DOUBLE_EQ(-180, degNormalizeAngle(-180));
    EXPECT_DOUBLE_EQ(-180, degNormalizeAngle(-540));
    EXPECT_DOUBLE_EQ(0.25, degNormalizeAngle(720.25));
    EXPECT_NEAR(45, degNormalizeAngle(45 + 360 * 1e7), 1e-6);
    const double r = degNormalizeAngle(1e30);
    EXPECT_TRUE(r >= -180 && r <= 180) << r;
    EXPECT_TRUE(std::isnan(degNormalizeAngle(std::numeric_limits<double>::infinity())));
    EXPECT_TRUE(std::isnan(degNormalizeAngle(-std::numeric_limits<double>::infinity())));
    EXPECT_TRUE(std::isnan(degNormalizeAngle(std::nan(""))));
}

TEST(MyMathNormalize, RadiansWrapIntoPlusMinusPi) {
    EXPECT_DOUBLE_EQ(kPi, Mathematics::normalizeAngle(kPi));
    EXPECT_DOUBLE_EQ(-kPi, Mathematics::normalizeAngle(-kPi));
    EXPECT_NEAR(-kPi / 2, Mathematics::normalizeAngle(1.5 * kPi), 1e-12);
    EXPECT_NEAR(kPi / 2, Mathematics::normalizeAngle(-3.5 * kPi), 1e-12);
    EXPECT_NEAR(1.0, Mathematics::normalizeAngle(1.0 + 2e6 * 6.283185307179586), 1e-6);
    const double r = Mathematics::normalizeAngle(-1e300);
    EXPECT_TRUE(r >= -kPi && r <= kPi) << r;
    EXPECT_TRUE(std::isnan(Mathematics::normalizeAngle(std::numeric_limits<double>::infinity())));
}

TEST(MyMathTrigonometry, DegreeFunctionsAndClamping) {
    EXPECT_NEAR(0.5, sinDeg(30), 1e-6);
    EXPECT_NEAR(0.5, cosDeg(60), 1e-6);
    EXPECT_NEAR(1.0, tanDeg(45), 1e-6);
    EXPECT_EQ(90, asinDeg(1.5));
    EXPECT_EQ(90, asinDeg(1));
    EXPECT_EQ(-90, asinDeg(-7));
    EXPECT_EQ(180, acosDeg(-2));
    EXPECT_EQ(0, acosDeg(1));
    EXPECT_NEAR(30, asinDeg(0.5), 1e-4);
    EXPECT_NEAR(120, acosDeg(-0.5), 1e-4);
    EXPECT_FLOAT_EQ(static_cast<float>(kPi), DegToRad(180));
    EXPECT_FLOAT_EQ(90.0f, RadToDeg(static_cast<float>(kPi / 2)));
}

TEST(MyMathPlanar, AnglesAndDistances) {
    EXPECT_FLOAT_EQ(-90.0f, getAngleWithStraight(Vector3f(0, -1, 5), true));
    EXPECT_FLOAT_EQ(-90.0f, getAngleWithStraight(Vector3f(0, -1, 5), false));
    EXPECT_FLOAT_EQ(180.0f, getAngleWithStraight(Vector3f(-1, 0, 0)));
    EXPECT_FLOAT_EQ(45.0f, getAngleWithStraight(Vector3f(2, 2, -1)));
    EXPECT_FLOAT_EQ(5.0f, calculateDist(Vector3f(0, 0, 9), Vector3f(3, 4, 0)));
    EXPECT_FLOAT_EQ(0.0f, calculateDist(Vector3f(1, 1, 0), Vector3f(1, 1, 7)));
}

TEST(MyMathRotateAroundLine, RightHandedAboutAnyLine) {
    ExpectNear(Vector3f(0, 1, 0),
               rotateAroundLine(Vector3f(1, 0, 0), Vector3f(0, 0, 1), 90, Vector3f(0, 0, 0)));
    // The direction's length does not matter; the line may be offset.
    ExpectNear(Vector3f(0, 1, 0),
               rotateAroundLine(Vector3f(1, 0, 0), Vector3f(0, 0, 5), 90, Vector3f(0, 0, 0)));
    ExpectNear(Vector3f(0, 1, 3),
               rotateAroundLine(Vector3f(2, 1, 3), Vector3f(0, 0, 1), 180, Vector3f(1, 1, 0)));
    ExpectNear(Vector3f(1, 0, 0),
               rotateAroundLine(Vector3f(0, 1, 0), Vector3f(0, 0, -1), 90, Vector3f(0, 0, 0)));

    std::mt19937 gen(4);
    std::uniform_real_distribution<float> d(-3, 3);
    for (int i = 0; i < 100; ++i) {
        const Vector3f p(d(gen), d(gen), d(gen));
        const Vector3f dir(d(gen), d(gen), d(gen));
        const Vector3f o(d(gen), d(gen), d(gen));
        const Vector3f r = rotateAroundLine(p, dir, d(gen) * 60, o);
        const Vector3f u = dir.Normalized();
        // Same height along the axis, same distance from it.
        EXPECT_NEAR((p - o).Dot(u), (r - o).Dot(u), 1e-4f);
        EXPECT_NEAR((p - o).Cross(u).Length(), (r - o).Cross(u).Length(), 1e-4f);
    }
}

TEST(MyMathRotateAroundLine, ZeroDirectionLeavesThePoint) {
    const Vector3f p(1.5f, -2, 3);
    EXPECT_EQ(p, rotateAroundLine(p, Vector3f(0, 0, 0), 90, Vector3f(1, 1, 1)));
}

TEST(MyMathPerpend, UnitAndPerpendicularInThePlane) {
    const Vector3f p = calcPerpend(Vector3f(3, 4, 0));
    EXPECT_FLOAT_EQ(1.0f, p.Length());
    EXPECT_NEAR(0.0f, p.x() * 3 + p.y() * 4, 1e-6f);
    EXPECT_EQ(0.0f, p.z());
    EXPECT_EQ(Vector3f(1, 0, 0), calcPerpend(Vector3f(0, 5, 0)));
    EXPECT_EQ(Vector3f(0, 1, 0), calcPerpend(Vector3f(-2, 0, 0)));
    EXPECT_EQ(Vector3f(1, 0, 0), calcPerpend(Vector3f(0, 0, 0)));
}

TEST(MyMathTriangle, InsideOutsideAndOnTheEdges) {
    const Vector3f a(0, 0, 0), b(4, 0, 0), c(0, 4, 0);
    EXPECT_TRUE(inTriangle(a, b, c, Vector3f(1, 1, 9)));  // z is ignored
    EXPECT_TRUE(inTriangle(c, b, a, Vector3f(1, 1, 0)));  // either orientation
    EXPECT_FALSE(inTriangle(a, b, c, Vector3f(3, 3, 0)));
    EXPECT_FALSE(inTriangle(a, b, c, Vector3f(-0.01f, 1, 0)));
    EXPECT_TRUE(inTriangle(a, b, c, Vector3f(2, 0, 0)));   // on an edge
    EXPECT_TRUE(inTriangle(a, b, c, Vector3f(2, 2, 0)));   // on the hypotenuse
    EXPECT_TRUE(inTriangle(a, b, c, Vector3f(0, 4, 0)));   // a corner
    EXPECT_FALSE(inTriangle(a, b, c, Vector3f(5, 0, 0)));  // on the edge's line, beyond it
}

TEST(MyMathStrip, PointsBetweenTheOriginAndATarget) {
    const Vector3f pos(4, 0, 0);
    EXPECT_TRUE(existBetweenPos(pos, 1.0, Vector3f(2, 0.4f, 0)));
    EXPECT_TRUE(existBetweenPos(pos, 1.0, Vector3f(2, -0.4f, 0)));
    EXPECT_TRUE(existBetweenPos(pos, 1.0, Vector3f(2, 0.5f, 0)));  // on the border
    EXPECT_FALSE(existBetweenPos(pos, 1.0, Vector3f(2, 0.6f, 0)));
    EXPECT_FALSE(existBetweenPos(pos, 1.0, Vector3f(-0.1f, 0, 0)));
    EXPECT_FALSE(existBetweenPos(pos, 1.0, Vector3f(4.1f, 0, 0)));
    const Vector3f diag(3, 3, 0);
    EXPECT_TRUE(existBetweenPos(diag, 0.5, Vector3f(1.6f, 1.4f, 0)));
    EXPECT_FALSE(existBetweenPos(diag, 0.5, Vector3f(1.8f, 1.2f, 0)));
}
