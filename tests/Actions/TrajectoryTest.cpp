#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "Actions/Trajectory.h"
#include "support/Capture.h"

namespace {

// The forward gait of the walk engine at full speed.
WalkParams forwardGait() {
    WalkParams w;
    w.mDs3D = Vector2f(0.0f, 0.1f);
    w.Tc = 0.16f;
    w.Td = 0.032f;
    w.Tm = 0.08f;
    w.Xed = w.Xsd = 0.04f;
    w.Hao = 0.1f;
    return w;
}

// A gait whose double and single support move the hip at different mean
// speeds, so the hip curve is a true cubic.
WalkParams unevenGait() {
    WalkParams w = forwardGait();
    w.Td = 0.05f;
    w.Xed = 0.03f;
    w.Xsd = 0.045f;
    return w;
}

Vector3f torsoAt(Trajectory& tr, double t) {
    Matrix torso, hold, move;
    EXPECT_TRUE(tr.getTrajectoryMatrix(t, torso, hold, move, true)) << t;
    return torso.Pos();
}

struct Feet {
    Vector3f hold;
    Vector3f move;
};

Feet feetAt(Trajectory& tr, double t) {
    Matrix torso, hold, move;
    EXPECT_TRUE(tr.getTrajectoryMatrix(t, torso, hold, move, true)) << t;
    return {hold.Pos(), move.Pos()};
}

void expectNear(const Vector3f& a, const Vector3f& b, double tol, const std::string& what) {
    for (int i = 0; i < 3; ++i) {
        EXPECT_NEAR(a[i], b[i], tol) << what << " component " << i;
    }
}

void expectSameMatrix(const Matrix& a, const Matrix& b) {
    for (int i = 0; i < 16; ++i) {
        EXPECT_FLOAT_EQ(a.m[i], b.m[i]) << i;
    }
}

}  // namespace

TEST(TrajectoryDefaults, HipAndLandedFootPassTheStepPoints) {
    Trajectory tr;
    ASSERT_TRUE(tr.general());
    EXPECT_NEAR(0.15, tr.getHipX(0.14), 1e-6);
    EXPECT_NEAR(0.15, tr.getHipX(0.168), 1e-6);
    EXPECT_NEAR(0.25, tr.getHipX(0.28), 1e-6);
    EXPECT_NEAR(0.3, tr.getFootX(0.28 + 0.028 + 0.001), 1e-6);
    EXPECT_NEAR(0.05, tr.getFootZ(0.28 + 0.028 + 0.001), 1e-6);
    EXPECT_EQ(0.0, tr.getFootX(0.309, 1));
    EXPECT_NEAR(0.0, tr.getFootTheta(0.309), 1e-12);  // -Qge
    // While swinging, the foot follows its breakpoints: lift-off, apex, touch-down.
    EXPECT_NEAR(0.1, tr.getFootX(0.14), 1e-6);
    EXPECT_NEAR(0.035 + 0.015, tr.getFootZ(0.14), 1e-6);
    EXPECT_NEAR(0.1 + 0.05, tr.getFootX(0.14 + 0.07), 1e-6);  // k*Ds + Lao (Ds/2) at Tm
    EXPECT_NEAR(0.0, tr.getFootZ(0.14 + 0.07), 1e-6);         // Hao
    EXPECT_NEAR(0.23, tr.getHipZ(0.2), 1e-6);
    EXPECT_NEAR(M_PI / 2, tr.getHipTheta(0.2), 1e-12);
    EXPECT_EQ(0.0, tr.getHipTheta(0.2, 1));
}

TEST(TrajectoryWindows, OutOfRangeTimesAreReportedWithNeutralResults) {
    Trajectory tr;
    ASSERT_TRUE(tr.general());
    Matrix torso, hold, move;

    tovra_test::captureStdout();
    EXPECT_FALSE(tr.getTrajectoryMatrix(0.1, torso, hold, move, true));
    EXPECT_EQ("Trajectory getTrajectoryMatrix error\n", tovra_test::capturedStdout());

    tovra_test::captureStdout();
    EXPECT_TRUE(tr.getTrajectoryMatrix(0.42, torso, hold, move, true));
    EXPECT_TRUE(tr.getTrajectoryMatrix(0.42 + 0.000009, torso, hold, move, true));
    EXPECT_EQ("", tovra_test::capturedStdout());

    tovra_test::captureStdout();
    EXPECT_FALSE(tr.getTrajectoryMatrix(std::nan(""), torso, hold, move, true));
    EXPECT_EQ(0.0, tr.getHipX(0.5));
    EXPECT_EQ(0.0, tr.getHipZ(0.1));
    EXPECT_EQ(0.0, tr.getFootX(0.43));
    EXPECT_EQ(0.0, tr.getFootZ(0.13));
    EXPECT_EQ(0.0, tr.getFootTheta(0.5));  // silent
    EXPECT_FALSE(tr.getStartTrajectoryMatrix(-0.01, torso, hold, move, true));
    EXPECT_EQ(
        "Trajectory getTrajectoryMatrix error\n"
        "(Trajectory getHipX error)\n"
        "(Trajectory getHipZ error)\n"
        "(Trajectory) getFootX error\n"
        "(Trajectory) getFootZ error\n"
        "Trajectory getStartTrajectoryMatrix error\n",
        tovra_test::capturedStdout());

    tovra_test::captureStdout();
    EXPECT_EQ(0.0, tr.getFootX(0.4, -1));
    EXPECT_EQ(0.0, tr.getFootZ(0.4, -1));
    EXPECT_EQ(0.0, tr.getFootTheta(0.4, -1));
    EXPECT_EQ(0.0, tr.getHipTheta(0.2, -1));
    EXPECT_EQ(
        "(Trajectory getFootX der error)\n"
        "(Trajectory getFootZ der error)\n"
        "(Trajectory getFootTheta der error)\n"
        "(Trajectory getHipTheta der error)\n",
        tovra_test::capturedStdout());
}

TEST(TrajectoryEnd, TimesOutsideTheEndStepAreClampedToItsEnd) {
    Trajectory tr;
    tr.setParams(forwardGait());
    ASSERT_TRUE(tr.general());
    Matrix t1, h1, m1, t2, h2, m2;
    tovra_test::captureStdout();
    EXPECT_TRUE(tr.getEndTrajectoryMatrix(1.0, t1, h1, m1, false));
    EXPECT_TRUE(tr.getEndTrajectoryMatrix(tr.getTe(), t2, h2, m2, false));
    EXPECT_EQ("", tovra_test::capturedStdout());
    expectSameMatrix(t1, t2);
    expectSameMatrix(h1, h2);
    expectSameMatrix(m1, m2);
    EXPECT_TRUE(tr.getEndTrajectoryMatrix(std::nan(""), t1, h1, m1, false));
    expectSameMatrix(t1, t2);
    // Standing at the end: hip over the step, both feet side by side on the ground.
    EXPECT_NEAR(0.1, t2.Pos().y(), 1e-6);
    EXPECT_NEAR(0.1, h2.Pos().y(), 1e-6);
    EXPECT_NEAR(0.1, m2.Pos().y(), 1e-6);
    EXPECT_NEAR(0.015, h2.Pos().z(), 1e-6);
    EXPECT_NEAR(0.015, m2.Pos().z(), 1e-6);
    EXPECT_NEAR(0.055, h2.Pos().x(), 1e-6);  // right foot holds: positive x
    EXPECT_NEAR(-0.055, m2.Pos().x(), 1e-6);
    // At its start the hip is Xsd behind the step.
    tr.getEndTrajectoryMatrix(0.0, t1, h1, m1, false);
    EXPECT_NEAR(0.1 - 0.04, t1.Pos().y(), 1e-6);
}

TEST(TrajectoryStart, FirstStepMovesFromStandingToTheStepStart) {
    Trajectory tr;
    tr.setParams(forwardGait());
    tr.setQb(0.0f);  // flat feet, as the walk engine uses
    tr.setQf(0.0f);
    ASSERT_TRUE(tr.general());
    Matrix torso, hold, move;
    ASSERT_TRUE(tr.getStartTrajectoryMatrix(0.0, torso, hold, move, true));
    EXPECT_NEAR(0.0, torso.Pos().y(), 1e-6);
    EXPECT_NEAR(0.2151 + 0.115, torso.Pos().z(), 1e-6);
    EXPECT_NEAR(0.0, move.Pos().y(), 1e-6);
    EXPECT_NEAR(0.015, move.Pos().z(), 1e-6);  // Hgs: the sole at lift-off height
    EXPECT_NEAR(-0.055, hold.Pos().x(), 1e-6);
    EXPECT_NEAR(0.055, move.Pos().x(), 1e-6);
    EXPECT_NEAR(0.015, hold.Pos().z(), 1e-6);
    ASSERT_TRUE(tr.getStartTrajectoryMatrix(tr.getTs(), torso, hold, move, true));
    EXPECT_NEAR(0.04, torso.Pos().y(), 1e-6);  // Xed
    EXPECT_NEAR(0.1, move.Pos().y(), 1e-6);    // Ds with flat feet
    EXPECT_NEAR(0.015, move.Pos().z(), 1e-6);
    EXPECT_NEAR(0.0, hold.Pos().y(), 1e-6);
}

// Torso (hip) position and both foot positions are continuous across every
// boundary of a normal step: the switches of the hip height, the ends of
// double support and the change of step inside the window. The hip's
// velocity is continuous where the height switches; where double and single
// support meet it steps by the amount the hip curve's closed form gives
// (S = Tc - Td): up by Ds/S at the end of double support and down by Ds/S at
// the start of the next one.
TEST(TrajectoryNormalStep, HipAndFeetAreContinuousAcrossPhaseBoundaries) {
    for (const WalkParams& gait : {WalkParams(), forwardGait(), unevenGait()}) {
        Trajectory tr;
        tr.setParams(gait);
        tr.setQb(0.2f);
        tr.setQf(0.2f);
        ASSERT_TRUE(tr.general());
        const double T = tr.getTc();
        const double Td = tr.getTd();
        const double kT = tr.getK() * T;
        const double eps = 1e-7;
        const double h = 1e-4;
        const double Ds = gait.mDs3D.Length();
        const double S = T - Td;
        const double D = Ds - gait.Xed - gait.Xsd;
        const Vector3f along(gait.mDs3D.x() / Ds, gait.mDs3D.y() / Ds, 0);
        const double endOfDouble = Ds / S;
        const std::pair<double, double> boundaries[] = {{kT + Td / 2, 0.0},
                                                        {kT + Td, endOfDouble},
                                                        {kT + T, -Ds / S},
                                                        {kT + T + Td / 2, 0.0},
                                                        {kT + T + Td, endOfDouble}};
        for (const auto& [b, step] : boundaries) {
            const std::string at = "boundary " + std::to_string(b) + " Tc " + std::to_string(T);
            const Vector3f before = torsoAt(tr, b - eps);
            const Vector3f after = torsoAt(tr, b + eps);
            expectNear(before, after, 1e-5, "hip position at " + at);
            const Vector3f vBefore = (before - torsoAt(tr, b - eps - h)) / h;
            const Vector3f vAfter = (torsoAt(tr, b + eps + h) - after) / h;
            expectNear(vBefore + along * static_cast<float>(step), vAfter, 0.01,
                       "hip velocity at " + at);
            const Feet fb = feetAt(tr, b - eps);
            const Feet fa = feetAt(tr, b + eps);
            expectNear(fb.hold, fa.hold, 1e-5, "holding foot at " + at);
            expectNear(fb.move, fa.move, 1e-5, "moving foot at " + at);
        }
        // The closed-form derivatives agree with the curve, also across the
        // end of double support.
        for (double t : {kT + 0.3 * Td, kT + Td - 1e-5, kT + Td + 1e-5, kT + 0.7 * T}) {
            const double d1 = (tr.getHipX(t + 1e-6) - tr.getHipX(t - 1e-6)) / 2e-6;
            const double d2 = (tr.getHipX(t + 1e-6, 1) - tr.getHipX(t - 1e-6, 1)) / 2e-6;
            EXPECT_NEAR(d1, tr.getHipX(t, 1), 1e-5) << t;
            EXPECT_NEAR(d2, tr.getHipX(t, 2), 1e-3 * (1 + std::fabs(d2))) << t;
        }
        // The closed form's velocity at the ends of the step's period.
        EXPECT_NEAR(D / Td - D / S, tr.getHipX(kT, 1), 1e-4);
        EXPECT_NEAR((gait.Xed + gait.Xsd) / S + D / Td, tr.getHipX(kT + T, 1), 1e-4);
    }
}

TEST(TrajectoryNormalStep, FeetSidesTorsoPitchAndHoldFootTurn) {
    Trajectory tr;
    WalkParams w = forwardGait();
    w.TurnAngle = 12.0f;
    tr.setParams(w);
    ModelParams m;
    m.TorsoRot_X = -5.0f;
    tr.initModelParams(m);
    ASSERT_TRUE(tr.general());
    Matrix torso, hold, move;
    for (bool lefthold : {true, false}) {
        ASSERT_TRUE(tr.getTrajectoryMatrix(0.2, torso, hold, move, lefthold));
        const float side = lefthold ? -1.0f : 1.0f;
        EXPECT_NEAR(side * 0.055, hold.Pos().x(), 1e-6);
        EXPECT_NEAR(-side * 0.055, move.Pos().x(), 1e-6);
        EXPECT_NEAR(0.0, torso.Pos().x(), 1e-6);
        // The holding foot carries the turn of the step, the moving foot none.
        EXPECT_NEAR(std::cos(12.0 * M_PI / 180), hold(0, 0), 1e-6);
        EXPECT_NEAR(std::sin(12.0 * M_PI / 180), hold(1, 0), 1e-6);
        EXPECT_NEAR(1.0, move(0, 0), 1e-6);
        EXPECT_NEAR(std::cos(-5.0 * M_PI / 180), torso(1, 1), 1e-6);
        EXPECT_NEAR(std::sin(-5.0 * M_PI / 180), torso(2, 1), 1e-6);
    }
    // The holding foot stands on its landing point, the moving foot is in the air.
    EXPECT_NEAR(0.2, hold.Pos().y(), 1e-6);
    EXPECT_NEAR(0.015, hold.Pos().z(), 1e-6);
    EXPECT_GT(move.Pos().z(), 0.03);
    // Start and end steps carry no turn.
    tr.getStartTrajectoryMatrix(0.1, torso, hold, move, true);
    EXPECT_NEAR(1.0, hold(0, 0), 1e-6);
    tr.getEndTrajectoryMatrix(0.1, torso, hold, move, true);
    EXPECT_NEAR(1.0, hold(0, 0), 1e-6);
}

TEST(TrajectoryParams, StepVectorDirectionAndModelLengthsOnFirstCallOnly) {
    Trajectory tr;
    EXPECT_FALSE(tr.isModelInit());
    WalkParams w = forwardGait();
    w.mDs3D = Vector2f(0.03f, -0.04f);  // a step back and to the right
    tr.setParams(w);
    EXPECT_NEAR(0.05, tr.getDs(), 1e-7);
    EXPECT_FLOAT_EQ(0.16f, tr.getTs());
    EXPECT_FLOAT_EQ(0.16f, tr.getTe());

    ModelParams m;
    m.Lan = 0.04f;
    m.Hge = 0.02f;
    m.FootOffset_X = 0.05f;
    tr.initModelParams(m);
    EXPECT_TRUE(tr.isModelInit());
    ModelParams later;
    later.Lan = 0.06f;
    later.Hge = 0.03f;
    later.FootOffset_X = 0.07f;
    later.TorsoRelHip_Z = 0.1f;
    tr.initModelParams(later);
    EXPECT_FLOAT_EQ(0.04f, tr.getLan());
    EXPECT_FLOAT_EQ(0.02f, tr.getHge());
    EXPECT_FLOAT_EQ(0.07f, tr.getFootOffsetX());
    EXPECT_FLOAT_EQ(0.1f, tr.getTorsoRelHipZ());
    ASSERT_TRUE(tr.general());

    Matrix torso, hold, move;
    ASSERT_TRUE(tr.getTrajectoryMatrix(0.3, torso, hold, move, true));
    // The hip moves along the step vector: (hx / Ds) * (0.03, -0.04).
    const double hx = tr.getHipX(0.3);
    EXPECT_NEAR(hx / 0.05 * 0.03, torso.Pos().x(), 1e-6);
    EXPECT_NEAR(hx / 0.05 * -0.04, torso.Pos().y(), 1e-6);
    EXPECT_NEAR(0.2151 + 0.1, torso.Pos().z(), 1e-6);
    // Landed holding foot: 2 Ds along the step, sole on the ground at Hge.
    EXPECT_NEAR(2 * 0.03 - 0.07, hold.Pos().x(), 1e-6);  // left foot: offset to -x
    EXPECT_NEAR(2 * -0.04, hold.Pos().y(), 1e-6);
    EXPECT_NEAR(0.02, hold.Pos().z(), 1e-6);
}

TEST(TrajectoryParams, AFailedRebuildKeepsThePreviousGait) {
    Trajectory tr;
    tr.setParams(forwardGait());
    ASSERT_TRUE(tr.general());
    Matrix before, hold, move;
    ASSERT_TRUE(tr.getTrajectoryMatrix(0.25, before, hold, move, true));

    WalkParams still = forwardGait();
    still.mDs3D = Vector2f(0.0f, 0.0f);  // no step length to walk along
    WalkParams noDoubleSupport = forwardGait();
    noDoubleSupport.Td = 0.0f;  // two breakpoints at the same time
    WalkParams nanStep = forwardGait();
    nanStep.mDs3D = Vector2f(0.0f, std::nanf(""));
    for (const WalkParams& bad : {still, noDoubleSupport, nanStep}) {
        tr.setParams(bad);
        EXPECT_FALSE(tr.general());
        EXPECT_FLOAT_EQ(0.1f, tr.getDs());
        EXPECT_FLOAT_EQ(0.032f, tr.getTd());
        Matrix after;
        ASSERT_TRUE(tr.getTrajectoryMatrix(0.25, after, hold, move, true));
        expectSameMatrix(before, after);
    }
}
