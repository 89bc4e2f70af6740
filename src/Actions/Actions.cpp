#include "Actions/Actions.h"

#include <cmath>
#include <iostream>

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

}  // namespace

Actions::Actions()
    : WM(WorldModel::instance()),
      T1(0),
      T2(0),
      curAct(UNKNOWN),
      headAct(HEAD_STILL),
      phase("start") {
    for (int j = 0; j < JID_MAX; ++j) {
        jointName[j] = kJointNames[j];
    }
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
