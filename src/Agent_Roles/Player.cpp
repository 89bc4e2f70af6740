#include "Agent_Roles/Player.h"

const Player::Field Player::kRelPos[5] = {&Player::relHeadPos, &Player::relRLowerArmPos,
                                          &Player::relLLowerArmPos, &Player::relRFootPos,
                                          &Player::relLFootPos};
const Player::Field Player::kPos[5] = {&Player::headPos, &Player::rLowerArmPos,
                                       &Player::lLowerArmPos, &Player::rFootPos, &Player::lFootPos};
const Player::Field Player::kVel[5] = {&Player::headVel, &Player::rLowerArmVel,
                                       &Player::lLowerArmVel, &Player::rFootVel, &Player::lFootVel};

Player::Player() : timeSeen(0), timePrevSeen(0), id(0), type(PT_ATTACKER), Teammate(false) {}

void Player::setTimeSeen(double t) {
    timeSeen = t;
    if (t == 0) {
        timePrevSeen = 0;
    }
}

Player::Field Player::slot(BodyID part, const Field (&group)[5]) {
    switch (part) {
        case Head:
            return group[0];
        case RLowerArm:
            return group[1];
        case LLowerArm:
            return group[2];
        case RFoot:
            return group[3];
        case LFoot:
            return group[4];
        default:
            return nullptr;
    }
}

Vector3f Player::getRelPos(BodyID part) const {
    const Field f = slot(part, kRelPos);
    return f ? this->*f : Vector3f();
}

void Player::setRelPos(BodyID part, const Vector3f& pos) {
    if (const Field f = slot(part, kRelPos)) {
        this->*f = pos;
    }
}

Vector3f Player::getPos(BodyID part) const {
    const Field f = slot(part, kPos);
    return f ? this->*f : Vector3f();
}

void Player::setPos(BodyID part, const Vector3f& pos) {
    if (const Field f = slot(part, kPos)) {
        this->*f = pos;
    }
}

Vector3f Player::getVel(BodyID part) const {
    const Field f = slot(part, kVel);
    return f ? this->*f : Vector3f();
}

void Player::setVel(BodyID part, const Vector3f& vel) {
    if (const Field f = slot(part, kVel)) {
        this->*f = vel;
    }
}

Vector3f Player::getCOMPos() const {
    return (headPos + rLowerArmPos + lLowerArmPos + rFootPos + lFootPos) / 5.0f;
}

Vector3f Player::getCOMVel() const {
    return (headVel + rLowerArmVel + lLowerArmVel + rFootVel + lFootVel) / 5.0f;
}
