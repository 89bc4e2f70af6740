#ifndef TOVRA_TESTS_AGENT_ROLES_ROLETESTSUPPORT_H
#define TOVRA_TESTS_AGENT_ROLES_ROLETESTSUPPORT_H

#include "Agent_Roles/RoleDefensive.h"
#include "Agent_Roles/RoleForward.h"
#include "Agent_Roles/RoleGoalie.h"
#include "Agent_Roles/RoleMidForward.h"
#include "WorldModel/Localization.h"
#include "WorldModel/WorldModel.h"
#include "support/ScratchDir.h"
#include "support/ScriptedWorld.h"

namespace tovra::test {

// One cycle of a role through its entry point, run as the world's uniform
// number; the action the dispatcher takes (UNKNOWN for the empty text).
template <class R>
ActionType cycle(ScriptedWorld& world, R& role) {
    return world.run([&] { return role.execute(static_cast<RoleType>(world.wm()->getUnum())); });
}

// A formation with the goalies at home at (-14, 0) and (-14, 1), the
// defenders at (-10, 2) and (-10, -2).
inline bool writeFormation(ScriptedWorld& world) {
    return world.dir().write("formation.conf",
                             "unums 1 2 3 4 5 6 7 8 9 10 11\nid 0\n"
                             "homePosX -14 -14 -10 -10 -6 -6 -2 -2 -2 -1 -1\n"
                             "homePosY 0 1 2 -2 3 -3 4 0 -4 1 -1\n"
                             "homePosZ 0 0 0 0 0 0 0 0 0 0 0\n");
}

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
