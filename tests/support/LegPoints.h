#ifndef TOVRA_TESTS_SUPPORT_LEGPOINTS_H
#define TOVRA_TESTS_SUPPORT_LEGPOINTS_H

#include <array>
#include <string>

#include "WorldModel/Types.h"

class Kinematic;
class Self;

namespace tovra::test {

// The six points of one leg in the world model's body-part model: hip
// joint, thigh centre, knee (the thigh's lower end, a point fixed to the
// thigh), shank centre, ankle joint, foot centre. Expressed in the
// body-part model's axes (x forward, y left, z up, metres) with the origin
// at the torso centre, so that every model of the body can be compared
// with them.
enum LegPoint { kHip, kThigh, kKnee, kShank, kAnkle, kFoot, kLegPoints };
using LegPoints = std::array<Vector3f, kLegPoints>;

const char* legPointName(int point);

// A vector given in the kinematic model's and the simulator's torso axes
// (x right, y forward, z up), in the body-part model's axes.
Vector3f fromRightForwardUp(const Vector3f& v);

// The body-part model's leg, from the body-frame positions the world model
// computed last (head pan and tilt at zero, so that the camera frame is the
// body frame).
LegPoints bodyPartLeg(const Self& self, bool left);

// The same points of the kinematic model's leg links after updateLink().
LegPoints kinematicLeg(Kinematic& kinematic, bool left);

// The largest distance between two sets of leg points, and its point.
struct LegGap {
    double metres = 0;
    int point = kHip;
};
LegGap largestGap(const LegPoints& a, const LegPoints& b);
std::string describe(const LegGap& gap);

}  // namespace tovra::test

#endif
