#include "Skills/Skills.h"

#include <cmath>
#include <fstream>
#include <iostream>
#include <limits>

#include "Actions/Actions.h"
#include "WorldModel/FallDownRecognition.h"
#include "WorldModel/Position.h"
#include "WorldModel/WorldModel.h"

Skills* Skills::SKS = nullptr;

namespace {

// A turn is asked for beyond this bearing (degrees).
const double kMaxRelAngle = 10.0;
// The head counts as turned away beyond this pan angle (degrees).
const double kHeadPanTurned = 10.0;
// An object other than the ball counts as seen at this local confidence.
const double kSeenConfidence = 9.96;
// Refreshed by the current message.
const double kFresh = 10.0;

}  // namespace

Skills* Skills::getInstance() {
    if (SKS == nullptr) {
        SKS = new Skills();
    }
    return SKS;
}

void Skills::deleteT() {
    delete SKS;
    SKS = nullptr;
}

Skills::Skills()
    : drriblePhase(DRIBBLE_PUSH),
      Walk_Omni_WithNoTarget(false),
      Walk_Omni_Type(SIDE_FORWARD_),
      curSkill(SKILL_UNKNOWN),
      WM(WorldModel::instance()),
      ACS(Actions::getInstance()),
      POS(new Position(ACS)),
      slowDown(false),
      StandLen(0),
      standupFinished(true),
      LastStandTime(0),
      counter(0),
      ABLcounter(0) {
    readStandUpData();
}

Skills::~Skills() {
    delete POS;
}

void Skills::readStandUpData() {
    std::ifstream in("outputdata");
    if (!in) {
        return;
    }
    // One extra character for the terminator; a longer line is cut to the
    // first kMaxStandLineLength characters and its rest skipped, so that the
    // rest never reads as a line of its own.
    char line[kMaxStandLineLength + 1];
    while (StandLen < kMaxStandLines) {
        in.getline(line, sizeof line);
        if (in.fail() && !in.eof() && in.gcount() == kMaxStandLineLength) {
            in.clear();
            in.ignore(std::numeric_limits<std::streamsize>::max(), '\n');
        } else if (in.fail()) {
            break;
        }
        if (line[0] == '(') {
            Standtmp.emplace_back(line);
            ++StandLen;
        }
        if (in.eof()) {
            break;
        }
    }
}

std::string Skills::act(ActionType body) {
    return ACS->doAction(body, HEAD_STILL);
}

std::string Skills::sendWalk(ESide type, bool withBall, bool stepAllowed) {
    ActionType action = UNKNOWN;
    switch (type) {
        case SIDE_FORWARD_:
        case SIDE_BACKWARD_:
            action = WALK_OMNI;
            break;
        case SIDE_LEFT_:
            action = WALK_FAST_LEFT;
            break;
        case SIDE_RIGHT_:
            action = WALK_FAST_RIGHT;
            break;
        case SIDE_TURNLEFT_:
            action = FAST_TURN_L;
            break;
        case SIDE_TURNRIGHT_:
            action = FAST_TURN_R;
            break;
        case SIDE_WAIT_:
            action = WAIT;
            break;
        case SIDE_STEP_:
            if (!stepAllowed) {
                // The slowing walk sends nothing for a step answer; the think
                // cycle waits in its place.
                return "";
            }
            ACS->setType(SIDE_FORWARD_);
            ACS->setTurAng(0);
            ACS->setSpeed(8);
            action = WALK_OMNI;
            break;
        default:
            std::cout << "ERROR!!" << std::endl;
            return "";
    }
    if (withBall) {
        return ACS->doAction(action, HEAD_STILL, BALL);
    }
    return ACS->doAction(action, HEAD_STILL);
}

std::string Skills::turnToObject(Object obj) {
    const ActionType head =
        std::fabs(WM->getJointAngle(JID_HEAD_1)) > kHeadPanTurned ? HEAD_LEFTRIGHT : HEAD_STILL;
    const double confidence = WM->getLocalConfidence(obj);
    if (obj == BALL ? confidence >= kFresh : confidence >= kSeenConfidence) {
        mTurn.relAngle = WM->getBodyRelAngle(obj);
    }
    if (mTurn.relAngle > kMaxRelAngle) {
        return ACS->doAction(FAST_TURN_L, head);
    }
    if (mTurn.relAngle < -kMaxRelAngle) {
        return ACS->doAction(FAST_TURN_R, head);
    }
    return "";
}

std::string Skills::keepDir() {
    const ActionType head = WM->canSeeFlags() ? HEAD_STILL : HEAD_LEFTRIGHT;
    const double angle = WM->getMyAngle();
    if (angle > kMaxRelAngle) {
        return ACS->doAction(FAST_TURN_R, head);
    }
    if (angle < -kMaxRelAngle) {
        return ACS->doAction(FAST_TURN_L, head);
    }
    return ACS->doAction(STEP, head);
}

std::string Skills::keepDirToBall() {
    const ActionType head = WM->canSeeFlags() ? HEAD_STILL : HEAD_LEFTRIGHT;
    const double angle = WM->getBodyRelAngle(BALL);
    if (angle > kMaxRelAngle) {
        return ACS->doAction(FAST_TURN_L, head);
    }
    if (angle < -kMaxRelAngle) {
        return ACS->doAction(FAST_TURN_R, head);
    }
    return ACS->doAction(STEP, head);
}

std::string Skills::stayUp() {
    if (FallDownRecognition::instance()->getFeltType() == FT_BACK) {
        standupFinished = false;
        return act(GET_UP_BACK);
    }
    return act(GET_UP_FRONT);
}
