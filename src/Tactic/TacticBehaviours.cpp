// The movement behaviours of the tactic: intercepting the ball, moving to a
// support point without the ball, stepping around an obstacle and turning
// towards a point. Their latches carry each behaviour from one cycle to the
// next until its own release condition holds.

#include <cmath>

#include "Actions/Actions.h"
#include "Math/MyMath.h"
#include "Skills/Skills.h"
#include "Tactic/Tactic.h"
#include "WorldModel/WorldModel.h"

namespace {

// Seen in the current message.
const double kFresh = 10.0;
// A teammate counts as freshly localized at this global confidence.
const double kFreshTeammate = 9.96;
// avoidObstacle gives up a side step after this many cycles.
const int count_flag = 300;

}  // namespace

std::string Tactic::keepDirToTarget(const Vector3f& target) {
    const double a = WM->getBodyRelAngle(target);
    if (a > 20) {
        return ACS->doAction(FAST_TURN_L, HEAD_LEFTRIGHT);
    }
    if (a < -20) {
        return ACS->doAction(FAST_TURN_R, HEAD_LEFTRIGHT);
    }
    return ACS->doAction(WAIT, HEAD_LEFTRIGHT);
}

std::string Tactic::InterceptBall() {
    const Vector3f b = WM->getBallPos();
    const Vector3f p = WM->getMyPos();
    const double d = calculateDist(p, b);
    const double h = WM->getMyAngle();
    InterceptState& st = mIntercept;

    if (!st.started || WM->getLocalConfidence(BALL) >= kFresh) {
        st.ballRelPos = WM->getBodyRelPos(BALL);
        st.started = true;
    }
    const Vector3f target =
        b.y() < p.y() ? Vector3f(b.x() - 1, b.y() + 0.5f, 0) : Vector3f(b.x() - 1, b.y() - 0.5f, 0);
    const bool facingForward = std::fabs(h) < 90;

    if ((b.x() < p.x() || d > 0.3) && st.flagWalkToBall) {
        if (b.x() - p.x() > 0.3) {
            st.flagWalkToBall = false;
        }
        WM->setDribbleBall(false);
        return SKS->Walk_Omni_SlowDown(target);
    }
    if (b.x() < p.x()) {
        st.flagWalkToBall = true;
    }
    const double absH = std::fabs(h);
    const double dy = p.y() - b.y();
    if ((30 < absH && absH < 90) || st.flagTurn) {
        st.flagTurn = true;
        if (absH < 10) {
            st.flagTurn = false;
        }
        return SKS->keepDir();
    }
    if (90 < absH && absH < 150) {
        st.flagTurn = false;
        return ACS->doAction(h > 0 ? FAST_TURN_L : FAST_TURN_R, HEAD_STILL);
    }
    if (std::fabs(dy) > 0.25 || st.flagWalkLeltRight) {
        st.flagWalkLeltRight = true;
        if (std::fabs(dy) < 0.2 || std::fabs(st.ballRelPos.y()) < 0.2) {
            st.flagWalkLeltRight = false;
        }
        // The ball lies to the robot's right in field terms when dy > 0;
        // facing backwards swaps the body's sides.
        const bool stepRight = (dy > 0) == facingForward;
        return ACS->doAction(stepRight ? WALK_FAST_RIGHT : WALK_FAST_LEFT, HEAD_STILL);
    }
    if (absH > 20 || st.flagTurn) {
        st.flagTurn = true;
        if (absH < 10) {
            st.flagTurn = false;
        }
        return SKS->keepDir();
    }
    return SKS->Walk_Omni();
}

std::string Tactic::movingWithoutBall() {
    const Vector3f p = WM->getMyPos();
    const Vector3f b = WM->getBallPos();
    const Vector3f s1(b.x() + 0.5f, b.y() + 2, 0);
    const Vector3f s2(b.x() + 0.5f, b.y() - 2, 0);
    MovingState& st = mMoving;

    if (!st.started) {
        st.oldStrategyPos = p;
        st.ourPersonClosedToMePos =
            posOf(ourAllDistToBall.empty() ? OBJECT_MAX : ourAllDistToBall[0]);
        st.started = true;
    }
    const Object nearest = ourAllDistToMe.empty() ? OBJECT_MAX : ourAllDistToMe[0];
    if (nearest != OBJECT_MAX && WM->getGlobalConfidence(nearest) >= kFreshTeammate) {
        st.ourPersonClosedToMePos = posOf(nearest);
    }

    // An agent that gets no point from the map keeps its old strategy point;
    // the lookup never inserts an entry.
    const StrategyMap points =
        b.x() < -FieldLength / 4 ? GetWaitStrategyPos() : getForwardStrategyPos();
    const StrategyMap::const_iterator own = points.find(WM->getMyObject());
    if (own != points.end() && calculateDist(st.oldStrategyPos, own->second) > 0.3) {
        st.oldStrategyPos = own->second;
    }

    // Step aside from the ball's path.
    if (std::fabs(p.y() - b.y()) > 1.5) {
        st.flagTempStrategyPos1 = false;
        st.flagTempStrategyPos2 = false;
    }
    if ((p.x() + 0.5 > b.x() && p.x() - b.x() < 2 && std::fabs(p.y() - b.y()) < 0.7) ||
        st.flagTempStrategyPos1 || st.flagTempStrategyPos2) {
        if (b.y() < p.y()) {
            st.flagTempStrategyPos1 = true;
            st.oldStrategyPos = s1;
        } else {
            st.flagTempStrategyPos2 = true;
            st.oldStrategyPos = s2;
        }
    }

    const double toNearest = calculateDist(p, st.ourPersonClosedToMePos);
    if (toNearest > 0.7) {
        st.avoidFreePlayerFlag = false;
    }
    if ((toNearest < 0.5 && !isMeMostCloseToBall(0)) || st.avoidFreePlayerFlag) {
        st.avoidFreePlayerFlag = true;
        ACS->setObjectFocused(BALL);
        const Object obstacle = ourForwardDistToMe.empty() ? OBJECT_MAX : ourForwardDistToMe[0];
        return avoidObstacle(p, st.oldStrategyPos, obstacle);
    }

    const double toStrategy = calculateDist(p, st.oldStrategyPos);
    if (toStrategy > 0.7) {
        st.in_strategy = false;
    }
    if (toStrategy < 0.5 || st.in_strategy) {
        st.in_strategy = true;
        ACS->setObjectFocused(BALL);
        return keepDirToTarget(b);
    }

    WM->setDribbleBall(false);
    ACS->setObjectFocused(BALL);
    return SKS->Walk_Omni_SlowDown(st.oldStrategyPos);
}

std::string Tactic::avoidObstacle(const Vector3f& myPos, const Vector3f& target, Object obstacle) {
    (void)myPos;
    AvoidState& st = mAvoid;
    if (st.one_Left_Count > count_flag) {
        st.one_left_flag = false;
        st.one_Left_Count = 0;
    }
    if (st.one_Right_Count > count_flag) {
        st.one_right_flag = false;
        st.one_Right_Count = 0;
    }
    // Bearings are taken only from a sighting of this cycle; before the
    // first one the obstacle counts as straight ahead (no side step).
    if (WM->getLocalConfidence(obstacle) >= kFresh) {
        st.angleMyToObj = WM->getBodyRelAngle(obstacle);
        st.angleMyToTarget = WM->getBodyRelAngle(target);
    }
    const double a = st.angleMyToObj;
    if ((0 < a && a < 30) || (60 < a && a < 90) || st.one_left_flag) {
        st.one_left_flag = true;
        ++st.one_Left_Count;
        return ACS->doAction(WALK_RIGHT, HEAD_STILL);
    }
    if ((-30 < a && a < 0) || (-90 < a && a < -60) || st.one_right_flag) {
        st.one_right_flag = true;
        ++st.one_Right_Count;
        return ACS->doAction(WALK_LEFT, HEAD_STILL);
    }
    return SKS->Walk_Omni(target);
}
