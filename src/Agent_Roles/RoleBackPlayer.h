#ifndef TOVRA_AGENT_ROLES_ROLEBACKPLAYER_H
#define TOVRA_AGENT_ROLES_ROLEBACKPLAYER_H

#include <map>
#include <string>

#include "Agent_Roles/Role.h"

// The decision scheme that defenders (RoleDefensive) and midfielders
// (RoleMidForward) share. In the own half they pick one ball carrier among
// themselves, which attacks or intercepts the ball while the others take
// strategic positions; with the ball in the opponent half they hold their
// home positions. The set-piece handlers place them for kick-ins, corner
// kicks and goal kicks.
//
// Each concrete class owns one ClassState, shared by its two objects and
// living for the process, and fixes the few distances in which the two
// differ (Params).
class RoleBackPlayer : public Role {
public:
    // State shared by the objects of one class.
    struct ClassState {
        // Refreshed by the preamble of every cycle.
        Vector3f ballPos;
        Vector3f myPos;
        double bodyAngel = 0;
        std::map<Object, Vector3f> teammatePos;
        // The current and the previous strategic target.
        Vector3f stragePos;
        Vector3f oldStragePos;

        // BeforeKickOff: cycle of the last beam (or of the first call).
        bool lastCycSet = false;
        int LastCyc = 0;

        // PlayOn.
        bool flagDefensive = false;
        bool flagInterceptBall = false;
        bool flagKickBall = false;
        bool flagAvoidBump = false;
        bool flag = false;
        bool flagWalkStraPos = false;
        bool flagWalkToHome = false;
        bool neighbourSet = false;
        Object oldObjClosedToMe = OBJECT_MAX;
        Vector3f oldObjClosedPos;
        // The carrier chosen by the last PlayOn (OBJECT_MAX: none).
        Object carrier = OBJECT_MAX;
    };

    // Where the two classes differ.
    struct Params {
        // Opponent distance below which the carrier intercepts a ball that
        // lies behind it.
        double interceptDistance;
        // Ball distance beyond which the carrier first gets behind the ball.
        double behindBallDistance;
        // Without a carrier behind the ball: the first upright entry of the
        // defenders' list (true) or the robot itself (false).
        bool carrierFromList;
        // Set pieces walk with the slowing walk (true) or the plain one.
        bool slowSetPieceWalk;
    };

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
    // A waiting player is beamed back to its home position every 11 cycles
    // and keeps its joints at zero.
    std::string BeforeKickOff();

    // The head action of this cycle.
    ActionType getHeadAct() const { return head_act; }

protected:
    RoleBackPlayer(ClassState& state, const Params& params);
    ~RoleBackPlayer() = default;

private:
    // The ball carrier of this cycle (step 1 of PlayOn).
    Object chooseCarrier();
    // PlayOn in defence mode, as the carrier and as one of the others.
    std::string playCarrier(double dMe, double dOppMe, double dOppBall, const Vector3f& pOpp);
    std::string playSupport();
    // PlayOn out of defence mode: hold the home position.
    std::string holdHome();
    // Steps aside from the nearest other player towards target while it is
    // too near; empty when there is nothing to avoid.
    std::string avoidBump(const Vector3f& target);
    // Walks to a set-piece target with the class's walk.
    std::string walkTo(const Vector3f& target);
    std::string kickInOwn();
    std::string kickInOther();
    std::string cornerKickOwn();
    std::string goalKickOwn();

    ClassState& st;
    Params params;
    ActionType head_act;
};

#endif
