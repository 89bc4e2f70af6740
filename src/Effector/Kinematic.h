#ifndef TOVRA_EFFECTOR_KINEMATIC_H
#define TOVRA_EFFECTOR_KINEMATIC_H

#include <boost/shared_array.hpp>
#include <map>
#include <string>
#include <vector>

#include "WorldModel/Type_.h"
#include "WorldModel/Types.h"
#include "salt/matrix.h"
#include "salt/vector.h"

// One link of the body tree. The body frame has x to the robot's right, y
// forward and z up; metres and radians.
struct Link {
    std::string name;      // joint model name ("llj1")
    std::string eff_name;  // effector name ("lle1")
    int id = 0;
    int twin = 0;
    int sister = 0;  // next child of the same mother (0 = none)
    int child = 0;   // first child (0 = none)
    int mother = 0;  // 0 = none
    Vector3f a;      // joint axis in the link's own frame
    Vector3f b;      // joint position relative to the mother's joint, mother's frame
    Vector3f c;      // body centre relative to the own joint, own frame
    float q = 0.0f;  // joint angle
    float dq = 0.0f;
    float ddq = 0.0f;
    float m = 0.0f;
    Vector3f p;  // joint position in the root frame
    Matrix R;    // link rotation in the root frame (3x3 block)
    Vector3f v;
    Vector3f w;
};

// Pose of one body part's centre in the root frame.
struct RobotPartInfo {
    std::string name;
    Vector3f p;
    Matrix R;  // the link's rotation with p as translation
};

// The agent's model of its own legs: a link tree built from the model
// constants, forward kinematics from the measured joint angles, and the leg
// inverse kinematics used by the walk (an analytic start refined numerically).
class Kinematic {
public:
    static Kinematic* instance();
    static void deleteT();

    // Allocates the tables and builds the link tree; guarded by isinit.
    void init();
    bool getinit() const { return isinit; }
    void setinit(bool value) { isinit = value; }

    // Link angles from the world model's measured joint angles, then forward
    // kinematics and the body-part poses.
    void updateLink();

    boost::shared_array<Link> getLink() { return uLINK; }
    boost::shared_array<RobotPartInfo> getRobotPartInfo() { return mRobotPartInfo; }
    boost::shared_array<float> getIKJointAngle() { return mIKJointAngle; }
    boost::shared_array<float> getIKJointVel() { return mIKJointVel; }

    Matrix getRobotPartMatrix(int part) const;
    Vector3f getRobotPartPos(int part) const;

    // The joints from the root's child down to `to`, in order; empty when `to`
    // is the root or not a joint of the tree.
    std::vector<int> findRoute(int to) const;

    // Poses of link j and of its subtree (children, then sisters) from the
    // mother's pose.
    void forwardKinematics(int j);

    // Numerical solution moving the chain ending at `to` onto `target`.
    bool inverseKinematics(int to, const Matrix& target);

    // Six leg joint angles (into mIKJointAngle) that put the foot body centre
    // at `foot` with the torso at `torso`, both in one frame.
    bool IK_leg(const Matrix& torso, const Matrix& foot, bool left);
    // Analytic stage: hip-joint and ankle-joint poses, thigh length A and
    // shank length B.
    bool IK_leg(const Matrix& hip, float A, float B, const Matrix& ankle, bool left);

    // J is 6 x route.size() (rows 0-2 linear, 3-5 angular).
    void calcJacobian(float** J, const std::vector<int>& route) const;
    // Position and orientation error (6 values) from `now` to `ref`.
    void calcVWerr(float* err, const Matrix& ref, const Matrix& now) const;
    // Least-squares solution of A X = B, A being row x column.
    bool solve(float* X, float** A, float* B, int row, int column) const;

    // "j = %d : %s, %.3f" for the subtree from j, children before sisters.
    void printLink(int j) const;

    void setupLinks();
    void setupRobotPartInfo();
    void setupJointIDMap();

    // Model constants: metres, kilograms.
    float FootLength, FootWidth, FootHeight, FootMass;
    float ShankLength, ShankWidth, ShankHeight, ShankMass;
    float ThighLength, ThighWidth, ThighHeight, ThighMass;
    float TorsoLength, TorsoWidth, TorsoHeight, TorsoMass;
    float TorsoInitX, TorsoInitY, TorsoInitZ;
    float Hip1Axis_X, Hip1Axis_Y, Hip1Axis_Z;
    float Hip1RelTorso_X, Hip1RelTorso_Y, Hip1RelTorso_Z;
    float Hip2RelHip1_X, Hip2RelHip1_Y, Hip2RelHip1_Z;
    float ThighRelHip2_X, ThighRelHip2_Y, ThighRelHip2_Z;
    float ShankRelThigh_X, ShankRelThigh_Y, ShankRelThigh_Z;
    float AnkleRelShank_X, AnkleRelShank_Y, AnkleRelShank_Z;
    float FootRelAnkle_X, FootRelAnkle_Y, FootRelAnkle_Z;

    boost::shared_array<Link> uLINK;
    boost::shared_array<RobotPartInfo> mRobotPartInfo;
    boost::shared_array<float> mIKJointAngle;
    boost::shared_array<float> mIKJointVel;

    static constexpr int JID_MIN = 1;
    static constexpr int JID_MAX = 23;
    static constexpr int PART_MIN = 1;
    static constexpr int PART_MAX = 23;

    TJointIDMap_ mJointIDMap;
    TUniversalJointSenseMap mUniversalJointSenseMap;
    THingeJointSenseMap_ mHingeJointSenseMap;

    // Leg constants derived from the link tree.
    float NAO_A;      // hip-pitch joint to knee joint
    float NAO_B;      // knee joint to ankle joint
    Vector3f NAO_Dl;  // left hip joint relative to the torso joint
    Vector3f NAO_Dr;  // right hip joint relative to the torso joint
    Vector3f NAO_E;   // ankle joint relative to the foot body centre

    bool isinit;

private:
    Kinematic();
    Kinematic(const Kinematic&) = delete;
    Kinematic& operator=(const Kinematic&) = delete;

    bool validLink(int j) const { return uLINK && j >= JID_MIN && j <= JID_MAX; }

    static Kinematic* handleT;
};

#endif
