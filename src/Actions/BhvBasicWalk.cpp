#include "Actions/BhvBasicWalk.h"

#include <algorithm>
#include <cmath>

#include "Actions/Actions.h"
#include "Actions/Walk.h"
#include "Skills/Skills.h"
#include "WorldModel/WorldModel.h"

BhvBasicWalk::ExecuteState BhvBasicWalk::sExecute;
BhvBasicWalk::TableState BhvBasicWalk::sDribble;
BhvBasicWalk::TableState BhvBasicWalk::sOrdinary;
double BhvBasicWalk::sManageDistance = 0;

namespace {

// A ball seen in the current message.
const double kSeenNow = 10.0;
// Own position refreshed within the last 0.04 s.
const double kLocalized = 9.96;

// Turns and speeds of the turning and stepping sides.
const double kStepSpeed = 8;
const double kTurnLeftSpeed = 10;
const double kTurnRightSpeed = 0;
const double kTurnPerStep = 12;

double horizontalDistance(const Vector3f& a, const Vector3f& b) {
    const double dx = static_cast<double>(a.x()) - b.x();
    const double dy = static_cast<double>(a.y()) - b.y();
    return std::sqrt(dx * dx + dy * dy);
}

ESide turnTowards(double ang) {
    return ang > 0 ? SIDE_TURNLEFT_ : SIDE_TURNRIGHT_;
}

}  // namespace

BhvBasicWalk::BhvBasicWalk(bool isCheck)
    : WM(WorldModel::instance()), mIsToBall(true), mIsChecking(isCheck) {
    mTargetPos = WM->getBallPos();
}

BhvBasicWalk::BhvBasicWalk(const Vector3f& target, bool isCheck)
    : WM(WorldModel::instance()), mIsToBall(false), mIsChecking(isCheck), mTargetPos(target) {}

BhvBasicWalk::~BhvBasicWalk() = default;

void BhvBasicWalk::resetState() {
    sExecute = ExecuteState();
    sDribble = TableState();
    sOrdinary = TableState();
    sManageDistance = 0;
}

void BhvBasicWalk::getAngle(double& ang) {
    if (mIsToBall) {
        if (WM->getLocalConfidence(BALL) == kSeenNow) {
            ang = WM->getBodyRelAngle(BALL);
        }
    } else if (WM->getGlobalConfidence() >= kLocalized) {
        ang = WM->getBodyRelAngle(mTargetPos);
    }
}

void BhvBasicWalk::getDistance(double& dist) {
    if (mIsToBall) {
        if (WM->getLocalConfidence(BALL) == kSeenNow) {
            dist = WM->getBallDist();
        }
    } else if (WM->getGlobalConfidence() >= kLocalized) {
        dist = horizontalDistance(WM->getMyPos(), mTargetPos);
    }
}

bool BhvBasicWalk::targetFrontMe() {
    const Vector3f target = mIsToBall ? WM->getBallPos() : mTargetPos;
    return WM->getMyPos().x() <= target.x();
}

void BhvBasicWalk::refreshBallRelPos(TableState& state) {
    if (!state.ballRelPosTaken || WM->getLocalConfidence(BALL) == kSeenNow) {
        state.ballRelPos = WM->getBallRelPos();
        state.ballRelPosTaken = true;
    }
}

ESide BhvBasicWalk::forwardRule(TableState& state, double a) {
    state.goForward = true;
    if (a <= 40) {
        return SIDE_FORWARD_;
    }
    if (a > 140) {
        return SIDE_BACKWARD_;
    }
    const Vector3f& ball = state.ballRelPos;
    return std::fabs(ball.y()) < 0.15 && ball.x() < 0 ? SIDE_BACKWARD_ : SIDE_FORWARD_;
}

ESide BhvBasicWalk::calType() {
    TableState& s = sDribble;
    refreshBallRelPos(s);
    getAngle(s.ang);
    getDistance(s.distance);
    const double a = std::fabs(s.ang);
    const double lateral = std::fabs(s.ballRelPos.y());

    // Far from the ball: walk, turning first when it lies well to the side.
    if (s.distance < 1.5) {
        s.Walk_Omni = false;
    }
    if (s.distance > 2 || s.Walk_Omni) {
        s.Walk_Omni = true;
        if (a < 40) {
            s.turn = false;
        }
        if (a <= 100 && !s.turn) {
            return SIDE_FORWARD_;
        }
        s.turn = true;
        return turnTowards(s.ang);
    }

    if (s.goForward && (a < 40 || a > 140 || lateral < 0.15)) {
        s.sign = NEAR_GO_FORWARD;
    } else if ((s.distance < 1 && WM->isAvailiableWay() != 0) || s.distance < 0.6) {
        s.sign = NEAR_CLOSE;
    } else if (targetFrontMe()) {
        s.sign = NEAR_TARGET_AHEAD;
    } else {
        s.sign = NEAR_TARGET_BEHIND;
    }
    switch (s.sign) {
        case NEAR_CLOSE:
            // Close: step sideways to line up with the ball.
            s.goForward = false;
            if (a < 20 || a > 160 || lateral < 0.12) {
                return forwardRule(s, a);
            }
            return s.ang > 0 ? SIDE_LEFT_ : SIDE_RIGHT_;
        case NEAR_TARGET_AHEAD:
            s.goForward = false;
            if (a < 20 || a > 160) {
                return forwardRule(s, a);
            }
            return turnTowards(s.ang);
        case NEAR_TARGET_BEHIND:
            // The target is behind: turn the shorter way round.
            s.goForward = false;
            if (a > 160 || a < 20) {
                return forwardRule(s, a);
            }
            if (a <= 90) {
                return turnTowards(s.ang);
            }
            return s.ang < 0 ? SIDE_TURNLEFT_ : SIDE_TURNRIGHT_;
        default:
            return forwardRule(s, a);
    }
}

ESide BhvBasicWalk::CalType_WithNoLRWalk() {
    TableState& s = sOrdinary;
    refreshBallRelPos(s);
    getAngle(s.ang);
    getDistance(s.distance);
    const double a = std::fabs(s.ang);
    const double lateral = std::fabs(s.ballRelPos.y());

    if (s.distance < 2) {
        s.Walk_Omni = false;
    }
    if (s.distance > 3.5 || s.Walk_Omni) {
        s.Walk_Omni = true;
        if (a < 60) {
            s.turn = false;
        }
        if (a > 100 || s.turn) {
            s.turn = true;
            return turnTowards(s.ang);
        }
        return SIDE_FORWARD_;
    }

    if (a < 45 || a > 145 || lateral < 0.12) {
        s.NoWalkOmni = false;
    }
    if ((a > 60 && a < 130) || s.NoWalkOmni) {
        s.NoWalkOmni = true;
        if (!targetFrontMe() && a > 90) {
            return s.ang < 0 ? SIDE_TURNLEFT_ : SIDE_TURNRIGHT_;
        }
        return turnTowards(s.ang);
    }
    if (a < 60) {
        return SIDE_FORWARD_;
    }
    if (a > 130) {
        return SIDE_BACKWARD_;
    }
    return lateral < 0.15 && s.ballRelPos.x() < 0 ? SIDE_BACKWARD_ : SIDE_FORWARD_;
}

void BhvBasicWalk::manageSpeed(double& speed, ESide side) {
    getDistance(sManageDistance);
    const double d = sManageDistance;
    if (d >= MaxDistance) {
        return;
    }
    speed = speed * d / MaxDistance;
    speed = std::min(speed, side == SIDE_BACKWARD_ ? MaxWalkSpeedBackward : MaxWalkSpeedForward);
    if (speed <= MinWalkSpeed || d < 0.7) {
        speed = MinWalkSpeed;
    }
}

ESide BhvBasicWalk::execute() {
    ExecuteState& s = sExecute;
    Walk* walk = Walk::instance();
    if (!s.started) {
        s.speed = walk->getSpeed();
        s.started = true;
    }
    const ESide side = WM->getDribbleBall() ? calType() : CalType_WithNoLRWalk();
    getAngle(s.angTarget);
    Actions* acs = Actions::getInstance();

    if (side == SIDE_FORWARD_ || side == SIDE_BACKWARD_) {
        const bool forward = side == SIDE_FORWARD_;
        double turn = 0;
        // The heading is corrected only while the gait is in its normal steps.
        if (walk->getWalkPhase() == Walk::NORMAL_STEP) {
            const double off = forward ? std::fabs(s.angTarget) : 180 - std::fabs(s.angTarget);
            if (off >= maxTurnAviable) {
                turn = s.angTarget < 0 ? -maxTurnAviable : maxTurnAviable;
            }
        }
        s.speed = forward ? MaxWalkSpeedForward : MaxWalkSpeedBackward;
        Skills* skills = Skills::getInstance();
        if (skills->getSlowDown()) {
            manageSpeed(s.speed, side);
            skills->setSlowDown(false);
        }
        acs->setTurAng(forward ? turn : -turn);
        acs->setSpeed(s.speed);
    } else if (side == SIDE_STEP_) {
        s.speed = kStepSpeed;
        acs->setSpeed(s.speed);
        acs->setTurAng(0);
    } else if (side == SIDE_TURNLEFT_) {
        s.speed = kTurnLeftSpeed;
        acs->setSpeed(s.speed);
        acs->setTurAng(kTurnPerStep);
    } else if (side == SIDE_TURNRIGHT_) {
        s.speed = kTurnRightSpeed;
        acs->setSpeed(s.speed);
        acs->setTurAng(-kTurnPerStep);
    }
    s.type = side;
    return side;
}
