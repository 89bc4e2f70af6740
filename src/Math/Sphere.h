#ifndef TOVRA_MATH_SPHERE_H
#define TOVRA_MATH_SPHERE_H

#include "Math/Vector.h"

class Sphere {
public:
    Sphere(const Vector& center = Vector(), float radius = 0);

    const Vector& center() const { return mCenter; }
    float radius() const { return mRadius; }
    void setCenter(const Vector& center) { mCenter = center; }
    void setRadius(float radius) { mRadius = radius; }

    // True for points inside, on, or within 0.0001 outside the surface.
    bool includes(const Vector& p) const;

private:
    Vector mCenter;
    float mRadius;
};

#endif
