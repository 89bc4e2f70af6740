// The physical world: one MuJoCo model holding the field, the goals, the
// ball and every robot in play, stepped in 0.02 s steps of equal substeps.
//
// World frame (absolute): origin at the centre spot, x towards the goal the
// left team attacks, y to the left seen from the left team, z up.
#ifndef TOVRA_SIM_WORLD_H
#define TOVRA_SIM_WORLD_H

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "RobotModel.h"
#include "SimMath.h"

struct mjModel_;
struct mjData_;

namespace tovrasim {

enum class Side { Left, Right };

inline const char* sideName(Side s) {
    return s == Side::Left ? "left" : "right";
}

struct FootPressure {
    bool contact = false;
    Vec3 c;  // centre of pressure in the foot frame, metres
    Vec3 f;  // ground reaction force on the foot, foot frame, newtons
};

// What the robot's own sensors read over the last step.
struct RobotSensors {
    Vec3 acc;      // m/s^2, torso frame (x right, y forward, z up)
    Vec3 gyroDeg;  // degrees per second, torso frame
    std::array<double, RobotModel::kNumJoints> jointDeg{};
    FootPressure lf, rf;
};

class World {
public:
    static constexpr double kStepTime = 0.02;
    static constexpr int kMaxRobots = 22;
    static constexpr double kFieldLength = 30.0;
    static constexpr double kFieldWidth = 20.0;
    static constexpr double kGoalWidth = 2.1;
    static constexpr double kGoalDepth = 1.0;
    static constexpr double kGoalHeight = 0.8;
    static constexpr double kBallRadius = 0.042;
    static constexpr double kBallMass = 0.026;
    static constexpr double kLyingHeight = 0.25;

    struct Config {
        int substeps = 10;  // physics steps per 0.02 s
        ServoModel servo = ServoModel::Velocity;
        // MuJoCo's integrator: semi-implicit Euler (joint damping, and so
        // the velocity motors' loop gain, taken implicitly) or the
        // integrator implicit in every velocity-dependent force.
        bool implicitIntegrator = false;
        // Scales the velocity motors' torque limits: a diagnostic for what
        // limits a motion, never for play (1 is the robot's own servos).
        double torqueScale = 1.0;
    };

    World();
    explicit World(const Config& cfg);
    ~World();
    World(const World&) = delete;
    World& operator=(const World&) = delete;

    // Adds a robot standing upright with all joint angles zero at the given
    // absolute position and heading; returns its slot, or -1 when full or the
    // model fails to build.
    int addRobot(Side side, int unum, double x, double y, double headingDeg);
    struct NewRobot {
        Side side = Side::Left;
        int unum = 0;
        double x = 0, y = 0, headingDeg = 0;
    };
    // Adds several robots with a single model build (a build costs about as
    // much as a second of play with a full field); their slots, in order,
    // -1 for each robot that found no room or when the build fails.
    std::vector<int> addRobots(const std::vector<NewRobot>& robots);
    void removeRobot(int slot);
    bool hasRobot(int slot) const;
    std::vector<int> robots() const;
    Side side(int slot) const { return mRobots[slot].side; }
    int unum(int slot) const { return mRobots[slot].unum; }

    // Joint velocity command for the coming step (rad/s, clamped to the
    // servo's speed limit). Commands last one step: step() clears them.
    void setJointVelocity(int slot, int joint, double radPerSec);
    void clearCommands();
    void step();
    double time() const;
    long stepCount() const { return mSteps; }
    // Model builds so far (one per change of the set of robots, or batch).
    long buildCount() const { return mBuilds; }

    // Places a robot upright, feet on the ground, at rest, keeping its joint
    // angles (absolute frame, heading in degrees).
    void placeUpright(int slot, double x, double y, double headingDeg);
    // Sets joint angles (degrees, clamped to range) at rest; servos hold them.
    void setJointAngles(int slot, const std::array<double, RobotModel::kNumJoints>& deg);
    // Sets the torso pose directly (quaternion w, x, y, z), at rest.
    void setTorsoPose(int slot, const Vec3& pos, const std::array<double, 4>& quat);
    void setTorsoVelocity(int slot, const Vec3& linear, const Vec3& angularBody);
    // Sets a joint's present speed, as a knock would (rad/s).
    void setJointSpeed(int slot, int joint, double radPerSec);
    // Moves a robot over the ground to (x, y) as it is (pose, joints), at rest.
    void shiftRobot(int slot, double x, double y);
    void placeBall(const Vec3& pos, const Vec3& vel = {});

    Vec3 ballPos() const;
    Vec3 ballVel() const;
    const RobotSensors& sensors(int slot) const { return mRobots[slot].sens; }
    Vec3 torsoPos(int slot) const;
    Mat3 torsoRot(int slot) const;
    double heading(int slot) const;  // degrees, absolute
    bool lying(int slot) const { return torsoPos(slot).z < kLyingHeight; }
    // Camera position and axes (columns: forward, left, up) in world frame.
    Vec3 cameraPos(int slot) const;
    Mat3 cameraAxes(int slot) const;
    // World position of a body part's centre ("head", "lfoot", ...).
    Vec3 partPos(int slot, int bodyIndex) const;
    // Whether the robot touched the ball during the last step.
    bool touchedBall(int slot) const { return mRobots[slot].touched; }
    // Whether the robot touched the robot in `other` during the last step.
    bool touchedRobot(int slot, int other) const {
        return other >= 0 && other < kMaxRobots && (mRobots[slot].robotContacts >> other & 1u);
    }
    double jointAngleDeg(int slot, int joint) const;

    std::string modelXml() const { return mXml; }
    // The MuJoCo XML of a world with robots in the given slots.
    static std::string buildXml(const std::vector<int>& slots, const Config& cfg);
    static std::string buildXml(const std::vector<int>& slots);
    ServoModel servo() const { return mCfg.servo; }
    // Joint substeps so far in which a velocity motor that started the
    // substep within its torque limit ended it needing more (an impact
    // taken within one substep, see sim/README.md).
    long overloadedSubsteps() const { return mOverloaded; }
    const mjModel_* model() const { return mModel; }
    const mjData_* data() const { return mData; }

private:
    struct Robot {
        bool active = false;
        Side side = Side::Left;
        int unum = 0;
        std::array<double, RobotModel::kNumJoints> setpoint{};
        std::array<double, RobotModel::kNumJoints> command{};
        // Velocity motor within its torque limit this substep, the speed it
        // drives its joint at, the joint's speed at the start of the
        // substep, and the estimate of the torque that the rest of the world
        // (gravity, contacts, the other joints) puts on the joint.
        std::array<bool, RobotModel::kNumJoints> holding{};
        std::array<double, RobotModel::kNumJoints> driveSpeed{}, startSpeed{}, load{};
        RobotSensors sens;
        bool touched = false;
        std::uint32_t robotContacts = 0;  // bit s: touched the robot in slot s
        // Indices into the current model.
        int rootQpos = -1, rootDof = -1;
        std::array<int, RobotModel::kNumJoints> qpos{}, dof{};
        std::vector<int> bodyId;  // by body table index
        std::vector<int> geomId;  // by body table index, -1 without geom
        int cameraSite = -1;
    };

    bool rebuild();
    void bindRobot(int slot);
    void zeroRobotVelocity(int slot);
    double lowestPoint(int slot) const;
    void updateServos(double dt);
    void updateSetpointServos(double dt);
    void updateVelocityMotors(double dt);
    void afterMotorSubstep(double dt);
    double jointInertia(const Robot& r, int joint, const JointDrive& d) const;
    // Calls f(robot, joint, drive) for every joint of every robot in play.
    template <class F>
    void forEachMotor(F&& f);
    void accumulateContacts(std::array<Vec3, kMaxRobots * 2>& force,
                            std::array<Vec3, kMaxRobots * 2>& copSum,
                            std::array<double, kMaxRobots * 2>& weight);

    Config mCfg;
    mjModel_* mModel = nullptr;
    mjData_* mData = nullptr;
    std::string mXml;
    std::array<Robot, kMaxRobots> mRobots;
    std::vector<int> mGeomRobot;  // geom id -> robot slot or -1
    int mGroundGeom = -1, mBallGeom = -1, mBallQpos = -1, mBallDof = -1;
    long mSteps = 0;
    long mBuilds = 0;
    long mOverloaded = 0;
    // The velocity motors' drives by joint group (torque scale applied).
    std::array<JointDrive, 3> mDrive{};
};

}  // namespace tovrasim

#endif
