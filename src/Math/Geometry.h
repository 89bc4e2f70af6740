#ifndef TOVRA_MATH_GEOMETRY_H
#define TOVRA_MATH_GEOMETRY_H

#include "salt/matrix.h"
#include "salt/vector.h"

// Numeric routines of the kinematic model. Angles in radians.

// Rotation by theta about the unit vector axis: I + sin(theta) K +
// (1 - cos(theta)) K^2 with K the cross-product matrix of the axis. Only the
// 3x3 block is filled; the translation column and the bottom row are zero.
salt::Matrix Rodrigues(const salt::Vector3f& axis, float theta);

// True when the 3x3 block of R is the identity within 0.001 per element.
bool IsRi(const salt::Matrix& R);

// The rotation vector (axis times angle) of the 3x3 block of R; (0, 0, 0) for
// the identity or when R is not a valid rotation.
salt::Vector3f RotToOmega(const salt::Matrix& R);

// Least-squares solution X (N values) of A X = B for the M x N matrix A, given
// as M row pointers, by the singular value decomposition. Singular values
// below a millionth of the largest are dropped, which gives the minimum-norm
// solution of a rank-deficient system. Returns false, leaving X untouched,
// when the decomposition does not converge or the input is not usable
// (non-positive sizes, null pointers, non-finite values).
bool svd(float* X, const float* const* A, const float* B, int M, int N);

#endif
