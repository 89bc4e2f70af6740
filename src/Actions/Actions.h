#ifndef TOVRA_ACTIONS_ACTIONS_H
#define TOVRA_ACTIONS_ACTIONS_H

#include <memory>
#include <string>
#include <vector>

#include "WorldModel/Types.h"

class Action;
class WorldModel;

// The single entry point through which decisions move the robot. Each cycle
// doAction lets the running action finish its current motion, switches
// actions only at the boundaries the actions report (an empty command text),
// sends walk-type actions their "start", "normal" and "end" orders and
// appends head commands that follow an object or sweep for landmarks. It also
// holds the parameters of the omnidirectional walk and builds the init, beam,
// say and joint command texts.
class Actions {
public:
    static Actions* getInstance();
    // Destroys the dispatcher with all its actions.
    static void deleteT();

    ActionType getCurAct() const { return curAct; }
    void setCurAct(ActionType type) { curAct = type; }

    // One cycle of body and head commands: the body text of the running or
    // requested action followed by the head text. `head` does not change the
    // result. A request without a registered action (including ACTION_MAX and
    // any value outside the table) gives an empty body text.
    std::string doAction(ActionType act, ActionType head);
    // As above, with the head on `obj` (OBJECT_MAX: sweep).
    std::string doAction(ActionType act, ActionType head, Object obj);

    // Body text followed by the head text for the focused object.
    std::string mergeVisionMsg(const std::string& body, ActionType head);
    std::string mergeVisionMsg(const std::string& body, ActionType head, Object obj);

    // Head commands: follow obj when it and the own position are fresh,
    // otherwise sweep.
    std::string headFocusObject(Object obj);
    // Follow obj when it is fresh, otherwise sweep.
    std::string headFocusPriorObject(Object obj);
    // Pan sweep between +-119 degrees at 10 per cycle, tilt still.
    std::string headLeftAndRight();
    // Centres obj horizontally and holds the tilt at -22 degrees.
    std::string focusObject(Object obj);
    // Swings the head 30 degrees either side of obj.
    std::string moveAroundObject(Object obj);

    void setObjectFocused(Object obj) { mObjectFocused = obj; }
    Object getObgetctFocused() const { return mObjectFocused; }
    void setType(ESide type) { mType = type; }
    ESide getType() const { return mType; }
    void setSpeed(double speed) { mSpeed = speed; }
    double getSpeed() const { return mSpeed; }
    void setTurAng(double angle) { mTurAng = angle; }
    double getTurAng() const { return mTurAng; }
    void setIsLeftHold(bool leftHold) { mIsLeftHold = leftHold; }
    bool getIsLeftHold() const { return mIsLeftHold; }

    // The last order sent to a walk-type action.
    const std::string& getPhase() const { return phase; }
    // The action registered for a type; null when there is none.
    Action* getAction(ActionType type) const;

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
    ~Actions();
    Actions(const Actions&) = delete;
    Actions& operator=(const Actions&) = delete;

    void registerActions();
    // The body text of the running or requested action.
    std::string selectBody(ActionType act);
    // One cycle of the action of `type` with the given order (none when
    // empty); empty when no action is registered for the type.
    std::string runAction(ActionType type, const std::vector<std::string>& params);

    WorldModel* WM;
    std::string jointName[JID_MAX];
    [[maybe_unused]] int T1;
    [[maybe_unused]] int T2;
    static Actions* ACS;
    std::unique_ptr<Action> concreteAct[ACTION_MAX];
    bool mIsLeftHold;
    ESide mType;
    double mSpeed;
    double mTurAng;
    Object mObjectFocused;
    ActionType curAct;
    [[maybe_unused]] ActionType headAct;
    std::string phase;
    // Sweep directions of headLeftAndRight and moveAroundObject.
    bool mHeadTurnLeft;
    bool mAroundTurnLeft;
};

#endif
