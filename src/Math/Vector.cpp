#include "Math/Vector.h"

#include <cmath>
#include <cstdio>

#include "Math/Mathematics.h"

namespace {
const double kPi = 3.141592653589793;
const float kVerticalLimit = 0.0001f;
}  // namespace

Vector::Vector(double a, double b, double c, CoordSystem cs) : mX(0), mY(0), mZ(0) {
    switch (cs) {
        case CARTESIAN1:
            mX = static_cast<float>(a);
            mY = static_cast<float>(b);
            mZ = static_cast<float>(c);
            break;
        case DPOLAR1:
            b *= kPi / 180.0;
            c *= kPi / 180.0;
            [[fallthrough]];
        case POLAR1:
            mX = static_cast<float>(a * std::cos(c) * std::cos(b));
            mY = static_cast<float>(a * std::cos(c) * std::sin(b));
            mZ = static_cast<float>(a * std::sin(c));
            break;
    }
}

double Vector::length() const {
    return std::sqrt(mX * mX + mY * mY + mZ * mZ);
}

double Vector::length2d() const {
    return std::sqrt(mX * mX + mY * mY);
}

double Vector::theta() const {
    return Mathematics::normalizeAngle(std::atan2(static_cast<double>(mY), mX));
}

double Vector::phi() const {
    const double horizontal = length2d();
    if (horizontal < kVerticalLimit) {
        return mZ > 0 ? kPi / 2 : -kPi / 2;
    }
    return Mathematics::normalizeAngle(std::atan(mZ / horizontal));
}

Vector Vector::normalize() const {
    const double len = length();
    if (len == 0) {
        return Vector(0, 0, 0);
    }
    return *this / len;
}

void Vector::setLength(double l) {
    const double len = length();
    if (len == 0) {
        *this = Vector(0, 0, 0);
        return;
    }
    *this *= l / len;
}

Vector Vector::make2d() const {
    return Vector(mX, mY, 0);
}

Vector Vector::operator&() const {
    return Vector(1.0 / mX, 1.0 / mY, 1.0 / mZ);
}

Vector Vector::operator+(const Vector& v) const {
    return Vector(static_cast<double>(mX) + v.mX, static_cast<double>(mY) + v.mY,
                  static_cast<double>(mZ) + v.mZ);
}

Vector Vector::operator-(const Vector& v) const {
    return Vector(static_cast<double>(mX) - v.mX, static_cast<double>(mY) - v.mY,
                  static_cast<double>(mZ) - v.mZ);
}

Vector Vector::operator-() const {
    return Vector(-mX, -mY, -mZ);
}

Vector Vector::operator*(double f) const {
    return Vector(mX * f, mY * f, mZ * f);
}

Vector Vector::operator/(double f) const {
    return Vector(mX / f, mY / f, mZ / f);
}

Vector& Vector::operator+=(const Vector& v) {
    return *this = *this + v;
}

Vector& Vector::operator-=(const Vector& v) {
    return *this = *this - v;
}

Vector& Vector::operator*=(double f) {
    return *this = *this * f;
}

Vector& Vector::operator/=(double f) {
    return *this = *this / f;
}

double Vector::operator*(const Vector& v) const {
    return static_cast<double>(mX) * v.mX + static_cast<double>(mY) * v.mY +
           static_cast<double>(mZ) * v.mZ;
}

Vector Vector::operator^(const Vector& v) const {
    const double x1 = mX, y1 = mY, z1 = mZ;
    const double x2 = v.mX, y2 = v.mY, z2 = v.mZ;
    return Vector(y1 * z2 - z1 * y2, z1 * x2 - x1 * z2, x1 * y2 - y1 * x2);
}

Vector& Vector::operator^=(const Vector& v) {
    return *this = *this ^ v;
}

bool Vector::operator==(const Vector& v) const {
    return mX == v.mX && mY == v.mY && mZ == v.mZ;
}

double Vector::getDistanceTo(Vector p) const {
    return (p - *this).length();
}

double Vector::getDistance2D(const Vector& p) const {
    const double dx = static_cast<double>(p.mX) - mX;
    const double dy = static_cast<double>(p.mY) - mY;
    return std::sqrt(dx * dx + dy * dy);
}

Vector operator*(double f, const Vector& v) {
    return v * f;
}

std::ostream& operator<<(std::ostream& os, const Vector& v) {
    char text[3][64];
    std::snprintf(text[0], sizeof text[0], "%2.2f", v.getX());
    std::snprintf(text[1], sizeof text[1], "%2.2f", v.getY());
    std::snprintf(text[2], sizeof text[2], "%2.2f", v.getZ());
    return os << "(" << text[0] << ", " << text[1] << ", " << text[2] << ")";
}
