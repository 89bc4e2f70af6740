#ifndef TOVRA_WORLDMODEL_FALLDOWNRECOGNITION_H
#define TOVRA_WORLDMODEL_FALLDOWNRECOGNITION_H

#include "WorldModel/Types.h"

class WorldModel;

// Decides once per cycle whether the agent lies on the ground, and on request
// in which direction it fell. The foot-force, accelerometer and gyroscope
// readings are smoothed over the last six cycles in rings indexed by the
// world model's cycle counter.
class FallDownRecognition {
public:
    static FallDownRecognition* instance();
    static void deleteT();

    // Records the current readings and returns the verdict: fallen when the
    // mean total foot force is below 12 N or the mean sideways or forward
    // acceleration exceeds 7.5 m/s^2.
    bool isFallDown();
    // The direction of the fall from the current means; stored and returned.
    FeltType feltType();
    // isFallDown() and, when fallen, feltType(); FT_NONE otherwise.
    FeltType getFeltType();

    double getMeanForce() const { return cFRP; }
    Vector3f getMeanAcc() const { return cACC; }
    Vector3f getMeanGyro() const { return cGyro; }

private:
    FallDownRecognition();
    FallDownRecognition(const FallDownRecognition&) = delete;
    FallDownRecognition& operator=(const FallDownRecognition&) = delete;

    static FallDownRecognition* handleT;
    static const int kCapacity = 15;

    WorldModel* WM;
    const double FRPc1;
    double qFRP[kCapacity];
    double cFRP;
    const Vector3f ACCcf;
    const Vector3f ACCcb;
    Vector3f qACC[kCapacity];
    Vector3f cACC;
    Vector3f qGyro[kCapacity];
    Vector3f cGyro;
    const int qLength;
    bool bIsDown;
    FeltType ftLastFeltType;
    // The rings hold nothing yet: the first readings fill every slot, so a
    // standing robot is not read as fallen before six cycles have passed.
    bool mEmpty;
};

#endif
