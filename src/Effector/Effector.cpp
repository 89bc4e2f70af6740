#include "Effector/Effector.h"

#include <algorithm>
#include <cmath>

#include "Effector/JointCommand.h"
#include "WorldModel/WorldModel.h"

Effector* Effector::handleT = nullptr;

namespace {

// The simulation step as the server's single-precision constant.
const double kCycleLength = static_cast<double>(0.02f);

// mJointVel limit of the arm swing, radians per second.
const float kMaxArmVel = 200.0f;

const char* const kEffectorNames[JID_MAX] = {
    "he1",  "he2",  "lle1", "rle1", "lle2", "rle2", "lle3", "rle3", "lle4", "rle4", "lle5",
    "rle5", "lle6", "rle6", "lae1", "rae1", "lae2", "rae2", "lae3", "rae3", "lae4", "rae4"};

}  // namespace

Effector::Effector()
    : mCurrentCycle(0),
      mIsDone(false),
      mJointAngle(new float[SLOTS]()),
      mJointVel(new float[SLOTS]()) {
    updateCycle();
    setupEffName();
}

Effector* Effector::instance() {
    if (handleT == nullptr) {
        handleT = new Effector();
    }
    return handleT;
}

void Effector::deleteT() {
    delete handleT;
    handleT = nullptr;
}

void Effector::setupEffName() {
    for (int j = 0; j < JID_MAX; ++j) {
        mEffectorName[j] = kEffectorNames[j];
    }
}

void Effector::updateCycle() {
    const double cycles = WorldModel::instance()->getServerTime() / kCycleLength;
    // Only a time whose cycle number fits the counter replaces it.
    if (std::isfinite(cycles) && cycles >= 0.0 && cycles < 4294967296.0) {
        mCurrentCycle = static_cast<std::uint32_t>(cycles);
    }
}

int Effector::getCurrentCycle() const {
    return WorldModel::instance()->getCurrentCycle();
}

void Effector::updateJointAngle(boost::shared_array<Link> links) {
    if (!links) {
        return;
    }
    for (int i = JID_HEAD_1_; i < SLOTS; ++i) {
        mJointAngle[i] = links[i].q;
    }
    for (int i = JID_ROOT_; i < SLOTS; ++i) {
        mJointVel[i] = 0.0f;
    }
}

std::string Effector::setActionCommand() const {
    std::string command;
    if (mIsDone) {
        return command;
    }
    command.reserve(JID_MAX * 16);
    for (int j = 0; j < JID_MAX; ++j) {
        appendJointCommand(command, mEffectorName[j], mJointVel[jointToLink(j)]);
    }
    return command;
}

void Effector::shoulderVel(int link, float angle, float maxVel) {
    if (maxVel < 0.0f) {
        return;
    }
    const float current = gRadToDeg(mJointAngle[link]);
    float delta = gNormalizeDeg(angle - current);
    if (gAbs(delta) > maxVel) {
        delta = gSign(delta) * maxVel;
    }
    const float vel = std::min(gDegToRad(delta) * 20.0f, kMaxArmVel);
    mJointVel[link] = std::isfinite(vel) ? vel : 0.0f;
}

void Effector::calculateVel1(float angle, float maxVel) {
    shoulderVel(JID_LARM_1_, angle, maxVel);
}

void Effector::calculateVel2(float angle, float maxVel) {
    shoulderVel(JID_RARM_1_, angle, maxVel);
}

std::string Effector::getmyjoint() const {
    std::string text;
    for (int i = 0; i < 6; ++i) {
        appendNumber(text, mJointVel[JID_LLEG_1_ + 2 * i]);
        text += "   ";
    }
    text += '\n';
    for (int i = 0; i < 6; ++i) {
        appendNumber(text, mJointVel[JID_RLEG_1_ + 2 * i]);
        text += "   ";
    }
    return text;
}
