// The simulated humanoid: joint table, body tree, masses, servo parameters,
// and the MuJoCo XML of one robot.
//
// Model frame of every body: x to the robot's right, y forward, z up (the
// frame of the agent's leg kinematics). All joint frames are aligned with the
// torso when every joint angle is zero; lengths in metres, masses in kg.
#ifndef TOVRA_SIM_ROBOTMODEL_H
#define TOVRA_SIM_ROBOTMODEL_H

#include <array>
#include <string>
#include <vector>

#include "SimMath.h"

namespace tovrasim {

enum class JointGroup { Head, Arm, Leg };

// How a joint follows its velocity command. Velocity: a velocity motor that
// turns the joint at the commanded speed within its torque limit and keeps
// no position target. Setpoint: the earlier servo, a position controller
// whose setpoint moves at the commanded speed (kept for comparison).
enum class ServoModel { Velocity, Setpoint };

// The drive of one joint group: torque limit, the geared motor's reflected
// rotor inertia, viscous loss of the gear train, and (velocity motor only)
// the gain of the servo's velocity loop.
struct JointDrive {
    double forceLimit;    // N m
    double armature;      // kg m^2
    double damping;       // N m s / rad, passive
    double velocityGain;  // N m s / rad; torque = gain * (command - speed)
};

struct JointSpec {
    const char* perceptor;  // name in the HJ perceptor ("hj1")
    const char* effector;   // name of the velocity effector ("he1")
    Vec3 axis;              // joint axis in the body frame (right-hand rule)
    double minDeg, maxDeg;  // range
    JointGroup group;
};

enum class GeomKind { None, Box, Sphere, Capsule };

struct GeomSpec {
    GeomKind kind = GeomKind::None;
    Vec3 pos;   // box/sphere centre, capsule start
    Vec3 size;  // box half sizes; sphere/capsule radius in x
    Vec3 to;    // capsule end
};

struct BodySpec {
    const char* name;  // suffix after the robot prefix
    int parent;        // index into the body table, -1 for the free-floating torso
    Vec3 pos;          // joint (body origin) relative to the parent body origin
    int joint;         // index into the joint table, -1 for none (the torso is free)
    double mass;
    Vec3 ipos;     // centre of mass in the body frame
    Vec3 inertia;  // principal moments (kg m^2), body axes
    GeomSpec geom;
};

class RobotModel {
public:
    static constexpr int kNumJoints = 22;
    // Largest joint speed a command may ask for, 351.77 degrees per second.
    static constexpr double kMaxJointSpeed = 351.77 * kPi / 180.0;
    // Position gain and damping of the setpoint servo.
    static constexpr double kServoKp = 150.0;  // N m / rad
    static constexpr double kServoKv = 8.0;    // N m s / rad
    // The velocity motors (sim/README.md, "Joints", gives the reasons).
    static constexpr double kLegTorque = 8.0;        // N m
    static constexpr double kArmTorque = 4.0;        // N m
    static constexpr double kHeadTorque = 2.0;       // N m
    static constexpr double kLegArmature = 0.004;    // kg m^2
    static constexpr double kSmallArmature = 0.002;  // kg m^2, arm and head servos
    static constexpr double kGearDamping = 0.02;     // N m s / rad
    // Speed error (rad/s) at which the velocity loop gives its full torque.
    static constexpr double kFullTorqueSpeedError = 0.002;
    static constexpr double kCameraAboveHead = 0.01;
    static constexpr double kTorsoStandingHeight = 0.385;

    // Joints in the order of the HJ perceptor (hj1, hj2, llj1, rlj1, ...).
    static const std::array<JointSpec, kNumJoints>& joints();
    static const std::vector<BodySpec>& bodies();
    static JointDrive drive(JointGroup g, ServoModel servo);
    static double forceLimit(JointGroup g, ServoModel servo) { return drive(g, servo).forceLimit; }
    static double totalMass();
    // Index of a joint by effector name ("lle3"), -1 when unknown.
    static int jointByEffector(const char* name, size_t len);
    // Index of the body by suffix name, -1 when unknown.
    static int bodyIndex(const std::string& name);

    // MuJoCo XML of one robot body tree (the <body> element), for robot slot
    // `slot` (names are prefixed "r<slot>_"); contact bits keep a robot's own
    // parts from colliding except the left/right leg pairs listed by
    // legPairsXml.
    static std::string bodyXml(int slot, const Vec3& pos, ServoModel servo);
    static std::string legPairsXml(int slot);
    static std::string prefix(int slot) { return "r" + std::to_string(slot) + "_"; }
};

}  // namespace tovrasim

#endif
