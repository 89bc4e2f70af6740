#ifndef TOVRA_LIB_SALT_MATRIX_H
#define TOVRA_LIB_SALT_MATRIX_H

#include "salt/vector.h"

namespace salt {

// A 4x4 single-precision homogeneous transform. The 16 entries are stored
// column by column: element (row r, column c) is m[c * 4 + r]. The upper-left
// 3x3 block is the rotation, entries 12..14 (column 3) the translation.
// Angles are in radians.
class Matrix {
public:
    static const Matrix mIdentity;

    // The identity.
    constexpr Matrix() : m{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1} {}
    // The 16 elements in row order (row 0 first).
    Matrix(float m00, float m01, float m02, float m03, float m10, float m11, float m12, float m13,
           float m20, float m21, float m22, float m23, float m30, float m31, float m32, float m33);

    void Identity();
    // The 16 elements in row order (row 0 first), stored column by column.
    void Set(float m00, float m01, float m02, float m03, float m10, float m11, float m12, float m13,
             float m20, float m21, float m22, float m23, float m30, float m31, float m32,
             float m33);

    float& El(int row, int col) { return m[col * 4 + row]; }
    float El(int row, int col) const { return m[col * 4 + row]; }
    float& operator()(int row, int col) { return m[col * 4 + row]; }
    float operator()(int row, int col) const { return m[col * 4 + row]; }

    // The translation column, entries 12..14, seen as a vector.
    Vector3f& Pos() { return *reinterpret_cast<Vector3f*>(&m[12]); }
    const Vector3f& Pos() const { return *reinterpret_cast<const Vector3f*>(&m[12]); }

    // Pure right-handed rotations about the axes; the rest is the identity.
    void RotationX(float angle);
    void RotationY(float angle);
    void RotationZ(float angle);

    // this = this * Rotation(angle): the rotation acts in the matrix's own
    // frame and the translation column is unchanged.
    void RotateX(float angle);
    void RotateY(float angle);
    void RotateZ(float angle);

    // Rotation part only: R * v.
    Vector3f Rotate(const Vector3f& v) const;
    // Full transform: R * v + translation.
    Vector3f Transform(const Vector3f& v) const;
    Vector3f operator*(const Vector3f& v) const { return Transform(v); }
    Matrix operator*(const Matrix& other) const;
    Matrix& operator*=(const Matrix& other) { return *this = *this * other; }

    // Rigid inverse in place: R becomes R^T and the translation t becomes -R^T t.
    void InvertRotationMatrix();

    // View transform: rows 0, 1, 2 of the rotation are the normalised dir, the
    // normalised up and their normalised cross product up x dir; the
    // translation is R * (-eye).
    void LookAt(const Vector3f& eye, const Vector3f& dir, const Vector3f& up);

    float m[16];
};

static_assert(sizeof(Vector3f) == 3 * sizeof(float), "Pos() views three floats as a Vector3f");

}  // namespace salt

#endif
