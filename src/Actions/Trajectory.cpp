#include "Actions/Trajectory.h"

#include <cmath>
#include <initializer_list>
#include <iostream>

namespace {

// Slack on the time windows, so that a clock that lands on a boundary up to
// rounding is still accepted.
const double kWindowSlack = 0.00001;

bool inWindow(double t, double lo, double hi) {
    return t >= lo - kWindowSlack && t <= hi + kWindowSlack;
}

// A spline through (times, values) with zero slope at both ends.
bool buildSpline(Spline& s, std::initializer_list<double> times,
                 std::initializer_list<double> values) {
    double x[8];
    double y[8];
    int n = 0;
    for (double t : times) {
        x[n++] = t;
    }
    n = 0;
    for (double v : values) {
        y[n++] = v;
    }
    s.SetBreakPoints(x, y, n, 0.0, 0.0);
    return s.general();
}

}  // namespace

Trajectory::Trajectory()
    : mModelInit(false),
      mDs3D(0.0f, 0.1f, 0.0f),
      k(1),
      Ds(0.1f),
      Tc(0.14f),
      Td(0.2f * Tc),
      Tm(0.5f * Tc),
      Qgs(0.0f),
      Qge(0.0f),
      Qb(0.2f),
      Qf(0.2f),
      Xed(0.5f * Ds),
      Xsd(0.5f * Ds),
      Lao(0.5f * Ds),
      Hnor(0.23f),
      Lan(0.035f),
      Laf(0.08f),
      Lab(0.08f),
      Lth(0.1201f),
      Lsh(0.1f),
      Hgs(0.015f),
      Hge(0.015f),
      Hao(0.0f),
      Ts(Tc),
      Te(Tc),
      mTurnAngle(0.0f),
      TorsoRot_X(-10.0f),
      TorsoRelHip_Z(0.115f),
      FootOffset_X(0.055f) {
    mGoodGait = saveGait();
}

boost::shared_ptr<Trajectory> Trajectory::instance() {
    static boost::shared_ptr<Trajectory> handle(new Trajectory());
    return handle;
}

void Trajectory::setParams(WalkParams w) {
    mDs3D = Vector3f(w.mDs3D.x(), w.mDs3D.y(), 0.0f);
    Ds = mDs3D.Length();
    Tc = w.Tc;
    Td = w.Td;
    Tm = w.Tm;
    Xed = w.Xed;
    Xsd = w.Xsd;
    Hnor = w.Hnor;
    Hao = w.Hao;
    mTurnAngle = w.TurnAngle;
    Lao = Ds;
    Ts = Tc;
    Te = Tc;
}

void Trajectory::initModelParams(ModelParams m) {
    TorsoRot_X = m.TorsoRot_X;
    TorsoRelHip_Z = m.TorsoRelHip_Z;
    FootOffset_X = m.FootOffset_X;
    if (!mModelInit) {
        Lan = m.Lan;
        Laf = m.Laf;
        Lab = m.Lab;
        Lth = m.Lth;
        Lsh = m.Lsh;
        Hgs = m.Hgs;
        Hge = m.Hge;
        mModelInit = true;
    }
}

Trajectory::Gait Trajectory::saveGait() const {
    Gait g;
    g.ds3D = mDs3D;
    g.ds = Ds;
    g.tc = Tc;
    g.td = Td;
    g.tm = Tm;
    g.qgs = Qgs;
    g.qge = Qge;
    g.qb = Qb;
    g.qf = Qf;
    g.xed = Xed;
    g.xsd = Xsd;
    g.lao = Lao;
    g.hnor = Hnor;
    g.lan = Lan;
    g.laf = Laf;
    g.lab = Lab;
    g.lth = Lth;
    g.lsh = Lsh;
    g.hgs = Hgs;
    g.hge = Hge;
    g.hao = Hao;
    g.ts = Ts;
    g.te = Te;
    g.turnAngle = mTurnAngle;
    g.torsoRotX = TorsoRot_X;
    g.torsoRelHipZ = TorsoRelHip_Z;
    g.footOffsetX = FootOffset_X;
    return g;
}

void Trajectory::restoreGait(const Gait& g) {
    mDs3D = g.ds3D;
    Ds = g.ds;
    Tc = g.tc;
    Td = g.td;
    Tm = g.tm;
    Qgs = g.qgs;
    Qge = g.qge;
    Qb = g.qb;
    Qf = g.qf;
    Xed = g.xed;
    Xsd = g.xsd;
    Lao = g.lao;
    Hnor = g.hnor;
    Lan = g.lan;
    Laf = g.laf;
    Lab = g.lab;
    Lth = g.lth;
    Lsh = g.lsh;
    Hgs = g.hgs;
    Hge = g.hge;
    Hao = g.hao;
    Ts = g.ts;
    Te = g.te;
    mTurnAngle = g.turnAngle;
    TorsoRot_X = g.torsoRotX;
    TorsoRelHip_Z = g.torsoRelHipZ;
    FootOffset_X = g.footOffsetX;
}

bool Trajectory::general() {
    if (buildSplines()) {
        mGoodGait = saveGait();
        return true;
    }
    restoreGait(mGoodGait);
    buildSplines();
    return false;
}

bool Trajectory::buildSplines() {
    // The poses divide by the step length and by the phase durations.
    if (!(Ds > 0.0f) || !std::isfinite(Ds) || !std::isfinite(mTurnAngle) || !std::isfinite(Hnor) ||
        !std::isfinite(Hao)) {
        return false;
    }
    const double T = Tc;
    const double kT = k * T;
    const double k1T = (k + 1) * T;
    const double sinQb = std::sin(Qb), cosQb = std::cos(Qb);
    const double sinQf = std::sin(Qf), cosQf = std::cos(Qf);
    const double kDs = k * Ds;
    const double k2Ds = (k + 2) * Ds;
    const double liftZ = Hgs + Laf * sinQb + Lan * cosQb;    // toe-off ankle height
    const double strikeZ = Hge + Lab * sinQf + Lan * cosQf;  // heel-strike ankle height
    const double toeOffX = Lan * sinQb + Laf * (1.0 - cosQb);
    const double heelStrikeX = Lan * sinQf + Lab * (1.0 - cosQf);

    return buildSpline(foot_theta, {kT, kT + Td, k1T, k1T + Td}, {Qgs, -Qb, Qf, -Qge}) &&
           buildSpline(foot_x, {kT, kT + Td, kT + Tm, k1T, k1T + Td},
                       {kDs, kDs + toeOffX, kDs + Lao, k2Ds - heelStrikeX, k2Ds}) &&
           buildSpline(foot_z, {kT, kT + Td, kT + Tm, k1T, k1T + Td},
                       {Lan + Hgs, liftZ, Hao, strikeZ, Lan + Hge}) &&
           buildSpline(hip_z, {kT + Td / 2.0, kT + (T - Td) / 2.0, k1T + Td / 2.0},
                       {Hnor, Hnor, Hnor}) &&
           buildSpline(foot_start_theta, {0.0, Ts}, {0.0, Qf}) &&
           buildSpline(foot_start_x, {0.0, Ts}, {0.0, Ds - heelStrikeX}) &&
           buildSpline(foot_start_z, {0.0, Td, Ts}, {Lan + Hgs, liftZ, strikeZ}) &&
           buildSpline(hip_start_x, {0.0, Ts}, {0.0, Xed}) &&
           buildSpline(hip_start_z, {0.0, Td / 2.0, Ts}, {Hnor, Hnor, Hnor}) &&
           buildSpline(foot_end_x, {0.0, Te}, {toeOffX, Ds}) &&
           buildSpline(foot_end_z, {0.0, Te}, {liftZ, Lan + Hge}) &&
           buildSpline(hip_end_x, {0.0, Te}, {Ds - Xsd, Ds}) &&
           buildSpline(hip_end_z, {0.0, Td / 2.0, Te}, {Hnor, Hnor, Hnor});
}

double Trajectory::getHipX(double t, int der) {
    const double T = Tc;
    const double kT = k * T;
    if (!inWindow(t, kT, kT + T)) {
        std::cout << "(Trajectory getHipX error)\n";
        return 0.0;
    }
    const double td = Td;
    const double S = T - td;
    const double ds = Ds;
    const double xed = Xed;
    const double xsd = Xsd;
    // One period of a cubic through kDs + Xed (at kT), (k+1)Ds - Xsd (at
    // kT + Td) and (k+1)Ds + Xed (at (k+1)T). D = Ds - Xed - Xsd sets the
    // curvature of both pieces. The position is continuous; the velocity
    // steps up by Ds/S at the end of double support and down by as much at
    // its start, the hip curve the gait's parameters were tuned with.
    const double C = ds - xed - xsd;
    if (t < kT + td) {
        const double u = t - kT;
        const double v = kT + td - t;
        const double c = C / (td * td * S);
        switch (der) {
            case 0:
                return k * ds + u * (ds - xsd) / td + v * xed / td +
                       (v * v * v - u * u * u + td * td * (u - v)) * c;
            case 1:
                return (ds - xsd) / td - xed / td +
                       (-3.0 * v * v - 3.0 * u * u + 2.0 * td * td) * c;
            case 2:
                return (6.0 * v - 6.0 * u) * c;
            default:
                return 0.0;
        }
    }
    const double u = t - kT - td;
    const double v = kT + T - t;
    const double c = C / (S * S * td);
    switch (der) {
        case 0:
            return k * ds + u * (xed + ds) / S + v * (ds - xsd) / S +
                   (u * u * u - v * v * v + S * S * (v - u)) * c;
        case 1:
            return (xed + ds) / S - (ds - xsd) / S + (3.0 * u * u + 3.0 * v * v - 2.0 * S * S) * c;
        case 2:
            return (6.0 * u - 6.0 * v) * c;
        default:
            return 0.0;
    }
}

double Trajectory::getHipZ(double t, int der) {
    const double kT = k * Tc;
    if (!inWindow(t, kT + Td / 2.0, kT + Tc + Td / 2.0)) {
        std::cout << "(Trajectory getHipZ error)\n";
        return 0.0;
    }
    return hip_z.getYGivenX(t, der);
}

double Trajectory::getHipTheta(double /*t*/, int der) {
    if (der < 0) {
        std::cout << "(Trajectory getHipTheta der error)\n";
        return 0.0;
    }
    return der == 0 ? salt::gHalfPI : 0.0;
}

double Trajectory::getFootX(double t, int der) {
    const double kT = k * Tc;
    if (!inWindow(t, kT, kT + 2.0 * Tc)) {
        std::cout << "(Trajectory) getFootX error\n";
        return 0.0;
    }
    if (t < kT + Tc + Td) {
        return foot_x.getYGivenX(t, der);
    }
    if (der < 0) {
        std::cout << "(Trajectory getFootX der error)\n";
        return 0.0;
    }
    return der == 0 ? (k + 2) * Ds : 0.0;
}

double Trajectory::getFootZ(double t, int der) {
    const double kT = k * Tc;
    if (!inWindow(t, kT, kT + 2.0 * Tc)) {
        std::cout << "(Trajectory) getFootZ error\n";
        return 0.0;
    }
    if (t < kT + Tc + Td) {
        return foot_z.getYGivenX(t, der);
    }
    if (der < 0) {
        std::cout << "(Trajectory getFootZ der error)\n";
        return 0.0;
    }
    return der == 0 ? Lan + Hge : 0.0;
}

double Trajectory::getFootTheta(double t, int der) {
    const double kT = k * Tc;
    if (!inWindow(t, kT, kT + 2.0 * Tc)) {
        return 0.0;
    }
    if (t < kT + Tc + Td) {
        return foot_theta.getYGivenX(t, der);
    }
    if (der < 0) {
        std::cout << "(Trajectory getFootTheta der error)\n";
        return 0.0;
    }
    return der == 0 ? -Qge : 0.0;
}

void Trajectory::setAnklesAndHip(double hx, double hz, double fx2, double fz2, double fx1,
                                 double fz1) {
    mHipMatrix.Pos() = mDs3D * static_cast<float>(hx / Ds);
    mHipMatrix.Pos().z() = static_cast<float>(hz);
    mHoldAnkleMatrix.Pos() = mDs3D * static_cast<float>(fx2 / Ds);
    mHoldAnkleMatrix.Pos().z() = static_cast<float>(fz2);
    mMoveAnkleMatrix.Pos() = mDs3D * static_cast<float>(fx1 / Ds);
    mMoveAnkleMatrix.Pos().z() = static_cast<float>(fz1);
}

void Trajectory::calTrajectoryMatrix(double t) {
    const double T = Tc;
    const double kT = k * T;
    const double k1T = kT + T;
    if (!inWindow(t, kT, kT + 2.0 * T)) {
        std::cout << "Trajectory calTrajectoryMatrix error\n";
    }
    // Hip along the step and its height.
    const double hx = t < k1T ? getHipX(t) : Ds + getHipX(t - T);
    double hz;
    if (t < kT + Td / 2.0) {
        hz = getHipZ(t + T);
    } else if (t < k1T + Td / 2.0) {
        hz = getHipZ(t);
    } else {
        hz = getHipZ(t - T);
    }
    // The moving foot swings, then stands on its landing point.
    double fx1, fz1;
    if (t < k1T + Td) {
        fx1 = getFootX(t);
        fz1 = getFootZ(t);
    } else {
        fx1 = (k + 2) * Ds;
        fz1 = Lan + Hge;
    }
    // The holding foot finishes the previous step's touch-down, then starts
    // the next swing.
    double fx2, fz2;
    if (t < k1T) {
        fx2 = getFootX(t + T) - Ds;
        fz2 = getFootZ(t + T);
    } else {
        fx2 = Ds + getFootX(t - T);
        fz2 = getFootZ(t - T);
    }
    setAnklesAndHip(hx, hz, fx2, fz2, fx1, fz1);
}

void Trajectory::calStartTrajectoryMatrix(double t) {
    if (!inWindow(t, 0.0, Ts)) {
        std::cout << "Trajectory calStartTrajectoryMatrix error\n";
    }
    setAnklesAndHip(hip_start_x.getYGivenX(t, 0), hip_start_z.getYGivenX(t, 0), 0.0, Lan + Hge,
                    foot_start_x.getYGivenX(t, 0), foot_start_z.getYGivenX(t, 0));
}

void Trajectory::calEndTrajectoryMatrix(double t) {
    setAnklesAndHip(hip_end_x.getYGivenX(t, 0), hip_end_z.getYGivenX(t, 0), Ds, Lan + Hge,
                    foot_end_x.getYGivenX(t, 0), foot_end_z.getYGivenX(t, 0));
}

void Trajectory::calWalkTrajectoryMatrix(bool lefthold) {
    mTorsoMatrix = mHipMatrix;
    mTorsoMatrix.Pos().z() += TorsoRelHip_Z;
    mTorsoMatrix.RotateX(gDegToRad(TorsoRot_X));
    // The left foot is always on the negative-x side; foot poses refer to
    // the sole.
    const float offset = lefthold ? FootOffset_X : -FootOffset_X;
    mHoldFootMatrix = mHoldAnkleMatrix;
    mHoldFootMatrix.Pos().x() -= offset;
    mHoldFootMatrix.Pos().z() -= Lan;
    mMoveFootMatrix = mMoveAnkleMatrix;
    mMoveFootMatrix.Pos().x() += offset;
    mMoveFootMatrix.Pos().z() -= Lan;
}

void Trajectory::copyOut(Matrix& torso, Matrix& holdfoot, Matrix& movefoot) const {
    torso = mTorsoMatrix;
    movefoot = mMoveFootMatrix;
    holdfoot = mHoldFootMatrix;
}

bool Trajectory::getTrajectoryMatrix(double t, Matrix& torso, Matrix& holdfoot, Matrix& movefoot,
                                     bool lefthold) {
    const double kT = k * Tc;
    if (!inWindow(t, kT, kT + 2.0 * Tc)) {
        std::cout << "Trajectory getTrajectoryMatrix error\n";
        return false;
    }
    calTrajectoryMatrix(t);
    calWalkTrajectoryMatrix(lefthold);
    copyOut(torso, holdfoot, movefoot);
    holdfoot.RotateZ(gDegToRad(mTurnAngle));
    return true;
}

bool Trajectory::getStartTrajectoryMatrix(double t, Matrix& torso, Matrix& holdfoot,
                                          Matrix& movefoot, bool lefthold) {
    if (!inWindow(t, 0.0, Ts)) {
        std::cout << "Trajectory getStartTrajectoryMatrix error\n";
        return false;
    }
    calStartTrajectoryMatrix(t);
    calWalkTrajectoryMatrix(lefthold);
    copyOut(torso, holdfoot, movefoot);
    return true;
}

bool Trajectory::getEndTrajectoryMatrix(double t, Matrix& torso, Matrix& holdfoot, Matrix& movefoot,
                                        bool lefthold) {
    if (!inWindow(t, 0.0, Te)) {
        t = Te;
    }
    calEndTrajectoryMatrix(t);
    calWalkTrajectoryMatrix(lefthold);
    copyOut(torso, holdfoot, movefoot);
    return true;
}
