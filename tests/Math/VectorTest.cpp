#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "Math/Sphere.h"
#include "Math/Str.h"
#include "Math/Vector.h"

namespace {
const double kPi = 3.141592653589793;
}

TEST(MathVector, ConstructionInEachCoordinateSystem) {
    const Vector c(1, 2, 3);
    EXPECT_EQ(1, c.getX());
    EXPECT_EQ(3, c.getZ());
    const Vector p(2, kPi / 2, 0, POLAR1);
    EXPECT_NEAR(0, p.getX(), 1e-6);
    EXPECT_NEAR(2, p.getY(), 1e-6);
    const Vector d(2, 0, 90, DPOLAR1);
    EXPECT_NEAR(0, d.getX(), 1e-6);
    EXPECT_NEAR(2, d.getZ(), 1e-6);
    const Vector other(1, 2, 3, static_cast<CoordSystem>(7));
    EXPECT_EQ(Vector(0, 0, 0), other);
}

TEST(MathVector, AnglesLengthsAndNormalisation) {
    EXPECT_DOUBLE_EQ(kPi, Vector(-1, 0, 0).theta());
    EXPECT_NEAR(-kPi / 2, Vector(0, -3, 0).theta(), 1e-12);
    EXPECT_NEAR(kPi / 4, Vector(1, 1, std::sqrt(2.0)).phi(), 1e-6);
    EXPECT_DOUBLE_EQ(kPi / 2, Vector(0, 0, 1).phi());
    EXPECT_DOUBLE_EQ(-kPi / 2, Vector(0, 0, -1).phi());
    EXPECT_DOUBLE_EQ(-kPi / 2, Vector(0, 0, 0).phi());
    EXPECT_DOUBLE_EQ(kPi / 2, Vector(0.00005, 0, 1).phi());  // nearly vertical
    EXPECT_FLOAT_EQ(13, Vector(3, 4, 12).length());
    EXPECT_FLOAT_EQ(5, Vector(3, 4, 12).length2d());
    EXPECT_EQ(Vector(0, 0, 0), Vector(0, 0, 0).normalize());
    EXPECT_NEAR(1, Vector(3, 4, 12).normalize().length(), 1e-6);
    Vector v(3, 4, 0);
    v.setLength(10);
    EXPECT_NEAR(6, v.getX(), 1e-5);
    EXPECT_NEAR(8, v.getY(), 1e-5);
    Vector z;
    z.setLength(5);
    EXPECT_EQ(Vector(0, 0, 0), z);
}

TEST(MathVector, Operators) {
    const Vector a(1, 2, 3), b(4, -5, 6);
    EXPECT_EQ(Vector(5, -3, 9), a + b);
    EXPECT_EQ(Vector(-3, 7, -3), a - b);
    EXPECT_EQ(Vector(2, 4, 6), 2 * a);
    EXPECT_EQ(Vector(2, 4, 6), a * 2);
    EXPECT_EQ(Vector(0.5, 1, 1.5), a / 2);
    EXPECT_DOUBLE_EQ(4 - 10 + 18, a * b);
    EXPECT_EQ(Vector(0, 0, 1), Vector(1, 0, 0) ^ Vector(0, 1, 0));
    EXPECT_EQ(Vector(27, 6, -13), a ^ b);
    EXPECT_EQ(Vector(1, 2, 0), ~a);
    EXPECT_EQ(Vector(1, 0.5, 0.25), &Vector(1, 2, 4));
    Vector c = a;
    c += b;
    c -= b;
    c *= 3;
    c /= 3;
    EXPECT_EQ(a, c);
    c ^= b;
    EXPECT_EQ(a ^ b, c);
    EXPECT_TRUE(a != b);
    EXPECT_DOUBLE_EQ(5, Vector(0, 0, 0).getDistance2D(Vector(3, 4, 100)));
    EXPECT_FLOAT_EQ(13, Vector(1, 1, 1).getDistanceTo(Vector(4, 5, 13)));
    std::ostringstream os;
    os << Vector(1, -2.345, 10);
    EXPECT_EQ("(1.00, -2.35, 10.00)", os.str());
}

TEST(MathSphere, IncludesWithinATolerance) {
    const Sphere s(Vector(1, 1, 1), 2);
    EXPECT_TRUE(s.includes(Vector(1, 1, 1)));
    EXPECT_TRUE(s.includes(Vector(3, 1, 1)));
    EXPECT_TRUE(s.includes(Vector(3.00005, 1, 1)));
    EXPECT_FALSE(s.includes(Vector(3.001, 1, 1)));
    EXPECT_EQ(2.0f, s.radius());
    EXPECT_EQ(Vector(1, 1, 1), s.center());
}

TEST(MathStr, TextRoundTrips) {
    EXPECT_EQ("hello", Str(std::string("hello")).as<std::string>());
    EXPECT_EQ('h', Str(std::string("hello")).as<char>());
    EXPECT_TRUE(Str(std::string("TRUE")).as<bool>());
    EXPECT_TRUE(Str(std::string("1")).as<bool>());
    EXPECT_FALSE(Str(std::string("yes")).as<bool>());
    EXPECT_EQ(-42, Str(std::string("-42abc")).as<int>());
    EXPECT_EQ(7u, Str(std::string("7")).as<unsigned>());
    EXPECT_EQ(0.0f, Str(std::string("nan")).as<float>());
    EXPECT_FLOAT_EQ(2.5f, Str(std::string("2.5")).as<float>());
    EXPECT_DOUBLE_EQ(0.125, Str(std::string("0.125")).as<double>());
    const Str list(std::vector<float>{1.5f, -2, 3});
    EXPECT_EQ("1.5|-2|3|", list.stringVal);
    EXPECT_EQ((std::vector<float>{1.5f, -2, 3}), list.as<std::vector<float>>());
    const Str vec(Vector(1, 2.25, -3));
    EXPECT_EQ(Vector(1, 2.25, -3), vec.as<Vector>());
    EXPECT_EQ(Vector(4, 0, 0), Str(std::string("4|")).as<Vector>());
    EXPECT_EQ('\0', Str(std::string()).as<char>());
}
