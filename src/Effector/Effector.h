#ifndef TOVRA_EFFECTOR_EFFECTOR_H
#define TOVRA_EFFECTOR_EFFECTOR_H

#include <boost/shared_array.hpp>
#include <cstdint>
#include <string>

#include "Effector/Kinematic.h"
#include "WorldModel/Types.h"

// Holds the robot's current joint angles and the joint velocities to send
// (radians, radians per second, both indexed by EJointID) and turns the
// velocity table into the command text for all 22 joints.
class Effector {
public:
    static Effector* instance();
    static void deleteT();

    // The effector names in JointID order.
    void setupEffName();
    // mCurrentCycle from the world model's server time; an unusable time
    // (not finite, negative, too large) keeps the previous value.
    void updateCycle();
    // The world model's cycle counter.
    int getCurrentCycle() const;
    // Joint angles from the links' q; every velocity back to 0.
    void updateJointAngle(boost::shared_array<Link> links);
    // "(he1 v)(he2 v)(lle1 v)(rle1 v)...(rae4 v)"; empty while mIsDone.
    std::string setActionCommand() const;
    // Arm-swing velocities of the left ("lae1") and right ("rae1") shoulder
    // towards `angle` (degrees), at most maxVel degrees per cycle.
    void calculateVel1(float angle, float maxVel);
    void calculateVel2(float angle, float maxVel);
    // The six left-leg, then the six right-leg velocities.
    std::string getmyjoint() const;

    bool getIsDone() const { return mIsDone; }
    void setIsDone(bool done) { mIsDone = done; }
    boost::shared_array<float> getJointAngle() { return mJointAngle; }
    boost::shared_array<float> getJointVel() { return mJointVel; }

    static constexpr int SLOTS = 24;  // EJointID 0..23

    std::uint32_t mCurrentCycle;
    std::string mEffectorName[JID_MAX];
    bool mIsDone;
    boost::shared_array<float> mJointAngle;
    boost::shared_array<float> mJointVel;

private:
    Effector();
    Effector(const Effector&) = delete;
    Effector& operator=(const Effector&) = delete;

    void shoulderVel(int link, float angle, float maxVel);

    static Effector* handleT;
};

#endif
