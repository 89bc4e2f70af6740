#ifndef TOVRA_AGENT_ROLES_ROLE_H
#define TOVRA_AGENT_ROLES_ROLE_H

#include <string>

#include "WorldModel/Types.h"

class Actions;
class Position;
class Skills;
class Tactic;
class WorldModel;

// The decision of one robot for one cycle: a role turns the current play mode
// into one handler call, and the handler returns the effector text of this
// cycle. The concrete roles are RoleGoalie (uniform numbers 1, 2),
// RoleDefensive (3, 4), RoleMidForward (5, 6) and RoleForward (7 to 11).
//
// The destructor is not virtual: a role is deleted through its concrete type.
class Role {
public:
    // Which handler a play mode runs.
    enum Handler {
        H_BEFORE_KICK_OFF,
        H_KICK_OFF_LEFT,
        H_KICK_OFF_RIGHT,
        H_PLAY_ON,
        H_KICK_IN_LEFT,
        H_KICK_IN_RIGHT,
        H_CORNER_KICK_LEFT,
        H_CORNER_KICK_RIGHT,
        H_GOAL_KICK_LEFT,
        H_GOAL_KICK_RIGHT,
        H_NONE
    };

    Role();
    ~Role();
    Role(const Role&) = delete;
    Role& operator=(const Role&) = delete;

    // Stores rt, runs the preamble of the class and dispatches on the play
    // mode.
    virtual std::string execute(RoleType rt) = 0;
    virtual std::string KickOff_Left() = 0;
    virtual std::string KickOff_Right() = 0;
    virtual std::string PlayOn() = 0;
    virtual std::string KickIn_Left() = 0;
    virtual std::string KickIn_Right() = 0;
    virtual std::string Corner_Kick_Left() = 0;
    virtual std::string Corner_Kick_Right() = 0;
    virtual std::string Goal_Kick_Left() = 0;
    virtual std::string Goal_Kick_Right() = 0;

    // The handler that a play mode runs, for the goalie's table or the field
    // roles' table; H_NONE for a mode outside the table.
    static Handler handlerFor(PlayMode mode, bool goalie);

    RoleType getRoleType() const { return roletype; }
    // The last team message, as copied by the roles that read it.
    const std::string& getInfo() const { return info; }
    // Text the think cycle appends to the role's output.
    const std::string& getSayInfo() const { return sayinfo; }
    Position* getPosition() const { return POS; }

protected:
    // Runs a handler other than BeforeKickOff (which every class keeps to
    // itself) through the virtual table. H_NONE reports "Role Error" and
    // gives the empty text.
    std::string runHandler(Handler handler);
    // The global position of an object as the world model holds it.
    Vector3f positionOf(Object obj) const;
    // Whether the play mode's side (the Left or Right of a set piece) is ours.
    bool isOwnSide(bool leftMode) const;

    WorldModel* WM;
    Actions* ACS;
    Skills* SKS;
    Position* POS;
    Tactic* TAC;
    RoleType roletype;
    std::string info;
    std::string sayinfo;
};

#endif
