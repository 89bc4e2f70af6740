#ifndef TOVRA_WORLDMODEL_TYPE__H
#define TOVRA_WORLDMODEL_TYPE__H

#include <map>
#include <string>

#include "salt/vector.h"

// Identifiers and records of the kinematic model and the walk: the link and
// body-part numbering, joint sense records and the gait parameter records.

// Alternative names for int used where joints and parts are plain indices.
typedef int JointID_;
typedef int RobotPart;

// Link numbering of the kinematic model.
enum EJointID {
    JID_ROOT_ = 1,
    JID_HEAD_1_,
    JID_HEAD_2_,
    JID_LARM_1_,
    JID_RARM_1_,
    JID_LARM_2_,
    JID_RARM_2_,
    JID_LARM_3_,
    JID_RARM_3_,
    JID_LARM_4_,
    JID_RARM_4_,
    JID_LLEG_1_,
    JID_RLEG_1_,
    JID_LLEG_2_,
    JID_RLEG_2_,
    JID_LLEG_3_,
    JID_RLEG_3_,
    JID_LLEG_4_,
    JID_RLEG_4_,
    JID_LLEG_5_,
    JID_RLEG_5_,
    JID_LLEG_6_,
    JID_RLEG_6_
};

// Body parts of the kinematic model.
enum ERobotPart {
    PART_BODY = 1,
    PART_HEAD,
    PART_NECK,
    PART_LSHOULDER,
    PART_RSHOULDER,
    PART_LUPPERARM,
    PART_RUPPERARM,
    PART_LELBOW,
    PART_RELBOW,
    PART_LLOWERARM,
    PART_RLOWERARM,
    PART_LHIP_1,
    PART_RHIP_1,
    PART_LHIP_2,
    PART_RHIP_2,
    PART_LTHIGH,
    PART_RTHIGH,
    PART_LSHANK,
    PART_RSHANK,
    PART_LANKLE,
    PART_RANKLE,
    PART_LFOOT,
    PART_RFOOT
};

struct HingeJointSense {
    float angle = 0.0f;
    float rate = 0.0f;
};

struct UniversalJointSense {
    float angle1 = 0.0f;
    float angle2 = 0.0f;
    float rate1 = 0.0f;
    float rate2 = 0.0f;
};

typedef std::map<EJointID, UniversalJointSense> TUniversalJointSenseMap;
typedef std::map<int, HingeJointSense> THingeJointSenseMap_;
typedef std::map<std::string, int> TJointIDMap_;

// Gait of one step. Metres and seconds; TurnAngle in degrees. The step vector
// lies in the ground plane (x right, y forward).
struct WalkParams {
    salt::Vector2f mDs3D = salt::Vector2f(0.0f, 0.14f);
    float Tc = 0.2f;       // step period
    float Td = 0.04f;      // double-support duration
    float Tm = 0.1f;       // time of the swing foot's highest point after step start
    float Xed = 0.07f;     // hip ahead of the rear foot at the start of double support
    float Xsd = 0.07f;     // hip behind the front foot at the end of double support
    float Hnor = 0.2151f;  // hip height
    float Hao = 0.1f;      // swing ankle height at Tm
    float TurnAngle = 0.0f;
};

// Leg geometry and posture used by the walk. Metres; TorsoRot_X in degrees.
struct ModelParams {
    float Lan = 0.035f;   // ankle height above the sole
    float Laf = 0.08f;    // ankle to toe
    float Lab = 0.08f;    // ankle to heel
    float Lth = 0.1201f;  // thigh length
    float Lsh = 0.1f;     // shank length
    float Hgs = 0.015f;   // foot height above ground at lift-off
    float Hge = 0.015f;   // foot height above ground at touch-down
    float TorsoRot_X = -10.0f;
    float TorsoRelHip_Z = 0.115f;
    float FootOffset_X = 0.055f;
};

// Walk limits; every unit has its own copy and nothing changes them.
[[maybe_unused]] static double BackwardDeadZoneRadius = 2.5;
[[maybe_unused]] static double ForwardDeadZoneRadius = 1.5;
[[maybe_unused]] static float MaxWalkSpeedForward = 65;
[[maybe_unused]] static float MaxWalkSpeedBackward = 60;
[[maybe_unused]] static float MinWalkSpeed = 40;
[[maybe_unused]] static float MinWalkSpeedForward = 10;
[[maybe_unused]] static float MaxWalkTurnAngle = 7;

#endif
