#include "Effector/Kinematic.h"

#include <cmath>
#include <cstdio>
#include <iostream>

#include "Effector/JointCommand.h"
#include "Math/Geometry.h"
#include "WorldModel/WorldModel.h"

Kinematic* Kinematic::handleT = nullptr;

namespace {

// Iteration limit, step factor and error bound of the numerical stage.
const int kMaxIterations = 30;
const float kLambda = 0.5f;
const float kErrorBound = 0.001f;

// A table of n value-initialised entries.
template <class T>
boost::shared_array<T> makeArray(int n) {
    boost::shared_array<T> array(new T[n]());
    return array;
}

// Rotation and translation of a rigid transform; the bottom row is not read.
bool finite(const Matrix& m) {
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 4; ++c) {
            if (!std::isfinite(m(r, c))) {
                return false;
            }
        }
    }
    return true;
}

// Into [-pi/2, pi/2] by adding or subtracting pi.
float wrapHalfPi(float angle) {
    if (angle > static_cast<float>(salt::gHalfPI)) {
        angle -= static_cast<float>(salt::gPI);
    } else if (angle < -static_cast<float>(salt::gHalfPI)) {
        angle += static_cast<float>(salt::gPI);
    }
    return angle;
}

// The six leg links from the hip down, left leg 12, 14, ..., 22 and right
// leg 13, 15, ..., 23.
int legLink(bool left, int i) {
    return (left ? JID_LLEG_1_ : JID_RLEG_1_) + 2 * i;
}

}  // namespace

Kinematic::Kinematic()
    : FootLength(0.08f),
      FootWidth(0.16f),
      FootHeight(0.03f),
      FootMass(0.2f),
      ShankLength(0.08f),
      ShankWidth(0.07f),
      ShankHeight(0.11f),
      ShankMass(0.225f),
      ThighLength(0.07f),
      ThighWidth(0.07f),
      ThighHeight(0.14f),
      ThighMass(0.275f),
      TorsoLength(0.1f),
      TorsoWidth(0.1f),
      TorsoHeight(0.18f),
      TorsoMass(1.2171f),
      TorsoInitX(0.0f),
      TorsoInitY(0.0f),
      TorsoInitZ(0.385f),
      Hip1Axis_X(-0.7071f),
      Hip1Axis_Y(0.0f),
      Hip1Axis_Z(0.7071f),
      Hip1RelTorso_X(0.055f),
      Hip1RelTorso_Y(-0.01f),
      Hip1RelTorso_Z(-0.115f),
      Hip2RelHip1_X(0.0f),
      Hip2RelHip1_Y(0.0f),
      Hip2RelHip1_Z(0.0f),
      ThighRelHip2_X(0.0f),
      ThighRelHip2_Y(0.01f),
      ThighRelHip2_Z(-0.04f),
      ShankRelThigh_X(0.0f),
      ShankRelThigh_Y(0.005f),
      ShankRelThigh_Z(-0.125f),
      AnkleRelShank_X(0.0f),
      AnkleRelShank_Y(-0.01f),
      AnkleRelShank_Z(-0.055f),
      FootRelAnkle_X(0.0f),
      FootRelAnkle_Y(0.03f),
      FootRelAnkle_Z(-0.035f),
      NAO_A(0.0f),
      NAO_B(0.0f),
      isinit(false) {}

Kinematic* Kinematic::instance() {
    if (handleT == nullptr) {
        handleT = new Kinematic();
    }
    return handleT;
}

void Kinematic::deleteT() {
    delete handleT;
    handleT = nullptr;
}

void Kinematic::init() {
    if (isinit) {
        return;
    }
    uLINK = makeArray<Link>(JID_MAX + 1);
    mRobotPartInfo = makeArray<RobotPartInfo>(PART_MAX + 1);
    mIKJointAngle = makeArray<float>(JID_MAX + 1);
    mIKJointVel = makeArray<float>(JID_MAX + 1);
    setupLinks();
    setupRobotPartInfo();
    setupJointIDMap();
    setinit(true);
}

void Kinematic::setupLinks() {
    if (!uLINK) {
        return;
    }
    for (int i = 0; i <= JID_MAX; ++i) {
        uLINK[i] = Link();
    }

    static const char* const kHeadArm[][2] = {{"", ""},         {"", ""},         {"hj1", "he1"},
                                              {"hj2", "he2"},   {"laj1", "lae1"}, {"raj1", "rae1"},
                                              {"laj2", "lae2"}, {"raj2", "rae2"}, {"laj3", "lae3"},
                                              {"raj3", "rae3"}, {"laj4", "lae4"}, {"raj4", "rae4"}};
    for (int i = JID_HEAD_1_; i <= JID_RARM_4_; ++i) {
        uLINK[i].name = kHeadArm[i][0];
        uLINK[i].eff_name = kHeadArm[i][1];
    }

    Link& root = uLINK[JID_ROOT_];
    root.name = "j0";
    root.eff_name = "e0";
    root.child = JID_LLEG_1_;
    root.p = Vector3f(TorsoInitX, TorsoInitY, TorsoInitZ);
    root.R.Identity();

    // Body offsets of each leg link relative to the mother's body, hip down.
    const Vector3f hip2RelHip1(Hip2RelHip1_X, Hip2RelHip1_Y, Hip2RelHip1_Z);
    const Vector3f thighRelHip2(ThighRelHip2_X, ThighRelHip2_Y, ThighRelHip2_Z);
    const Vector3f shankRelThigh(ShankRelThigh_X, ShankRelThigh_Y, ShankRelThigh_Z);
    const Vector3f ankleRelShank(AnkleRelShank_X, AnkleRelShank_Y, AnkleRelShank_Z);
    const Vector3f footRelAnkle(FootRelAnkle_X, FootRelAnkle_Y, FootRelAnkle_Z);
    const Vector3f bodyRelMother[6] = {Vector3f(),    hip2RelHip1,   thighRelHip2,
                                       shankRelThigh, ankleRelShank, footRelAnkle};
    const Vector3f centre[6] = {Vector3f(),   Vector3f(),
                                thighRelHip2, Vector3f(0.0f, 0.01f, -0.045f),
                                Vector3f(),   footRelAnkle};
    const Vector3f pitchAxis(1.0f, 0.0f, 0.0f);
    const Vector3f rollAxis(0.0f, 1.0f, 0.0f);
    const Vector3f axis[6] = {Vector3f(), rollAxis, pitchAxis, pitchAxis, pitchAxis, rollAxis};

    for (int side = 0; side < 2; ++side) {
        const bool left = side == 0;
        const char* prefix = left ? "l" : "r";
        for (int i = 0; i < 6; ++i) {
            const int j = legLink(left, i);
            Link& link = uLINK[j];
            link.name = std::string(prefix) + "lj" + std::to_string(i + 1);
            link.eff_name = std::string(prefix) + "le" + std::to_string(i + 1);
            link.mother = i == 0 ? static_cast<int>(JID_ROOT_) : legLink(left, i - 1);
            link.child = i == 5 ? 0 : legLink(left, i + 1);
            link.c = centre[i];
            if (i == 0) {
                link.a = Vector3f(Hip1Axis_X, Hip1Axis_Y, left ? -Hip1Axis_Z : Hip1Axis_Z);
                link.b = Vector3f(left ? -Hip1RelTorso_X : Hip1RelTorso_X, Hip1RelTorso_Y,
                                  Hip1RelTorso_Z);
            } else {
                link.a = axis[i];
                link.b = bodyRelMother[i] - link.c + uLINK[link.mother].c;
            }
        }
    }
    // Both hips hang from the root: the left is its child, the right the
    // left's sister.
    uLINK[JID_LLEG_1_].sister = JID_RLEG_1_;

    forwardKinematics(JID_ROOT_);

    NAO_A = (uLINK[JID_LLEG_4_].p - uLINK[JID_LLEG_3_].p).Length();
    NAO_B = (uLINK[JID_LLEG_5_].p - uLINK[JID_LLEG_4_].p).Length();
    NAO_Dl = uLINK[JID_LLEG_3_].p - uLINK[JID_ROOT_].p;
    NAO_Dr = uLINK[JID_RLEG_3_].p - uLINK[JID_ROOT_].p;
    NAO_E = -uLINK[JID_LLEG_6_].c;
}

void Kinematic::setupRobotPartInfo() {
    if (!mRobotPartInfo) {
        return;
    }
    mRobotPartInfo[PART_BODY].name = "torso";
}

void Kinematic::setupJointIDMap() {
    mJointIDMap.clear();
    if (!uLINK) {
        return;
    }
    for (int i = JID_MIN; i <= JID_MAX; ++i) {
        mJointIDMap[uLINK[i].name] = i;
    }
}

void Kinematic::updateLink() {
    if (!uLINK || !mRobotPartInfo) {
        return;
    }
    const WorldModel* wm = WorldModel::instance();
    for (int i = JID_HEAD_1_; i <= JID_MAX; ++i) {
        const int joint = linkToJoint(i);
        uLINK[i].q = gDegToRad(static_cast<float>(wm->getJointAngle(static_cast<JointID>(joint))));
    }
    forwardKinematics(JID_ROOT_);
    for (int i = PART_MIN; i <= PART_MAX; ++i) {
        const Link& link = uLINK[i];
        RobotPartInfo& part = mRobotPartInfo[i];
        part.p = link.p + link.R.Rotate(link.c);
        part.R = link.R;
        part.R.Pos() = part.p;
    }
}

Matrix Kinematic::getRobotPartMatrix(int part) const {
    if (part < PART_MIN || part > PART_MAX || !mRobotPartInfo) {
        std::cout << "(Kinematic) ERROR: (getRobotPartMatrix) part unknown\n";
        return Matrix();
    }
    return mRobotPartInfo[part].R;
}

Vector3f Kinematic::getRobotPartPos(int part) const {
    if (part < PART_MIN || part > PART_MAX || !mRobotPartInfo) {
        std::cout << "(Kinematic) ERROR: (getRobotPartPos) part unknown\n";
        return Vector3f();
    }
    return mRobotPartInfo[part].p;
}

std::vector<int> Kinematic::findRoute(int to) const {
    std::vector<int> route;
    if (!validLink(to) || to == JID_ROOT_) {
        return route;
    }
    // Up the mother chain to the root; a link that never reaches it (head and
    // arm slots) is not in the tree.
    for (int j = to; j != JID_ROOT_; j = uLINK[j].mother) {
        if (!validLink(j) || static_cast<int>(route.size()) > JID_MAX) {
            return std::vector<int>();
        }
        route.push_back(j);
    }
    return std::vector<int>(route.rbegin(), route.rend());
}

void Kinematic::forwardKinematics(int j) {
    if (j == 0 || !validLink(j)) {
        return;
    }
    Link& link = uLINK[j];
    if (j != JID_ROOT_) {
        const int i = link.mother;
        if (validLink(i)) {
            const Link& mother = uLINK[i];
            link.p = mother.p + mother.R.Rotate(link.b);
            link.R = mother.R * Rodrigues(link.a, link.q);
        }
    }
    forwardKinematics(link.child);
    forwardKinematics(link.sister);
}

void Kinematic::calcJacobian(float** J, const std::vector<int>& route) const {
    const Vector3f target = uLINK[route.back()].p;
    for (std::size_t n = 0; n < route.size(); ++n) {
        const Link& link = uLINK[route[n]];
        const Vector3f w = link.R.Rotate(link.a);
        const Vector3f v = w.Cross(target - link.p);
        for (int k = 0; k < 3; ++k) {
            J[k][n] = v[k];
            J[k + 3][n] = w[k];
        }
    }
}

void Kinematic::calcVWerr(float* err, const Matrix& ref, const Matrix& now) const {
    const Vector3f perr = ref.Pos() - now.Pos();
    Matrix inverse = now;
    inverse.InvertRotationMatrix();
    const Matrix Rerr = inverse * ref;
    const Vector3f werr = now.Rotate(RotToOmega(Rerr));
    for (int k = 0; k < 3; ++k) {
        err[k] = perr[k];
        err[k + 3] = werr[k];
    }
}

bool Kinematic::solve(float* X, float** A, float* B, int row, int column) const {
    return svd(X, A, B, row, column);
}

bool Kinematic::inverseKinematics(int to, const Matrix& target) {
    const std::vector<int> route = findRoute(to);
    const int n = static_cast<int>(route.size());
    if (n == 0) {
        return false;
    }
    std::vector<float> storage(6 * n);
    float* J[6];
    for (int r = 0; r < 6; ++r) {
        J[r] = &storage[r * n];
    }
    std::vector<float> dq(n);
    float err[6];

    for (int iteration = 0; iteration < kMaxIterations; ++iteration) {
        calcJacobian(J, route);
        Matrix now = uLINK[to].R;
        now.Pos() = uLINK[to].p;
        calcVWerr(err, target, now);
        float norm = 0.0f;
        for (float e : err) {
            norm += e * e;
        }
        norm = std::sqrt(norm);
        if (!std::isfinite(norm)) {
            return false;
        }
        if (norm < kErrorBound) {
            break;
        }
        if (!solve(dq.data(), J, err, 6, n)) {
            return false;
        }
        for (int k = 0; k < n; ++k) {
            Link& link = uLINK[route[k]];
            link.q = gNormalizeRad(link.q + kLambda * dq[k]);
        }
        forwardKinematics(JID_ROOT_);
    }
    return true;
}

bool Kinematic::IK_leg(const Matrix& hip, float A, float B, const Matrix& ankle, bool left) {
    if (!mIKJointAngle) {
        return false;
    }
    Matrix ankleInverse = ankle;
    ankleInverse.InvertRotationMatrix();
    const Vector3f r = ankleInverse.Rotate(hip.Pos() - ankle.Pos());
    const float C = r.Length();
    const float cosKneePitch = (C * C - A * A - B * B) / (2.0f * A * B);
    if (cosKneePitch >= 1.0f) {
        std::cout << "cosKneePitch >= 1.0" << std::endl;
        return false;
    }
    if (cosKneePitch <= -1.0f) {
        return false;
    }
    // A target that is not finite (or a degenerate A, B) leaves the cosine
    // undefined: no solution.
    if (!std::isfinite(cosKneePitch)) {
        return false;
    }

    const float kneePitch = -std::acos(cosKneePitch);
    const float q6a = std::asin((A / C) * std::sin(static_cast<float>(salt::gPI) - kneePitch));
    // The pitch below takes the hip's height above the rolled ankle with the
    // sign of r.z, which holds for a roll within [-pi/2, pi/2] only; with the
    // hip below the ankle's plane (knee folded far) the roll is brought there.
    const float ankleRoll = wrapHalfPi(-std::atan2(r.x(), r.z()));
    const float anklePitch =
        std::atan2(r.y(), gSign(r.z()) * std::sqrt(r.x() * r.x() + r.z() * r.z())) - q6a;

    Matrix hipInverse = hip;
    hipInverse.InvertRotationMatrix();
    Matrix M = hipInverse * ankle;
    M.RotateY(-ankleRoll);
    M.RotateX(-anklePitch);
    M.RotateX(-kneePitch);

    // The yaw axes of the two hips are mirrored in z, so the pitch is read
    // from the sums of the first and last rows on the left and from their
    // differences on the right.
    const float hipPitch = wrapHalfPi(left ? std::atan2(M(0, 1) + M(2, 1), M(2, 2) + M(0, 2))
                                           : std::atan2(M(2, 1) - M(0, 1), M(2, 2) - M(0, 2)));
    const float cp = std::cos(hipPitch);
    float hipYaw;
    float hipRoll;
    if (left) {
        const float s = (M(0, 2) + M(2, 2)) / cp;
        float cy = (M(2, 0) - M(0, 0)) / s;
        const float sy = M(1, 0) / (s * -0.7071f);
        hipYaw = wrapHalfPi(-std::atan2(sy, cy));
        cy = std::cos(hipYaw);
        const float d = 2.0f * M(0, 0) - cy * s;
        hipRoll = wrapHalfPi(std::atan2(s - d, s + d));
    } else {
        const float d = (M(2, 2) - M(0, 2)) / cp;
        float cy = (M(0, 0) + M(2, 0)) / d;
        const float sy = M(1, 0) / (d * 0.7071f);
        hipYaw = wrapHalfPi(std::atan2(sy, cy));
        cy = std::cos(hipYaw);
        const float s = 2.0f * M(0, 0) - cy * d;
        hipRoll = wrapHalfPi(std::atan2(s - d, s + d));
    }

    const float angles[6] = {hipYaw, hipRoll, hipPitch, kneePitch, anklePitch, ankleRoll};
    // A zero cosine or an arcsine argument above 1 gives no usable angles.
    for (float angle : angles) {
        if (!std::isfinite(angle)) {
            return false;
        }
    }
    for (int i = 0; i < 6; ++i) {
        mIKJointAngle[legLink(left, i)] = angles[i];
    }
    return true;
}

bool Kinematic::IK_leg(const Matrix& torso, const Matrix& foot, bool left) {
    const int side = left ? 1 : 0;
    // A pose that is not finite would be stored as the root pose and spoil
    // every later forward kinematics; it is refused like an unreachable one.
    if (!uLINK || !finite(torso) || !finite(foot)) {
        std::cout << "analytic method failed: leg -- " << side << std::endl;
        return false;
    }

    Link& root = uLINK[JID_ROOT_];
    root.R = torso;
    root.p = torso.Pos();

    Matrix hip = torso;
    hip.Pos() = torso.Transform(left ? NAO_Dl : NAO_Dr);
    Matrix ankle = foot;
    ankle.Pos() = foot.Transform(NAO_E);

    if (!IK_leg(hip, NAO_A, NAO_B, ankle, left)) {
        std::cout << "analytic method failed: leg -- " << side << std::endl;
        return false;
    }

    float start[6];
    for (int i = 0; i < 6; ++i) {
        start[i] = mIKJointAngle[legLink(left, i)];
        uLINK[legLink(left, i)].q = start[i];
    }
    forwardKinematics(JID_ROOT_);

    bool ok = inverseKinematics(left ? JID_LLEG_6_ : JID_RLEG_6_, ankle);
    bool finiteAngles = true;
    for (int i = 0; i < 6; ++i) {
        finiteAngles = finiteAngles && std::isfinite(uLINK[legLink(left, i)].q);
    }
    if (!finiteAngles) {
        // Back to the analytic start, so that the links never hold angles
        // that are not finite.
        for (int i = 0; i < 6; ++i) {
            uLINK[legLink(left, i)].q = start[i];
        }
        forwardKinematics(JID_ROOT_);
        ok = false;
    }
    if (!ok) {
        std::cout << "numerical method failed: leg -- " << side << std::endl;
        return false;
    }

    for (int i = 0; i < 6; ++i) {
        mIKJointAngle[legLink(left, i)] = uLINK[legLink(left, i)].q;
    }
    return true;
}

void Kinematic::printLink(int j) const {
    if (j == 0 || !validLink(j)) {
        return;
    }
    const Link& link = uLINK[j];
    std::printf("j = %d : %s, %.3f\n", j, link.name.c_str(), gRadToDeg(link.q));
    printLink(link.child);
    printLink(link.sister);
}
