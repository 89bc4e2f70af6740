#include "Agent_Roles/RoleGoalie.h"

#include <cmath>

#include "Actions/Actions.h"
#include "Math/MyMath.h"
#include "Skills/Skills.h"
#include "Tactic/Tactic.h"
#include "WorldModel/Position.h"
#include "WorldModel/WorldModel.h"

RoleGoalie* RoleGoalie::handleT = nullptr;
RoleGoalie::PlayOnState RoleGoalie::sPlayOn;
RoleGoalie::PlayOnState RoleGoalie::sKickIn;
RoleGoalie::GoalKickState RoleGoalie::sGoalKick;

namespace {

const Vector3f kOpponentGoal(15, 0, 0);

}  // namespace

RoleGoalie* RoleGoalie::instance() {
    if (handleT == nullptr) {
        handleT = new RoleGoalie();
    }
    return handleT;
}

void RoleGoalie::deleteT() {
    delete handleT;
    handleT = nullptr;
}

void RoleGoalie::resetState() {
    sPlayOn = PlayOnState();
    sKickIn = PlayOnState();
    sGoalKick = GoalKickState();
}

std::string RoleGoalie::execute(RoleType rt) {
    roletype = rt;
    info = WM->getCommunicationString();

    const Handler handler = handlerFor(WM->getGameState(), true);
    if (handler == H_BEFORE_KICK_OFF) {
        return BeforeKickOff();
    }
    return runHandler(handler);
}

std::string RoleGoalie::BeforeKickOff() {
    ACS->setObjectFocused(BALL);
    return ACS->doAction(WAIT, HEAD_STILL);
}

// Kick-offs and corner kicks run PlayOn; these are never dispatched.
std::string RoleGoalie::KickOff_Left() {
    return std::string();
}

std::string RoleGoalie::KickOff_Right() {
    return std::string();
}

std::string RoleGoalie::Corner_Kick_Left() {
    return std::string();
}

std::string RoleGoalie::Corner_Kick_Right() {
    return std::string();
}

std::string RoleGoalie::PlayOn() {
    const bool first = WM->getMyObject() == TEAMMATE_1;
    const Variant variant{
        true, true, true, first ? -0.8 : 0.0, first ? -0.3 : 0.3, first ? 0.0 : 0.8, 0.2};
    return defend(sPlayOn, variant);
}

std::string RoleGoalie::defend(PlayOnState& s, const Variant& v) {
    const Object me = WM->getMyObject();
    const Vector3f home = POS->getHomePos();
    const Vector3f myPos = WM->getMyPos();
    const Vector3f goalie1 = positionOf(TEAMMATE_1);
    const Vector3f goalie2 = positionOf(TEAMMATE_2);
    const double ballDist = WM->getBallDist();
    const double bodyAngle = WM->getMyAngle();

    if (!s.started) {
        s.started = true;
        s.ballPos = WM->getBallPos();
        for (Vector3f& old : s.lastSixballPos) {
            old = s.ballPos;
        }
    }

    // The ball handler is chosen again every 21 cycles.
    if (v.chooseHandler) {
        if (s.count < 20) {
            ++s.count;
        } else {
            s.count = 0;
            s.flagFastDribbler = false;
        }
    }

    if (WM->getGameState() == PM_BeforeKickOff || WM->getKickOffOther()) {
        return ACS->stop();
    }

    const bool fallen = WM->getIsObjectFallDown(me);
    if (!fallen) {
        s.ballPos = WM->getBallPos();
    }
    for (int i = 0; i + 1 < kBallHistory; ++i) {
        s.lastSixballPos[i] = s.lastSixballPos[i + 1];
    }
    s.lastSixballPos[kBallHistory - 1] = s.ballPos;
    const Vector3f ball = s.ballPos;

    // A dive lasts 32 cycles, then a cool-down of 201 cycles follows.
    if (s.flagFallDown) {
        if (s.countFallDown < 31) {
            ++s.countFallDown;
        } else {
            s.countFallDown = 0;
            s.flagFallDown = false;
            s.flagJudge = v.coolDown;
            s.count1 = 0;
        }
    }
    if (s.flagJudge) {
        if (s.count1 > 200) {
            s.flagJudge = false;
        }
        ++s.count1;
    }

    if (fallen) {
        return s.flagFallDown ? ACS->stop() : SKS->stayUp();
    }

    // A ball that travelled fast towards the goal over the last nine cycles.
    if (!s.flagJudge && !s.flagWalkToBall) {
        const double travel = calculateDist(s.lastSixballPos[0], ball);
        const bool inBox = myPos.x() > -15 && myPos.x() < -13 && std::fabs(myPos.y()) < 3;
        if (travel > 0.6 && travel < 4 && ball.x() < -11 && (inBox || !v.diveBox)) {
            s.flagFallDown = true;
        }
    }
    if (s.flagFallDown) {
        return ACS->doAction(DIVE_LEG_R, HEAD_STILL);
    }

    ActionType head = HEAD_STILL;
    if (!WM->canSeeBall()) {
        head = HEAD_LEFTRIGHT;
        ACS->setObjectFocused(BALL);
    }

    // Clearing a ball in the goal area.
    if ((ball.x() < -13 && std::fabs(ball.y()) < 3) || s.flagWalkToBall) {
        Object handler = me;
        if (v.chooseHandler) {
            if (!s.flagFastDribbler) {
                const bool aheadOfBoth = ball.x() > goalie1.x() && ball.x() > goalie2.x();
                const bool behindBoth = ball.x() < goalie1.x() && ball.x() < goalie2.x();
                if (aheadOfBoth || behindBoth) {
                    s.DribbleBallObject =
                        calculateDist(goalie2, ball) < calculateDist(goalie1, ball) ? TEAMMATE_2
                                                                                    : TEAMMATE_1;
                } else {
                    s.DribbleBallObject = ball.x() < goalie1.x() ? TEAMMATE_2 : TEAMMATE_1;
                }
                s.flagFastDribbler = true;
            }
            handler = s.DribbleBallObject;
        }

        s.flagWalkToBall = true;
        if (ball.x() > -12) {
            s.flagWalkToBall = false;
        }

        if (handler == me) {
            if (ball.x() < myPos.x() || s.flagFastDribble) {
                s.flagFastDribble = true;
                if (myPos.x() + 0.3 < ball.x()) {
                    s.flagFastDribble = false;
                }
                return SKS->fastDribbleToPoint(kOpponentGoal);
            }
            return SKS->Walk_Omni();
        }
        const Vector3f handlerPos = handler == TEAMMATE_1 ? goalie1 : goalie2;
        return keepClear(handlerPos, handler, s.avoidFlag, s.flagwait);
    }

    // Positioning in the box in front of the goal.
    s.flagFastDribbler = false;
    s.flagwait = false;
    if (myPos.x() > -13 || std::fabs(myPos.y()) > 1 || s.flagWalkToHomPos) {
        s.flagWalkToHomPos = true;
        if (calculateDist(myPos, home) < 0.3) {
            s.flagWalkToHomPos = false;
        }
        return SKS->Walk_Omni(home);
    }
    if (std::fabs(bodyAngle) > 20 || s.flagTurn) {
        s.flagTurn = true;
        if (std::fabs(bodyAngle) < 10) {
            s.flagTurn = false;
        }
        return SKS->keepDir();
    }
    if (myPos.x() > -14) {
        return ACS->doAction(WALK_BACKWARD, head);
    }
    if (myPos.x() < -14.7) {
        return ACS->doAction(WALK_FORWARD, head);
    }
    if (ballDist < 6) {
        double target = v.lateralMid;
        if (ball.y() < -1.05) {
            target = v.lateralLow;
        } else if (ball.y() > 1.05) {
            target = v.lateralHigh;
        }
        if (std::fabs(myPos.y() - target) <= v.lateralTolerance) {
            return ACS->doAction(WAIT, head);
        }
        return ACS->doAction(myPos.y() > target ? WALK_RIGHT : WALK_LEFT, head);
    }
    return std::string();
}

std::string RoleGoalie::keepClear(const Vector3f& handlerPos, Object handler, bool& avoidFlag,
                                  bool& flagwait) {
    const Vector3f myPos = WM->getMyPos();
    const Vector3f home = POS->getHomePos();
    const double d = calculateDist(myPos, handlerPos);
    if (d > 0.45) {
        avoidFlag = false;
    }
    if (d < 0.25 || avoidFlag) {
        avoidFlag = true;
        return TAC->avoidObstacle(myPos, myPos, handler);
    }
    if (flagwait || calculateDist(myPos, home) < 0.1) {
        flagwait = true;
        return ACS->doAction(WAIT, HEAD_LEFTRIGHT);
    }
    return SKS->Walk_Omni(home);
}

std::string RoleGoalie::KickIn_Left() {
    return isOwnSide(true) ? std::string() : kickInOther();
}

std::string RoleGoalie::KickIn_Right() {
    return isOwnSide(false) ? std::string() : kickInOther();
}

std::string RoleGoalie::kickInOther() {
    const Variant variant{false, false, false, -0.7, 0.0, 0.7, 0.1};
    return defend(sKickIn, variant);
}

std::string RoleGoalie::Goal_Kick_Left() {
    return goalKick(isOwnSide(true));
}

std::string RoleGoalie::Goal_Kick_Right() {
    return goalKick(isOwnSide(false));
}

std::string RoleGoalie::goalKick(bool own) {
    if (WM->getIsObjectFallDown(WM->getMyObject())) {
        return SKS->stayUp();
    }
    ACS->setObjectFocused(BALL);

    GoalKickState& s = sGoalKick;
    if (s.count < 20) {
        ++s.count;
    } else {
        s.count = 0;
        s.kickerChosen = false;
        s.flagwait = false;
    }
    const Vector3f ball = WM->getBallPos();
    const Vector3f goalie1 = positionOf(TEAMMATE_1);
    const Vector3f goalie2 = positionOf(TEAMMATE_2);
    if (!s.kickerChosen) {
        s.KickBallObject =
            calculateDist(goalie2, ball) < calculateDist(goalie1, ball) ? TEAMMATE_2 : TEAMMATE_1;
        s.kickerChosen = true;
    }

    if (!own) {
        return PlayOn();
    }
    if (WM->getMyObject() == s.KickBallObject) {
        return SKS->SideKick();
    }
    const Vector3f kickerPos = s.KickBallObject == TEAMMATE_1 ? goalie1 : goalie2;
    return keepClear(kickerPos, s.KickBallObject, s.avoidFlag, s.flagwait);
}
