#ifndef TOVRA_TOOLS_MOTION_LYINGPOSE_H
#define TOVRA_TOOLS_MOTION_LYINGPOSE_H

namespace tovra::motion {

enum class Lying { Back, Front, Left, Right };

// The torso orientation (quaternion w, x, y, z, as the control channel's
// "pose" takes it) of a robot lying as given with its head towards
// `headingDeg` (absolute frame), rolled by `rollDeg` about its long axis.
void lyingQuaternion(Lying lying, double headingDeg, double rollDeg, double q[4]);

}  // namespace tovra::motion

#endif
