#ifndef TOVRA_AGENT_ROLES_ROLEMIDFORWARD_H
#define TOVRA_AGENT_ROLES_ROLEMIDFORWARD_H

#include "Agent_Roles/RoleBackPlayer.h"

// The midfielders, uniform numbers 5 and 6. They play the scheme of RoleBackPlayer with
// the class's own shared state.
// Without a carrier behind the ball each midfielder plays it itself; corner
// kicks and goal kicks are walked with the plain walk.
class RoleMidForward final : public RoleBackPlayer {
public:
    static RoleMidForward* instance();
    static void deleteT();

    RoleMidForward();

    // The state shared by both objects of the class.
    static const ClassState& classState() { return sState; }
    static void resetState();

private:
    static ClassState sState;
    static RoleMidForward* handleT;
};

#endif
