#ifndef TOVRA_SKILLS_SKILLS_H
#define TOVRA_SKILLS_SKILLS_H

#include <string>
#include <vector>

#include "WorldModel/Types.h"

class Actions;
class Position;
class WorldModel;

// The skill library between the roles and the motion layer. A skill is called
// once per cycle by whoever is in charge that cycle, reads the world model,
// decides on one motion and returns the effector text of exactly one
// Actions::doAction call (or the empty text when it decides on nothing).
//
// Angles are degrees; bearings relative to the body are positive to the left;
// body-relative positions have x forward and y to the left. Field coordinates
// have the opponent goal line at x = 15.
//
// Every skill keeps its state between cycles in the members below. The state
// belongs to the skill, is shared by all its callers and lives as long as the
// singleton, i.e. for the process.
class Skills {
public:
    static Skills* getInstance();
    // Destroys the library together with all skill state and its Position.
    static void deleteT();

    // --- Movement and positioning (Skills.cpp, SkillsWalk.cpp) -------------
    // Walk at the ball (dribbling allowed).
    std::string Walk_Omni();
    // Walk at the ball with the head on it; the argument is not consulted.
    std::string Walk_Omni(Object obj);
    // Walk to a point in field coordinates.
    std::string Walk_Omni(const Vector3f& target);
    // Walk to a point; a change of direction after a new target (or after
    // walking at the ball) first keeps walking straight at minimum speed.
    std::string Walk_Omni_SlowDown(const Vector3f& target);
    // Turn on the spot until obj lies within 10 degrees ahead.
    std::string turnToObject(Object obj);
    // Face the opponent goal direction (body angle 0).
    std::string keepDir();
    // Face the ball.
    std::string keepDirToBall();
    // Get up after a fall.
    std::string stayUp();

    // One-shot request to the basic walk behaviour to slow down near its
    // target; the walk behaviour clears it once applied.
    bool getSlowDown() const { return slowDown; }
    void setSlowDown(bool slow) { slowDown = slow; }

    // --- Kicking and dribbling (SkillsBall.cpp) -----------------------------
    // Dribble the ball towards target by walking into it from behind.
    std::string fastDribbleToPoint(const Vector3f& target);
    // Straight kick at the centre of the opponent goal.
    std::string kickBall();
    // Side kick at the centre of the opponent goal.
    std::string SideKick();
    // Side kick towards target.
    std::string SideKick(const Vector3f& target);
    // Places the ball in front of a foot and fires the straight kick.
    std::string NoDirkickBall();
    // Places the ball beside the feet and fires a side kick.
    std::string XNoDirkickBall();

    // The states of the dribble machine, kept in drriblePhase.
    enum DribblePhase {
        DRIBBLE_TO_NEAR_POINT = 1,  // walk to the near-ball point
        DRIBBLE_TO_PRE_POINT = 2,   // walk to the point behind the ball
        DRIBBLE_LINE_UP = 3,        // turn until the target lies ahead
        DRIBBLE_PUSH = 4,           // walk the ball on
    };

    // --- Inspection --------------------------------------------------------
    int getDrriblePhase() const { return drriblePhase; }
    bool getWalkOmniWithNoTarget() const { return Walk_Omni_WithNoTarget; }
    // The target of the last call of Walk_Omni_SlowDown.
    const Vector3f& getSlowDownTarget() const { return mSlowDown.oldTarGet; }
    ESide getWalkOmniType() const { return Walk_Omni_Type; }
    SkillType getCurSkill() const { return curSkill; }
    // State of the corner-zone dribbling machine (1, 2 or 3).
    int getCornerState() const { return mDribble.si_qu_daiqiu; }
    // Cycles counted by NoDirkickBall with the ball in its kicking window.
    int getKickCount() const { return mNoDirKick.kickCount; }
    // Stand-up lines kept from "outputdata".
    int getStandLen() const { return StandLen; }
    const std::string& getStandLine(int index) const { return Standtmp[index]; }
    bool getStandupFinished() const { return standupFinished; }
    Position* getPosition() const { return POS; }

    // Limits of the "outputdata" reader.
    static constexpr int kMaxStandLines = 3000;
    static constexpr int kMaxStandLineLength = 2047;

private:
    Skills();
    ~Skills();
    Skills(const Skills&) = delete;
    Skills& operator=(const Skills&) = delete;

    // Keeps every line of "outputdata" that starts with "(".
    void readStandUpData();

    // Maps the walk behaviour's direction to an action and sends it. With
    // withBall the head is kept on the ball. A SIDE_STEP_ answer is a short
    // forward step unless stepAllowed is false (then nothing is sent).
    std::string sendWalk(ESide type, bool withBall, bool stepAllowed);
    // One doAction call with the head still.
    std::string act(ActionType body);

    // State of Walk_Omni_SlowDown.
    struct SlowDownState {
        bool started = false;
        Vector3f oldTarGet;
        ESide oldType = SIDE_FORWARD_;
        double speed = 40;
        bool ifNewPoint = false;
        bool ForceSlowDown = false;
        int flagSpeed = 0;
    };

    // State of turnToObject.
    struct TurnState {
        double relAngle = 0;
    };

    // The states of the corner-zone machine, kept in si_qu_daiqiu.
    enum CornerPhase {
        CORNER_BEHIND_BALL = 1,  // go behind the ball
        CORNER_FACE_BALL = 2,    // turn to face the ball
        CORNER_PUSH = 3,         // push the ball
    };

    // State of fastDribbleToPoint (the dribble phase is the member
    // drriblePhase).
    struct DribbleState {
        bool started = false;
        Vector3f ballRelPos;
        double angBall = 0;
        double targetRelAngle = 0;
        Vector3f preBallBodyRelPos;
        double inDoorMidRelAngle = 0;
        double outDoorMidRelAngle = 0;
        int si_qu_daiqiu = CORNER_BEHIND_BALL;
        bool turnToBall = false;
    };

    // The states of the aim-and-kick machine, kept in KickApproachState::sign.
    enum KickPhase {
        KICK_AIM = 1,   // turn until the target lies ahead
        KICK_FIRE = 2,  // the close-range routine
    };

    // State of one kick approach (kickBall, SideKick(), SideKick(target)).
    struct KickApproachState {
        bool started = false;
        Vector3f ballRelPos;
        double ballDist = 0;
        double targetRelAngle = 0;
        Vector3f myPos;
        bool walkLatch = false;
        int sign = KICK_AIM;
    };

    // State of NoDirkickBall and XNoDirkickBall.
    struct CloseKickState {
        bool started = false;
        Vector3f ballRelPos;
        double ballDist = 0;
        int kickCount = 0;
    };

    // Which close-range routine ends a kick approach.
    enum class KickRoutine { Straight, Side };

    // The approach shared by the kick skills: walk to the point behind the
    // ball, aim, then hand over to the close-range routine.
    std::string kickApproach(KickApproachState& state, const Vector3f& target, double in,
                             double out, KickRoutine routine, bool keepOwnPos);
    // Refreshes the ball copies of a close-range routine.
    void refreshCloseKick(CloseKickState& state);

    static Skills* SKS;

    int drriblePhase;
    bool Walk_Omni_WithNoTarget;
    ESide Walk_Omni_Type;
    SkillType curSkill;
    WorldModel* WM;
    Actions* ACS;
    Position* POS;
    bool slowDown;
    std::vector<std::string> Standtmp;
    int StandLen;
    bool standupFinished;
    double LastStandTime;
    int counter;
    int ABLcounter;

    SlowDownState mSlowDown;
    TurnState mTurn;
    DribbleState mDribble;
    KickApproachState mKickBall;
    KickApproachState mSideKick;
    KickApproachState mSideKickTarget;
    CloseKickState mNoDirKick;
    CloseKickState mXNoDirKick;
};

#endif
