#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "Math/Line.h"
#include "support/Capture.h"

using salt::Vector3f;

namespace {

std::string text(const Line& line) {
    std::ostringstream os;
    os << line;
    return os.str();
}

}  // namespace

TEST(LineFromTwoPoints, VerticalLineAndItsErrorText) {
    const Line v = Line::makeLineFromTwoPoints(Vector3f(1, 1, 0), Vector3f(1, 5, 0));
    EXPECT_EQ(0, v.getACoefficient());
    EXPECT_EQ(1, v.getBCoefficient());
    EXPECT_EQ(-1, v.getCCoefficient());
    EXPECT_EQ("x = 1", text(v));
    tovra_test::captureStderr();
    EXPECT_EQ(0, v.yGivenX(1));
    EXPECT_EQ("(Line::yGivenX) Cannot calculate Y coordinate: x = 1\n",
              tovra_test::capturedStderr());
    EXPECT_DOUBLE_EQ(1, v.xGivenY(3));
    // Nearly vertical counts as vertical.
    const Line nv = Line::makeLineFromTwoPoints(Vector3f(2, 0, 0), Vector3f(2.00005f, 1, 0));
    EXPECT_EQ(0, nv.getACoefficient());
}

TEST(LineFromTwoPoints, SlopedAndHorizontalLines) {
    const Line l = Line::makeLineFromTwoPoints(Vector3f(0, 1, 0), Vector3f(2, 5, 0));
    EXPECT_EQ(1, l.getACoefficient());
    EXPECT_DOUBLE_EQ(-2, l.getBCoefficient());
    EXPECT_DOUBLE_EQ(-1, l.getCCoefficient());
    EXPECT_DOUBLE_EQ(7, l.yGivenX(3));
    EXPECT_DOUBLE_EQ(3, l.xGivenY(7));
    EXPECT_EQ("y = 2x + 1", text(l));
    EXPECT_EQ("y = -0.5x - 2", text(Line(2, 1, 4)));

    const Line h = Line::makeLineFromTwoPoints(Vector3f(-1, 3, 0), Vector3f(4, 3, 0));
    EXPECT_DOUBLE_EQ(3, h.yGivenX(100));
    EXPECT_EQ("y = + 3", text(h));  // no slope term
    tovra_test::captureStderr();
    EXPECT_EQ(0, h.xGivenY(3));
    EXPECT_EQ("(Line::xGivenY) Cannot calculate X coordinate\n", tovra_test::capturedStderr());
}

TEST(LineAbcFormula, ZeroOneAndTwoRoots) {
    double s1 = -99, s2 = -99;
    EXPECT_EQ(2, Line::abcFormula(1, -3, 2, &s1, &s2));
    EXPECT_DOUBLE_EQ(2, s1);
    EXPECT_DOUBLE_EQ(1, s2);
    s1 = s2 = -99;
    EXPECT_EQ(1, Line::abcFormula(1, -2, 1, &s1, &s2));
    EXPECT_DOUBLE_EQ(1, s1);
    EXPECT_EQ(-99, s2);
    EXPECT_EQ(1, Line::abcFormula(1, 0, 0.00002, &s1, &s2));  // |D| below 0.0001
    EXPECT_EQ(0, Line::abcFormula(1, 0, 1, &s1, &s2));
    EXPECT_EQ(2, Line::abcFormula(2, 0, -8, &s1, &s2));
    EXPECT_DOUBLE_EQ(2, s1);
    EXPECT_DOUBLE_EQ(-2, s2);
}

TEST(LineCircle, IntersectionCountsAndPoints) {
    const Circle c(Vector3f(0, 0, 0), 2);
    Vector3f p1, p2;
    EXPECT_EQ(2, Line(1, 0, 0).getCircleIntersectionPoints(&c, &p1, &p2));  // y = 0
    EXPECT_NEAR(2, std::fabs(p1.x()), 1e-6);
    EXPECT_NEAR(-p1.x(), p2.x(), 1e-6);
    EXPECT_EQ(1, Line(1, 0, -2).getCircleIntersectionPoints(&c, &p1, &p2));  // y = 2, tangent
    EXPECT_NEAR(0, p1.x(), 1e-6);
    EXPECT_NEAR(2, p1.y(), 1e-6);
    EXPECT_EQ(0, Line(1, 0, -3).getCircleIntersectionPoints(&c, &p1, &p2));
    EXPECT_EQ(2, Line(0, 1, -1).getCircleIntersectionPoints(&c, &p1, &p2));  // x = 1
    EXPECT_NEAR(1, p1.x(), 1e-6);
    EXPECT_NEAR(std::sqrt(3.0), std::fabs(p1.y()), 1e-6);
    EXPECT_NEAR(-p1.y(), p2.y(), 1e-6);
    // Off-centre circle and a sloped line: both points lie on both.
    const Circle off(Vector3f(1, 2, 0), 1.5);
    const Line l = Line::makeLineFromTwoPoints(Vector3f(0, 0, 0), Vector3f(2, 3, 0));
    ASSERT_EQ(2, l.getCircleIntersectionPoints(&off, &p1, &p2));
    for (const Vector3f& p : {p1, p2}) {
        EXPECT_NEAR(1.5, std::hypot(p.x() - 1, p.y() - 2), 1e-5);
        EXPECT_NEAR(l.yGivenX(p.x()), p.y(), 1e-5);
    }
    EXPECT_EQ(0, l.getCircleIntersectionPoints(nullptr, &p1, &p2));
}

TEST(LineCircle, RadiusAndMeasures) {
    Circle c;
    EXPECT_EQ(Vector3f(-1000, -1000, -1000), c.getCenter());
    EXPECT_EQ(0, c.getRadius());
    EXPECT_FALSE(c.setRadius(-1));
    EXPECT_EQ(0, c.getRadius());
    EXPECT_TRUE(c.setCircle(Vector3f(1, 2, 0), 2));
    EXPECT_DOUBLE_EQ(4 * 3.141592653589793, c.getCircumference());
    EXPECT_DOUBLE_EQ(4 * 3.141592653589793, c.getArea());
    EXPECT_DOUBLE_EQ(8 * 4.1887902047863905, c.getVolume());
    std::ostringstream os;
    os << c;
    EXPECT_EQ("c:(1, 2, 0), r:2", os.str());
}
