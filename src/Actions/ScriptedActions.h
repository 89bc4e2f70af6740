#ifndef TOVRA_ACTIONS_SCRIPTEDACTIONS_H
#define TOVRA_ACTIONS_SCRIPTEDACTIONS_H

#include <string>
#include <vector>

#include "Actions/Action.h"

// The actions scripted in code: the built-in kick, the head sweep and the
// omnidirectional walk.

// A kick played from a built-in key-frame table. It first brings the
// shoulders to -45 degrees and the legs straight, then runs its key frames
// (cycle numbers 2 to 150) and brings every joint back towards 0. The table
// is written for the right foot holding and mirrored when the dispatcher
// says the left foot holds.
class Kick : public Action {
public:
    // The sixteen joints of a key frame, in the table's order.
    enum ShootJointIndex {
        S_RAE1,
        S_LAE1,
        S_RAE2,
        S_LAE2,
        S_RLE1,
        S_LLE1,
        S_RLE2,
        S_LLE2,
        S_RLE3,
        S_LLE3,
        S_RLE4,
        S_LLE4,
        S_RLE5,
        S_LLE5,
        S_RLE6,
        S_LLE6,
        S_COUNT
    };
    static constexpr int FRAMES = 10;

    // Key-frame end cycles and, per joint and frame, the value sent.
    struct shootJoint {
        int time[FRAMES];
        double value[S_COUNT][FRAMES];
    };

    Kick();

    std::string execute(std::vector<std::string> params) override;

    // Reads the built-in table, mirrored for the left foot holding.
    void importShootJoint(bool leftHold);

    const shootJoint& getShootJoint() const { return mShoot; }
    bool isPrepared() const { return prepared; }
    bool isDone() const { return done; }
    int getCounter() const { return counter; }

private:
    // One cycle towards the kick posture; starts the kick once it is reached.
    std::string prepare();
    // One cycle of the key frames or of the bring-back.
    std::string kickCycle();
    // The velocity the effector's arm swing would use, stored in the world
    // model.
    void storeVel(JointID joint, float angle, float maxVel);
    bool postureReached() const;
    std::string allZero() const;

    shootJoint mShoot;
    bool prepared;
    bool done;
    int counter;
    int frame;
};

// Sweeps the head pan joint to one side (+120 or -120 degrees) to look for
// landmarks and back to the centre. Without landmarks it keeps sweeping from
// side to side; once enough landmarks have been seen it ends at the centre.
class HeadLeftRight : public Action {
public:
    enum MoveTo { NONE, LEFT, RIGHT };
    enum Phase { MOVE, RETURN };

    HeadLeftRight();

    std::string execute(std::vector<std::string> params) override;

    MoveTo getDirection() const { return direction; }
    Phase getPhase() const { return mPhase; }

private:
    // The side to sweep to from the landmarks seen in the last 0.07 s.
    MoveTo chooseDirection() const;

    MoveTo direction;
    Phase mPhase;
    bool seen;
};

// The omnidirectional walk: one cycle of the walk engine with the side, speed
// and turn held by the dispatcher. The text is empty in a cycle in which a
// walking step has finished and no new order has come.
class WalkOmni : public Action {
public:
    WalkOmni();

    std::string execute(std::vector<std::string> params) override;
};

#endif
