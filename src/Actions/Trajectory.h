#ifndef TOVRA_ACTIONS_TRAJECTORY_H
#define TOVRA_ACTIONS_TRAJECTORY_H

#include <boost/shared_ptr.hpp>

#include "Math/Spline.h"
#include "WorldModel/Types.h"

// Walk trajectory generator: for any instant of a step, the poses of the
// torso, the holding foot and the moving foot, from a few gait parameters.
//
// Units are metres, seconds and radians, except TorsoRot_X and mTurnAngle
// (degrees). Positions are in the walk frame: the step vector lies in the
// ground plane (x right, y forward), z is up from the ground. A normal step
// covers [k*Tc, (k+2)*Tc] with the step index k; the start of a walk covers
// [0, Ts] and its end [0, Te].
class Trajectory {
public:
    Trajectory();

    // The process-wide instance.
    static boost::shared_ptr<Trajectory> instance();

    void setParams(WalkParams w);
    // TorsoRot_X, TorsoRelHip_Z and FootOffset_X are always taken; the leg
    // lengths and foot heights only on the first call.
    void initModelParams(ModelParams m);
    // Rebuilds every spline from the parameters. On failure it returns false
    // and restores the parameters and curves of the last successful build
    // (the construction defaults if there was none), so the gait in use stays
    // the previous one.
    bool general();

    // Value (der 0) or derivative (der 1, 2) of one coordinate at time t.
    double getHipX(double t, int der = 0);
    double getHipZ(double t, int der = 0);
    double getHipTheta(double t, int der = 0);
    double getFootX(double t, int der = 0);
    double getFootZ(double t, int der = 0);
    double getFootTheta(double t, int der = 0);

    // Poses of a normal step at t in [k*Tc, (k+2)*Tc]; the holding foot
    // carries the turn of the step.
    bool getTrajectoryMatrix(double t, Matrix& torso, Matrix& holdfoot, Matrix& movefoot,
                             bool lefthold);
    // Poses of the first step from standing, t in [0, Ts].
    bool getStartTrajectoryMatrix(double t, Matrix& torso, Matrix& holdfoot, Matrix& movefoot,
                                  bool lefthold);
    // Poses of the last step back to standing; t outside [0, Te] is taken as Te.
    bool getEndTrajectoryMatrix(double t, Matrix& torso, Matrix& holdfoot, Matrix& movefoot,
                                bool lefthold);

    // Toe-off and heel-strike foot angles (radians).
    void setQb(float qb) { Qb = qb; }
    void setQf(float qf) { Qf = qf; }

    int getK() const { return k; }
    float getDs() const { return Ds; }
    const Vector3f& getDs3D() const { return mDs3D; }
    float getTc() const { return Tc; }
    float getTd() const { return Td; }
    float getTm() const { return Tm; }
    float getTs() const { return Ts; }
    float getTe() const { return Te; }
    float getXed() const { return Xed; }
    float getXsd() const { return Xsd; }
    float getHnor() const { return Hnor; }
    float getHao() const { return Hao; }
    float getQb() const { return Qb; }
    float getQf() const { return Qf; }
    float getLan() const { return Lan; }
    float getLaf() const { return Laf; }
    float getLab() const { return Lab; }
    float getLth() const { return Lth; }
    float getLsh() const { return Lsh; }
    float getHgs() const { return Hgs; }
    float getHge() const { return Hge; }
    float getTurnAngle() const { return mTurnAngle; }
    float getTorsoRotX() const { return TorsoRot_X; }
    float getTorsoRelHipZ() const { return TorsoRelHip_Z; }
    float getFootOffsetX() const { return FootOffset_X; }
    bool isModelInit() const { return mModelInit; }

private:
    // Every parameter that general() turns into curves, kept so that a failed
    // rebuild can fall back to the last good gait.
    struct Gait {
        Vector3f ds3D;
        float ds, tc, td, tm, qgs, qge, qb, qf, xed, xsd, lao, hnor;
        float lan, laf, lab, lth, lsh, hgs, hge, hao, ts, te, turnAngle;
        float torsoRotX, torsoRelHipZ, footOffsetX;
    };
    Gait saveGait() const;
    void restoreGait(const Gait& g);
    bool buildSplines();

    void calTrajectoryMatrix(double t);
    void calStartTrajectoryMatrix(double t);
    void calEndTrajectoryMatrix(double t);
    // Sets the hip, holding-ankle and moving-ankle translations from
    // distances along the step and heights.
    void setAnklesAndHip(double hx, double hz, double fx2, double fz2, double fx1, double fz1);
    void calWalkTrajectoryMatrix(bool lefthold);
    void copyOut(Matrix& torso, Matrix& holdfoot, Matrix& movefoot) const;

    bool mModelInit;
    Vector3f mDs3D;
    int k;
    float Ds;
    float Tc, Td, Tm;
    float Qgs, Qge, Qb, Qf;
    float Xed, Xsd, Lao;
    float Hnor;
    float Lan, Laf, Lab, Lth, Lsh;
    float Hgs, Hge, Hao;
    float Ts, Te;
    float mTurnAngle;
    float TorsoRot_X, TorsoRelHip_Z, FootOffset_X;

    Spline foot_x, foot_z, foot_theta;
    Spline hip_x;  // the hip's step motion is closed-form (getHipX)
    Spline hip_z;
    Spline foot_start_x, foot_start_z, foot_start_theta;
    Spline hip_start_x, hip_start_z;
    Spline foot_end_x, foot_end_z;
    Spline foot_end_theta;  // the end of a walk keeps the foot flat
    Spline hip_end_x, hip_end_z;

    Matrix mHoldAnkleMatrix, mMoveAnkleMatrix, mHipMatrix;
    Matrix mHoldFootMatrix, mMoveFootMatrix, mTorsoMatrix;

    Gait mGoodGait;
};

#endif
