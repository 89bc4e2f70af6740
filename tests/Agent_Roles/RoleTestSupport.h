#ifndef TOVRA_TESTS_AGENT_ROLES_ROLETESTSUPPORT_H
#define TOVRA_TESTS_AGENT_ROLES_ROLETESTSUPPORT_H

#include "Agent_Roles/RoleDefensive.h"
#include "Agent_Roles/RoleForward.h"
#include "Agent_Roles/RoleGoalie.h"
#include "Agent_Roles/RoleMidForward.h"
#include "WorldModel/Localization.h"
#include "WorldModel/WorldModel.h"
#include "support/ScriptedWorld.h"

namespace tovra::test {

// Every role class keeps its handlers' state for the process; a test starts
// from the start values. Localization keeps the world model it was made
// with, so it is made again for the scripted world's.
inline void resetRoleState() {
    Localization::deleteT();
    RoleGoalie::resetState();
    RoleDefensive::resetState();
    RoleMidForward::resetState();
    RoleForward::resetState();
}

// A scripted world in open play on the left side, with fresh role state.
inline void startPlay(ScriptedWorld& world, PlayMode mode = PM_PlayOn, TeamSide side = TEAM_LEFT) {
    resetRoleState();
    world.wm()->setGameState(mode);
    world.wm()->setTeamSide(side);
}

}  // namespace tovra::test

#endif
