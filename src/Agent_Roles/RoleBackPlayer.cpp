#include "Agent_Roles/RoleBackPlayer.h"

#include <cmath>

#include "Actions/Actions.h"
#include "Math/MyMath.h"
#include "Skills/Skills.h"
#include "Tactic/Tactic.h"
#include "WorldModel/Position.h"
#include "WorldModel/WorldModel.h"

namespace {

const Vector3f kOpponentGoal(15, 0, 0);

// The first entry of a list, or OBJECT_MAX for an empty one.
Object firstOf(const std::vector<Object>& list) {
    return list.empty() ? OBJECT_MAX : list.front();
}

}  // namespace

RoleBackPlayer::RoleBackPlayer(ClassState& state, const Params& p)
    : st(state), params(p), head_act(HEAD_STILL) {}

std::string RoleBackPlayer::execute(RoleType rt) {
    roletype = rt;
    if (WM->getIsObjectFallDown(WM->getMyObject())) {
        return SKS->stayUp();
    }

    if (WM->getGlobalConfidence() >= 9.94) {
        st.bodyAngel = WM->getMyAngle();
        st.myPos = WM->getMyPos();
    }
    if (WM->getGlobalConfidence(BALL) > 9.6) {
        st.ballPos = WM->getBallPos();
    }
    for (int t = TEAMMATE_1; t <= TEAMMATE_11; ++t) {
        st.teammatePos[static_cast<Object>(t)] = positionOf(static_cast<Object>(t));
    }
    head_act = WM->canSeeBall() ? HEAD_STILL : HEAD_LEFTRIGHT;

    TAC->sortOurDefensiveToBall(TAC->ourDefensiveDistToBall);
    TAC->sortOurAllByDistToMe(TAC->ourAllDistToMe);
    TAC->sortOppAllByDistToMe(TAC->oppAllDistToMe);
    TAC->sortOppAllByDistToBall(TAC->oppAllDistToBall);
    TAC->sortOurForwardByDistToBall(TAC->ourForwardDistToBall);
    ACS->setObjectFocused(BALL);

    const Handler handler = handlerFor(WM->getGameState(), false);
    if (handler == H_BEFORE_KICK_OFF) {
        return BeforeKickOff();
    }
    return runHandler(handler);
}

std::string RoleBackPlayer::BeforeKickOff() {
    const int cycle = WM->getCurrentCycle();
    if (!st.lastCycSet) {
        st.lastCycSet = true;
        st.LastCyc = cycle;
    }
    std::string text;
    if (cycle - st.LastCyc > 10) {
        text = ACS->beam(POS->getHomePos());
        st.LastCyc = cycle;
    }
    return text + ACS->doAction(SETTOZERO, HEAD_STILL);
}

std::string RoleBackPlayer::KickOff_Left() {
    return SKS->keepDir();
}

std::string RoleBackPlayer::KickOff_Right() {
    return SKS->keepDir();
}

Object RoleBackPlayer::chooseCarrier() {
    std::vector<Object>& defenders = TAC->ourDefensiveDistToBall;
    for (Object& t : defenders) {
        if (t == OBJECT_MAX) {
            continue;
        }
        if (WM->getIsObjectFallDown(t)) {
            t = OBJECT_MAX;
            continue;
        }
        if (st.ballPos.x() > st.teammatePos[t].x() && TAC->isInDribbleBallArea(3.5, 1, 1.5, t)) {
            return t;
        }
    }
    if (params.carrierFromList) {
        for (Object t : defenders) {
            if (t != OBJECT_MAX) {
                return t;
            }
        }
    }
    return WM->getMyObject();
}

std::string RoleBackPlayer::PlayOn() {
    const Object me = WM->getMyObject();

    const Object oppMe = firstOf(TAC->oppAllDistToMe);
    const double dOppMe = calculateDist(st.myPos, positionOf(oppMe));
    const Vector3f pOpp = positionOf(firstOf(TAC->oppAllDistToBall));
    const double dOppBall = calculateDist(st.ballPos, pOpp);
    const double dMe = calculateDist(st.myPos, st.ballPos);

    // The nearest other player, for bump avoidance.
    if (!st.neighbourSet) {
        st.neighbourSet = true;
        st.oldObjClosedToMe = oppMe;
        st.oldObjClosedPos = positionOf(oppMe);
    }
    const Object nearest = firstOf(TAC->ourAllDistToMe);
    if (WM->getGlobalConfidence(nearest) >= 9.9) {
        st.oldObjClosedToMe = nearest;
        st.oldObjClosedPos = positionOf(nearest);
    }

    Object carrier = chooseCarrier();
    if (carrier == me) {
        const Object forward = firstOf(TAC->ourForwardDistToBall);
        const Vector3f pF = positionOf(forward);
        if (calculateDist(pF, st.ballPos) < dMe && st.ballPos.x() > pF.x() &&
            TAC->isInDribbleBallArea(3.5, 1, 1.5, forward)) {
            carrier = forward;
            st.stragePos = st.myPos;
        }
    } else {
        ACS->setObjectFocused(BALL);
        st.stragePos = TAC->getDefensiveStrategyPos(carrier);
    }
    // A ball in front of the own goal is left to the goalies.
    if (TAC->InGoalieDefensiveArea(BALL) && carrier == me) {
        carrier = OBJECT_MAX;
        st.stragePos = st.ballPos + Vector3f(2, 0, 0);
    }
    st.carrier = carrier;

    if (calculateDist(st.stragePos, st.oldStragePos) > 1) {
        st.oldStragePos = st.stragePos;
    } else {
        st.stragePos = st.oldStragePos;
    }

    if (st.ballPos.x() < -1) {
        st.flagDefensive = true;
    } else if (st.ballPos.x() > 1) {
        st.flagDefensive = false;
    }
    if (!st.flagDefensive) {
        return holdHome();
    }
    if (carrier == me) {
        return playCarrier(dMe, dOppMe, dOppBall, pOpp);
    }
    return playSupport();
}

std::string RoleBackPlayer::playCarrier(double dMe, double dOppMe, double dOppBall,
                                        const Vector3f& pOpp) {
    const Vector3f& ball = st.ballPos;
    const Vector3f& my = st.myPos;
    ACS->setObjectFocused(BALL);
    WM->setDribbleBall(true);

    if (ball.x() < -13 && std::fabs(ball.y()) > 2 && dMe < dOppBall && dOppBall < 1) {
        return SKS->Walk_Omni();
    }

    if ((my.x() > ball.x() && dOppMe > 1) ||
        (dOppMe < params.interceptDistance && ball.x() - my.x() < -0.2) || st.flagInterceptBall) {
        st.flagInterceptBall = true;
        const double dy = std::fabs(my.y() - ball.y());
        if (ball.x() - 0.3 > my.x() && (dy < 0.2 || dy > 1.5)) {
            st.flagInterceptBall = false;
        }
        return TAC->InterceptBall();
    }

    if (dOppBall < 0.5 || (std::fabs(pOpp.y() - ball.y()) < 0.5 && dOppBall < 1)) {
        st.flagKickBall = false;
    }
    if ((calculateDist(my, pOpp) > 3 && dMe < 1) || st.flagKickBall) {
        st.flagKickBall = true;
        return SKS->SideKick();
    }

    if (std::fabs(ball.y()) > 17 && dOppMe > 1.5) {
        return SKS->fastDribbleToPoint(kOpponentGoal);
    }

    // Get behind the ball first when an opponent is nearer to it.
    if (dMe > params.behindBallDistance && dMe > dOppBall && pOpp.x() - ball.x() < 0.5 &&
        my.x() < ball.x() - 0.5) {
        return SKS->Walk_Omni(ball + Vector3f(-0.5, 0, 0));
    }
    return SKS->Walk_Omni();
}

std::string RoleBackPlayer::avoidBump(const Vector3f& target) {
    const double d = calculateDist(st.myPos, st.oldObjClosedPos);
    if (d > 0.6) {
        st.flagAvoidBump = false;
    }
    if (d < 0.3 || st.flagAvoidBump) {
        st.flagAvoidBump = true;
        return TAC->avoidObstacle(st.myPos, target, st.oldObjClosedToMe);
    }
    return std::string();
}

std::string RoleBackPlayer::playSupport() {
    const Vector3f& ball = st.ballPos;
    const Vector3f& my = st.myPos;

    if (std::string text = avoidBump(st.stragePos); st.flagAvoidBump) {
        return text;
    }

    // Give way: step out of the ball's path.
    if ((my.x() + 0.5 > ball.x() && my.x() - ball.x() < 2 && std::fabs(my.y() - ball.y()) < 0.7) ||
        st.flag) {
        st.flag = true;
        if (std::fabs(my.y() - ball.y()) > 1.5) {
            st.flag = false;
        }
        const float side = ball.y() < my.y() ? 0.5f : -0.5f;
        return SKS->Walk_Omni(my + Vector3f(0, side, 0));
    }

    const double dStrategy = calculateDist(my, st.stragePos);
    if (dStrategy > 0.5 || st.flagWalkStraPos) {
        st.flagWalkStraPos = true;
        if (dStrategy < 0.3) {
            st.flagWalkStraPos = false;
        }
        WM->setDribbleBall(false);
        return SKS->Walk_Omni_SlowDown(st.stragePos);
    }
    if (std::fabs(st.bodyAngel) > 10) {
        return SKS->keepDirToBall();
    }
    return ACS->doAction(WAIT, head_act);
}

std::string RoleBackPlayer::holdHome() {
    const Vector3f home = POS->getHomePos();
    if (std::string text = avoidBump(home); st.flagAvoidBump) {
        return text;
    }
    const double dHome = calculateDist(st.myPos, home);
    if (dHome > 0.3 && st.flagWalkToHome) {
        WM->setDribbleBall(false);
        return SKS->Walk_Omni_SlowDown(home);
    }
    if (dHome < 0.5) {
        st.flagWalkToHome = false;
        if (std::fabs(st.bodyAngel) > 10) {
            return SKS->keepDir();
        }
        return ACS->doAction(WAIT, head_act);
    }
    // The walk home starts on the next cycle.
    st.flagWalkToHome = true;
    return std::string();
}

std::string RoleBackPlayer::walkTo(const Vector3f& target) {
    return params.slowSetPieceWalk ? SKS->Walk_Omni_SlowDown(target) : SKS->Walk_Omni(target);
}

std::string RoleBackPlayer::KickIn_Left() {
    return isOwnSide(true) ? kickInOwn() : kickInOther();
}

std::string RoleBackPlayer::KickIn_Right() {
    return isOwnSide(false) ? kickInOwn() : kickInOther();
}

std::string RoleBackPlayer::kickInOwn() {
    // The preamble does not order the whole side; this handler needs it.
    TAC->sortOurAllByDistToBall(TAC->ourAllDistToBall);
    const Object me = WM->getMyObject();
    const Object nearest = firstOf(TAC->ourAllDistToBall);
    if (nearest == me && st.ballPos.x() < -1) {
        return SKS->SideKick();
    }
    if (firstOf(TAC->ourDefensiveDistToBall) == me) {
        return ACS->doAction(WAIT, HEAD_STILL);
    }
    return SKS->Walk_Omni_SlowDown(TAC->getDefensiveStrategyPos(nearest));
}

std::string RoleBackPlayer::kickInOther() {
    if (st.ballPos.x() > 1) {
        return PlayOn();
    }
    const Object first = firstOf(TAC->ourDefensiveDistToBall);
    if (first == WM->getMyObject()) {
        st.stragePos = st.ballPos + Vector3f(-2.5, 0, 0);
    } else {
        st.stragePos = TAC->getDefensiveStrategyPos(first);
    }
    if (calculateDist(st.stragePos, st.oldStragePos) > 0.3) {
        st.oldStragePos = st.stragePos;
    } else {
        st.stragePos = st.oldStragePos;
    }
    return SKS->Walk_Omni_SlowDown(st.stragePos);
}

std::string RoleBackPlayer::Corner_Kick_Left() {
    return isOwnSide(true) ? cornerKickOwn() : PlayOn();
}

std::string RoleBackPlayer::Corner_Kick_Right() {
    return isOwnSide(false) ? cornerKickOwn() : PlayOn();
}

std::string RoleBackPlayer::cornerKickOwn() {
    return walkTo(POS->getHomePos());
}

std::string RoleBackPlayer::Goal_Kick_Left() {
    return isOwnSide(true) ? goalKickOwn() : PlayOn();
}

std::string RoleBackPlayer::Goal_Kick_Right() {
    return isOwnSide(false) ? goalKickOwn() : PlayOn();
}

std::string RoleBackPlayer::goalKickOwn() {
    // Line up beside the goal, ordered by y among the first four teammates.
    int rank = 1;
    for (int t = TEAMMATE_1; t <= TEAMMATE_4; ++t) {
        if (st.teammatePos[static_cast<Object>(t)].y() > st.myPos.y()) {
            ++rank;
        }
    }
    switch (rank) {
        case 1:
            st.stragePos = Vector3f(-13.5, 2.5, 0);
            break;
        case 2:
            st.stragePos = Vector3f(-12.5, 1, 0);
            break;
        case 3:
            st.stragePos = Vector3f(-12.5, -1, 0);
            break;
        default:
            st.stragePos = Vector3f(-13.5, -2.5, 0);
            break;
    }
    return walkTo(st.stragePos);
}
