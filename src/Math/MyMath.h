#ifndef TOVRA_MATH_MYMATH_H
#define TOVRA_MATH_MYMATH_H

#include "WorldModel/Types.h"

// Degree trigonometry, polar/Cartesian conversion of vision readings and
// planar helpers on Vector3f. Angles in degrees unless stated.

float DegToRad(float a);
float RadToDeg(float a);

// Sine, cosine and tangent of an angle in degrees, in single precision.
double sinDeg(double x);
double cosDeg(double x);
double tanDeg(double x);
// Inverse functions in degrees; arguments beyond +-1 give the limit angle.
double asinDeg(double x);
double acosDeg(double x);

// (distance, theta, phi) to (d cos phi cos theta, d cos phi sin theta, d sin phi).
Vector3f PolarToCartecian(const VisionSense& v);
// The same with distance, theta and phi taken from x, y and z.
Vector3f PolarToCartecian(const Vector3f& p);
// A default VisionSense with distance, phi and theta of relPos; the zero
// vector gives distance 0 and both angles 0.
VisionSense CartecianToPolar(Vector3f relPos);

// point rotated by theta degrees (right-handed) about the line through origin
// with direction vec. A zero direction leaves the point where it is.
Vector3f rotateAroundLine(Vector3f point, Vector3f vec, double theta, Vector3f origin);

// Angle of (x, y) from the +x axis. The flag only clears z of the copy.
float getAngleWithStraight(Vector3f vec, bool setZtoZero = true);

// A unit vector perpendicular to v in the xy-plane.
Vector3f calcPerpend(const Vector3f& v);

// Whether P lies inside or on triangle ABC, using x and y only.
bool inTriangle(Vector3f A, Vector3f B, Vector3f C, Vector3f P);

// Whether vec lies in the strip of width accuracy from the origin to pos.
bool existBetweenPos(Vector3f pos, double accuracy, Vector3f vec);

// An angle brought into [-180, 180] in steps of 360. Values beyond +-1e6 are
// reduced with fmod first; an infinite or NaN angle gives NaN.
double degNormalizeAngle(double a);

// Planar distance of two points; z is ignored.
float calculateDist(Vector3f va, Vector3f vb);

#endif
