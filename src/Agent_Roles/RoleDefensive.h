#ifndef TOVRA_AGENT_ROLES_ROLEDEFENSIVE_H
#define TOVRA_AGENT_ROLES_ROLEDEFENSIVE_H

#include "Agent_Roles/RoleBackPlayer.h"

// The defenders, uniform numbers 3 and 4. They play the scheme of RoleBackPlayer with
// the class's own shared state.
// Without a carrier behind the ball the upright defender nearest the ball
// plays it; set pieces are walked with the slowing walk.
class RoleDefensive final : public RoleBackPlayer {
public:
    static RoleDefensive* instance();
    static void deleteT();

    RoleDefensive();

    // The state shared by both objects of the class.
    static const ClassState& classState() { return sState; }
    static void resetState();

private:
    static ClassState sState;
    static RoleDefensive* handleT;
};

#endif
