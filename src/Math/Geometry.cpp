#include "Math/Geometry.h"

#include <algorithm>
#include <cmath>
#include <vector>

using salt::Matrix;
using salt::Vector3f;

Matrix Rodrigues(const Vector3f& axis, float theta) {
    const double x = axis.x();
    const double y = axis.y();
    const double z = axis.z();
    const double k[3][3] = {{0, -z, y}, {z, 0, -x}, {-y, x, 0}};
    const double s = std::sin(theta);
    const double c1 = 1.0 - std::cos(theta);

    Matrix r;
    for (float& e : r.m) {
        e = 0.0f;
    }
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) {
            double k2 = 0.0;
            for (int n = 0; n < 3; ++n) {
                k2 += k[i][n] * k[n][j];
            }
            r(i, j) = static_cast<float>((i == j ? 1.0 : 0.0) + s * k[i][j] + c1 * k2);
        }
    }
    return r;
}

bool IsRi(const Matrix& R) {
    const float eps = 0.001f;
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) {
            const float expected = (i == j) ? 1.0f : 0.0f;
            if (!(std::fabs(R(i, j) - expected) <= eps)) {
                return false;
            }
        }
    }
    return true;
}

Vector3f RotToOmega(const Matrix& R) {
    const double c = (static_cast<double>(R(0, 0)) + R(1, 1) + R(2, 2) - 1.0) / 2.0;
    if (IsRi(R) || !(std::fabs(c) <= 1.0)) {
        return Vector3f(0, 0, 0);
    }
    const double theta = std::acos(c);
    const double f = theta / (2.0 * std::sin(theta));
    return Vector3f(static_cast<float>(f * (R(2, 1) - R(1, 2))),
                    static_cast<float>(f * (R(0, 2) - R(2, 0))),
                    static_cast<float>(f * (R(1, 0) - R(0, 1))));
}

namespace {

// Row-major matrix with 1-based indices: rows 1..rows, columns 1..cols.
class Table {
public:
    Table(int rows, int cols) : mCols(cols + 1), mData((rows + 1) * (cols + 1), 0.0) {}
    double& operator()(int r, int c) { return mData[r * mCols + c]; }

private:
    int mCols;
    std::vector<double> mData;
};

// sqrt(a^2 + b^2) without overflow or destructive underflow.
double pythag(double a, double b) {
    const double absa = std::fabs(a);
    const double absb = std::fabs(b);
    if (absa > absb) {
        const double r = absb / absa;
        return absa * std::sqrt(1.0 + r * r);
    }
    if (absb == 0.0) {
        return 0.0;
    }
    const double r = absa / absb;
    return absb * std::sqrt(1.0 + r * r);
}

// |a| with the sign of b.
double SIGN(double a, double b) {
    return b >= 0.0 ? std::fabs(a) : -std::fabs(a);
}

const int kMaxIterations = 30;

// Golub-Reinsch decomposition a = U diag(w) V^T of the m x n matrix a. U
// replaces a; w gets n values, v is n x n. Returns false when a singular value
// does not converge within 30 iterations.
bool svdcmp(Table& a, int m, int n, std::vector<double>& w, Table& v) {
    std::vector<double> rv1(n + 1, 0.0);
    double g = 0.0;
    double scale = 0.0;
    double anorm = 0.0;
    int l = 1;

    // Householder reduction to bidiagonal form.
    for (int i = 1; i <= n; ++i) {
        l = i + 1;
        rv1[i] = scale * g;
        g = 0.0;
        double s = 0.0;
        scale = 0.0;
        if (i <= m) {
            for (int k = i; k <= m; ++k) {
                scale += std::fabs(a(k, i));
            }
            if (scale != 0.0) {
                for (int k = i; k <= m; ++k) {
                    a(k, i) /= scale;
                    s += a(k, i) * a(k, i);
                }
                const double f = a(i, i);
                g = -SIGN(std::sqrt(s), f);
                const double h = f * g - s;
                a(i, i) = f - g;
                for (int j = l; j <= n; ++j) {
                    double sum = 0.0;
                    for (int k = i; k <= m; ++k) {
                        sum += a(k, i) * a(k, j);
                    }
                    const double factor = sum / h;
                    for (int k = i; k <= m; ++k) {
                        a(k, j) += factor * a(k, i);
                    }
                }
                for (int k = i; k <= m; ++k) {
                    a(k, i) *= scale;
                }
            }
        }
        w[i] = scale * g;
        g = 0.0;
        s = 0.0;
        scale = 0.0;
        if (i <= m && i != n) {
            for (int k = l; k <= n; ++k) {
                scale += std::fabs(a(i, k));
            }
            if (scale != 0.0) {
                for (int k = l; k <= n; ++k) {
                    a(i, k) /= scale;
                    s += a(i, k) * a(i, k);
                }
                const double f = a(i, l);
                g = -SIGN(std::sqrt(s), f);
                const double h = f * g - s;
                a(i, l) = f - g;
                for (int k = l; k <= n; ++k) {
                    rv1[k] = a(i, k) / h;
                }
                for (int j = l; j <= m; ++j) {
                    double sum = 0.0;
                    for (int k = l; k <= n; ++k) {
                        sum += a(j, k) * a(i, k);
                    }
                    for (int k = l; k <= n; ++k) {
                        a(j, k) += sum * rv1[k];
                    }
                }
                for (int k = l; k <= n; ++k) {
                    a(i, k) *= scale;
                }
            }
        }
        anorm = std::max(anorm, std::fabs(w[i]) + std::fabs(rv1[i]));
    }

    // Accumulation of the right-hand transformations into v.
    for (int i = n; i >= 1; --i) {
        if (i < n) {
            if (g != 0.0) {
                // Double division avoids a possible underflow.
                for (int j = l; j <= n; ++j) {
                    v(j, i) = (a(i, j) / a(i, l)) / g;
                }
                for (int j = l; j <= n; ++j) {
                    double sum = 0.0;
                    for (int k = l; k <= n; ++k) {
                        sum += a(i, k) * v(k, j);
                    }
                    for (int k = l; k <= n; ++k) {
                        v(k, j) += sum * v(k, i);
                    }
                }
            }
            for (int j = l; j <= n; ++j) {
                v(i, j) = 0.0;
                v(j, i) = 0.0;
            }
        }
        v(i, i) = 1.0;
        g = rv1[i];
        l = i;
    }

    // Accumulation of the left-hand transformations into a (becoming U).
    for (int i = std::min(m, n); i >= 1; --i) {
        l = i + 1;
        g = w[i];
        for (int j = l; j <= n; ++j) {
            a(i, j) = 0.0;
        }
        if (g != 0.0) {
            g = 1.0 / g;
            for (int j = l; j <= n; ++j) {
                double sum = 0.0;
                for (int k = l; k <= m; ++k) {
                    sum += a(k, i) * a(k, j);
                }
                const double f = (sum / a(i, i)) * g;
                for (int k = i; k <= m; ++k) {
                    a(k, j) += f * a(k, i);
                }
            }
            for (int j = i; j <= m; ++j) {
                a(j, i) *= g;
            }
        } else {
            for (int j = i; j <= m; ++j) {
                a(j, i) = 0.0;
            }
        }
        a(i, i) += 1.0;
    }

    // Diagonalisation of the bidiagonal form by implicitly shifted QR steps.
    for (int k = n; k >= 1; --k) {
        for (int its = 1; its <= kMaxIterations; ++its) {
            // Look for a negligible superdiagonal element (rv1[1] is always 0).
            bool cancel = true;
            int nm = 0;
            for (l = k; l >= 1; --l) {
                nm = l - 1;
                if (l == 1 || std::fabs(rv1[l]) + anorm == anorm) {
                    cancel = false;
                    break;
                }
                if (std::fabs(w[nm]) + anorm == anorm) {
                    break;
                }
            }
            if (cancel) {
                // w[nm] is negligible: cancel rv1[l].
                double c = 0.0;
                double s = 1.0;
                for (int i = l; i <= k; ++i) {
                    const double f = s * rv1[i];
                    rv1[i] = c * rv1[i];
                    if (std::fabs(f) + anorm == anorm) {
                        break;
                    }
                    g = w[i];
                    double h = pythag(f, g);
                    w[i] = h;
                    h = 1.0 / h;
                    c = g * h;
                    s = -f * h;
                    for (int j = 1; j <= m; ++j) {
                        const double y = a(j, nm);
                        const double z = a(j, i);
                        a(j, nm) = y * c + z * s;
                        a(j, i) = z * c - y * s;
                    }
                }
            }
            double z = w[k];
            if (l == k) {
                // Converged; make the singular value non-negative.
                if (z < 0.0) {
                    w[k] = -z;
                    for (int j = 1; j <= n; ++j) {
                        v(j, k) = -v(j, k);
                    }
                }
                break;
            }
            if (its == kMaxIterations) {
                return false;
            }
            // Shift from the bottom 2x2 minor.
            double x = w[l];
            nm = k - 1;
            double y = w[nm];
            g = rv1[nm];
            double h = rv1[k];
            double f = ((y - z) * (y + z) + (g - h) * (g + h)) / (2.0 * h * y);
            g = pythag(f, 1.0);
            f = ((x - z) * (x + z) + h * ((y / (f + SIGN(g, f))) - h)) / x;
            // Next QR transformation.
            double c = 1.0;
            double s = 1.0;
            for (int j = l; j <= nm; ++j) {
                const int i = j + 1;
                g = rv1[i];
                y = w[i];
                h = s * g;
                g = c * g;
                z = pythag(f, h);
                rv1[j] = z;
                c = f / z;
                s = h / z;
                f = x * c + g * s;
                g = g * c - x * s;
                h = y * s;
                y *= c;
                for (int jj = 1; jj <= n; ++jj) {
                    const double vx = v(jj, j);
                    const double vz = v(jj, i);
                    v(jj, j) = vx * c + vz * s;
                    v(jj, i) = vz * c - vx * s;
                }
                z = pythag(f, h);
                w[j] = z;
                if (z != 0.0) {
                    z = 1.0 / z;
                    c = f * z;
                    s = h * z;
                }
                f = c * g + s * y;
                x = c * y - s * g;
                for (int jj = 1; jj <= m; ++jj) {
                    const double ay = a(jj, j);
                    const double az = a(jj, i);
                    a(jj, j) = ay * c + az * s;
                    a(jj, i) = az * c - ay * s;
                }
            }
            rv1[l] = 0.0;
            rv1[k] = f;
            w[k] = x;
        }
    }
    return true;
}

// x = V diag(1/w) U^T b, where a zero w contributes nothing.
void svdksb(Table& u, const std::vector<double>& w, Table& v, int m, int n,
            const std::vector<double>& b, std::vector<double>& x) {
    std::vector<double> tmp(n + 1, 0.0);
    for (int j = 1; j <= n; ++j) {
        double s = 0.0;
        if (w[j] != 0.0) {
            for (int i = 1; i <= m; ++i) {
                s += u(i, j) * b[i];
            }
            s /= w[j];
        }
        tmp[j] = s;
    }
    for (int j = 1; j <= n; ++j) {
        double s = 0.0;
        for (int jj = 1; jj <= n; ++jj) {
            s += v(j, jj) * tmp[jj];
        }
        x[j] = s;
    }
}

const double kSingularThreshold = 0.000001;

}  // namespace

bool svd(float* X, const float* const* A, const float* B, int M, int N) {
    if (X == nullptr || A == nullptr || B == nullptr || M <= 0 || N <= 0) {
        return false;
    }
    Table u(M, N);
    std::vector<double> b(M + 1, 0.0);
    for (int i = 1; i <= M; ++i) {
        if (A[i - 1] == nullptr || !std::isfinite(B[i - 1])) {
            return false;
        }
        for (int j = 1; j <= N; ++j) {
            if (!std::isfinite(A[i - 1][j - 1])) {
                return false;
            }
            u(i, j) = A[i - 1][j - 1];
        }
        b[i] = B[i - 1];
    }

    std::vector<double> w(N + 1, 0.0);
    Table v(N, N);
    if (!svdcmp(u, M, N, w, v)) {
        return false;
    }

    double wmax = 0.0;
    for (int j = 1; j <= N; ++j) {
        wmax = std::max(wmax, w[j]);
    }
    const double wmin = wmax * kSingularThreshold;
    for (int j = 1; j <= N; ++j) {
        if (w[j] < wmin) {
            w[j] = 0.0;
        }
    }

    std::vector<double> x(N + 1, 0.0);
    svdksb(u, w, v, M, N, b, x);
    for (int j = 1; j <= N; ++j) {
        X[j - 1] = static_cast<float>(x[j]);
    }
    return true;
}
