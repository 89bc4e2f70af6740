#include "Actions/HeadLeftRight.h"

#include <cmath>

#include "WorldModel/WorldModel.h"

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
