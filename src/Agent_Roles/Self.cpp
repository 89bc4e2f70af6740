#include "Agent_Roles/Self.h"

namespace {

bool validPart(BodyID part) {
    return part >= Head && part < BID_MAX;
}

bool validJoint(JointID joint) {
    return joint >= JID_HEAD_1 && joint < JID_MAX;
}

}  // namespace

Self::Self() : myJointsAngle(), myJointsVel(), myAngle(0), myPhiAngle(0) {
    mass[Head] = 0.35;
    mass[Neck] = 0.05;
    mass[BNeck] = 0;
    mass[Torso] = 1.2171;
    mass[RShoulder] = mass[LShoulder] = 0.07;
    mass[RUpperArm] = mass[LUpperArm] = 0.15;
    mass[RElbow] = mass[LElbow] = 0.035;
    mass[RLowerArm] = mass[LLowerArm] = 0.2;
    mass[RHip] = mass[LHip] = 0.215;
    mass[RThigh] = mass[LThigh] = 0.275;
    mass[RKnee] = mass[LKnee] = 0;
    mass[RShank] = mass[LShank] = 0.225;
    mass[RAnkle] = mass[LAnkle] = 0.125;
    mass[RFoot] = mass[LFoot] = 0.2;
}

Vector3f Self::getCOM() const {
    double sx = 0, sy = 0, sz = 0, total = 0;
    for (int i = 0; i < BID_MAX; ++i) {
        sx += mass[i] * relPartsPos[i].x();
        sy += mass[i] * relPartsPos[i].y();
        sz += mass[i] * relPartsPos[i].z();
        total += mass[i];
    }
    return Vector3f(static_cast<float>(sx / total), static_cast<float>(sy / total),
                    static_cast<float>(sz / total));
}

Vector3f Self::getMyRelPos(BodyID part) const {
    return validPart(part) ? relPartsPos[part] : Vector3f();
}

void Self::setMyRelPos(BodyID part, const Vector3f& pos) {
    if (validPart(part)) {
        relPartsPos[part] = pos;
    }
}

void Self::setMyRelPos(const Vector3f& pos) {
    relPartsPos[Head] = pos;
}

Vector3f Self::getMyPos(BodyID part) const {
    return validPart(part) ? partsPos[part] : Vector3f();
}

void Self::setMyPos(BodyID part, const Vector3f& pos) {
    if (validPart(part)) {
        partsPos[part] = pos;
    }
}

Vector3f Self::getMyVel(BodyID part) const {
    return validPart(part) ? partsVel[part] : Vector3f();
}

void Self::setMyVel(BodyID part, const Vector3f& vel) {
    if (validPart(part)) {
        partsVel[part] = vel;
    }
}

double Self::getMyJointsVel(JointID joint) const {
    return validJoint(joint) ? myJointsVel[joint] : 0.0;
}

void Self::setMyJointsVel(JointID joint, double vel) {
    if (validJoint(joint)) {
        myJointsVel[joint] = vel;
    }
}

double Self::getMass(BodyID part) const {
    return validPart(part) ? mass[part] : 0.0;
}
