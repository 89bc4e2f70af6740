#include "Actions/Actions.h"

#include <cmath>
#include <iostream>

#include "Actions/DefendGoalL.h"
#include "Actions/DefendGoalR.h"
#include "Actions/DiveBack.h"
#include "Actions/DiveFront.h"
#include "Actions/DiveHandL.h"
#include "Actions/DiveHandR.h"
#include "Actions/DiveLegL.h"
#include "Actions/DiveLegR.h"
#include "Actions/FastTurnL.h"
#include "Actions/FastTurnR.h"
#include "Actions/GetUpBack.h"
#include "Actions/GetUpFront.h"
#include "Actions/GetUpLeft.h"
#include "Actions/GetUpRight.h"
#include "Actions/HeadLeftRight.h"
#include "Actions/Kick.h"
#include "Actions/KickL.h"
#include "Actions/KickR.h"
#include "Actions/LargeTurnL.h"
#include "Actions/LargeTurnR.h"
#include "Actions/LieBack.h"
#include "Actions/LieFront.h"
#include "Actions/MiniWalkForward.h"
#include "Actions/SetToZero.h"
#include "Actions/Shoot.h"
#include "Actions/SlowTurnL.h"
#include "Actions/SlowTurnR.h"
#include "Actions/Step.h"
#include "Actions/TurnL.h"
#include "Actions/TurnR.h"
#include "Actions/Wait.h"
#include "Actions/WalkAroundBallL.h"
#include "Actions/WalkAroundBallR.h"
#include "Actions/WalkBackward.h"
#include "Actions/WalkFast.h"
#include "Actions/WalkFastLeft.h"
#include "Actions/WalkFastRight.h"
#include "Actions/WalkForward.h"
#include "Actions/WalkLeft.h"
#include "Actions/WalkOmni.h"
#include "Actions/WalkRight.h"
#include "Actions/WalkSideL.h"
#include "Actions/WalkSideR.h"
#include "Actions/WalkSideShortL.h"
#include "Actions/WalkSideShortR.h"
#include "Actions/WalkSlowLeft.h"
#include "Actions/WalkSlowRight.h"
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
    concreteAct[DIVE_FRONT].reset(new DiveFront());
    concreteAct[DIVE_BACK].reset(new DiveBack());
    concreteAct[DIVE_HAND_L].reset(new DiveHandL());
    concreteAct[DIVE_HAND_R].reset(new DiveHandR());
    concreteAct[DIVE_LEG_L].reset(new DiveLegL());
    concreteAct[DIVE_LEG_R].reset(new DiveLegR());
    concreteAct[DEFEND_GOAL_L].reset(new DefendGoalL());
    concreteAct[DEFEND_GOAL_R].reset(new DefendGoalR());
    concreteAct[HEAD_LEFTRIGHT].reset(new HeadLeftRight());
    concreteAct[LIE_FRONT].reset(new LieFront());
    concreteAct[LIE_BACK].reset(new LieBack());
    concreteAct[GET_UP_FRONT].reset(new GetUpFront());
    concreteAct[GET_UP_BACK].reset(new GetUpBack());
    concreteAct[GET_UP_LEFT].reset(new GetUpLeft());
    concreteAct[GET_UP_RIGHT].reset(new GetUpRight());
    concreteAct[STEP].reset(new Step());
    concreteAct[WAIT].reset(new Wait());
    concreteAct[SETTOZERO].reset(new SetToZero());
    concreteAct[TURN_L].reset(new TurnL());
    concreteAct[FAST_TURN_L].reset(new FastTurnL());
    concreteAct[SLOW_TURN_L].reset(new SlowTurnL());
    concreteAct[TURN_R].reset(new TurnR());
    concreteAct[FAST_TURN_R].reset(new FastTurnR());
    concreteAct[SLOW_TURN_R].reset(new SlowTurnR());
    concreteAct[LARGE_TURN_L].reset(new LargeTurnL());
    concreteAct[LARGE_TURN_R].reset(new LargeTurnR());
    concreteAct[WALK_OMNI].reset(new WalkOmni());
    concreteAct[WALK_FORWARD].reset(new WalkForward());
    concreteAct[WALK_FAST].reset(new WalkFast());
    concreteAct[MINI_WALK_FORWARD].reset(new MiniWalkForward());
    concreteAct[WALK_BACKWARD].reset(new WalkBackward());
    concreteAct[WALK_LEFT].reset(new WalkLeft());
    concreteAct[WALK_FAST_LEFT].reset(new WalkFastLeft());
    concreteAct[WALK_SLOW_LEFT].reset(new WalkSlowLeft());
    concreteAct[WALK_RIGHT].reset(new WalkRight());
    concreteAct[WALK_FAST_RIGHT].reset(new WalkFastRight());
    concreteAct[WALK_SLOW_RIGHT].reset(new WalkSlowRight());
    concreteAct[WALK_AROUND_BALL_L].reset(new WalkAroundBallL());
    concreteAct[WALK_AROUND_BALL_R].reset(new WalkAroundBallR());
    concreteAct[WALK_SIDE_L].reset(new WalkSideL());
    concreteAct[WALK_SIDE_R].reset(new WalkSideR());
    concreteAct[WALK_SIDE_SHORT_L].reset(new WalkSideShortL());
    concreteAct[WALK_SIDE_SHORT_R].reset(new WalkSideShortR());
    concreteAct[KICK_L].reset(new KickL());
    concreteAct[KICK_R].reset(new KickR());
    concreteAct[SHOOT].reset(new Shoot());
    concreteAct[KICK].reset(new Kick());
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
