#ifndef TOVRA_AGENT_ROLES_SELF_H
#define TOVRA_AGENT_ROLES_SELF_H

#include "Agent_Roles/Player.h"
#include "WorldModel/Types.h"

// The agent's own body: one position (head frame and global), velocity and
// fixed mass per BodyID, and a velocity slot per joint. Indices outside the
// tables are ignored by the setters and read as zero.
class Self : public Player {
public:
    Self();

    // Mass-weighted mean of the head-frame part positions.
    Vector3f getCOM() const;

    Vector3f getMyRelPos(BodyID part) const;
    void setMyRelPos(BodyID part, const Vector3f& pos);
    // Writes the Head slot.
    void setMyRelPos(const Vector3f& pos);
    Vector3f getMyPos(BodyID part) const;
    void setMyPos(BodyID part, const Vector3f& pos);
    Vector3f getMyVel(BodyID part) const;
    void setMyVel(BodyID part, const Vector3f& vel);
    double getMyJointsVel(JointID joint) const;
    void setMyJointsVel(JointID joint, double vel);
    double getMass(BodyID part) const;

protected:
    Vector3f relPartsPos[BID_MAX];
    Vector3f partsPos[BID_MAX];
    Vector3f partsVel[BID_MAX];
    double mass[BID_MAX];
    double myJointsAngle[JID_MAX];
    double myJointsVel[JID_MAX];
    double myAngle;
    double myPhiAngle;
};

#endif
