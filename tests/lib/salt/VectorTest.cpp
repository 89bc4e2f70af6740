#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "salt/vector.h"

using namespace salt;

namespace {

void ExpectNear(const Vector3f& expected, const Vector3f& actual, float tol = 1e-5f) {
    EXPECT_NEAR(expected.x(), actual.x(), tol);
    EXPECT_NEAR(expected.y(), actual.y(), tol);
    EXPECT_NEAR(expected.z(), actual.z(), tol);
}

}  // namespace

TEST(Vector3fPolar, AxesAndElevation) {
    ExpectNear(Vector3f(0, 2, 0), Vector3f(2, 90, 0, POLAR));
    ExpectNear(Vector3f(0, 0, 1), Vector3f(1, 0, 90, POLAR));
    ExpectNear(Vector3f(-3, 0, 0), Vector3f(3, 180, 0, POLAR));
    ExpectNear(Vector3f(0, 0, -1), Vector3f(1, 45, -90, POLAR));
    const Vector3f c(1.5f, 2.5f, -3.5f);
    EXPECT_EQ(1.5f, c.x());
    EXPECT_EQ(2.5f, c.y());
    EXPECT_EQ(-3.5f, c.z());
}

TEST(Vector3fPolar, RoundTripThroughCartesian) {
    std::mt19937 gen(7);
    std::uniform_real_distribution<float> dist(0.1f, 20.0f);
    std::uniform_real_distribution<float> theta(-179.0f, 179.0f);
    std::uniform_real_distribution<float> phi(-89.0f, 89.0f);
    for (int i = 0; i < 200; ++i) {
        const float r = dist(gen);
        const float t = theta(gen);
        const float p = phi(gen);
        const Vector3f v(r, t, p, POLAR);
        EXPECT_NEAR(r, v.Length(), 1e-4f * r);
        EXPECT_NEAR(t, gRadToDeg(std::atan2(v.y(), v.x())), 1e-2f);
        EXPECT_NEAR(p, gRadToDeg(std::asin(v.z() / v.Length())), 1e-2f);
    }
}

TEST(Vector3fOps, ArithmeticAndComparison) {
    const Vector3f a(1, 2, 3);
    const Vector3f b(-4, 5, 0.5f);
    EXPECT_EQ(Vector3f(-3, 7, 3.5f), a + b);
    EXPECT_EQ(Vector3f(5, -3, 2.5f), a - b);
    EXPECT_EQ(Vector3f(-1, -2, -3), -a);
    EXPECT_EQ(Vector3f(2, 4, 6), a * 2);
    EXPECT_EQ(Vector3f(2, 4, 6), 2.0f * a);
    EXPECT_EQ(Vector3f(0.5f, 1, 1.5f), a / 2);
    Vector3f c = a;
    c += b;
    c -= b;
    EXPECT_EQ(a, c);
    c *= 3;
    c /= 3;
    EXPECT_EQ(a, c);
    EXPECT_FALSE(a != c);
    c.z() = 3.0001f;
    EXPECT_TRUE(a != c);
    c[0] = 9;
    EXPECT_EQ(9.0f, c.El(0));
    c.Set(4, 5, 6);
    EXPECT_EQ(Vector3f(4, 5, 6), c);
}

TEST(Vector3fOps, LengthDotCross) {
    const Vector3f v(3, 4, 12);
    EXPECT_FLOAT_EQ(13.0f, v.Length());
    EXPECT_FLOAT_EQ(169.0f, v.SquareLength());
    ExpectNear(Vector3f(3.0f / 13, 4.0f / 13, 12.0f / 13), v.Normalized());
    Vector3f w = v;
    w.Normalize();
    EXPECT_FLOAT_EQ(1.0f, w.Length());
    EXPECT_FLOAT_EQ(3 * 1 + 4 * 2 + 12 * 3, v.Dot(Vector3f(1, 2, 3)));
    // Right-handed: x cross y is z.
    EXPECT_EQ(Vector3f(0, 0, 1), Vector3f(1, 0, 0).Cross(Vector3f(0, 1, 0)));
    EXPECT_EQ(Vector3f(1, 0, 0), Vector3f(0, 1, 0).Cross(Vector3f(0, 0, 1)));
    const Vector3f c = v.Cross(Vector3f(-2, 7, 1));
    EXPECT_NEAR(0.0f, c.Dot(v), 1e-4f);
    EXPECT_NEAR(0.0f, c.Dot(Vector3f(-2, 7, 1)), 1e-4f);
}

TEST(Vector2fOps, PolarAndArithmetic) {
    const Vector2f p(2, 90, POLAR);
    EXPECT_NEAR(0.0f, p.x(), 1e-6f);
    EXPECT_NEAR(2.0f, p.y(), 1e-6f);
    const Vector2f q(std::sqrt(2.0f), -135, POLAR);
    EXPECT_NEAR(-1.0f, q.x(), 1e-6f);
    EXPECT_NEAR(-1.0f, q.y(), 1e-6f);
    const Vector2f a(3, 4);
    EXPECT_FLOAT_EQ(5.0f, a.Length());
    EXPECT_FLOAT_EQ(25.0f, a.SquareLength());
    EXPECT_EQ(Vector2f(4, 6), a + Vector2f(1, 2));
    EXPECT_EQ(Vector2f(2, 2), a - Vector2f(1, 2));
    EXPECT_EQ(Vector2f(6, 8), a * 2);
    EXPECT_EQ(Vector2f(1.5f, 2), a / 2);
    EXPECT_TRUE(a != Vector2f(3, 4.5f));
    EXPECT_FALSE(a != Vector2f(3, 4));
    EXPECT_FLOAT_EQ(1.0f, a.Normalized().Length());
    EXPECT_FLOAT_EQ(11.0f, a.Dot(Vector2f(1, 2)));
}
