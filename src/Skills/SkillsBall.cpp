// The ball skills: dribbling to a point, the kick approach shared by the
// straight and the side kicks, and the two close-range kick routines.

#include <cmath>

#include "Actions/Actions.h"
#include "Math/MyMath.h"
#include "Skills/Skills.h"
#include "WorldModel/WorldModel.h"

namespace {

// Refreshed by the current message.
const double kFresh = 10.0;
// Own localization good enough to refresh the pre-ball point.
const double kPreBallConfidence = 9.99;
// Distance of the pre-ball point behind the ball.
const double prelength = 0.25;
// The centre of the opponent goal.
const Vector3f kGoalCentre(15, 0, 0);

// The point prelength behind the ball on the line from the target through
// the ball; the ball itself when ball and target coincide.
Vector3f preBallPoint(const Vector3f& ball, const Vector3f& target) {
    const Vector3f away = ball - target;
    const float length = away.Length();
    if (!(length > 0)) {
        return ball;
    }
    return ball + away * static_cast<float>(prelength / length);
}

}  // namespace

std::string Skills::fastDribbleToPoint(const Vector3f& target) {
    DribbleState& st = mDribble;
    WM->setDribbleBall(true);
    const Vector3f m = WM->getMyPos();
    const Vector3f b = WM->getBallPos();
    const double bodyAngle = WM->getMyAngle();

    double disToBoundW = 40.0 / 7.0;
    if (b.x() >= 14) {
        disToBoundW = 1.55;
    } else if (b.x() > 13) {
        disToBoundW = 2.55;
    }
    const double disToBoundL = 6;

    // Pre-ball point, with the corner zone and the goal line overriding it.
    const bool cornerZone = b.x() > 11 && std::fabs(b.y()) > disToBoundW;
    Vector3f pre = preBallPoint(b, target);
    if (cornerZone) {
        double dx = -0.02;
        double dy = 0.25;
        if (std::fabs(b.y()) > std::fabs(m.y())) {
            dx = m.x() > b.x() ? 0.5 : -0.5;
            dy = 0.5;
        }
        pre = b.y() > 0 ? Vector3f(b.x() + dx, b.y() + dy, 0) : Vector3f(b.x() + dx, b.y() - dy, 0);
    } else if (15 - b.x() < 1) {
        pre = b + Vector3f(-0.3f, 0, 0);
    }

    if (!st.started) {
        st.ballRelPos = WM->getBodyRelPos(BALL);
        st.angBall = WM->getBodyRelAngle(BALL);
        st.targetRelAngle = WM->getBodyRelAngle(target);
        st.preBallBodyRelPos = WM->getBodyRelPos(pre);
        st.started = true;
    }
    if (WM->getLocalConfidence(BALL) >= kFresh) {
        st.angBall = WM->getBodyRelAngle(BALL);
        st.ballRelPos = WM->getBodyRelPos(BALL);
    }
    if (WM->getGlobalConfidence() >= kFresh) {
        st.targetRelAngle = WM->getBodyRelAngle(target);
    }
    if (WM->getGlobalConfidence() >= kPreBallConfidence) {
        st.preBallBodyRelPos = WM->getBodyRelPos(pre);
    }
    const double dP = calculateDist(m, pre);

    const Vector3f near =
        b.y() < m.y() ? b + Vector3f(-0.8f, 0.4f, 0) : b + Vector3f(-0.8f, -0.4f, 0);
    const double dN = calculateDist(m, near);

    if (b.x() > 14 && std::fabs(b.y()) < 1) {
        st.inDoorMidRelAngle = 40;
        st.outDoorMidRelAngle = 60;
    } else if (b.x() > 13 && std::fabs(b.y()) < 1) {
        st.inDoorMidRelAngle = 35;
        st.outDoorMidRelAngle = 40;
    } else {
        st.inDoorMidRelAngle = 20;
        st.outDoorMidRelAngle = 45;
    }
    const double in = st.inDoorMidRelAngle;
    const double out = st.outDoorMidRelAngle;
    const double absTarget = std::fabs(st.targetRelAngle);

    if (cornerZone) {
        // Corner-zone machine; the dribble phase is left as it is.
        switch (st.si_qu_daiqiu) {
            case CORNER_FACE_BALL:
                if (std::fabs(st.angBall) < 15) {
                    st.si_qu_daiqiu = CORNER_PUSH;
                } else if (dP > 0.5) {
                    st.si_qu_daiqiu = CORNER_BEHIND_BALL;
                }
                return turnToObject(BALL);
            case CORNER_PUSH:
                if (std::fabs(st.angBall) >= 35 || absTarget > 140) {
                    st.si_qu_daiqiu = CORNER_BEHIND_BALL;
                }
                if (std::fabs(st.ballRelPos.y()) > 0.2 && dP < 0.3) {
                    return act(st.ballRelPos.y() > 0 ? WALK_FAST_LEFT : WALK_FAST_RIGHT);
                }
                return Walk_Omni(BALL);
            default:
                st.si_qu_daiqiu = CORNER_BEHIND_BALL;
                if (dP < 0.18 && std::fabs(st.preBallBodyRelPos.y()) < 0.1) {
                    st.si_qu_daiqiu = std::fabs(st.angBall) > 15 ? CORNER_FACE_BALL : CORNER_PUSH;
                }
                return Walk_Omni_SlowDown(pre);
        }
    }

    // Dribble machine. Where it is not wide the robot does not turn for the
    // target and dribbles straight on.
    const bool wide = m.x() > disToBoundL || std::fabs(b.y()) > disToBoundW;
    switch (drriblePhase) {
        case DRIBBLE_TO_NEAR_POINT:
            if (dP < 0.15 || b.x() - m.x() > 0.3 || dN < 0.15) {
                drriblePhase = DRIBBLE_PUSH;
                return Walk_Omni();
            }
            return Walk_Omni_SlowDown(near);
        case DRIBBLE_TO_PRE_POINT:
            setSlowDown(true);
            if (dP < 0.18 && b.x() - m.x() > 0.05) {
                drriblePhase = DRIBBLE_LINE_UP;
            } else if (m.x() - b.x() > 0.1) {
                drriblePhase = DRIBBLE_TO_NEAR_POINT;
            }
            return Walk_Omni(pre);
        case DRIBBLE_LINE_UP:
            if (dP > 0.4 || m.x() - b.x() > 0.1) {
                drriblePhase = DRIBBLE_TO_PRE_POINT;
                return Walk_Omni(pre);
            }
            if (absTarget > in && wide) {
                return act(st.targetRelAngle > 0 ? FAST_TURN_L : FAST_TURN_R);
            }
            if (absTarget <= in && wide) {
                drriblePhase = DRIBBLE_PUSH;
                return Walk_Omni();
            }
            if (std::fabs(st.angBall) > 35 || st.turnToBall) {
                st.turnToBall = true;
                if (st.angBall > 20) {
                    return act(FAST_TURN_L);
                }
                if (st.angBall < -20) {
                    return act(FAST_TURN_R);
                }
                st.turnToBall = false;
            }
            drriblePhase = DRIBBLE_PUSH;
            return Walk_Omni();
        default:
            drriblePhase = DRIBBLE_PUSH;
            if (absTarget > out && wide) {
                drriblePhase = DRIBBLE_TO_PRE_POINT;
                return Walk_Omni(pre);
            }
            if (std::fabs(bodyAngle) > 85 || m.x() - b.x() > 0.1) {
                drriblePhase = DRIBBLE_TO_PRE_POINT;
                return Walk_Omni(pre);
            }
            if (15 - b.x() < 2.3 && std::fabs(b.y()) <= 1.35) {
                return Walk_Omni(BALL);
            }
            if (wide && ACS->getSpeed() < 50 && std::fabs(st.ballRelPos.y()) > 0.2 && dP < 0.4) {
                return act(st.ballRelPos.y() > 0 ? WALK_FAST_LEFT : WALK_FAST_RIGHT);
            }
            return Walk_Omni();
    }
}

std::string Skills::kickApproach(KickApproachState& st, const Vector3f& target, double in,
                                 double out, KickRoutine routine, bool keepOwnPos) {
    if (!st.started || WM->getGlobalConfidence(BALL) >= kFresh) {
        st.ballRelPos = WM->getBodyRelPos(BALL);
        st.ballDist = WM->getBallDist();
    }
    if (!st.started || WM->getGlobalConfidence() >= kFresh) {
        st.targetRelAngle = WM->getBodyRelAngle(target);
        st.myPos = WM->getMyPos();
    }
    st.started = true;

    const Vector3f b = WM->getBallPos();
    const Vector3f m = keepOwnPos ? st.myPos : WM->getMyPos();
    const Vector3f pre = preBallPoint(b, target);
    const double dP = calculateDist(m, pre);

    if (b.x() >= 15) {
        // Over the goal line: always towards the goal centre.
        return fastDribbleToPoint(kGoalCentre);
    }
    if (b.x() < -15 || m.x() - 0.1 > b.x()) {
        return fastDribbleToPoint(target);
    }
    if (dP > 0.5 || st.walkLatch) {
        st.walkLatch = true;
        if (dP < 0.2) {
            st.walkLatch = false;
        }
        return Walk_Omni_SlowDown(pre);
    }
    if (st.sign == KICK_FIRE) {
        if (std::fabs(st.targetRelAngle) > in && st.ballDist < 0.5) {
            st.sign = KICK_AIM;
        }
        return routine == KickRoutine::Straight ? NoDirkickBall() : XNoDirkickBall();
    }
    // Aim.
    if (std::fabs(st.targetRelAngle) < out) {
        st.sign = KICK_FIRE;
    }
    if (st.targetRelAngle > 30) {
        return act(FAST_TURN_L);
    }
    if (st.targetRelAngle > 0) {
        return act(SLOW_TURN_L);
    }
    if (st.targetRelAngle < -30) {
        return act(FAST_TURN_R);
    }
    return act(SLOW_TURN_R);
}

std::string Skills::kickBall() {
    const Vector3f b = WM->getBallPos();
    const double out = b.x() > 13 && std::fabs(b.y()) > 2 ? 2 : 3;
    return kickApproach(mKickBall, kGoalCentre, 10, out, KickRoutine::Straight, false);
}

std::string Skills::SideKick() {
    return kickApproach(mSideKick, kGoalCentre, 40, 5, KickRoutine::Side, true);
}

std::string Skills::SideKick(const Vector3f& target) {
    return kickApproach(mSideKickTarget, target, 40, 5, KickRoutine::Side, true);
}

void Skills::refreshCloseKick(CloseKickState& st) {
    if (!st.started || WM->getGlobalConfidence(BALL) >= kFresh) {
        st.ballRelPos = WM->getBodyRelPos(BALL);
        st.ballDist = WM->getBallDist();
        st.started = true;
    }
}

std::string Skills::NoDirkickBall() {
    CloseKickState& st = mNoDirKick;
    refreshCloseKick(st);
    const double x = st.ballRelPos.x();
    const double y = st.ballRelPos.y();
    if (st.kickCount >= 15) {
        ACS->setIsLeftHold(false);
        if (st.ballDist > 0.36) {
            st.kickCount = 0;
        }
        return act(KICK);
    }
    if (st.ballDist >= 0.75) {
        return Walk_Omni();
    }
    if (x > 0.337) {
        ACS->setSpeed(x > 0.55 ? 45 : 19);
        ACS->setTurAng(0);
        ACS->setType(SIDE_FORWARD_);
        return ACS->doAction(WALK_OMNI, HEAD_LEFTRIGHT);
    }
    if (x > 0.2) {
        if (y < -0.04) {
            return act(WALK_SLOW_RIGHT);
        }
        if (y <= 0.06) {
            ACS->setIsLeftHold(false);
            ++st.kickCount;
            return act(WAIT);
        }
        return act(WALK_SLOW_LEFT);
    }
    if (x > 0.1) {
        if (y < -0.06) {
            return act(WALK_SLOW_RIGHT);
        }
        if (y <= 0.06) {
            ++st.kickCount;
            return act(WAIT);
        }
        return act(WALK_SLOW_LEFT);
    }
    return act(WALK_BACKWARD);
}

std::string Skills::XNoDirkickBall() {
    CloseKickState& st = mXNoDirKick;
    refreshCloseKick(st);
    const double x = st.ballRelPos.x();
    const double y = st.ballRelPos.y();
    if (st.ballDist >= 0.6) {
        return Walk_Omni();
    }
    if (x > 0.375 && x <= 6) {
        ACS->setSpeed(x > 0.5 ? 60 : 25);
        ACS->setTurAng(0);
        ACS->setType(SIDE_FORWARD_);
        return ACS->doAction(WALK_OMNI, HEAD_LEFTRIGHT);
    }
    if (x > 6) {
        // Out of every band: nothing is decided this cycle.
        return "";
    }
    if (!(x > 0.28)) {
        return act(WALK_BACKWARD);
    }
    // 0.28 < x <= 0.375: the lateral choice.
    if (y < -0.13) {
        return act(WALK_SLOW_RIGHT);
    }
    if (y <= -0.1) {
        ACS->setIsLeftHold(false);
        return act(KICK_L);
    }
    if (y <= 0) {
        return act(WALK_SLOW_LEFT);
    }
    if (y <= 0.1) {
        return act(WALK_SLOW_RIGHT);
    }
    if (y < 0.13) {
        return act(KICK_R);
    }
    return act(WALK_SLOW_LEFT);
}
