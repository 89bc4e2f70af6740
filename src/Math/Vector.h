#ifndef TOVRA_MATH_VECTOR_H
#define TOVRA_MATH_VECTOR_H

#include <ostream>

// How the three numbers given to a Vector are read.
enum CoordSystem {
    CARTESIAN1 = 0,  // (x, y, z)
    POLAR1 = 1,      // (length, horizontal angle, vertical angle), radians
    DPOLAR1 = 2      // the same with the angles in degrees
};

// A three-component vector stored in single precision; every operation takes
// and returns doubles.
class Vector {
public:
    Vector(double a = 0, double b = 0, double c = 0, CoordSystem cs = CARTESIAN1);

    double getX() const { return mX; }
    double getY() const { return mY; }
    double getZ() const { return mZ; }
    void setX(double x) { mX = static_cast<float>(x); }
    void setY(double y) { mY = static_cast<float>(y); }
    void setZ(double z) { mZ = static_cast<float>(z); }

    double length() const;
    double length2d() const;
    // Horizontal angle atan2(y, x) in radians, within [-pi, pi].
    double theta() const;
    // Elevation in radians; +-pi/2 when the vector is (nearly) vertical.
    double phi() const;

    // The unit vector in this direction, or (0, 0, 0) for a zero vector.
    Vector normalize() const;
    // Scales in place to length l; a zero vector becomes (0, 0, 0).
    void setLength(double l);
    // (x, y, 0).
    Vector make2d() const;
    Vector operator~() const { return make2d(); }
    // (1/x, 1/y, 1/z).
    Vector operator&() const;

    Vector operator+(const Vector& v) const;
    Vector operator-(const Vector& v) const;
    Vector operator-() const;
    Vector operator*(double f) const;
    Vector operator/(double f) const;
    Vector& operator+=(const Vector& v);
    Vector& operator-=(const Vector& v);
    Vector& operator*=(double f);
    Vector& operator/=(double f);
    // Dot product.
    double operator*(const Vector& v) const;
    // Cross product.
    Vector operator^(const Vector& v) const;
    Vector& operator^=(const Vector& v);
    bool operator==(const Vector& v) const;
    bool operator!=(const Vector& v) const { return !(*this == v); }

    double getDistanceTo(Vector p) const;
    double getDistance2D(const Vector& p) const;

private:
    float mX;
    float mY;
    float mZ;
};

Vector operator*(double f, const Vector& v);
// "(x, y, z)" with each coordinate formatted as "%2.2f".
std::ostream& operator<<(std::ostream& os, const Vector& v);

#endif
