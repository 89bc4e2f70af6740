#ifndef TOVRA_LIB_SALT_VECTOR_H
#define TOVRA_LIB_SALT_VECTOR_H

#include <cmath>

#include "salt/gmath.h"

namespace salt {

// How the components given to a vector constructor are read.
enum vType {
    CARTESIAN = 0,  // (x, y, z)
    POLAR = 1       // (length, horizontal angle, elevation), angles in degrees
};

// Three single-precision components; a plain value type.
class Vector3f {
public:
    Vector3f() : mEl{0.0f, 0.0f, 0.0f} {}
    // CARTESIAN: (a, b, c). POLAR: a is the length, b the horizontal angle
    // from the x axis and c the elevation, both in degrees.
    Vector3f(float a, float b, float c, vType type = CARTESIAN) {
        if (type == POLAR) {
            const float theta = gDegToRad(b);
            const float phi = gDegToRad(c);
            const float horizontal = a * std::cos(phi);
            Set(horizontal * std::cos(theta), horizontal * std::sin(theta), a * std::sin(phi));
        } else {
            Set(a, b, c);
        }
    }

    float& x() { return mEl[0]; }
    float& y() { return mEl[1]; }
    float& z() { return mEl[2]; }
    float x() const { return mEl[0]; }
    float y() const { return mEl[1]; }
    float z() const { return mEl[2]; }
    float& operator[](int i) { return mEl[i]; }
    float operator[](int i) const { return mEl[i]; }
    float& El(int i) { return mEl[i]; }
    float El(int i) const { return mEl[i]; }
    float* GetData() { return mEl; }
    const float* GetData() const { return mEl; }

    void Set(float x, float y, float z) {
        mEl[0] = x;
        mEl[1] = y;
        mEl[2] = z;
    }

    Vector3f operator+(const Vector3f& v) const {
        return Vector3f(mEl[0] + v.mEl[0], mEl[1] + v.mEl[1], mEl[2] + v.mEl[2]);
    }
    Vector3f operator-(const Vector3f& v) const {
        return Vector3f(mEl[0] - v.mEl[0], mEl[1] - v.mEl[1], mEl[2] - v.mEl[2]);
    }
    Vector3f operator-() const { return Vector3f(-mEl[0], -mEl[1], -mEl[2]); }
    Vector3f operator*(float f) const { return Vector3f(mEl[0] * f, mEl[1] * f, mEl[2] * f); }
    Vector3f operator/(float f) const { return Vector3f(mEl[0] / f, mEl[1] / f, mEl[2] / f); }

    Vector3f& operator+=(const Vector3f& v) {
        for (int i = 0; i < 3; ++i) {
            mEl[i] += v.mEl[i];
        }
        return *this;
    }
    Vector3f& operator-=(const Vector3f& v) {
        for (int i = 0; i < 3; ++i) {
            mEl[i] -= v.mEl[i];
        }
        return *this;
    }
    Vector3f& operator*=(float f) {
        for (float& e : mEl) {
            e *= f;
        }
        return *this;
    }
    Vector3f& operator/=(float f) {
        for (float& e : mEl) {
            e /= f;
        }
        return *this;
    }

    bool operator==(const Vector3f& v) const {
        return mEl[0] == v.mEl[0] && mEl[1] == v.mEl[1] && mEl[2] == v.mEl[2];
    }
    bool operator!=(const Vector3f& v) const { return !(*this == v); }

    float SquareLength() const { return mEl[0] * mEl[0] + mEl[1] * mEl[1] + mEl[2] * mEl[2]; }
    float Length() const { return std::sqrt(SquareLength()); }
    // Divides by the length in place; a zero vector yields NaN components.
    Vector3f& Normalize() { return *this /= Length(); }
    Vector3f Normalized() const { return *this / Length(); }

    float Dot(const Vector3f& v) const {
        return mEl[0] * v.mEl[0] + mEl[1] * v.mEl[1] + mEl[2] * v.mEl[2];
    }
    // Right-handed cross product this x v.
    Vector3f Cross(const Vector3f& v) const {
        return Vector3f(mEl[1] * v.mEl[2] - mEl[2] * v.mEl[1],
                        mEl[2] * v.mEl[0] - mEl[0] * v.mEl[2],
                        mEl[0] * v.mEl[1] - mEl[1] * v.mEl[0]);
    }

private:
    float mEl[3];
};

inline Vector3f operator*(float f, const Vector3f& v) {
    return v * f;
}

// Two single-precision components; a plain value type.
class Vector2f {
public:
    Vector2f() : mEl{0.0f, 0.0f} {}
    // CARTESIAN: (a, b). POLAR: a is the length, b the angle from the x axis
    // in degrees.
    Vector2f(float a, float b, vType type = CARTESIAN) {
        if (type == POLAR) {
            const float theta = gDegToRad(b);
            Set(a * std::cos(theta), a * std::sin(theta));
        } else {
            Set(a, b);
        }
    }

    float& x() { return mEl[0]; }
    float& y() { return mEl[1]; }
    float x() const { return mEl[0]; }
    float y() const { return mEl[1]; }
    float& operator[](int i) { return mEl[i]; }
    float operator[](int i) const { return mEl[i]; }
    float& El(int i) { return mEl[i]; }
    float El(int i) const { return mEl[i]; }
    float* GetData() { return mEl; }
    const float* GetData() const { return mEl; }

    void Set(float x, float y) {
        mEl[0] = x;
        mEl[1] = y;
    }

    Vector2f operator+(const Vector2f& v) const {
        return Vector2f(mEl[0] + v.mEl[0], mEl[1] + v.mEl[1]);
    }
    Vector2f operator-(const Vector2f& v) const {
        return Vector2f(mEl[0] - v.mEl[0], mEl[1] - v.mEl[1]);
    }
    Vector2f operator-() const { return Vector2f(-mEl[0], -mEl[1]); }
    Vector2f operator*(float f) const { return Vector2f(mEl[0] * f, mEl[1] * f); }
    Vector2f operator/(float f) const { return Vector2f(mEl[0] / f, mEl[1] / f); }

    Vector2f& operator+=(const Vector2f& v) {
        mEl[0] += v.mEl[0];
        mEl[1] += v.mEl[1];
        return *this;
    }
    Vector2f& operator-=(const Vector2f& v) {
        mEl[0] -= v.mEl[0];
        mEl[1] -= v.mEl[1];
        return *this;
    }
    Vector2f& operator*=(float f) {
        mEl[0] *= f;
        mEl[1] *= f;
        return *this;
    }
    Vector2f& operator/=(float f) {
        mEl[0] /= f;
        mEl[1] /= f;
        return *this;
    }

    bool operator==(const Vector2f& v) const { return mEl[0] == v.mEl[0] && mEl[1] == v.mEl[1]; }
    bool operator!=(const Vector2f& v) const { return !(*this == v); }

    float SquareLength() const { return mEl[0] * mEl[0] + mEl[1] * mEl[1]; }
    float Length() const { return std::sqrt(SquareLength()); }
    // Divides by the length in place; a zero vector yields NaN components.
    Vector2f& Normalize() { return *this /= Length(); }
    Vector2f Normalized() const { return *this / Length(); }
    float Dot(const Vector2f& v) const { return mEl[0] * v.mEl[0] + mEl[1] * v.mEl[1]; }

private:
    float mEl[2];
};

inline Vector2f operator*(float f, const Vector2f& v) {
    return v * f;
}

}  // namespace salt

#endif
