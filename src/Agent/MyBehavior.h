#ifndef TOVRA_AGENT_MYBEHAVIOR_H
#define TOVRA_AGENT_MYBEHAVIOR_H

#include <string>

#include "WorldModel/Types.h"

class Actions;
class Parser;
class Position;
class Role;
class Skills;
class WorldModel;

// The agent's top-level object. The constructor builds the whole agent; the
// main loop calls Think once for every server message and sends back the text
// it returns (nothing for an empty text).
//
// One cycle: read the perceptors, update the body model and the world model,
// then either run the beam sequence at the start of a half or after a goal
// (half a second of silence, half a second of beam commands), or let the role
// of this robot decide.
class MyBehavior {
public:
    // Builds the agent for uniform number unum (1 to 11; any other number
    // has no role and only ever waits).
    explicit MyBehavior(int unum);
    // Deletes the parser, the formation and the role objects it created.
    ~MyBehavior();
    MyBehavior(const MyBehavior&) = delete;
    MyBehavior& operator=(const MyBehavior&) = delete;

    // One cycle; returns the reply, possibly empty. The first call returns
    // the init message without reading its argument.
    std::string Think(const std::string& message);
    // The world model's per-cycle update.
    void UpdatePositions();

    int getUnum() const;
    // The role object of a uniform number, null outside 1..11.
    Role* getRole(int unum) const;

    static constexpr int kRoles = 11;

private:
    WorldModel* WM;
    Actions* ACS;
    Parser* PS;
    Position* POS;
    Skills* SKS;
    bool mInit;
    // Indexed by uniform number; index 0 is not used.
    Role* role[kRoles + 1];
    // Server time at which the current beam window began; it follows the
    // clock while no window runs.
    bool mBeamClockSet;
    double fTime;
};

#endif
