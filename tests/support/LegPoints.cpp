#include "support/LegPoints.h"

#include <sstream>

#include "Agent_Roles/Self.h"
#include "Effector/Kinematic.h"
#include "WorldModel/Type_.h"
#include "WorldModel/Types.h"

namespace tovra::test {

const char* legPointName(int point) {
    static const char* const kNames[kLegPoints] = {"hip",   "thigh", "knee",
                                                   "shank", "ankle", "foot"};
    return point >= 0 && point < kLegPoints ? kNames[point] : "?";
}

Vector3f fromRightForwardUp(const Vector3f& v) {
    return Vector3f(v.y(), -v.x(), v.z());
}

LegPoints bodyPartLeg(const Self& self, bool left) {
    static const BodyID kLeft[kLegPoints] = {LHip, LThigh, LKnee, LShank, LAnkle, LFoot};
    static const BodyID kRight[kLegPoints] = {RHip, RThigh, RKnee, RShank, RAnkle, RFoot};
    const Vector3f torso = self.getMyRelPos(Torso);
    LegPoints points;
    for (int i = 0; i < kLegPoints; ++i) {
        points[i] = self.getMyRelPos(left ? kLeft[i] : kRight[i]) - torso;
    }
    return points;
}

LegPoints kinematicLeg(Kinematic& kinematic, bool left) {
    const auto links = kinematic.getLink();
    const Link& root = links[JID_ROOT_];
    const Link& thigh = links[left ? JID_LLEG_3_ : JID_RLEG_3_];
    // The knee point lies on the thigh link, 0.07 below the thigh centre.
    const Vector3f knee = thigh.p + thigh.R.Rotate(Vector3f(0, 0.01f, -0.11f));
    const Vector3f world[kLegPoints] = {kinematic.getRobotPartPos(left ? PART_LHIP_1 : PART_RHIP_1),
                                        kinematic.getRobotPartPos(left ? PART_LTHIGH : PART_RTHIGH),
                                        knee,
                                        kinematic.getRobotPartPos(left ? PART_LSHANK : PART_RSHANK),
                                        kinematic.getRobotPartPos(left ? PART_LANKLE : PART_RANKLE),
                                        kinematic.getRobotPartPos(left ? PART_LFOOT : PART_RFOOT)};
    // Relative to the root (the torso centre), in the root's own axes.
    Matrix inverse = root.R;
    inverse.Pos() = Vector3f();
    inverse.InvertRotationMatrix();
    LegPoints points;
    for (int i = 0; i < kLegPoints; ++i) {
        points[i] = fromRightForwardUp(inverse.Rotate(world[i] - root.p));
    }
    return points;
}

LegGap largestGap(const LegPoints& a, const LegPoints& b) {
    LegGap gap;
    for (int i = 0; i < kLegPoints; ++i) {
        const double d = (a[i] - b[i]).Length();
        if (d > gap.metres) {
            gap.metres = d;
            gap.point = i;
        }
    }
    return gap;
}

std::string describe(const LegGap& gap) {
    std::ostringstream out;
    out << gap.metres * 1000 << " mm at the " << legPointName(gap.point);
    return out.str();
}

}  // namespace tovra::test
