#ifndef TOVRA_AGENT_ROLES_PLAYER_H
#define TOVRA_AGENT_ROLES_PLAYER_H

#include <string>

#include "WorldModel/Types.h"

// A seen player: when it was seen, who it is, and the head-frame positions,
// global positions and velocities of its head, lower arms and feet. The body
// part accessors serve only Head, RLowerArm, LLowerArm, RFoot and LFoot; other
// parts are ignored by the setters and read as (0, 0, 0).
class Player {
public:
    Player();
    virtual ~Player() = default;

    // Stores t; a time of 0 also resets the previous sighting to 0.
    void setTimeSeen(double t);
    double getTimeSeen() const { return timeSeen; }
    double getTimePrevSeen() const { return timePrevSeen; }
    void setTimePrevSeen(double t) { timePrevSeen = t; }
    // timeSeen - timePrevSeen.
    double getTimeDiff() const { return timeSeen - timePrevSeen; }

    int getId() const { return id; }
    void setId(int n) { id = n; }
    const std::string& getTeamName() const { return teamName; }
    void setTeamName(const std::string& name) { teamName = name; }
    PlayerType getType() const { return type; }
    void setType(PlayerType t) { type = t; }
    bool isTeammate() const { return Teammate; }
    void setTeammate(bool teammate) { Teammate = teammate; }

    Vector3f getRelPos(BodyID part) const;
    void setRelPos(BodyID part, const Vector3f& pos);
    Vector3f getPos(BodyID part) const;
    void setPos(BodyID part, const Vector3f& pos);
    Vector3f getVel(BodyID part) const;
    void setVel(BodyID part, const Vector3f& vel);

    // Plain mean of the five global positions (velocities).
    Vector3f getCOMPos() const;
    Vector3f getCOMVel() const;

protected:
    double timeSeen;
    double timePrevSeen;
    int id;
    std::string teamName;
    PlayerType type;
    bool Teammate;
    Vector3f relHeadPos;
    Vector3f relRLowerArmPos;
    Vector3f relLLowerArmPos;
    Vector3f relRFootPos;
    Vector3f relLFootPos;
    Vector3f headPos;
    Vector3f rLowerArmPos;
    Vector3f lLowerArmPos;
    Vector3f rFootPos;
    Vector3f lFootPos;
    Vector3f headVel;
    Vector3f rLowerArmVel;
    Vector3f lLowerArmVel;
    Vector3f rFootVel;
    Vector3f lFootVel;

private:
    typedef Vector3f Player::*Field;
    // The field of one of the five served parts (head, right and left lower
    // arm, right and left foot) in a group of five, or null for other parts.
    static Field slot(BodyID part, const Field (&group)[5]);
    static const Field kRelPos[5];
    static const Field kPos[5];
    static const Field kVel[5];
};

#endif
