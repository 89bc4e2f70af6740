#ifndef TOVRA_ACTIONS_BHVBASICWALK_H
#define TOVRA_ACTIONS_BHVBASICWALK_H

#include "WorldModel/Types.h"

class WorldModel;

// Chooses, each cycle, how the omnidirectional walk moves the robot towards
// the ball or a field position: the walk side from the target's body-relative
// angle and distance, and the walk speed and per-step turn, which it sets in
// the action dispatcher. While dribbling a table with sideways steps lines the
// robot up with the ball; otherwise the robot only walks and turns.
//
// Measurements, latches and the kept speed live across calls and are shared
// by all instances (one robot per process): a measurement that is not
// trusted this cycle leaves the previous value in use.
class BhvBasicWalk {
public:
    // To the ball.
    explicit BhvBasicWalk(bool isCheck);
    // To a field position.
    BhvBasicWalk(const Vector3f& target, bool isCheck);
    virtual ~BhvBasicWalk();

    // The side to walk to; sets the dispatcher's speed and turn.
    virtual ESide execute();

    // Decision table while dribbling (sideways steps allowed).
    ESide calType();
    // Decision table for ordinary walking (walks and turns only).
    ESide CalType_WithNoLRWalk();

    // The target's body-relative angle (degrees) and ground distance (m),
    // written only when the measurement is fresh.
    void getAngle(double& ang);
    void getDistance(double& dist);
    // The target lies towards the opponents' goal (not behind the robot).
    bool targetFrontMe();
    // Scales the speed down within 1.5 m of the target, not below 40.
    void manageSpeed(double& speed, ESide side);

    bool isChecking() const { return mIsChecking; }
    bool isToBall() const { return mIsToBall; }
    const Vector3f& getTargetPos() const { return mTargetPos; }

    // Forgets every kept measurement, latch and speed (a new run).
    static void resetState();

    static constexpr double MaxWalkSpeedForward = 65;
    static constexpr double MaxWalkSpeedBackward = 60;
    static constexpr double MinWalkSpeed = 40;
    static constexpr double maxTurnAviable = 6;
    static constexpr double MaxDistance = 1.5;

private:
    // Kept by Execute.
    struct ExecuteState {
        bool started = false;
        ESide type = SIDE_NONE_;
        double angTarget = 0;
        double speed = 0;
    };
    // The near cases of the dribbling table, kept in TableState::sign.
    enum NearCase {
        NEAR_CLOSE = 1,          // close: step sideways to line up
        NEAR_TARGET_AHEAD = 2,   // the target lies ahead: turn to it
        NEAR_TARGET_BEHIND = 3,  // the target lies behind: turn the shorter way
        NEAR_GO_FORWARD = 4,     // keep walking forward
    };

    // Kept by each decision table.
    struct TableState {
        bool ballRelPosTaken = false;
        Vector3f ballRelPos;
        double ang = 0;
        double distance = 0;
        bool Walk_Omni = false;  // far from the target
        bool turn = false;
        bool goForward = false;   // dribbling table
        int sign = 0;             // dribbling table: the near case
        bool NoWalkOmni = false;  // ordinary table
    };

    void refreshBallRelPos(TableState& state);
    ESide forwardRule(TableState& state, double a);

    static ExecuteState sExecute;
    static TableState sDribble;
    static TableState sOrdinary;
    static double sManageDistance;

    WorldModel* WM;
    bool mIsToBall;
    bool mIsChecking;
    Vector3f mTargetPos;
};

#endif
