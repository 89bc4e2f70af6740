#include "salt/matrix.h"

#include <cmath>

namespace salt {

const Matrix Matrix::mIdentity;

Matrix::Matrix(float m00, float m01, float m02, float m03, float m10, float m11, float m12,
               float m13, float m20, float m21, float m22, float m23, float m30, float m31,
               float m32, float m33) {
    Set(m00, m01, m02, m03, m10, m11, m12, m13, m20, m21, m22, m23, m30, m31, m32, m33);
}

void Matrix::Identity() {
    for (int i = 0; i < 16; ++i) {
        m[i] = (i % 5 == 0) ? 1.0f : 0.0f;
    }
}

void Matrix::Set(float m00, float m01, float m02, float m03, float m10, float m11, float m12,
                 float m13, float m20, float m21, float m22, float m23, float m30, float m31,
                 float m32, float m33) {
    const float rows[16] = {m00, m01, m02, m03, m10, m11, m12, m13,
                            m20, m21, m22, m23, m30, m31, m32, m33};
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            El(r, c) = rows[r * 4 + c];
        }
    }
}

void Matrix::RotationX(float angle) {
    const float c = std::cos(angle);
    const float s = std::sin(angle);
    Identity();
    El(1, 1) = c;
    El(1, 2) = -s;
    El(2, 1) = s;
    El(2, 2) = c;
}

void Matrix::RotationY(float angle) {
    const float c = std::cos(angle);
    const float s = std::sin(angle);
    Identity();
    El(0, 0) = c;
    El(0, 2) = s;
    El(2, 0) = -s;
    El(2, 2) = c;
}

void Matrix::RotationZ(float angle) {
    const float c = std::cos(angle);
    const float s = std::sin(angle);
    Identity();
    El(0, 0) = c;
    El(0, 1) = -s;
    El(1, 0) = s;
    El(1, 1) = c;
}

void Matrix::RotateX(float angle) {
    Matrix rot;
    rot.RotationX(angle);
    *this = *this * rot;
}

void Matrix::RotateY(float angle) {
    Matrix rot;
    rot.RotationY(angle);
    *this = *this * rot;
}

void Matrix::RotateZ(float angle) {
    Matrix rot;
    rot.RotationZ(angle);
    *this = *this * rot;
}

Vector3f Matrix::Rotate(const Vector3f& v) const {
    Vector3f out;
    for (int r = 0; r < 3; ++r) {
        out[r] = El(r, 0) * v[0] + El(r, 1) * v[1] + El(r, 2) * v[2];
    }
    return out;
}

Vector3f Matrix::Transform(const Vector3f& v) const {
    Vector3f out = Rotate(v);
    out += Pos();
    return out;
}

Matrix Matrix::operator*(const Matrix& other) const {
    Matrix out;
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            float sum = 0.0f;
            for (int k = 0; k < 4; ++k) {
                sum += El(r, k) * other.El(k, c);
            }
            out.El(r, c) = sum;
        }
    }
    return out;
}

void Matrix::InvertRotationMatrix() {
    for (int r = 0; r < 3; ++r) {
        for (int c = r + 1; c < 3; ++c) {
            gSwap(El(r, c), El(c, r));
        }
    }
    const Vector3f t = Pos();
    Pos() = -Rotate(t);
}

void Matrix::LookAt(const Vector3f& eye, const Vector3f& dir, const Vector3f& up) {
    const Vector3f u = up.Normalized();
    const Vector3f d = dir.Normalized();
    const Vector3f s = u.Cross(d).Normalized();
    const Vector3f rows[3] = {d, u, s};
    Identity();
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c) {
            El(r, c) = rows[r][c];
        }
    }
    Pos() = Rotate(-eye);
}

}  // namespace salt
