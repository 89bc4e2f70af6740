#include "Actions/Actions.h"

#include <cmath>
#include <iostream>

#include "Actions/ApproachActions.h"
#include "Actions/MatrixActions.h"
#include "Actions/RecordedActions.h"
#include "Actions/ScriptedActions.h"
#include "Actions/SineActions.h"
#include "Effector/JointCommand.h"
#include "WorldModel/WorldModel.h"

Actions* Actions::ACS = nullptr;

namespace {

const char* const kJointNames[JID_MAX] = {
    "he1",  "he2",  "lle1", "rle1", "lle2", "rle2", "lle3", "rle3", "lle4", "rle4", "lle5",
    "rle5", "lle6", "rle6", "lae1", "rae1", "lae2", "rae2", "lae3", "rae3", "lae4", "rae4"};

// Step of initState towards 0 degrees, and the distance below which a joint
// counts as there.
const double kInitSpeed = 6.0;
const double kInitReached = 1.0;

// Head control: own localization fresher than this lets the head follow an
// object; the object itself must be fresher than the focus thresholds.
const double kLocalizedConfidence = 9.0;
const double kFocusConfidence = 9.94;
const double kPriorFocusConfidence = 9.93;
// Pan sweep: degrees per cycle and the angle at which it turns back.
const double kSweepStep = 10.0;
const double kSweepTurn = 119.0;
// Tilt held while following the ball, and the swing around other objects.
const double kFocusTilt = -22.0;
const float kSwing = 30.0f;

// Walk-type actions (turns, walks, side steps and the side kicks) take orders.
bool isWalkType(ActionType type) {
    return type >= TURN && type <= KICK_R;
}

// Every action type with an action, and how to make it, in the order the
// actions are created.
struct Registration {
    ActionType type;
    std::unique_ptr<Action> (*make)();
};

template <typename T>
std::unique_ptr<Action> make() {
    return std::make_unique<T>();
}

const Registration kRegistrations[] = {
    {DIVE_FRONT, make<DiveFront>},
    {DIVE_BACK, make<DiveBack>},
    {DIVE_HAND_L, make<DiveHandL>},
    {DIVE_HAND_R, make<DiveHandR>},
    {DIVE_LEG_L, make<DiveLegL>},
    {DIVE_LEG_R, make<DiveLegR>},
    {DEFEND_GOAL_L, make<DefendGoalL>},
    {DEFEND_GOAL_R, make<DefendGoalR>},
    {HEAD_LEFTRIGHT, make<HeadLeftRight>},
    {LIE_FRONT, make<LieFront>},
    {LIE_BACK, make<LieBack>},
    {GET_UP_FRONT, make<GetUpFront>},
    {GET_UP_BACK, make<GetUpBack>},
    {GET_UP_LEFT, make<GetUpLeft>},
    {GET_UP_RIGHT, make<GetUpRight>},
    {STEP, make<Step>},
    {WAIT, make<Wait>},
    {SETTOZERO, make<SetToZero>},
    {TURN_L, make<TurnL>},
    {FAST_TURN_L, make<FastTurnL>},
    {SLOW_TURN_L, make<SlowTurnL>},
    {TURN_R, make<TurnR>},
    {FAST_TURN_R, make<FastTurnR>},
    {SLOW_TURN_R, make<SlowTurnR>},
    {LARGE_TURN_L, make<LargeTurnL>},
    {LARGE_TURN_R, make<LargeTurnR>},
    {WALK_OMNI, make<WalkOmni>},
    {WALK_FORWARD, make<WalkForward>},
    {WALK_FAST, make<WalkFast>},
    {MINI_WALK_FORWARD, make<MiniWalkForward>},
    {WALK_BACKWARD, make<WalkBackward>},
    {WALK_LEFT, make<WalkLeft>},
    {WALK_FAST_LEFT, make<WalkFastLeft>},
    {WALK_SLOW_LEFT, make<WalkSlowLeft>},
    {WALK_RIGHT, make<WalkRight>},
    {WALK_FAST_RIGHT, make<WalkFastRight>},
    {WALK_SLOW_RIGHT, make<WalkSlowRight>},
    {WALK_AROUND_BALL_L, make<WalkAroundBallL>},
    {WALK_AROUND_BALL_R, make<WalkAroundBallR>},
    {WALK_SIDE_L, make<WalkSideL>},
    {WALK_SIDE_R, make<WalkSideR>},
    {WALK_SIDE_SHORT_L, make<WalkSideShortL>},
    {WALK_SIDE_SHORT_R, make<WalkSideShortR>},
    {KICK_L, make<KickL>},
    {KICK_R, make<KickR>},
    {SHOOT, make<Shoot>},
    {KICK, make<Kick>},
};

}  // namespace

Actions::Actions()
    : WM(WorldModel::instance()),
      T1(0),
      T2(0),
      mIsLeftHold(false),
      mType(SIDE_FORWARD_),
      mSpeed(0),
      mTurAng(0),
      mObjectFocused(FLAG_1L),
      curAct(UNKNOWN),
      headAct(HEAD_STILL),
      phase("start"),
      mHeadTurnLeft(true),
      mAroundTurnLeft(true) {
    for (int j = 0; j < JID_MAX; ++j) {
        jointName[j] = kJointNames[j];
    }
    registerActions();
}

Actions::~Actions() = default;

void Actions::registerActions() {
    for (const Registration& r : kRegistrations) {
        concreteAct[r.type] = r.make();
    }
}

Action* Actions::getAction(ActionType type) const {
    if (type < 0 || type >= ACTION_MAX) {
        return nullptr;
    }
    return concreteAct[type].get();
}

std::string Actions::runAction(ActionType type, const std::vector<std::string>& params) {
    Action* action = getAction(type);
    return action == nullptr ? std::string() : action->execute(params);
}

std::string Actions::selectBody(ActionType act) {
    if (curAct == UNKNOWN) {
        curAct = act;
        if (!isWalkType(act) || act > WALK_SIDE_SHORT_R) {
            // The side kicks and every non-walk action start without an order.
            return runAction(act, {});
        }
        phase = "start";
        return runAction(act, {"start"});
    }
    std::string body = runAction(curAct, {});
    if (!body.empty()) {
        return body;  // not at a boundary: the request waits
    }
    if (act != curAct && phase != "end" && isWalkType(curAct)) {
        // Wind the walk down; the request is taken at a later boundary.
        phase = "end";
        return runAction(curAct, {"end"});
    }
    if (act != curAct && isWalkType(act)) {
        phase = "start";
        curAct = act;
        return runAction(act, {"start"});
    }
    if (act == curAct) {
        phase = "normal";
        return runAction(act, {"normal"});
    }
    curAct = act;
    return runAction(act, {});
}

std::string Actions::doAction(ActionType act, ActionType head) {
    return mergeVisionMsg(selectBody(act), head);
}

std::string Actions::doAction(ActionType act, ActionType head, Object obj) {
    return mergeVisionMsg(selectBody(act), head, obj);
}

std::string Actions::mergeVisionMsg(const std::string& body, ActionType /*head*/) {
    if (mObjectFocused == OBJECT_MAX) {
        return body + headLeftAndRight();
    }
    return body + headFocusObject(mObjectFocused);
}

std::string Actions::mergeVisionMsg(const std::string& body, ActionType /*head*/, Object obj) {
    if (obj == OBJECT_MAX) {
        return body + headLeftAndRight();
    }
    return body + headFocusPriorObject(obj);
}

std::string Actions::headFocusObject(Object obj) {
    if (WM->getGlobalConfidence() <= kLocalizedConfidence) {
        return headLeftAndRight();
    }
    if (!(WM->getLocalConfidence(obj) > kFocusConfidence)) {
        return headLeftAndRight();
    }
    return obj == BALL ? focusObject(obj) : moveAroundObject(obj);
}

std::string Actions::headFocusPriorObject(Object obj) {
    if (!(WM->getLocalConfidence(obj) > kPriorFocusConfidence)) {
        return headLeftAndRight();
    }
    return obj == BALL ? focusObject(obj) : moveAroundObject(obj);
}

std::string Actions::headLeftAndRight() {
    const double pan = WM->getJointAngle(JID_HEAD_1);
    std::string text;
    if (pan <= 130 && mHeadTurnLeft) {
        text = moveJoint(JID_HEAD_1, kSweepStep);
        if (pan >= kSweepTurn) {
            mHeadTurnLeft = false;
        }
    } else {
        text = moveJoint(JID_HEAD_1, -kSweepStep);
        if (pan <= -kSweepTurn) {
            mHeadTurnLeft = true;
        }
    }
    return text + moveJoint(JID_HEAD_2, 0);
}

std::string Actions::focusObject(Object obj) {
    const float theta = static_cast<float>(WM->getObjectVision(obj).theta);
    float limit = 0;
    if (gAbs(theta) > 15) {
        limit = 10;
    } else if (gAbs(theta) > 5) {
        limit = 1;
    }
    const double pan = calculateVel(JID_HEAD_1, theta, limit);

    const float tiltError = static_cast<float>(kFocusTilt - WM->getJointAngle(JID_HEAD_2));
    limit = 0;
    if (gAbs(tiltError) > 15) {
        limit = 10;
    } else if (gAbs(tiltError) > 2) {
        limit = 1;
    }
    const double tilt = calculateVel(JID_HEAD_2, tiltError, limit);

    std::string text = "(" + jointName[JID_HEAD_1] + "  ";
    appendNumber(text, pan);
    text += ")(" + jointName[JID_HEAD_2] + "  ";
    appendNumber(text, tilt);
    text += ')';
    return text;
}

std::string Actions::moveAroundObject(Object obj) {
    if (std::fabs(WM->getJointAngle(JID_HEAD_1)) > 115) {
        return focusObject(obj);
    }
    const float theta = static_cast<float>(WM->getObjectVision(obj).theta);
    double pan = 0;
    if (theta <= kSwing && mAroundTurnLeft) {
        pan = calculateVel(JID_HEAD_1, theta + kSwing, 10);
        if (theta <= -kSwing) {
            mAroundTurnLeft = false;
        }
    } else {
        pan = calculateVel(JID_HEAD_1, theta - kSwing, 10);
        if (theta >= kSwing) {
            mAroundTurnLeft = true;
        }
    }
    return moveJoint(JID_HEAD_1, pan) + moveJoint(JID_HEAD_2, 0);
}

Actions* Actions::getInstance() {
    if (ACS == nullptr) {
        ACS = new Actions();
    }
    return ACS;
}

void Actions::deleteT() {
    delete ACS;
    ACS = nullptr;
}

std::string Actions::init() const {
    return "(init (unum " + std::to_string(WM->getUnum()) + ")(teamname " + WM->getTeamName() +
           "))";
}

std::string Actions::beam(const Vector3f& pos) const {
    std::string text = "(beam ";
    appendNumber(text, pos.x());
    text += ' ';
    appendNumber(text, pos.y());
    text += ' ';
    appendNumber(text, pos.z());
    text += ')';
    return text;
}

std::string Actions::say(const std::string& message) const {
    return "(say " + message + ")";
}

std::string Actions::moveJoint(JointID joint, double vel) const {
    std::string text;
    if (joint < 0 || joint >= JID_MAX) {
        return text;
    }
    appendJointCommand(text, jointName[joint], vel);
    return text;
}

std::string Actions::moveJointTo(JointID joint, double target, double& speed) const {
    const double remaining = target - WM->getJointAngle(joint);
    speed = std::fabs(speed);
    if (remaining < 0) {
        speed = -speed;
    }
    if (std::fabs(speed) > std::fabs(remaining)) {
        speed = remaining;
    }
    return moveJoint(joint, speed);
}

std::string Actions::stop() const {
    std::string text;
    for (int j = 0; j < JID_MAX; ++j) {
        text += moveJoint(static_cast<JointID>(j), 0);
    }
    return text;
}

std::string Actions::initState() {
    curAct = UNKNOWN;
    std::string text;
    for (int j = 0; j < JID_MAX; ++j) {
        const JointID joint = static_cast<JointID>(j);
        double speed = kInitSpeed;
        const std::string command = moveJointTo(joint, 0, speed);
        text += std::fabs(speed) < kInitReached ? moveJoint(joint, 0) : command;
    }
    return text;
}

double Actions::calculateVel(JointID /*joint*/, float angle, float maxVel) const {
    if (maxVel < 0) {
        std::cout << "calculateVel Error";
        return 0;
    }
    float delta = gNormalizeDeg(angle);
    if (gAbs(delta) > maxVel) {
        delta = gSign(delta) * maxVel;
    }
    const double vel = gDegToRad(static_cast<double>(delta)) * 50.0;
    // An angle that is not finite gives no usable velocity.
    return std::isfinite(vel) ? vel : 0.0;
}
