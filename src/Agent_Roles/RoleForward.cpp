#include "Agent_Roles/RoleForward.h"

#include <cmath>

#include "Actions/Actions.h"
#include "Math/MyMath.h"
#include "Skills/Skills.h"
#include "Tactic/Tactic.h"
#include "WorldModel/Position.h"
#include "WorldModel/WorldModel.h"

RoleForward* RoleForward::handleT = nullptr;
RoleForward::PlayOnState RoleForward::sPlayOn;
RoleForward::KickInState RoleForward::sKickIn;
bool RoleForward::sLastCycSet = false;
int RoleForward::sLastCyc = 0;

namespace {

const Vector3f kOpponentGoal(15, 0, 0);

Object firstOf(const std::vector<Object>& list) {
    return list.empty() ? OBJECT_MAX : list.front();
}

}  // namespace

RoleForward* RoleForward::instance() {
    if (handleT == nullptr) {
        handleT = new RoleForward();
    }
    return handleT;
}

void RoleForward::deleteT() {
    delete handleT;
    handleT = nullptr;
}

void RoleForward::resetState() {
    sPlayOn = PlayOnState();
    sKickIn = KickInState();
    sLastCycSet = false;
    sLastCyc = 0;
}

std::string RoleForward::execute(RoleType rt) {
    roletype = rt;
    info = WM->getCommunicationString();
    if (WM->getIsObjectFallDown(WM->getMyObject())) {
        return SKS->stayUp();
    }

    TAC->sortOurAllByDistToBall(TAC->ourAllDistToBall);
    TAC->sortOurDefensiveToBall(TAC->ourDefensiveDistToBall);
    TAC->sortOurForwardByDistBehindBall(TAC->ourForwardBehindDistToBall);
    TAC->sortOurForwardByDistToMe(TAC->ourForwardDistToMe);
    TAC->sortOurForwardByDistToBall(TAC->ourForwardDistToBall);
    TAC->sortOppAllByDistToBall(TAC->oppAllDistToBall);

    const Handler handler = handlerFor(WM->getGameState(), false);
    if (handler == H_BEFORE_KICK_OFF) {
        return BeforeKickOff();
    }
    return runHandler(handler);
}

std::string RoleForward::BeforeKickOff() {
    ACS->setObjectFocused(BALL);
    const int cycle = WM->getCurrentCycle();
    if (!sLastCycSet) {
        sLastCycSet = true;
        sLastCyc = cycle;
    }
    std::string text;
    if (cycle - sLastCyc > 10) {
        text = ACS->beam(POS->getHomePos());
        sLastCyc = cycle;
    }
    return text + ACS->doAction(SETTOZERO, HEAD_STILL);
}

// --- Open play ---------------------------------------------------------------

std::string RoleForward::PlayOn() {
    PlayOnState& s = sPlayOn;
    if (!s.started) {
        s.started = true;
        s.myPos = WM->getMyPos();
        s.ballPos = WM->getBallPos();
        s.oldWaitPos = WM->getMyPos();
    }
    if (WM->getGlobalConfidence() >= 9.96) {
        s.myPos = WM->getMyPos();
    }
    if (WM->getGlobalConfidence(BALL) >= 9.9) {
        s.ballPos = WM->getBallPos();
    }
    const double myDis = calculateDist(s.myPos, s.ballPos);
    const double oppDis = calculateDist(s.myPos, positionOf(firstOf(TAC->oppAllDistToBall)));

    if (s.ballPos.x() < -1 &&
        TAC->isInDribbleBallArea(3.5, 1, 1.5, firstOf(TAC->ourDefensiveDistToBall))) {
        return supportDefence();
    }
    if (!TAC->isMeMostCloseToBall(kickTime)) {
        WM->setDribbleBall(false);
        // The preamble does not order the side by distance to this robot;
        // moving without the ball steps round the nearest teammate.
        TAC->sortOurAllByDistToMe(TAC->ourAllDistToMe);
        return TAC->movingWithoutBall();
    }
    return playBall(myDis, oppDis);
}

std::string RoleForward::supportDefence() {
    PlayOnState& s = sPlayOn;
    Vector3f wait = s.oldWaitPos;
    const Tactic::StrategyMap points = TAC->GetWaitStrategyPos();
    const auto own = points.find(WM->getMyObject());
    if (own != points.end()) {
        wait = own->second;
    }
    if (calculateDist(wait, s.oldWaitPos) > 1.5) {
        s.oldWaitPos = wait;
    } else {
        wait = s.oldWaitPos;
    }
    ACS->setObjectFocused(BALL);

    const double d = calculateDist(s.myPos, wait);
    if (d > 0.5) {
        s.waitFlag = false;
    }
    if (d < 0.3 || s.waitFlag) {
        s.waitFlag = true;
        return TAC->keepDirToTarget(kOpponentGoal);
    }
    return SKS->Walk_Omni_SlowDown(wait);
}

std::string RoleForward::playBall(double myDis, double oppDis) {
    PlayOnState& s = sPlayOn;
    const Vector3f& ball = s.ballPos;
    const Vector3f& my = s.myPos;

    if (ball.x() > 13.5) {
        ACS->setObjectFocused(BALL);
        return SKS->fastDribbleToPoint(kOpponentGoal);
    }

    if ((my.x() > ball.x() && oppDis > 1) || (oppDis < 1 && ball.x() - my.x() < -0.2) ||
        s.interceptFlag) {
        s.interceptFlag = true;
        const double dy = std::fabs(my.y() - ball.y());
        if (ball.x() - 0.3 > my.x() && (dy < 0.2 || dy > 1.5)) {
            s.interceptFlag = false;
        }
        return TAC->InterceptBall();
    }

    WM->setDribbleBall(true);
    ACS->setObjectFocused(BALL);
    if (calculateDist(ball, kOpponentGoal) > 5) {
        // An opponent just in front of the ball: push past it.
        const Vector3f opp = positionOf(firstOf(TAC->oppAllDistToBall));
        if (calculateDist(opp, ball) < 1.5 && ball.x() < opp.x() && ball.x() < 12) {
            return SKS->Walk_Omni();
        }
        if (myDis < 0.5 && calculateDist(my, kOpponentGoal) < 5.1) {
            SKS->setSlowDown(true);
        }
        return TAC->isInWalk_OMINI_Zone() ? SKS->Walk_Omni()
                                          : SKS->fastDribbleToPoint(kOpponentGoal);
    }

    // Within shooting range.
    if (oppDis > 1) {
        s.flagKickBall = false;
    }
    const bool rightInFront = ball.x() > 12 && std::fabs(ball.y()) < 2;
    if (!(oppDis < 0.5 || rightInFront)) {
        s.flagKickBall = true;
        return SKS->kickBall();
    }
    return s.flagKickBall ? SKS->Walk_Omni() : SKS->fastDribbleToPoint(kOpponentGoal);
}

// --- Set pieces --------------------------------------------------------------

Vector3f RoleForward::waitPoint() {
    const Tactic::StrategyMap points = TAC->GetWaitStrategyPos();
    const auto own = points.find(WM->getMyObject());
    return own != points.end() ? own->second : WM->getMyPos();
}

std::string RoleForward::KickOff_Left() {
    return kickOff(isOwnSide(true));
}

std::string RoleForward::KickOff_Right() {
    return kickOff(isOwnSide(false));
}

std::string RoleForward::kickOff(bool own) {
    ACS->setObjectFocused(BALL);
    if (!own) {
        return TAC->keepDirToTarget(WM->getBallPos());
    }
    kickTime = WM->getServerTime();
    if (WM->getMyObject() == TEAMMATE_7) {
        return SKS->SideKick(Vector3f(7.5, -5, 0));
    }
    return ACS->doAction(WAIT, HEAD_LEFTRIGHT);
}

std::string RoleForward::KickIn_Left() {
    return kickIn(isOwnSide(true));
}

std::string RoleForward::KickIn_Right() {
    return kickIn(isOwnSide(false));
}

std::string RoleForward::kickIn(bool own) {
    KickInState& s = sKickIn;
    if (!s.ballSet || WM->getGlobalConfidence(BALL) > 9.6) {
        s.ballSet = true;
        s.ballPos = WM->getBallPos();
    }
    const Vector3f ball = s.ballPos;

    if (own) {
        if (firstOf(TAC->ourAllDistToBall) == WM->getMyObject()) {
            if (std::fabs(ball.y()) > 8) {
                return SKS->SideKick();
            }
            if (std::fabs(ball.y()) < 8) {
                return SKS->kickBall();
            }
        }
        return TAC->keepDirToTarget(ball);
    }

    ACS->setObjectFocused(BALL);
    if (ball.x() < -1) {
        const Vector3f w = waitPoint();
        if (!s.waitSet || calculateDist(w, s.waitPos) > 0.3) {
            s.waitSet = true;
            s.waitPos = w;
        }
        return SKS->Walk_Omni_SlowDown(s.waitPos);
    }
    if (TAC->isMeMostCloseToBall(kickTime)) {
        return SKS->Walk_Omni_SlowDown(ball + Vector3f(-2.5, 0, 0));
    }
    if (!s.strategySet) {
        s.strategySet = true;
        s.strategyPos = WM->getMyPos();
    }
    const Tactic::StrategyMap points = TAC->getForwardStrategyPos();
    const auto entry = points.find(WM->getMyObject());
    if (entry != points.end()) {
        s.strategyPos = entry->second;
    }
    return SKS->Walk_Omni_SlowDown(s.strategyPos);
}

std::string RoleForward::Corner_Kick_Left() {
    return cornerKick(isOwnSide(true));
}

std::string RoleForward::Corner_Kick_Right() {
    return cornerKick(isOwnSide(false));
}

std::string RoleForward::cornerKick(bool own) {
    ACS->setObjectFocused(BALL);
    if (!own) {
        return SKS->Walk_Omni_SlowDown(waitPoint());
    }
    if (firstOf(TAC->ourAllDistToBall) == WM->getMyObject()) {
        return SKS->SideKick(Vector3f(7.5, 0, 0));
    }
    return TAC->keepDirToTarget(WM->getBallPos());
}

std::string RoleForward::Goal_Kick_Left() {
    return goalKick(isOwnSide(true));
}

std::string RoleForward::Goal_Kick_Right() {
    return goalKick(isOwnSide(false));
}

std::string RoleForward::goalKick(bool own) {
    if (!own) {
        return PlayOn();
    }
    ACS->setObjectFocused(BALL);
    return SKS->Walk_Omni_SlowDown(waitPoint());
}
