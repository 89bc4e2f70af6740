#include "Agent_Roles/Role.h"

#include <iostream>

#include "Actions/Actions.h"
#include "Skills/Skills.h"
#include "Tactic/Tactic.h"
#include "WorldModel/Position.h"
#include "WorldModel/WorldModel.h"

Role::Role()
    : WM(WorldModel::instance()),
      ACS(Actions::getInstance()),
      SKS(Skills::getInstance()),
      POS(nullptr),
      TAC(Tactic::instance()),
      roletype(RT_NONE) {
    POS = new Position(ACS);
}

Role::~Role() {
    delete POS;
}

Role::Handler Role::handlerFor(PlayMode mode, bool goalie) {
    switch (mode) {
        case PM_BeforeKickOff:
            return H_BEFORE_KICK_OFF;
        case PM_KickOff_Left:
            return goalie ? H_PLAY_ON : H_KICK_OFF_LEFT;
        case PM_KickOff_Right:
            return goalie ? H_PLAY_ON : H_KICK_OFF_RIGHT;
        case PM_PlayOn:
            return H_PLAY_ON;
        case PM_KickIn_Left:
            return H_KICK_IN_LEFT;
        case PM_KickIn_Right:
            return H_KICK_IN_RIGHT;
        case PM_Goal_Kick_Left:
            return H_GOAL_KICK_LEFT;
        case PM_Goal_Kick_Right:
            return H_GOAL_KICK_RIGHT;
        case PM_Corner_Kick_Left:
            return goalie ? H_PLAY_ON : H_CORNER_KICK_LEFT;
        case PM_Corner_Kick_Right:
            return goalie ? H_PLAY_ON : H_CORNER_KICK_RIGHT;
        case PM_FreeKick_Left:
        case PM_FreeKick_Right:
        case PM_Goal_Left:
        case PM_Goal_Right:
        case PM_Offside_Left:
        case PM_Offside_Right:
        case PM_GameOver:
            return H_PLAY_ON;
        default:
            return H_NONE;
    }
}

std::string Role::runHandler(Handler handler) {
    switch (handler) {
        case H_KICK_OFF_LEFT:
            return KickOff_Left();
        case H_KICK_OFF_RIGHT:
            return KickOff_Right();
        case H_PLAY_ON:
            return PlayOn();
        case H_KICK_IN_LEFT:
            return KickIn_Left();
        case H_KICK_IN_RIGHT:
            return KickIn_Right();
        case H_CORNER_KICK_LEFT:
            return Corner_Kick_Left();
        case H_CORNER_KICK_RIGHT:
            return Corner_Kick_Right();
        case H_GOAL_KICK_LEFT:
            return Goal_Kick_Left();
        case H_GOAL_KICK_RIGHT:
            return Goal_Kick_Right();
        default:
            std::cout << "Role Error" << std::endl;
            return std::string();
    }
}

Vector3f Role::positionOf(Object obj) const {
    return WM->getObjectVision(obj).globalPos;
}

bool Role::isOwnSide(bool leftMode) const {
    return (WM->getTeamSide() == TEAM_LEFT) == leftMode;
}
