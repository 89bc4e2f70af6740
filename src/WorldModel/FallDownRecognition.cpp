#include "WorldModel/FallDownRecognition.h"

#include <cmath>

#include "WorldModel/WorldModel.h"

FallDownRecognition* FallDownRecognition::handleT = nullptr;

namespace {

// Mean horizontal acceleration beyond which the robot lies (m/s^2).
const double kAccLimit = 7.5;
// Classification of the fall: gyroscope rate (degrees per second) and
// acceleration (m/s^2).
const double kGyroLimit = 75;
const double kAccTilt = 7;

}  // namespace

FallDownRecognition* FallDownRecognition::instance() {
    if (handleT == nullptr) {
        handleT = new FallDownRecognition();
    }
    return handleT;
}

void FallDownRecognition::deleteT() {
    delete handleT;
    handleT = nullptr;
}

FallDownRecognition::FallDownRecognition()
    : WM(WorldModel::instance()),
      FRPc1(12.0),
      qFRP(),
      cFRP(0),
      qLength(6),
      bIsDown(false),
      ftLastFeltType(FT_NONE),
      mEmpty(true) {}

bool FallDownRecognition::isFallDown() {
    const double force =
        static_cast<double>(WM->getLeftFootForce().force.z()) + WM->getRightFootForce().force.z();
    const Vector3f gyro = WM->getGyro();
    const Vector3f acc = WM->getAcc();
    if (mEmpty) {
        for (int i = 0; i < qLength; ++i) {
            qFRP[i] = force;
            qGyro[i] = gyro;
            qACC[i] = acc;
        }
        mEmpty = false;
    }
    const int slot = ((WM->getCurrentCycle() % qLength) + qLength) % qLength;
    qFRP[slot] = force;
    qGyro[slot] = gyro;
    qACC[slot] = acc;

    double forceSum = 0;
    Vector3f accSum;
    Vector3f gyroSum;
    for (int i = 0; i < qLength; ++i) {
        forceSum += qFRP[i];
        accSum += qACC[i];
        gyroSum += qGyro[i];
    }
    cFRP = forceSum / qLength;
    cACC = accSum / static_cast<float>(qLength);
    cGyro = gyroSum / static_cast<float>(qLength);

    const bool fallen =
        cFRP < FRPc1 || std::fabs(cACC.x()) > kAccLimit || std::fabs(cACC.y()) > kAccLimit;
    if (fallen) {
        bIsDown = true;
    }
    return fallen;
}

FeltType FallDownRecognition::feltType() {
    const double gx = cGyro.x();
    const double gy = cGyro.y();
    const double ax = cACC.x();
    const double ay = cACC.y();
    const bool rollDominates = std::fabs(gx) > std::fabs(gy);
    const bool pitchDominates = std::fabs(gy) > std::fabs(gx);
    if ((rollDominates && gx > 0 && gx > kGyroLimit) || ay > kAccTilt) {
        ftLastFeltType = FT_BACK;
    } else if ((rollDominates && gx < 0 && gx < -kGyroLimit) || ay < -kAccTilt) {
        ftLastFeltType = FT_FRONT;
    } else if ((pitchDominates && gx > 0 && gy < -kGyroLimit) || ax < -kAccTilt) {
        ftLastFeltType = FT_RIGHT;
    } else {
        ftLastFeltType = FT_LEFT;
    }
    return ftLastFeltType;
}

FeltType FallDownRecognition::getFeltType() {
    if (isFallDown()) {
        return feltType();
    }
    return FT_NONE;
}
