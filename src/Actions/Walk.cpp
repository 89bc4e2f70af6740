#include "Actions/Walk.h"

#include <cmath>

#include "Effector/Effector.h"
#include "Effector/Kinematic.h"
#include "WorldModel/WorldModel.h"

namespace {

const double kCycle = 0.02;
// The phase clock lands exactly on the step boundaries; this slack keeps the
// single-precision rounding of the gait durations from deciding whether a
// boundary cycle is played.
const double kClockSlack = 0.000001;
// Measured and solved knee angles must agree this well before walking starts.
const double kPrepareKneeTolerance = 15.0;  // degrees
const float kPrepareSlowGain = 0.3f;

// Leg joints in EJointID order: hip yaw, hip roll, hip pitch, knee, ankle
// pitch, ankle roll; the right leg's slot follows the left one's.
const int kLeftLegJoints[6] = {JID_LLEG_1_, JID_LLEG_2_, JID_LLEG_3_,
                               JID_LLEG_4_, JID_LLEG_5_, JID_LLEG_6_};

}  // namespace

Walk* Walk::handleT = nullptr;

Walk* Walk::instance() {
    if (handleT == nullptr) {
        handleT = new Walk();
    }
    return handleT;
}

void Walk::deleteT() {
    delete handleT;
    handleT = nullptr;
}

Walk::Walk()
    : mLeftFirstMove(false),
      mPhase(PREPARE),
      I(0),
      mSpeed(0.0),
      mTurnAngle(0.0),
      mWalkSide(SIDE_FORWARD_),
      mTrajectory(Trajectory::instance()),
      mRobot(Kinematic::instance()),
      mPhaseTime(0.0),
      mPhaseStartTime(0.0),
      mPhaseCycle(0),
      mPhaseStartCycle(0),
      IsIKfailNow(false),
      mTotalStep(0),
      mSteadyParam(0.0f),
      mSlowGain(0.085f),
      mWalkingSlowGain(0.06f),
      wm(WorldModel::instance()),
      mEffector(Effector::instance()),
      mOldSpeed(0.0),
      mOldSpeedSeen(false),
      mSideFlag(true) {
    if (!mRobot->getinit()) {
        mRobot->init();
    }
    configureOmniDirection(0.0, 100.0, SIDE_FORWARD_);
    mPhaseStartCycle = wm->getCurrentCycle();
    mPhaseCycle = 0;
    mPhaseTime = 0.0;
}

int Walk::cyclesOf(double seconds) {
    return static_cast<int>(std::lround(seconds / kCycle));
}

void Walk::Execute(double ang, double speed, ESide type, std::vector<std::string> params) {
    mParams = params.empty() ? std::string() : params.front();
    // A standing request still walks with a (vanishing) step, since the
    // trajectory divides by the step length; a request that is not a number
    // is treated the same way.
    if (speed == 0.0 || !std::isfinite(speed)) {
        speed = 0.00001;
    }
    if (!std::isfinite(ang)) {
        ang = 0.0;
    }
    mPhaseControl(ang, speed, type);

    const int cycle = wm->getCurrentCycle();
    switch (mPhase) {
        case PREPARE:
            Prepare();
            break;
        case FIRST_STEP:
            mPhaseCycle = cycle - mPhaseStartCycle;
            FirstStep();
            break;
        case NORMAL_STEP:
            // A normal step is timed from Tc to 2 Tc of the trajectory.
            mPhaseCycle = cycle - mPhaseStartCycle + cyclesOf(mTrajectory->getTc());
            NormalStep();
            break;
        case LAST_STEP:
            mPhaseCycle = cycle - mPhaseStartCycle;
            LastStep();
            break;
        default:
            break;
    }
    SwingArms();
}

bool Walk::configureOmniDirection(double ang, double speed, ESide type) {
    mSlowGain = mWalkingSlowGain;
    if (ang > 15.0) {
        return false;
    }
    // Turn and speed change only early in a phase.
    if (mPhaseTime <= 0.16) {
        mTurnAngle = ang;
        mSpeed = speed;
    }
    WalkParams walk;
    ModelParams model;
    const float s = static_cast<float>(mSpeed / 100.0);
    bool listed = true;
    switch (type) {
        case SIDE_FORWARD_:
            walk.Tc = 0.16f;
            walk.mDs3D[1] = 0.1f * s;
            walk.Xed = walk.Xsd = 0.04f * s;
            walk.Hao = 0.1f;
            break;
        case SIDE_BACKWARD_:
            walk.Tc = 0.16f;
            walk.mDs3D[1] = -0.1f * s;
            walk.Xed = walk.Xsd = 0.04f * s;
            walk.Hnor = 0.2f;
            walk.Hao = 0.1006f;
            break;
        case SIDE_TURNLEFT_:
            walk.Tc = 0.14f;
            walk.mDs3D[1] = -0.1f * s;
            walk.Xed = walk.Xsd = 0.04f * s;
            walk.Hnor = 0.2f;
            walk.Hao = 0.1006f;
            break;
        case SIDE_TURNRIGHT_:
            walk.Tc = 0.14f;
            walk.mDs3D[1] = -0.000000001f;
            walk.Xed = walk.Xsd = -0.000000001f;
            walk.Hnor = 0.2f;
            walk.Hao = 0.1006f;
            break;
        case SIDE_STEP_:
            walk.Tc = 0.16f;
            walk.mDs3D[1] = 0.000000001f;
            walk.Xed = walk.Xsd = 0.000000001f;
            walk.Hnor = 0.2f;
            walk.Hao = 0.1f;
            break;
        default:
            listed = false;
            break;
    }
    if (listed) {
        walk.mDs3D[0] = 0.0f;
        walk.Td = 0.2f * walk.Tc;
        walk.Tm = 0.5f * walk.Tc;
        walk.TurnAngle = static_cast<float>(mTurnAngle);
        model.TorsoRot_X = -5.0f;
        mTrajectory->setQb(0.0f);
        mTrajectory->setQf(0.0f);
    }
    setParam(model, walk);
    return generalTrajectory();
}

void Walk::setParam(ModelParams model, WalkParams walk) {
    mTrajectory->initModelParams(model);
    mTrajectory->setParams(walk);
}

bool Walk::generalTrajectory() {
    return mTrajectory->general();
}

void Walk::mPhaseControl(double ang, double speed, ESide type) {
    if (mParams == "start") {
        mWalkSide = type;
    }
    if (mPhase == LAST_STEP) {
        ang = 0.0;
    }
    if (!mOldSpeedSeen) {
        mOldSpeed = speed;
        mOldSpeedSeen = true;
    }
    if (type == mWalkSide && mSideFlag) {
        if (mPhaseTime <= 0.16) {
            // Speed ramp: from standing at most 5, then at most 5 more per
            // configuration.
            if (mPhaseTime <= 0.14) {
                mOldSpeed = 0.0;
            }
            if (speed > mOldSpeed + 5.0) {
                speed = mOldSpeed + 5.0;
            }
            mOldSpeed = speed;
            configureOmniDirection(ang, speed, type);
        }
        Walking();
    } else if (IsStopDone()) {
        mSideFlag = true;
        mWalkSide = type;
        configureOmniDirection(ang, speed, type);
        Walking();
    } else {
        Stop();
        Walking();
        mSideFlag = false;
    }
}

void Walk::Walking() {
    const int cycle = wm->getCurrentCycle();
    if (mPhase == PREPARE && IsPrepareDone()) {
        mPhase = FIRST_STEP;
        mPhaseStartCycle = cycle;
        mPhaseCycle = 0;
        mLeftFirstMove = true;
        mTotalStep = 0;
        IsIKfailNow = false;
        mEffector->mIsDone = false;
    }
    const bool finished = (mPhase == FIRST_STEP && IsFirstStepDone()) ||
                          (mPhase == NORMAL_STEP && IsNormalStepDone()) ||
                          (mPhase == LAST_STEP && IsLastStepDone());
    if (mParams.empty() && finished) {
        mEffector->mIsDone = true;
    } else if (mParams == "normal") {
        mPhase = NORMAL_STEP;
        mPhaseStartCycle = cycle;
        ++mTotalStep;
        mEffector->mIsDone = false;
    } else if (mParams == "end") {
        mPhase = LAST_STEP;
        mPhaseStartCycle = cycle;
        mEffector->mIsDone = false;
    } else if (mParams == "start") {
        mPhase = PREPARE;
        mEffector->mIsDone = false;
    } else {
        mEffector->mIsDone = false;
    }
}

void Walk::Stop() {
    if (mPhase == PREPARE && IsPrepareDone()) {
        mPhase = STOP;
    } else if ((mPhase == FIRST_STEP && IsFirstStepDone()) ||
               (mPhase == NORMAL_STEP && IsNormalStepDone())) {
        mParams = "end";
    } else if (mPhase == LAST_STEP && IsLastStepDone()) {
        mPhase = STOP;
    }
    if (mPhase == STOP) {
        mParams = "start";
    }
}

bool Walk::IsStopDone() {
    return mPhase == PREPARE || mPhase == STOP;
}

void Walk::Prepare() {
    mSlowGain = kPrepareSlowGain;
    mTrajectory->getStartTrajectoryMatrix(0.0, mTorsoMatrix, mHoldFootMatrix, mMoveFootMatrix,
                                          true);
    ApplyTrajectory(true, Matrix::mIdentity);
}

bool Walk::IsPrepareDone() {
    mTrajectory->getStartTrajectoryMatrix(0.0, mTorsoMatrix, mHoldFootMatrix, mMoveFootMatrix,
                                          true);
    if (!solveLeg(mHoldFootMatrix, true)) {
        return false;
    }
    const float leftKnee = mRobot->getIKJointAngle()[JID_LLEG_4_];
    if (!solveLeg(mMoveFootMatrix, false)) {
        return false;
    }
    const float rightKnee = mRobot->getIKJointAngle()[JID_RLEG_4_];
    const boost::shared_array<float> measured = mEffector->mJointAngle;
    return std::fabs(gRadToDeg(measured[JID_LLEG_4_] - leftKnee)) < kPrepareKneeTolerance &&
           std::fabs(gRadToDeg(measured[JID_RLEG_4_] - rightKnee)) < kPrepareKneeTolerance;
}

void Walk::FirstStep() {
    mPhaseTime = mPhaseCycle * kCycle;
    if (mPhaseTime < -kClockSlack || mPhaseTime > mTrajectory->getTs() + kClockSlack) {
        return;
    }
    const bool lefthold = !mLeftFirstMove;
    mTrajectory->getStartTrajectoryMatrix(mPhaseTime, mTorsoMatrix, mHoldFootMatrix,
                                          mMoveFootMatrix, lefthold);
    if ((mWalkSide == SIDE_LEFT_ || mWalkSide == SIDE_RIGHT_) && IsFirstStepDone()) {
        mLeftFirstMove = !mLeftFirstMove;
    }
    ApplyTrajectory(lefthold, Matrix::mIdentity);
}

bool Walk::IsFirstStepDone() {
    return mPhaseCycle >= cyclesOf(mTrajectory->getTs());
}

void Walk::NormalStep() {
    mPhaseTime = mPhaseCycle * kCycle;
    const double tc = mTrajectory->getTc();
    if (mPhaseTime < tc - kClockSlack || mPhaseTime >= 2.0 * tc - kCycle - kClockSlack) {
        return;
    }
    const bool lefthold = IsLeftFootHold();
    mTrajectory->getTrajectoryMatrix(mPhaseTime, mTorsoMatrix, mHoldFootMatrix, mMoveFootMatrix,
                                     lefthold);
    ApplyTrajectory(lefthold, Matrix::mIdentity);
}

bool Walk::IsNormalStepDone() {
    return mPhaseCycle >= 2 * cyclesOf(mTrajectory->getTc()) - 1;
}

void Walk::LastStep() {
    mPhaseTime = mPhaseCycle * kCycle;
    const bool lefthold = IsLeftFootHold();
    mTrajectory->getEndTrajectoryMatrix(mPhaseTime, mTorsoMatrix, mHoldFootMatrix, mMoveFootMatrix,
                                        lefthold);
    ApplyTrajectory(lefthold, Matrix::mIdentity);
}

bool Walk::IsLastStepDone() {
    return mPhaseCycle >= cyclesOf(mTrajectory->getTe());
}

bool Walk::IsLeftFootHold() {
    const bool even = mTotalStep % 2 == 0;
    return mLeftFirstMove ? !even : even;
}

bool Walk::solveLeg(const Matrix& foot, bool left) {
    if (!mRobot->IK_leg(mTorsoMatrix, foot, left)) {
        return false;
    }
    const boost::shared_array<float> q = mRobot->getIKJointAngle();
    for (int joint : kLeftLegJoints) {
        if (!std::isfinite(q[left ? joint : joint + 1])) {
            return false;
        }
    }
    return true;
}

// `move` is a further displacement of the poses; every caller passes the
// identity.
void Walk::ApplyTrajectory(bool lefthold, const Matrix& /*move*/) {
    // Sideways sway of the torso shrinks with the speed.
    const float scale = std::fabs(mSpeed) < 0.01 ? 0.0f : static_cast<float>(mSpeed / 100.0);
    mTorsoMatrix.Pos().x() *= scale;

    if (solveLeg(mHoldFootMatrix, lefthold)) {
        ApplyJVel(lefthold);
        if (solveLeg(mMoveFootMatrix, !lefthold)) {
            ApplyJVel(!lefthold);
            IsIKfailNow = false;
            return;
        }
    }
    IsIKfailNow = true;
}

void Walk::ApplyJVel(bool left) {
    const boost::shared_array<float> solved = mRobot->getIKJointAngle();
    const boost::shared_array<float> measured = mEffector->mJointAngle;
    const boost::shared_array<float> vel = mEffector->mJointVel;
    for (int joint : kLeftLegJoints) {
        const int j = left ? joint : joint + 1;
        vel[j] = (solved[j] - measured[j]) / mSlowGain;
    }
}

void Walk::SwingArms() {
    if (mPhase != NORMAL_STEP) {
        return;
    }
    const float swing = IsLeftFootHold() ? 10.0f : -10.0f;
    mEffector->calculateVel1(-90.0f + swing, 5.0f);
    mEffector->calculateVel2(-90.0f - swing, 5.0f);
}
