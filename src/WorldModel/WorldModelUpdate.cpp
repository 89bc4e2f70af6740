// The per-cycle world update: localization, fall detection, the heard
// message, the cycle counter and the positions of the agent's body parts.

#include "Math/MyMath.h"
#include "WorldModel/FallDownRecognition.h"
#include "WorldModel/Localization.h"
#include "WorldModel/WorldModel.h"

namespace {

const Vector3f kOrigin(0, 0, 0);

// v rotated by angle degrees (right-handed) about the axis through the origin.
Vector3f rot(const Vector3f& v, const Vector3f& axis, double angle) {
    return rotateAroundLine(v, axis, angle, kOrigin);
}

struct ArmParts {
    BodyID shoulder, upperArm, elbow, lowerArm;
    JointID pitch, roll, elbowRoll;
    float side;  // +1 left, -1 right
};

struct LegParts {
    BodyID hip, thigh, knee, shank, ankle, foot;
    JointID yawPitch, roll, pitch, kneePitch, anklePitch, ankleRoll;
    float side;  // +1 left, -1 right
};

}  // namespace

void WorldModel::globalize() {
    Localization::instance()->localize();
    setIsObjectFallDown(getMyObject(), FallDownRecognition::instance()->isFallDown());
    getSayDecoded();
    ++mCurrentCycle;
    updateSelf();
}

void WorldModel::updateSelf() {
    // Body frame: origin at the head, axes of the torso (x forward, y left,
    // z up), metres. Each part is its parent plus an offset turned by the
    // joints between them.
    Vector3f pos[BID_MAX];
    pos[Neck] = Vector3f(0, 0, -0.065f);
    pos[Torso] = Vector3f(0, 0, -0.155f);

    const ArmParts arms[2] = {
        {RShoulder, RUpperArm, RElbow, RLowerArm, JID_RARM_1, JID_RARM_2, JID_RARM_4, -1},
        {LShoulder, LUpperArm, LElbow, LLowerArm, JID_LARM_1, JID_LARM_2, JID_LARM_4, 1},
    };
    for (const ArmParts& arm : arms) {
        Matrix m;
        m.RotationZ(gDegToRad(static_cast<float>(-getJointAngle(arm.roll))));
        m.RotateY(gDegToRad(static_cast<float>(-getJointAngle(arm.pitch))));
        pos[arm.shoulder] = pos[Torso] + Vector3f(0, 0.098f * arm.side, 0.075f);
        pos[arm.upperArm] = pos[arm.shoulder] + m.Rotate(Vector3f(-0.02f, 0.01f * arm.side, 0));
        pos[arm.elbow] = pos[arm.upperArm] + m.Rotate(Vector3f(0.07f, 0.01f * arm.side, 0.009f));
        pos[arm.lowerArm] =
            pos[arm.elbow] + rot(m.Rotate(Vector3f(0.05f, 0, 0)), m.Rotate(Vector3f(0, 0, 1)),
                                 -getJointAngle(arm.elbowRoll));
    }

    const LegParts legs[2] = {
        {LHip, LThigh, LKnee, LShank, LAnkle, LFoot, JID_LLEG_1, JID_LLEG_2, JID_LLEG_3, JID_LLEG_4,
         JID_LLEG_5, JID_LLEG_6, 1},
        {RHip, RThigh, RKnee, RShank, RAnkle, RFoot, JID_RLEG_1, JID_RLEG_2, JID_RLEG_3, JID_RLEG_4,
         JID_RLEG_5, JID_RLEG_6, -1},
    };
    // The legs turn as the leg kinematic model has them, the model the walk
    // engine and the simulated robot share: the same axes, senses and order
    // along the chain. A positive angle turns right-handed about: hip
    // yaw-pitch (0, 1, -1) on the left and (0, 1, 1) on the right, mirror
    // images of each other; then hip roll x, hip pitch -y, knee -y, ankle
    // pitch -y and ankle roll x, each axis carried along by the joints before
    // it. So a positive roll of either hip or ankle moves the foot to the
    // left, and a positive hip pitch swings the leg forward.
    for (const LegParts& leg : legs) {
        const Vector3f hipAxis(0, -1, leg.side);
        const double yawPitch = -getJointAngle(leg.yawPitch);
        const double knee = -getJointAngle(leg.kneePitch);
        const double anklePitch = -getJointAngle(leg.anklePitch);
        const double ankleRoll = getJointAngle(leg.ankleRoll);
        Matrix m;
        m.RotationX(gDegToRad(static_cast<float>(getJointAngle(leg.roll))));
        m.RotateY(gDegToRad(static_cast<float>(-getJointAngle(leg.pitch))));

        // Each later axis is itself turned by every earlier joint of the leg.
        const auto throughHip = [&](const Vector3f& v) {
            return rot(m.Rotate(v), hipAxis, yawPitch);
        };
        const Vector3f kneeAxis = throughHip(Vector3f(0, 1, 0));
        const auto throughKnee = [&](const Vector3f& v) {
            return rot(throughHip(v), kneeAxis, knee);
        };
        const Vector3f pitchAxis = throughKnee(Vector3f(0, 1, 0));
        const Vector3f rollAxis = rot(throughKnee(Vector3f(1, 0, 0)), pitchAxis, anklePitch);

        pos[leg.hip] = pos[Torso] + Vector3f(-0.01f, 0.055f * leg.side, -0.115f);
        pos[leg.thigh] = pos[leg.hip] + throughHip(Vector3f(0.01f, 0, -0.04f));
        // The knee part is the thigh's lower end. The shank turns about the
        // knee joint, 0.005 forward of the hip joint and 0.12 below it; with
        // the knee straight the shank and ankle lie 0.005 forward and 0.055
        // below the knee part, and 0.055 below that again 0.01 back.
        pos[leg.knee] = pos[leg.thigh] + throughHip(Vector3f(0, 0, -0.07f));
        const Vector3f kneeJoint = pos[leg.hip] + throughHip(Vector3f(0.005f, 0, -0.12f));
        pos[leg.shank] = kneeJoint + throughKnee(Vector3f(0.01f, 0, -0.045f));
        pos[leg.ankle] = kneeJoint + throughKnee(Vector3f(0, 0, -0.1f));
        const Vector3f toFoot =
            rot(rot(throughKnee(Vector3f(0.03f, 0, -0.035f)), pitchAxis, anklePitch), rollAxis,
                ankleRoll);
        pos[leg.foot] = pos[leg.ankle] + toFoot;
    }

    // Into the camera frame (head pan and tilt undone), then global.
    const double pan = getJointAngle(JID_HEAD_1);
    const double tilt = getJointAngle(JID_HEAD_2);
    mySelf.setMyRelPos(Head, kOrigin);
    mySelf.setMyPos(Head, translate(kOrigin));
    for (int i = Neck; i < BID_MAX; ++i) {
        const BodyID part = static_cast<BodyID>(i);
        Vector3f p = rot(pos[part], Vector3f(0, 0, 1), -pan);
        p = rot(p, Vector3f(0, 1, 0), tilt);
        mySelf.setMyRelPos(part, p);
        mySelf.setMyPos(part, translate(p));
    }
}
