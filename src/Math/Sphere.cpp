#include "Math/Sphere.h"

Sphere::Sphere(const Vector& center, float radius) : mCenter(center), mRadius(radius) {}

bool Sphere::includes(const Vector& p) const {
    return (p - mCenter).length() - mRadius < 0.0001f;
}
