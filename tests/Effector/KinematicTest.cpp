#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "Effector/Kinematic.h"
#include "Math/Geometry.h"
#include "WorldModel/WorldModel.h"
#include "support/Capture.h"

namespace {

void ExpectNear(const Vector3f& expected, const Vector3f& actual, float tol = 1e-5f) {
    EXPECT_NEAR(expected.x(), actual.x(), tol);
    EXPECT_NEAR(expected.y(), actual.y(), tol);
    EXPECT_NEAR(expected.z(), actual.z(), tol);
}

// The model with every measured angle at zero and the root back at its
// starting pose.
class KinematicTest : public ::testing::Test {
protected:
    void SetUp() override {
        wm_ = WorldModel::instance();
        wm_->mJointIDToAngleMap.clear();
        Kinematic::deleteT();
        kin_ = Kinematic::instance();
        kin_->init();
        kin_->updateLink();
    }
    void TearDown() override {
        wm_->mJointIDToAngleMap.clear();
        Kinematic::deleteT();
    }

    const Link& link(int j) { return kin_->getLink()[j]; }

    WorldModel* wm_ = nullptr;
    Kinematic* kin_ = nullptr;
};

// Combined position and orientation error of a link against a pose.
float poseError(const Link& link, const Matrix& target) {
    const Vector3f dp = target.Pos() - link.p;
    Matrix inverse = link.R;
    inverse.Pos() = Vector3f();
    inverse.InvertRotationMatrix();
    const Vector3f dw = RotToOmega(inverse * target);
    return std::sqrt(dp.SquareLength() + dw.SquareLength());
}

// The foot body-centre pose of one leg from the current link state.
Matrix footPose(const Link& foot) {
    Matrix pose = foot.R;
    pose.Pos() = foot.p + foot.R.Rotate(foot.c);
    pose(3, 3) = 1.0f;
    return pose;
}

}  // namespace

TEST_F(KinematicTest, ZeroPoseMatchesModelGeometry) {
    EXPECT_TRUE(kin_->getinit());
    ExpectNear(Vector3f(-0.055f, -0.005f, 0.05f), link(JID_LLEG_6_).p);
    ExpectNear(Vector3f(0.055f, -0.005f, 0.05f), link(JID_RLEG_6_).p);
    ExpectNear(Vector3f(-0.055f, 0.025f, 0.015f), kin_->getRobotPartPos(PART_LFOOT));
    ExpectNear(Vector3f(0.055f, 0.025f, 0.015f), kin_->getRobotPartPos(PART_RFOOT));
    ExpectNear(Vector3f(-0.055f, -0.005f, 0.15f), link(JID_LLEG_4_).p);
    ExpectNear(Vector3f(0.0f, 0.0f, 0.385f), kin_->getRobotPartPos(PART_BODY));

    EXPECT_NEAR(0.1201f, kin_->NAO_A, 1e-4f);
    EXPECT_NEAR(std::sqrt(0.005f * 0.005f + 0.12f * 0.12f), kin_->NAO_A, 1e-6f);
    EXPECT_NEAR(0.1f, kin_->NAO_B, 1e-6f);
    ExpectNear(Vector3f(-0.055f, -0.01f, -0.115f), kin_->NAO_Dl);
    ExpectNear(Vector3f(0.055f, -0.01f, -0.115f), kin_->NAO_Dr);
    ExpectNear(Vector3f(0.0f, -0.03f, 0.035f), kin_->NAO_E);
}

TEST_F(KinematicTest, LinkTableOfBothLegs) {
    struct Row {
        int j;
        const char* name;
        const char* eff;
        int mother, child, sister;
        Vector3f a, b, c;
    };
    const Vector3f zero;
    const Vector3f x(1, 0, 0);
    const Vector3f y(0, 1, 0);
    const std::vector<Row> rows = {
        {1, "j0", "e0", 0, 12, 0, zero, zero, zero},
        {12, "llj1", "lle1", 1, 14, 13, Vector3f(-0.7071f, 0, -0.7071f),
         Vector3f(-0.055f, -0.01f, -0.115f), zero},
        {14, "llj2", "lle2", 12, 16, 0, y, zero, zero},
        {16, "llj3", "lle3", 14, 18, 0, x, zero, Vector3f(0, 0.01f, -0.04f)},
        {18, "llj4", "lle4", 16, 20, 0, x, Vector3f(0, 0.005f, -0.12f),
         Vector3f(0, 0.01f, -0.045f)},
        {20, "llj5", "lle5", 18, 22, 0, x, Vector3f(0, 0, -0.1f), zero},
        {22, "llj6", "lle6", 20, 0, 0, y, zero, Vector3f(0, 0.03f, -0.035f)},
        {13, "rlj1", "rle1", 1, 15, 0, Vector3f(-0.7071f, 0, 0.7071f),
         Vector3f(0.055f, -0.01f, -0.115f), zero},
        {15, "rlj2", "rle2", 13, 17, 0, y, zero, zero},
        {17, "rlj3", "rle3", 15, 19, 0, x, zero, Vector3f(0, 0.01f, -0.04f)},
        {19, "rlj4", "rle4", 17, 21, 0, x, Vector3f(0, 0.005f, -0.12f),
         Vector3f(0, 0.01f, -0.045f)},
        {21, "rlj5", "rle5", 19, 23, 0, x, Vector3f(0, 0, -0.1f), zero},
        {23, "rlj6", "rle6", 21, 0, 0, y, zero, Vector3f(0, 0.03f, -0.035f)},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.j);
        const Link& l = link(row.j);
        EXPECT_EQ(row.name, l.name);
        EXPECT_EQ(row.eff, l.eff_name);
        EXPECT_EQ(row.mother, l.mother);
        EXPECT_EQ(row.child, l.child);
        EXPECT_EQ(row.sister, l.sister);
        ExpectNear(row.a, l.a, 1e-6f);
        ExpectNear(row.b, l.b, 1e-6f);
        ExpectNear(row.c, l.c, 1e-6f);
    }
    // Head and arms carry names only and hang from nothing.
    const char* names[] = {"hj1",  "hj2",  "laj1", "raj1", "laj2",
                           "raj2", "laj3", "raj3", "laj4", "raj4"};
    for (int j = 2; j <= 11; ++j) {
        EXPECT_EQ(names[j - 2], link(j).name);
        EXPECT_EQ(0, link(j).mother);
    }
    EXPECT_EQ("he1", link(2).eff_name);
    EXPECT_EQ("rae4", link(11).eff_name);
    EXPECT_EQ(22, kin_->mJointIDMap["llj6"]);
    EXPECT_EQ(5, kin_->mJointIDMap["raj1"]);
    EXPECT_EQ("torso", kin_->getRobotPartInfo()[PART_BODY].name);
}

TEST_F(KinematicTest, FindRoute) {
    EXPECT_EQ((std::vector<int>{13, 15, 17, 19, 21, 23}), kin_->findRoute(23));
    EXPECT_EQ((std::vector<int>{12, 14, 16, 18, 20, 22}), kin_->findRoute(22));
    EXPECT_EQ((std::vector<int>{12, 14, 16}), kin_->findRoute(16));
    // The root, joints outside the tree and values outside the table.
    EXPECT_TRUE(kin_->findRoute(1).empty());
    EXPECT_TRUE(kin_->findRoute(2).empty());
    EXPECT_TRUE(kin_->findRoute(0).empty());
    EXPECT_TRUE(kin_->findRoute(24).empty());
    EXPECT_TRUE(kin_->findRoute(-5).empty());
    EXPECT_FALSE(kin_->inverseKinematics(3, Matrix()));
}

TEST_F(KinematicTest, UpdateLinkTakesMeasuredAnglesInLinkNumbering) {
    wm_->mJointIDToAngleMap[JID_HEAD_2] = 30.0f;
    wm_->mJointIDToAngleMap[JID_LARM_1] = -45.0f;
    wm_->mJointIDToAngleMap[JID_RARM_4] = 10.0f;
    wm_->mJointIDToAngleMap[JID_LLEG_4] = -90.0f;
    wm_->mJointIDToAngleMap[JID_RLEG_6] = 20.0f;
    kin_->updateLink();
    EXPECT_NEAR(gDegToRad(30.0f), link(JID_HEAD_2_).q, 1e-6f);
    EXPECT_NEAR(gDegToRad(-45.0f), link(JID_LARM_1_).q, 1e-6f);
    EXPECT_NEAR(gDegToRad(10.0f), link(JID_RARM_4_).q, 1e-6f);
    EXPECT_NEAR(gDegToRad(-90.0f), link(JID_LLEG_4_).q, 1e-6f);
    EXPECT_NEAR(gDegToRad(20.0f), link(JID_RLEG_6_).q, 1e-6f);
    EXPECT_EQ(0.0f, link(JID_LLEG_5_).q);

    // Knee bent by -90 degrees about x: the shank points backwards (-y).
    ExpectNear(Vector3f(-0.055f, -0.105f, 0.15f), link(JID_LLEG_5_).p);
    // The foot centre turns with the shank: (0, 0.03, -0.035) becomes
    // (0, -0.035, -0.03).
    ExpectNear(Vector3f(-0.055f, -0.14f, 0.12f), kin_->getRobotPartPos(PART_LFOOT));
    const Matrix foot = kin_->getRobotPartMatrix(PART_LFOOT);
    ExpectNear(kin_->getRobotPartPos(PART_LFOOT), foot.Pos());
    EXPECT_NEAR(0.0f, foot(1, 1), 1e-6f);
    EXPECT_NEAR(1.0f, foot(1, 2), 1e-6f);
    // The right ankle roll does not move its own joint.
    ExpectNear(Vector3f(0.055f, -0.005f, 0.05f), link(JID_RLEG_6_).p);
}

TEST_F(KinematicTest, PartOutsideTheTableIsReported) {
    tovra_test::captureStdout();
    const Vector3f pos = kin_->getRobotPartPos(0);
    const Matrix m = kin_->getRobotPartMatrix(24);
    const std::string out = tovra_test::capturedStdout();
    EXPECT_EQ(
        "(Kinematic) ERROR: (getRobotPartPos) part unknown\n"
        "(Kinematic) ERROR: (getRobotPartMatrix) part unknown\n",
        out);
    ExpectNear(Vector3f(), pos);
    EXPECT_EQ(1.0f, m(0, 0));
}

TEST_F(KinematicTest, PrintLinkListsSubtreeChildrenFirst) {
    wm_->mJointIDToAngleMap[JID_RLEG_4] = -60.0f;
    kin_->updateLink();
    tovra_test::captureStdout();
    kin_->printLink(JID_RLEG_3_);
    EXPECT_EQ(
        "j = 17 : rlj3, 0.000\n"
        "j = 19 : rlj4, -60.000\n"
        "j = 21 : rlj5, 0.000\n"
        "j = 23 : rlj6, 0.000\n",
        tovra_test::capturedStdout());
}

// Forward kinematics of random walking poses, then the leg solver back to
// the same foot pose from a torso that is tilted and moved.
TEST_F(KinematicTest, LegSolverRoundTrips) {
    std::mt19937 gen(4711);
    std::uniform_real_distribution<float> knee(gDegToRad(-120.0f), gDegToRad(-5.0f));
    std::uniform_real_distribution<float> other(gDegToRad(-30.0f), gDegToRad(30.0f));
    std::uniform_real_distribution<float> tilt(gDegToRad(-15.0f), gDegToRad(15.0f));
    std::uniform_real_distribution<float> shift(-0.5f, 0.5f);
    int solved = 0;
    float worst = 0.0f;
    for (int trial = 0; trial < 400; ++trial) {
        const bool left = trial % 2 == 0;
        const int first = left ? JID_LLEG_1_ : JID_RLEG_1_;
        const int foot = left ? JID_LLEG_6_ : JID_RLEG_6_;

        Matrix torso;
        torso.RotationZ(tilt(gen) * 4.0f);
        torso.RotateX(tilt(gen));
        torso.RotateY(tilt(gen));
        torso.Pos() = Vector3f(shift(gen), shift(gen), 0.3f + shift(gen));

        boost::shared_array<Link> links = kin_->getLink();
        links[JID_ROOT_].R = torso;
        links[JID_ROOT_].p = torso.Pos();
        float angles[6];
        for (int i = 0; i < 6; ++i) {
            angles[i] = i == 3 ? knee(gen) : other(gen);
            links[first + 2 * i].q = angles[i];
        }
        kin_->forwardKinematics(JID_ROOT_);
        const Matrix target = footPose(links[foot]);
        Matrix ankle = links[foot].R;
        ankle.Pos() = links[foot].p;

        // Start the solver from the zero pose.
        for (int i = 0; i < 6; ++i) {
            links[first + 2 * i].q = 0.0f;
        }
        tovra_test::captureStdout();
        const bool ok = kin_->IK_leg(torso, target, left);
        const std::string out = tovra_test::capturedStdout();
        EXPECT_TRUE(ok) << "trial " << trial << ": " << out;
        EXPECT_EQ("", out);
        if (!ok) {
            continue;
        }

        // The stored solution, run through the chain again.
        const boost::shared_array<float> result = kin_->getIKJointAngle();
        for (int i = 0; i < 6; ++i) {
            links[first + 2 * i].q = result[first + 2 * i];
            EXPECT_NEAR(angles[i], result[first + 2 * i], 0.02f) << "trial " << trial;
        }
        kin_->forwardKinematics(JID_ROOT_);
        const float error = poseError(links[foot], ankle);
        worst = std::max(worst, error);
        EXPECT_LT(error, 0.001f) << "trial " << trial;
        if (error < 0.001f) {
            ++solved;
        }
    }
    // Every trial solved to within 1 mm.
    EXPECT_EQ(400, solved);
    RecordProperty("worst_error", std::to_string(worst));
}

// The analytic stage alone lands within a few degrees of the true angles (the
// knee is off by the thigh's forward offset), for both legs and with the knee
// folded so far that the hip lies below the ankle's plane.
TEST_F(KinematicTest, AnalyticStageStartsNearTheTruePose) {
    const float cases[][6] = {
        {0.0f, 0.0f, 0.0f, -0.5f, 0.0f, 0.0f},    {0.2f, 0.1f, -0.3f, -1.0f, 0.3f, -0.1f},
        {-0.3f, 0.4f, 0.3f, -1.5f, -0.2f, 0.2f},  {0.1f, -0.2f, 0.1f, -1.9f, -0.5f, -0.2f},
        {-0.5f, 0.3f, -0.3f, -2.0f, -0.5f, 0.3f}, {0.5f, -0.5f, 0.5f, -0.2f, 0.5f, 0.5f},
    };
    boost::shared_array<Link> links = kin_->getLink();
    for (int side = 0; side < 2; ++side) {
        const bool left = side == 0;
        const int first = left ? JID_LLEG_1_ : JID_RLEG_1_;
        for (const auto& angles : cases) {
            for (int i = 0; i < 6; ++i) {
                links[first + 2 * i].q = angles[i];
            }
            kin_->forwardKinematics(JID_ROOT_);
            Matrix ankle = links[first + 10].R;
            ankle.Pos() = links[first + 10].p;
            Matrix hip;
            hip.Pos() = links[first + 4].p;
            ASSERT_TRUE(kin_->IK_leg(hip, kin_->NAO_A, kin_->NAO_B, ankle, left));
            const boost::shared_array<float> result = kin_->getIKJointAngle();
            for (int i = 0; i < 6; ++i) {
                EXPECT_NEAR(angles[i], result[first + 2 * i], 0.07f)
                    << (left ? "left" : "right") << " joint " << i << " knee " << angles[3];
            }
        }
    }
}

TEST_F(KinematicTest, UnreachableTargetsAreReported) {
    const Matrix torso;  // at the origin
    // Left: the ankle 2 cm farther below the hip than both leg segments.
    Matrix foot;
    const float reach = kin_->NAO_A + kin_->NAO_B;
    foot.Pos() = kin_->NAO_Dl - Vector3f(0, 0, reach + 0.02f) - kin_->NAO_E;
    tovra_test::captureStdout();
    EXPECT_FALSE(kin_->IK_leg(torso, foot, true));
    EXPECT_EQ("cosKneePitch >= 1.0\nanalytic method failed: leg -- 1\n",
              tovra_test::capturedStdout());

    // Right: the ankle inside the hip, closer than the two segments can fold.
    foot.Pos() = kin_->NAO_Dr + Vector3f(0, 0, -0.005f) - kin_->NAO_E;
    tovra_test::captureStdout();
    EXPECT_FALSE(kin_->IK_leg(torso, foot, false));
    EXPECT_EQ("analytic method failed: leg -- 0\n", tovra_test::capturedStdout());

    // The analytic stage on its own: exactly A + B below the hip.
    Matrix hip;
    hip.Pos() = Vector3f(0, 0, 1.0f);
    Matrix ankle;
    tovra_test::captureStdout();
    EXPECT_FALSE(kin_->IK_leg(hip, 0.5f, 0.5f, ankle, true));
    EXPECT_EQ("cosKneePitch >= 1.0\n", tovra_test::capturedStdout());
}

TEST_F(KinematicTest, TargetsThatAreNotFiniteFailLikeUnreachableOnes) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const boost::shared_array<float> result = kin_->getIKJointAngle();
    for (int j = 12; j <= 23; ++j) {
        result[j] = 0.25f;
    }
    const Vector3f rootBefore = link(JID_ROOT_).p;

    Matrix torso;
    torso(1, 0) = nan;
    Matrix foot;
    foot.Pos() = Vector3f(-0.055f, 0.02f, -0.2f);
    tovra_test::captureStdout();
    EXPECT_FALSE(kin_->IK_leg(torso, foot, true));
    EXPECT_EQ("analytic method failed: leg -- 1\n", tovra_test::capturedStdout());

    Matrix badFoot;
    badFoot.Pos() = Vector3f(0.055f, std::numeric_limits<float>::infinity(), -0.2f);
    tovra_test::captureStdout();
    EXPECT_FALSE(kin_->IK_leg(Matrix(), badFoot, false));
    EXPECT_EQ("analytic method failed: leg -- 0\n", tovra_test::capturedStdout());

    // The analytic stage with a zero thigh and the hip exactly one shank away
    // divides zero by zero for the knee cosine.
    Matrix hip;
    hip.Pos() = Vector3f(0, 0, 0.1f);
    tovra_test::captureStdout();
    EXPECT_FALSE(kin_->IK_leg(hip, 0.0f, 0.1f, Matrix(), true));
    EXPECT_EQ("", tovra_test::capturedStdout());

    // Nothing was stored and the root kept its pose.
    for (int j = 12; j <= 23; ++j) {
        EXPECT_EQ(0.25f, result[j]) << j;
    }
    ExpectNear(rootBefore, link(JID_ROOT_).p);
    kin_->forwardKinematics(JID_ROOT_);
    EXPECT_TRUE(std::isfinite(link(JID_LLEG_6_).p.z()));
}

TEST_F(KinematicTest, NumericalStageMeetsTheBound) {
    // Start from a pose near the target and let the numerical stage alone
    // pull the left foot onto it.
    boost::shared_array<Link> links = kin_->getLink();
    const float angles[6] = {0.1f, -0.05f, 0.4f, -0.8f, 0.35f, 0.05f};
    for (int i = 0; i < 6; ++i) {
        links[JID_LLEG_1_ + 2 * i].q = angles[i];
    }
    kin_->forwardKinematics(JID_ROOT_);
    Matrix target = links[JID_LLEG_6_].R;
    target.Pos() = links[JID_LLEG_6_].p;
    for (int i = 0; i < 6; ++i) {
        links[JID_LLEG_1_ + 2 * i].q = angles[i] + 0.1f;
    }
    kin_->forwardKinematics(JID_ROOT_);
    ASSERT_GT(poseError(links[JID_LLEG_6_], target), 0.05f);
    EXPECT_TRUE(kin_->inverseKinematics(JID_LLEG_6_, target));
    EXPECT_LT(poseError(links[JID_LLEG_6_], target), 0.001f);
}
