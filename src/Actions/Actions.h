#ifndef TOVRA_ACTIONS_ACTIONS_H
#define TOVRA_ACTIONS_ACTIONS_H

#include <string>

#include "WorldModel/Types.h"

class WorldModel;

// The single entry point through which decisions move the robot. This part
// holds the command-text builders (init, beam, say, joint commands) and the
// running action; the action table, the walk parameters and head control
// complete it.
class Actions {
public:
    static Actions* getInstance();
    static void deleteT();

    ActionType getCurAct() const { return curAct; }
    void setCurAct(ActionType type) { curAct = type; }

    // "(init (unum N)(teamname NAME))" from the world model.
    std::string init() const;
    // "(beam x y angle)": field position in metres, facing angle in degrees.
    std::string beam(const Vector3f& pos) const;
    // "(say message)".
    std::string say(const std::string& message) const;
    // One joint command "(name vel)"; empty for a value outside the joints.
    std::string moveJoint(JointID joint, double vel) const;
    // Command towards `target` degrees: |speed| with the sign of the remaining
    // difference, at most that difference. The adjusted value is left in
    // `speed`.
    std::string moveJointTo(JointID joint, double target, double& speed) const;
    // A zero command for every joint.
    std::string stop() const;
    // Drops the running action and drives every joint towards 0 degrees.
    std::string initState();
    // Velocity (radians per second) that turns `angle` degrees in one cycle,
    // at most maxVel degrees; "calculateVel Error" and 0 for a negative limit.
    double calculateVel(JointID joint, float angle, float maxVel) const;

private:
    Actions();
    Actions(const Actions&) = delete;
    Actions& operator=(const Actions&) = delete;

    WorldModel* WM;
    std::string jointName[JID_MAX];
    int T1;
    int T2;
    static Actions* ACS;
    ActionType curAct;
    ActionType headAct;
    std::string phase;
};

#endif
