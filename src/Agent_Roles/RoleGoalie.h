#ifndef TOVRA_AGENT_ROLES_ROLEGOALIE_H
#define TOVRA_AGENT_ROLES_ROLEGOALIE_H

#include <string>

#include "Agent_Roles/Role.h"

// The goalkeepers, uniform numbers 1 and 2 (TEAMMATE_1 and TEAMMATE_2), who
// share the goal area: they stand in a box in front of the own goal line,
// shift sideways with the ball, dive at a fast ball coming at the goal and
// clear a ball that enters the goal area. When both could go for the ball the
// one nearer to it goes and the other keeps out of its way.
//
// The state of each handler lives for the process and is shared by every
// goalie object (one robot plays per process); resetState() restores the
// start values.
class RoleGoalie final : public Role {
public:
    static RoleGoalie* instance();
    static void deleteT();

    RoleGoalie() = default;

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
    std::string BeforeKickOff();

    // Number of ball positions kept for the dive decision.
    static constexpr int kBallHistory = 10;

    // State of PlayOn.
    struct PlayOnState {
        bool started = false;
        Vector3f ballPos;
        Vector3f lastSixballPos[kBallHistory];
        int count = 0;
        bool flagFastDribbler = false;
        Object DribbleBallObject = TEAMMATE_1;
        bool flagWalkToBall = false;
        bool flagFastDribble = false;
        bool avoidFlag = false;
        bool flagwait = false;
        bool flagFallDown = false;
        int countFallDown = 0;
        bool flagJudge = false;
        int count1 = 0;
        bool flagWalkToHomPos = false;
        bool flagTurn = false;
    };

    // State of the goal kicks.
    struct GoalKickState {
        int count = 0;
        bool kickerChosen = false;
        Object KickBallObject = TEAMMATE_1;
        bool avoidFlag = false;
        bool flagwait = false;
    };

    static const PlayOnState& playOnState() { return sPlayOn; }
    static const PlayOnState& kickInState() { return sKickIn; }
    static const GoalKickState& goalKickState() { return sGoalKick; }
    static void resetState();

private:
    // How PlayOn and its single-goalie kick-in variant differ.
    struct Variant {
        bool chooseHandler;  // the two goalies agree on one ball handler
        bool diveBox;        // dives only from inside the goal box
        bool coolDown;       // no new dive for a while after one
        double lateralLow;   // lateral target with the ball right of -1.05
        double lateralMid;   // with the ball in between
        double lateralHigh;  // with the ball left of 1.05
        double lateralTolerance;
    };

    // PlayOn and the kick-in variant, each on its own state.
    std::string defend(PlayOnState& s, const Variant& v);
    // The goalie that does not handle the ball: keep clear of the handler,
    // else wait at home.
    std::string keepClear(const Vector3f& handlerPos, Object handler, bool& avoidFlag,
                          bool& flagwait);
    // The other side's kick-in.
    std::string kickInOther();
    // A goal kick; own tells whether it is ours.
    std::string goalKick(bool own);

    static PlayOnState sPlayOn;
    static PlayOnState sKickIn;
    static GoalKickState sGoalKick;
    static RoleGoalie* handleT;
};

#endif
