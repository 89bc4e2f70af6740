#include "Actions/ScriptedActions.h"

#include <algorithm>
#include <cmath>
#include <iostream>
#include <sstream>
#include <utility>

#include "Actions/Actions.h"
#include "Actions/Walk.h"
#include "Effector/Effector.h"
#include "Effector/JointCommand.h"
#include "WorldModel/WorldModel.h"

// The built-in kick.

namespace {

const char* const kShootTable =
    "10 20 33 40 45 0 0 0 350 0 0 -0 0 0 0 0 0 0 -1 -0 1 0 0 0 0 0 -1 0 0 0 0 0 0 0 0 2 -3  3 6 "
    "-0 -0 0  0 0 0 -0 -6 0 0 0 0 -4.3 -3 1 6 0 0 0 0 0 0 -0 -6 0 0 0 0 2.5 2.9 -3.3 -3 -0 0 0 0 "
    "0 0 0 6 0 0 0 1.2 0 0 0 0 0 0 0 1.2 0 0 0 0 0 0 0 ";

// Joints whose frames the table gives, in the table's order.
const Kick::ShootJointIndex kImported[] = {Kick::S_RLE1, Kick::S_RLE2, Kick::S_LLE2, Kick::S_RLE3,
                                           Kick::S_LLE3, Kick::S_RLE4, Kick::S_LLE4, Kick::S_RLE5,
                                           Kick::S_LLE5, Kick::S_RLE6, Kick::S_LLE6};
const int kImportedFrames = 8;

// A frame is sent left before right, arms before legs.
struct FrameJoint {
    JointID joint;
    Kick::ShootJointIndex index;
};
const FrameJoint kFrameOrder[] = {
    {JID_LARM_1, Kick::S_LAE1}, {JID_RARM_1, Kick::S_RAE1}, {JID_LARM_2, Kick::S_LAE2},
    {JID_RARM_2, Kick::S_RAE2}, {JID_LLEG_1, Kick::S_LLE1}, {JID_RLEG_1, Kick::S_RLE1},
    {JID_LLEG_2, Kick::S_LLE2}, {JID_RLEG_2, Kick::S_RLE2}, {JID_LLEG_3, Kick::S_LLE3},
    {JID_RLEG_3, Kick::S_RLE3}, {JID_LLEG_4, Kick::S_LLE4}, {JID_RLEG_4, Kick::S_RLE4},
    {JID_LLEG_5, Kick::S_LLE5}, {JID_RLEG_5, Kick::S_RLE5}, {JID_LLEG_6, Kick::S_LLE6},
    {JID_RLEG_6, Kick::S_RLE6}};

const int kFirstCycle = 2;
const int kLastCycle = 150;

}  // namespace

Kick::Kick() : mShoot(), prepared(false), done(false), counter(kFirstCycle), frame(0) {}

void Kick::importShootJoint(bool leftHold) {
    mShoot = shootJoint();
    std::istringstream in(kShootTable);
    for (int f = 0; f < FRAMES; ++f) {
        in >> mShoot.time[f];
    }
    for (ShootJointIndex index : kImported) {
        for (int f = 0; f < kImportedFrames; ++f) {
            in >> mShoot.value[index][f];
        }
    }
    mShoot.value[S_LAE2][0] = 2;
    mShoot.value[S_LAE2][1] = 2;
    mShoot.value[S_LAE2][2] = 1.5;
    if (!leftHold) {
        return;
    }
    double(&v)[S_COUNT][FRAMES] = mShoot.value;
    for (int f = 0; f < FRAMES; ++f) {
        for (ShootJointIndex index : {S_RLE2, S_LLE2, S_RLE6, S_LLE6}) {
            v[index][f] = -v[index][f];
        }
        std::swap(v[S_RLE3][f], v[S_LLE3][f]);
        std::swap(v[S_RLE4][f], v[S_LLE4][f]);
        std::swap(v[S_RLE5][f], v[S_LLE5][f]);
        std::swap(v[S_RLE2][f], v[S_LLE2][f]);
        std::swap(v[S_RLE6][f], v[S_LLE6][f]);
        const double oldRae2 = v[S_RAE2][f];
        v[S_RAE2][f] = -v[S_LAE2][f];
        v[S_LAE2][f] = oldRae2;
    }
}

std::string Kick::allZero() const {
    std::string text;
    for (int j = 0; j < JID_MAX; ++j) {
        appendJointCommand(text, jointName[j], 0.0);
    }
    return text;
}

void Kick::storeVel(JointID joint, float angle, float maxVel) {
    if (maxVel < 0) {
        std::cout << "calculateVel Error";
        return;
    }
    const float current = static_cast<float>(WM->getJointAngle(joint));
    float delta = gNormalizeDeg(angle - current);
    if (gAbs(delta) > maxVel) {
        delta = gSign(delta) * maxVel;
    }
    const double vel = std::min(gDegToRad(static_cast<double>(delta)) * 20.0, 200.0);
    WM->setJointVel(joint, vel);
}

bool Kick::postureReached() const {
    for (JointID shoulder : {JID_LARM_1, JID_RARM_1}) {
        const double angle = WM->getJointAngle(shoulder);
        if (!(angle > -47 && angle < -43)) {
            return false;
        }
    }
    for (int j = JID_LLEG_1; j <= JID_RLEG_6; ++j) {
        if (!(std::fabs(WM->getJointAngle(static_cast<JointID>(j))) <= 2)) {
            return false;
        }
    }
    return true;
}

std::string Kick::prepare() {
    std::string text = allZero();
    storeVel(JID_LARM_1, -45, 3);
    storeVel(JID_RARM_1, -45, 3);
    storeVel(JID_LLEG_4, 0, 3.5f);
    storeVel(JID_RLEG_4, 0, 3.5f);
    storeVel(JID_LLEG_3, 0, 3);
    storeVel(JID_RLEG_3, 0, 3);
    for (JointID joint : {JID_LLEG_5, JID_RLEG_5, JID_LLEG_1, JID_RLEG_1, JID_LLEG_2, JID_RLEG_2,
                          JID_LLEG_6, JID_RLEG_6}) {
        storeVel(joint, 0, 2);
    }
    for (int j = 0; j < JID_MAX; ++j) {
        const JointID joint = static_cast<JointID>(j);
        appendJointCommand(text, jointName[j], WM->getJointVel(joint));
    }
    if (postureReached()) {
        importShootJoint(Actions::getInstance()->getIsLeftHold());
        prepared = true;
        done = false;
        counter = kFirstCycle;
        frame = 0;
    }
    return text;
}

std::string Kick::kickCycle() {
    // The last cycle ends the kick before anything divides by the cycles left.
    if (counter >= kLastCycle) {
        counter = kFirstCycle;
        frame = 0;
        done = true;
        return allZero();
    }
    if (frame < FRAMES && counter == mShoot.time[frame]) {
        ++frame;
    }
    std::string text;
    if (frame < FRAMES && counter < mShoot.time[frame]) {
        text = allZero();
        for (const FrameJoint& entry : kFrameOrder) {
            appendJointCommand(text, jointName[entry.joint], mShoot.value[entry.index][frame]);
        }
    } else {
        const double left = kLastCycle - counter;
        for (int j = 0; j < JID_MAX; ++j) {
            double value = -WM->getJointAngle(static_cast<JointID>(j)) / left;
            if (j == JID_LARM_4 || j == JID_RARM_4) {
                value *= 2;
            }
            appendJointCommand(text, jointName[j], value);
        }
    }
    ++counter;
    return text;
}

std::string Kick::execute(std::vector<std::string> /*params*/) {
    if (prepared && done) {
        prepared = false;
        return std::string();
    }
    if (prepared) {
        return kickCycle();
    }
    return prepare();
}

// The head sweep.

namespace {

const double kSweepAngle = 120.0;
// Pan error (degrees) at which a sweep position counts as reached.
const double kReached = 2.9;
// Landmarks seen within this many seconds count for the choice of side.
const double kRecent = 0.07;

int countSeen(const bool seen[], Object a, Object b) {
    return (seen[a] ? 1 : 0) + (seen[b] ? 1 : 0);
}

}  // namespace

HeadLeftRight::HeadLeftRight() : direction(NONE), mPhase(MOVE), seen(false) {}

HeadLeftRight::MoveTo HeadLeftRight::chooseDirection() const {
    const double now = WM->getServerTime();
    bool recent[GOAL_2R + 1] = {};
    int total = 0;
    int leftSide = 0;
    int rightSide = 0;
    for (int obj = FLAG_1L; obj <= GOAL_2R; ++obj) {
        if (WM->getObjectTimeLastSeen(static_cast<Object>(obj)) >= now - kRecent) {
            recent[obj] = true;
            ++total;
            // Even objects are the left end's landmarks, odd ones the right end's.
            if (obj % 2 == 0) {
                ++leftSide;
            } else {
                ++rightSide;
            }
        }
    }
    if (total > 2) {
        return NONE;
    }
    if (leftSide > rightSide) {
        return countSeen(recent, FLAG_1L, GOAL_1L) > countSeen(recent, FLAG_2L, GOAL_2L) ? LEFT
                                                                                         : RIGHT;
    }
    if (rightSide > leftSide) {
        return countSeen(recent, FLAG_1R, GOAL_1R) > countSeen(recent, FLAG_2R, GOAL_2R) ? RIGHT
                                                                                         : LEFT;
    }
    const double a = WM->getMyAngle() - WM->getJointAngle(JID_HEAD_1);
    if (a > 90) {
        return LEFT;
    }
    if (a < -90 || (a > 0 && a <= 90)) {
        return RIGHT;
    }
    return LEFT;
}

std::string HeadLeftRight::execute(std::vector<std::string> /*params*/) {
    if (WM->canSeeFlags()) {
        seen = true;
    }
    if (direction == NONE) {
        direction = chooseDirection();
    }
    double target = direction == RIGHT ? -kSweepAngle : kSweepAngle;
    if (mPhase == RETURN) {
        target = 0;
    }
    const double pan = WM->getJointAngle(JID_HEAD_1);
    const std::string command = moveJoint(JID_HEAD_1, target - pan);

    const double delta = std::fabs(target - pan);
    if (mPhase == MOVE) {
        if (seen || delta <= kReached) {
            mPhase = RETURN;
        }
    } else if (!seen) {
        mPhase = MOVE;
        direction = direction == RIGHT ? LEFT : RIGHT;
    }
    if (mPhase == RETURN && seen && delta <= kReached) {
        direction = NONE;
        mPhase = MOVE;
        seen = false;
        return std::string();
    }
    return command;
}

// The omnidirectional walk.

WalkOmni::WalkOmni() = default;

std::string WalkOmni::execute(std::vector<std::string> params) {
    const Actions* acs = Actions::getInstance();
    Walk::instance()->Execute(acs->getTurAng(), acs->getSpeed(), acs->getType(), params);
    return Effector::instance()->setActionCommand();
}
