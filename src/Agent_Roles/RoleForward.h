#ifndef TOVRA_AGENT_ROLES_ROLEFORWARD_H
#define TOVRA_AGENT_ROLES_ROLEFORWARD_H

#include <string>

#include "Agent_Roles/Role.h"

// The forwards, uniform numbers 7 to 11. The forward that the tactic names
// as the ball player dribbles towards the opponent goal and shoots; the
// others support the defence while the ball is deep in the own half, or move
// without the ball. The set-piece handlers place them for the kick-off,
// kick-ins, corner kicks and goal kicks.
//
// The handlers' state lives for the process and is shared by every forward
// object (one robot plays per process); resetState() restores the start
// values. kickTime belongs to each object.
class RoleForward final : public Role {
public:
    static RoleForward* instance();
    static void deleteT();

    RoleForward() = default;

    std::string execute(RoleType rt) override;
    std::string KickOff_Left() override;
    std::string KickOff_Right() override;
    std::string PlayOn() override;
    std::string KickIn_Left() override;
    std::string KickIn_Right() override;
    std::string Corner_Kick_Left() override;
    std::string Corner_Kick_Right() override;
    std::string Goal_Kick_Left() override;
    std::string Goal_Kick_Right() override;
    // A waiting forward is beamed back to its home position every 11 cycles
    // and keeps its joints at zero.
    std::string BeforeKickOff();

    // Server time of this forward's last own kick-off; -1000 before the first.
    double getKickTime() const { return kickTime; }

    // State of PlayOn.
    struct PlayOnState {
        bool started = false;
        Vector3f myPos;
        Vector3f ballPos;
        Vector3f oldWaitPos;
        bool waitFlag = false;
        bool interceptFlag = false;
        bool flagKickBall = false;
    };

    // State of the kick-ins: their own ball position and remembered targets.
    // The other set pieces walk to the current waiting point and keep
    // nothing.
    struct KickInState {
        bool ballSet = false;
        Vector3f ballPos;
        bool waitSet = false;
        Vector3f waitPos;
        bool strategySet = false;
        Vector3f strategyPos;
    };

    static const PlayOnState& playOnState() { return sPlayOn; }
    static const KickInState& kickInState() { return sKickIn; }
    static void resetState();

private:
    std::string kickOff(bool own);
    std::string kickIn(bool own);
    std::string cornerKick(bool own);
    std::string goalKick(bool own);
    // PlayOn when the ball deep in the own half is a defender's: wait at the
    // forward's waiting point.
    std::string supportDefence();
    // PlayOn as the forward who plays the ball.
    std::string playBall(double myDis, double oppDis);
    // This forward's entry of the wait positions, or its own position when
    // it has none.
    Vector3f waitPoint();

    double kickTime = -1000;

    static PlayOnState sPlayOn;
    static KickInState sKickIn;
    // BeforeKickOff: cycle of the last beam (or of the first call).
    static bool sLastCycSet;
    static int sLastCyc;
    static RoleForward* handleT;
};

#endif
