#ifndef TOVRA_ACTIONS_WALK_H
#define TOVRA_ACTIONS_WALK_H

#include <boost/shared_ptr.hpp>
#include <string>
#include <vector>

#include "Actions/Trajectory.h"
#include "WorldModel/Types.h"

class Effector;
class Kinematic;
class WorldModel;

// The omnidirectional walk engine. Once per cycle it runs a small phase
// machine (prepare the posture, a first half step from standing, normal
// steps, a last step back to standing), takes the torso and foot poses of the
// current instant from the trajectory generator, solves both legs and writes
// the leg joint velocities and an arm swing into the effector's velocity
// table. A phase that has finished with no new order silences the effector
// for that cycle, which tells the dispatcher that the step is complete.
class Walk {
public:
    enum TPhase {
        PREPARE = 0,
        FIRST_STEP = 1,
        NORMAL_STEP = 2,
        MARK_TIME_STEP = 3,
        LAST_STEP = 4,
        STOP = 5
    };

    static Walk* instance();
    static void deleteT();

    // One cycle: turn in degrees per step, speed in percent of the nominal
    // step, the side to walk to, and the dispatcher's order ("start",
    // "normal", "end"; none when empty).
    void Execute(double ang, double speed, ESide type, std::vector<std::string> params);

    // Sets up the gait for a side; false for a turn above 15 degrees per step
    // (the gait stays as it was) or when the trajectory cannot be built.
    bool configureOmniDirection(double ang, double speed, ESide type);
    void setParam(ModelParams model, WalkParams walk);
    bool generalTrajectory();

    void Walking();
    void Stop();
    bool IsStopDone();
    void Prepare();
    bool IsPrepareDone();
    void FirstStep();
    bool IsFirstStepDone();
    void NormalStep();
    bool IsNormalStepDone();
    void LastStep();
    bool IsLastStepDone();
    void ApplyTrajectory(bool lefthold, const Matrix& move);
    void ApplyJVel(bool left);
    void SwingArms();
    void setWalkPhase(TPhase phase) { mPhase = phase; }
    bool IsLeftFootHold();

    TPhase getWalkPhase() const { return mPhase; }
    ESide getWalkSide() const { return mWalkSide; }
    double getSpeed() const { return mSpeed; }
    double getTurnAngle() const { return mTurnAngle; }
    double getPhaseTime() const { return mPhaseTime; }
    int getPhaseCycle() const { return mPhaseCycle; }
    int getTotalStep() const { return mTotalStep; }
    float getSlowGain() const { return mSlowGain; }
    bool getIKfailNow() const { return IsIKfailNow; }
    bool getLeftFirstMove() const { return mLeftFirstMove; }
    const std::string& getParams() const { return mParams; }
    const Matrix& getTorsoMatrix() const { return mTorsoMatrix; }
    const Matrix& getHoldFootMatrix() const { return mHoldFootMatrix; }
    const Matrix& getMoveFootMatrix() const { return mMoveFootMatrix; }
    boost::shared_ptr<Trajectory> getTrajectory() const { return mTrajectory; }

private:
    Walk();
    Walk(const Walk&) = delete;
    Walk& operator=(const Walk&) = delete;

    void mPhaseControl(double ang, double speed, ESide type);
    // Cycles of a duration at 0.02 s per cycle, to the nearest whole cycle.
    static int cyclesOf(double seconds);
    // IK_leg with a check that the solution is usable.
    bool solveLeg(const Matrix& foot, bool left);

    static Walk* handleT;

    bool mLeftFirstMove;
    TPhase mPhase;
    [[maybe_unused]] int I;
    std::string mParams;
    double mSpeed;
    double mTurnAngle;
    ESide mWalkSide;
    boost::shared_ptr<Trajectory> mTrajectory;
    Kinematic* mRobot;
    double mPhaseTime;
    [[maybe_unused]] double mPhaseStartTime;
    int mPhaseCycle;
    int mPhaseStartCycle;
    bool IsIKfailNow;
    int mTotalStep;
    [[maybe_unused]] float mSteadyParam;
    Matrix mTorsoMatrix;
    Matrix mHoldFootMatrix;
    Matrix mMoveFootMatrix;
    float mSlowGain;
    float mWalkingSlowGain;
    WorldModel* wm;
    Effector* mEffector;

    // Kept across cycles by the phase control: the speed configured last
    // (taken from the first request until then) and whether the gait is
    // configured for the requested side.
    double mOldSpeed;
    bool mOldSpeedSeen;
    bool mSideFlag;
};

#endif
