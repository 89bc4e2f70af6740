#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "Math/Spline.h"
#include "support/Capture.h"

namespace {

// p(x) = 2x^3 - x^2 + 0.5x + 1 and its derivatives.
double cubic(double x) {
    return 2 * x * x * x - x * x + 0.5 * x + 1;
}
double cubic1(double x) {
    return 6 * x * x - 2 * x + 0.5;
}
double cubic2(double x) {
    return 12 * x - 2;
}

Spline clampedCubic() {
    const double xs[] = {-1.0, -0.2, 0.3, 0.35, 1.5};
    double ys[5];
    for (int i = 0; i < 5; ++i) {
        ys[i] = cubic(xs[i]);
    }
    Spline s;
    s.SetBreakPoints(xs, ys, 5, cubic1(-1.0), cubic1(1.5));
    return s;
}

}  // namespace

TEST(Spline, ClampedEndsReproduceACubicInsideAndOutsideTheBreakpoints) {
    Spline s = clampedCubic();
    ASSERT_TRUE(s.general());
    for (double x : {-1.0, -0.7, -0.2, 0.0, 0.31, 0.35, 1.0, 1.5, -1.3, 1.8}) {
        EXPECT_NEAR(cubic(x), s.getYGivenX(x, 0), 1e-9) << x;
        EXPECT_NEAR(cubic1(x), s.getYGivenX(x, 1), 1e-9) << x;
        EXPECT_NEAR(cubic2(x), s.getYGivenX(x, 2), 1e-9) << x;
        EXPECT_EQ(0.0, s.getYGivenX(x, 3));
    }
}

TEST(Spline, NaturalEndsHaveZeroCurvatureAndFixedSlopesAreKept) {
    const double xs[] = {0.0, 1.0, 2.5, 3.0};
    const double ys[] = {0.0, 2.0, -1.0, 0.5};
    Spline natural;
    natural.SetBreakPoints(xs, ys, 4, 1e30, 1e30);
    ASSERT_TRUE(natural.general());
    EXPECT_NEAR(0.0, natural.getYGivenX(0.0, 2), 1e-12);
    EXPECT_NEAR(0.0, natural.getYGivenX(3.0, 2), 1e-12);
    for (int i = 0; i < 4; ++i) {
        EXPECT_NEAR(ys[i], natural.getYGivenX(xs[i], 0), 1e-12);
    }

    Spline clamped;
    clamped.SetBreakPoints(xs, ys, 4, 0.0, -0.75);
    ASSERT_TRUE(clamped.general());
    EXPECT_NEAR(0.0, clamped.getYGivenX(0.0, 1), 1e-12);
    EXPECT_NEAR(-0.75, clamped.getYGivenX(3.0, 1), 1e-12);
    // Value and slope are continuous across an interior breakpoint.
    const double e = 1e-7;
    EXPECT_NEAR(clamped.getYGivenX(1.0 - e, 0), clamped.getYGivenX(1.0 + e, 0), 1e-6);
    EXPECT_NEAR(clamped.getYGivenX(1.0 - e, 1), clamped.getYGivenX(1.0 + e, 1), 1e-5);
}

TEST(Spline, SetBreakPointsCopiesAndReplaces) {
    double xs[] = {0.0, 1.0};
    double ys[] = {1.0, 3.0};
    Spline s;
    s.SetBreakPoints(xs, ys, 2, 2.0, 2.0);
    xs[1] = 5.0;  // the spline holds its own copy
    ys[1] = -4.0;
    ASSERT_TRUE(s.general());
    EXPECT_NEAR(2.0, s.getYGivenX(0.5, 0), 1e-12);

    const double x3[] = {0.0, 1.0, 2.0};
    const double y3[] = {0.0, 0.0, 4.0};
    s.SetBreakPoints(x3, y3, 3, 0.0, 0.0);
    EXPECT_EQ(3, s.getNumPoints());
    ASSERT_TRUE(s.general());
    EXPECT_NEAR(4.0, s.getYGivenX(2.0, 0), 1e-12);
}

TEST(Spline, EqualTimesFailToBuildAndReportOnEvaluation) {
    const double xs[] = {0.2, 0.2};
    const double ys[] = {1.0, 1.0};
    Spline s;
    s.SetBreakPoints(xs, ys, 2, 0.0, 0.0);
    EXPECT_FALSE(s.general());
    tovra_test::captureStdout();
    const double v = s.getYGivenX(0.2, 0);
    const std::string out = tovra_test::capturedStdout();
    EXPECT_NE(std::string::npos, out.find("Bad x input to routine splint")) << out;
    EXPECT_EQ(0.0, v);
}

TEST(Spline, TimesThatDoNotIncreaseAreRefused) {
    const double xs[] = {0.0, 1.0, 0.5};
    const double ys[] = {0.0, 1.0, 2.0};
    Spline s;
    s.SetBreakPoints(xs, ys, 3, 0.0, 0.0);
    EXPECT_FALSE(s.general());
    const double nanTimes[] = {0.0, std::nan(""), 2.0};
    s.SetBreakPoints(nanTimes, ys, 3, 0.0, 0.0);
    EXPECT_FALSE(s.general());
}

TEST(Spline, TooFewPointsAndBadOrdersAreReportedNotFatal) {
    Spline empty;
    EXPECT_FALSE(empty.general());
    const double one = 1.0;
    Spline single;
    single.SetBreakPoints(&one, &one, 1, 0.0, 0.0);
    EXPECT_FALSE(single.general());
    Spline negative;
    negative.SetBreakPoints(&one, &one, -3, 0.0, 0.0);
    EXPECT_EQ(0, negative.getNumPoints());

    tovra_test::captureStdout();
    EXPECT_EQ(0.0, empty.getYGivenX(0.0, 0));
    EXPECT_EQ(0.0, single.getYGivenX(1.0, 1));
    std::string out = tovra_test::capturedStdout();
    EXPECT_NE(std::string::npos, out.find("Bad x input to routine splint")) << out;

    Spline s = clampedCubic();
    ASSERT_TRUE(s.general());
    tovra_test::captureStdout();
    EXPECT_EQ(0.0, s.getYGivenX(0.0, -1));
    out = tovra_test::capturedStdout();
    EXPECT_EQ("(Spline) getYGivenX der error\n", out);
}
