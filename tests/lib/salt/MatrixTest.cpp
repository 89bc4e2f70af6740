#include <gtest/gtest.h>

#include <random>

#include "salt/matrix.h"

using namespace salt;

namespace {

void ExpectNear(const Vector3f& expected, const Vector3f& actual, float tol = 1e-5f) {
    EXPECT_NEAR(expected.x(), actual.x(), tol);
    EXPECT_NEAR(expected.y(), actual.y(), tol);
    EXPECT_NEAR(expected.z(), actual.z(), tol);
}

void ExpectNear(const Matrix& expected, const Matrix& actual, float tol = 1e-5f) {
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            EXPECT_NEAR(expected(r, c), actual(r, c), tol) << "row " << r << " col " << c;
        }
    }
}

Matrix RandomRigid(std::mt19937& gen) {
    std::uniform_real_distribution<float> angle(-3.0f, 3.0f);
    std::uniform_real_distribution<float> pos(-2.0f, 2.0f);
    Matrix m;
    m.RotationZ(angle(gen));
    m.RotateY(angle(gen));
    m.RotateX(angle(gen));
    m.Pos() = Vector3f(pos(gen), pos(gen), pos(gen));
    return m;
}

}  // namespace

TEST(MatrixLayout, SetIsRowOrderStorageIsColumnMajor) {
    Matrix m;
    m.Set(1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16);
    EXPECT_EQ(2.0f, m(0, 1));
    EXPECT_EQ(5.0f, m.El(1, 0));
    EXPECT_EQ(5.0f, m.m[1]);   // row 1, column 0
    EXPECT_EQ(2.0f, m.m[4]);   // row 0, column 1
    EXPECT_EQ(4.0f, m.m[12]);  // translation x
    EXPECT_EQ(Vector3f(4, 8, 12), m.Pos());
    m.Pos() = Vector3f(-1, -2, -3);
    EXPECT_EQ(-2.0f, m(1, 3));
    const Matrix same(1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16);
    EXPECT_EQ(14.0f, same(3, 1));
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(i % 5 == 0 ? 1.0f : 0.0f, Matrix::mIdentity.m[i]);
    }
}

TEST(MatrixRotation, ElementsAreRightHanded) {
    Matrix x;
    x.RotationX(0.3f);
    EXPECT_FLOAT_EQ(std::cos(0.3f), x(1, 1));
    EXPECT_FLOAT_EQ(-std::sin(0.3f), x(1, 2));
    EXPECT_FLOAT_EQ(std::sin(0.3f), x(2, 1));
    EXPECT_FLOAT_EQ(1.0f, x(0, 0));
    EXPECT_FLOAT_EQ(1.0f, x(3, 3));
    const float quarter = static_cast<float>(gHalfPI);
    Matrix r;
    r.RotationZ(quarter);
    ExpectNear(Vector3f(0, 1, 0), r.Rotate(Vector3f(1, 0, 0)));
    r.RotationX(quarter);
    ExpectNear(Vector3f(0, 0, 1), r.Rotate(Vector3f(0, 1, 0)));
    r.RotationY(quarter);
    ExpectNear(Vector3f(1, 0, 0), r.Rotate(Vector3f(0, 0, 1)));
}

TEST(MatrixRotation, RotateLeavesTranslationTransformAddsIt) {
    Matrix m;
    m.RotationZ(static_cast<float>(gHalfPI));
    m.Pos() = Vector3f(10, 20, 30);
    ExpectNear(Vector3f(0, 1, 0), m.Rotate(Vector3f(1, 0, 0)));
    ExpectNear(Vector3f(10, 21, 30), m.Transform(Vector3f(1, 0, 0)));
    ExpectNear(Vector3f(10, 21, 30), m * Vector3f(1, 0, 0));
}

TEST(MatrixRotation, RotateXIsPostMultiplication) {
    Matrix m;
    m.RotationZ(0.7f);
    m.Pos() = Vector3f(1, 2, 3);
    Matrix rx;
    rx.RotationX(0.4f);
    const Matrix post = m * rx;
    Matrix pre = rx * m;
    m.RotateX(0.4f);
    ExpectNear(post, m);
    EXPECT_EQ(Vector3f(1, 2, 3), m.Pos());
    // Pre-multiplication would give a different rotation.
    EXPECT_GT(std::fabs(pre(0, 1) - m(0, 1)) + std::fabs(pre(2, 0) - m(2, 0)), 0.1f);

    Matrix y;
    y.RotationY(0.2f);
    Matrix ym = y;
    ym.RotateY(0.3f);
    Matrix sum;
    sum.RotationY(0.5f);
    ExpectNear(sum, ym);
    Matrix z = m;
    z.RotateZ(-1.1f);
    Matrix rz;
    rz.RotationZ(-1.1f);
    ExpectNear(m * rz, z);
}

TEST(MatrixProducts, ComposeLikeTransforms) {
    std::mt19937 gen(3);
    for (int i = 0; i < 20; ++i) {
        const Matrix a = RandomRigid(gen);
        const Matrix b = RandomRigid(gen);
        const Vector3f v(0.3f * i, -1.0f, 2.0f);
        ExpectNear(a.Transform(b.Transform(v)), (a * b).Transform(v), 1e-4f);
        ExpectNear(a, a * Matrix::mIdentity);
    }
}

TEST(MatrixInverse, RigidTransformTimesInverseIsIdentity) {
    std::mt19937 gen(11);
    for (int i = 0; i < 50; ++i) {
        const Matrix m = RandomRigid(gen);
        Matrix inv = m;
        inv.InvertRotationMatrix();
        ExpectNear(Matrix::mIdentity, m * inv, 1e-5f);
        ExpectNear(Matrix::mIdentity, inv * m, 1e-5f);
        const Vector3f p(1, -2, 0.5f);
        ExpectNear(p, inv.Transform(m.Transform(p)), 1e-5f);
    }
}

TEST(MatrixLookAt, MapsTheEyeToTheOriginAndDirToX) {
    Matrix view;
    const Vector3f eye(1, 2, 3);
    view.LookAt(eye, Vector3f(0, 2, 0), Vector3f(0, 0, 5));
    ExpectNear(Vector3f(0, 0, 0), view.Transform(eye));
    ExpectNear(Vector3f(4, 0, 0), view.Transform(eye + Vector3f(0, 4, 0)));
    ExpectNear(Vector3f(0, 1, 0), view.Transform(eye + Vector3f(0, 0, 1)));
    // Row 2 is up x dir: z cross y = -x.
    ExpectNear(Vector3f(0, 0, 1), view.Transform(eye + Vector3f(-1, 0, 0)));
    EXPECT_EQ(1.0f, view(3, 3));
    EXPECT_EQ(0.0f, view(3, 0));
}
