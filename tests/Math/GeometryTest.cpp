#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "Math/Geometry.h"

using salt::Matrix;
using salt::Vector3f;

namespace {

const double kPi = 3.141592653589793;

typedef std::vector<std::vector<double>> Dense;

// Solves the square system a x = b by Gaussian elimination with pivoting.
std::vector<double> solveDirect(Dense a, std::vector<double> b) {
    const int n = static_cast<int>(b.size());
    for (int col = 0; col < n; ++col) {
        int pivot = col;
        for (int r = col + 1; r < n; ++r) {
            if (std::fabs(a[r][col]) > std::fabs(a[pivot][col])) {
                pivot = r;
            }
        }
        std::swap(a[col], a[pivot]);
        std::swap(b[col], b[pivot]);
        for (int r = col + 1; r < n; ++r) {
            const double f = a[r][col] / a[col][col];
            for (int c = col; c < n; ++c) {
                a[r][c] -= f * a[col][c];
            }
            b[r] -= f * b[col];
        }
    }
    std::vector<double> x(n);
    for (int r = n - 1; r >= 0; --r) {
        double s = b[r];
        for (int c = r + 1; c < n; ++c) {
            s -= a[r][c] * x[c];
        }
        x[r] = s / a[r][r];
    }
    return x;
}

// Minimum-norm solution of a full-row-rank system: x = A^T (A A^T)^-1 b.
std::vector<double> minimumNorm(const Dense& a, const std::vector<double>& b) {
    const size_t m = a.size();
    const size_t n = a[0].size();
    Dense aat(m, std::vector<double>(m, 0.0));
    for (size_t i = 0; i < m; ++i) {
        for (size_t j = 0; j < m; ++j) {
            for (size_t k = 0; k < n; ++k) {
                aat[i][j] += a[i][k] * a[j][k];
            }
        }
    }
    const std::vector<double> y = solveDirect(aat, b);
    std::vector<double> x(n, 0.0);
    for (size_t k = 0; k < n; ++k) {
        for (size_t i = 0; i < m; ++i) {
            x[k] += a[i][k] * y[i];
        }
    }
    return x;
}

// Runs svd on a dense matrix, converting to the float row-pointer form.
bool runSvd(const Dense& a, const std::vector<double>& b, std::vector<float>& x) {
    const int m = static_cast<int>(a.size());
    const int n = static_cast<int>(a[0].size());
    std::vector<std::vector<float>> rows(m, std::vector<float>(n));
    std::vector<const float*> ptrs(m);
    std::vector<float> bf(m);
    for (int i = 0; i < m; ++i) {
        for (int j = 0; j < n; ++j) {
            rows[i][j] = static_cast<float>(a[i][j]);
        }
        ptrs[i] = rows[i].data();
        bf[i] = static_cast<float>(b[i]);
    }
    x.assign(n, 0.0f);
    return svd(x.data(), ptrs.data(), bf.data(), m, n);
}

Dense randomMatrix(std::mt19937& gen, int m, int n) {
    std::uniform_real_distribution<double> d(-1.0, 1.0);
    Dense a(m, std::vector<double>(n));
    for (auto& row : a) {
        for (double& e : row) {
            e = static_cast<float>(d(gen));  // exactly representable in float
        }
    }
    return a;
}

std::vector<double> randomVector(std::mt19937& gen, int n) {
    std::uniform_real_distribution<double> d(-2.0, 2.0);
    std::vector<double> v(n);
    for (double& e : v) {
        e = static_cast<float>(d(gen));
    }
    return v;
}

Vector3f randomAxis(std::mt19937& gen) {
    std::normal_distribution<float> d;
    Vector3f axis(d(gen), d(gen), d(gen));
    return axis.Normalized();
}

}  // namespace

TEST(GeometryRodrigues, IsAProperRotationAboutTheAxis) {
    const Matrix r = Rodrigues(Vector3f(0, 0, 1), 0.5f);
    Matrix rz;
    rz.RotationZ(0.5f);
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) {
            EXPECT_NEAR(rz(i, j), r(i, j), 1e-6f);
        }
    }
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(0.0f, r(3, i)) << i;  // bottom row, (3,3) included
        EXPECT_EQ(0.0f, r(i, 3)) << i;  // translation column
    }

    std::mt19937 gen(5);
    for (int t = 0; t < 50; ++t) {
        const Vector3f axis = randomAxis(gen);
        const float angle = std::uniform_real_distribution<float>(-3.0f, 3.0f)(gen);
        const Matrix m = Rodrigues(axis, angle);
        const Vector3f fixed = m.Rotate(axis);
        EXPECT_NEAR(0.0f, (fixed - axis).Length(), 1e-5f);
        for (int i = 0; i < 3; ++i) {
            for (int j = 0; j < 3; ++j) {
                float dot = 0;
                for (int k = 0; k < 3; ++k) {
                    dot += m(k, i) * m(k, j);
                }
                EXPECT_NEAR(i == j ? 1.0f : 0.0f, dot, 1e-5f);
            }
        }
        // Right-handed: a vector perpendicular to the axis turns towards axis x v.
        const Vector3f perp = axis.Cross(Vector3f(1, 2, 3)).Normalized();
        const Vector3f expected = perp * std::cos(angle) + axis.Cross(perp) * std::sin(angle);
        EXPECT_NEAR(0.0f, (m.Rotate(perp) - expected).Length(), 1e-5f);
    }
}

TEST(GeometryRotToOmega, RecoversAxisTimesAngle) {
    const Vector3f w = RotToOmega(Rodrigues(Vector3f(0, 0, 1), 0.5f));
    EXPECT_NEAR(0.0f, w.x(), 1e-6f);
    EXPECT_NEAR(0.0f, w.y(), 1e-6f);
    EXPECT_NEAR(0.5f, w.z(), 1e-6f);

    std::mt19937 gen(17);
    std::uniform_real_distribution<float> angle(0.01f, static_cast<float>(kPi) - 0.01f);
    for (int t = 0; t < 200; ++t) {
        const Vector3f axis = randomAxis(gen);
        const float theta =
            t == 0 ? 0.01f : (t == 1 ? static_cast<float>(kPi) - 0.01f : angle(gen));
        const Vector3f omega = RotToOmega(Rodrigues(axis, theta));
        // From single-precision elements, arccos of the trace loses accuracy
        // near pi: the error grows as 1/sin^2(theta).
        const float sine = std::sin(theta);
        const float tolerance = 1e-5f + 3e-6f / (sine * sine);
        EXPECT_NEAR(0.0f, (omega - axis * theta).Length(), tolerance) << "angle " << theta;
    }
}

TEST(GeometryRotToOmega, IdentityAndInvalidGiveZero) {
    EXPECT_EQ(Vector3f(0, 0, 0), RotToOmega(Matrix::mIdentity));
    EXPECT_EQ(Vector3f(0, 0, 0), RotToOmega(Rodrigues(Vector3f(1, 0, 0), 0.0f)));
    // Below the identity tolerance of 0.001 per element.
    EXPECT_EQ(Vector3f(0, 0, 0), RotToOmega(Rodrigues(Vector3f(0, 1, 0), 0.0005f)));
    Matrix scaled;
    scaled.Set(3, 0, 0, 0, 0, 3, 0, 0, 0, 0, 3, 0, 0, 0, 0, 1);  // trace far above 3
    const Vector3f w = RotToOmega(scaled);
    EXPECT_EQ(Vector3f(0, 0, 0), w);
    Matrix flipped;
    flipped.Set(-1, 0, 0, 0, 0, -1, 0, 0, 0, 0, -1, 0, 0, 0, 0, 1);  // c = -2
    EXPECT_EQ(Vector3f(0, 0, 0), RotToOmega(flipped));
}

TEST(GeometryIsRi, ToleranceIsPerElement) {
    Matrix m;
    EXPECT_TRUE(IsRi(m));
    m.Pos() = Vector3f(5, 5, 5);  // translation is not looked at
    EXPECT_TRUE(IsRi(m));
    m(0, 1) = 0.0009f;
    m(2, 2) = 1.0009f;
    EXPECT_TRUE(IsRi(m));
    m(1, 0) = -0.0011f;
    EXPECT_FALSE(IsRi(m));
    Matrix d;
    d(1, 1) = 0.998f;
    EXPECT_FALSE(IsRi(d));
}

TEST(GeometrySvd, MatchesTheDirectSolutionOnWellConditionedSystems) {
    std::mt19937 gen(23);
    for (int t = 0; t < 30; ++t) {
        Dense a = randomMatrix(gen, 6, 6);
        for (int i = 0; i < 6; ++i) {
            a[i][i] += a[i][i] >= 0 ? 3.0 : -3.0;  // keep it well conditioned
        }
        const std::vector<double> b = randomVector(gen, 6);
        std::vector<float> x;
        ASSERT_TRUE(runSvd(a, b, x));
        const std::vector<double> direct = solveDirect(a, b);
        for (int i = 0; i < 6; ++i) {
            EXPECT_NEAR(direct[i], x[i], 1e-5) << "system " << t << " unknown " << i;
        }
    }
}

TEST(GeometrySvd, RankDeficientGivesTheMinimumNormSolution) {
    std::mt19937 gen(29);
    for (int t = 0; t < 10; ++t) {
        Dense a = randomMatrix(gen, 6, 6);
        std::vector<double> b = randomVector(gen, 6);
        a[4] = a[1];  // two equal rows
        b[4] = b[1];
        std::vector<float> x;
        ASSERT_TRUE(runSvd(a, b, x));
        Dense reduced(a);
        reduced.erase(reduced.begin() + 4);
        std::vector<double> rb(b);
        rb.erase(rb.begin() + 4);
        const std::vector<double> expected = minimumNorm(reduced, rb);
        for (int i = 0; i < 6; ++i) {
            EXPECT_NEAR(expected[i], x[i], 1e-4) << "system " << t << " unknown " << i;
        }
        // Conflicting right-hand sides for the equal rows: their mean is fitted.
        b[4] = b[1] + 1.0;
        ASSERT_TRUE(runSvd(a, b, x));
        rb[1] = b[1] + 0.5;
        const std::vector<double> fitted = minimumNorm(reduced, rb);
        for (int i = 0; i < 6; ++i) {
            EXPECT_NEAR(fitted[i], x[i], 1e-4) << "system " << t << " unknown " << i;
        }
    }
}

TEST(GeometrySvd, DropsSingularValuesBelowAMillionthOfTheLargest) {
    const Dense a = {{1.0, 0.0}, {0.0, 1e-8}};
    std::vector<float> x;
    ASSERT_TRUE(runSvd(a, {1.0, 1.0}, x));
    EXPECT_NEAR(1.0f, x[0], 1e-6f);
    EXPECT_EQ(0.0f, x[1]);
    const Dense kept = {{1.0, 0.0}, {0.0, 1e-5}};
    ASSERT_TRUE(runSvd(kept, {1.0, 1.0}, x));
    EXPECT_NEAR(1e5f, x[1], 1.0f);
}

TEST(GeometrySvd, RectangularSystems) {
    std::mt19937 gen(31);
    // Overdetermined: the least-squares solution of the normal equations.
    const Dense tall = randomMatrix(gen, 9, 4);
    const std::vector<double> bt = randomVector(gen, 9);
    Dense ata(4, std::vector<double>(4, 0.0));
    std::vector<double> atb(4, 0.0);
    for (int i = 0; i < 4; ++i) {
        for (int k = 0; k < 9; ++k) {
            atb[i] += tall[k][i] * bt[k];
            for (int j = 0; j < 4; ++j) {
                ata[i][j] += tall[k][i] * tall[k][j];
            }
        }
    }
    const std::vector<double> ls = solveDirect(ata, atb);
    std::vector<float> x;
    ASSERT_TRUE(runSvd(tall, bt, x));
    for (int i = 0; i < 4; ++i) {
        EXPECT_NEAR(ls[i], x[i], 1e-4) << i;
    }
    // Underdetermined: the minimum-norm solution.
    const Dense wide = randomMatrix(gen, 3, 6);
    const std::vector<double> bw = randomVector(gen, 3);
    const std::vector<double> mn = minimumNorm(wide, bw);
    ASSERT_TRUE(runSvd(wide, bw, x));
    for (int i = 0; i < 6; ++i) {
        EXPECT_NEAR(mn[i], x[i], 1e-4) << i;
    }
}

TEST(GeometrySvd, UnusableInputIsRefusedAndLeavesXUntouched) {
    float row0[2] = {1, 2};
    float row1[2] = {3, std::numeric_limits<float>::quiet_NaN()};
    const float* rows[2] = {row0, row1};
    const float b[2] = {1, 1};
    float x[2] = {7, 7};
    EXPECT_FALSE(svd(x, rows, b, 2, 2));
    EXPECT_EQ(7.0f, x[0]);
    EXPECT_EQ(7.0f, x[1]);
    row1[1] = std::numeric_limits<float>::infinity();
    EXPECT_FALSE(svd(x, rows, b, 2, 2));
    row1[1] = 4;
    EXPECT_FALSE(svd(x, rows, b, 0, 2));
    EXPECT_FALSE(svd(x, nullptr, b, 2, 2));
    EXPECT_EQ(7.0f, x[0]);
    EXPECT_TRUE(svd(x, rows, b, 2, 2));
    EXPECT_NEAR(-1.0f, x[0], 1e-5f);
    EXPECT_NEAR(1.0f, x[1], 1e-5f);
    // An all-zero matrix has no usable singular value: the solution is 0.
    float z0[2] = {0, 0};
    float z1[2] = {0, 0};
    const float* zeros[2] = {z0, z1};
    EXPECT_TRUE(svd(x, zeros, b, 2, 2));
    EXPECT_EQ(0.0f, x[0]);
    EXPECT_EQ(0.0f, x[1]);
}
