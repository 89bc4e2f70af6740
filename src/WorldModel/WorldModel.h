#ifndef TOVRA_WORLDMODEL_WORLDMODEL_H
#define TOVRA_WORLDMODEL_WORLDMODEL_H

#include <string>
#include <vector>

#include "Agent_Roles/Self.h"
#include "WorldModel/Types.h"

// The single store of what the agent believes: the raw readings of the last
// perceptor message, its own pose, one observation record per field object,
// the measured joint angles, its own body and the teammates' reports.
//
// Frames: global positions are field metres (own goal at x = -15, y to the
// left, z up); localPos is the head frame (x forward, y left, z up). Angles
// are degrees, times are server times in seconds.
//
// Freshness ("confidence") of an entry is 10 - (now - time stamp): exactly 10
// means refreshed by the current message, every second of age lowers it by 1.
class WorldModel {
public:
    static WorldModel* instance();
    static void deleteT();

    // --- Readings stored by the perceptor parser -------------------------
    void setServerTime(double time) { mServerTime = time; }
    double getServerTime() const { return mServerTime; }
    void setGameTime(double time) { mGameTime = time; }
    double getGameTime() const { return mGameTime; }
    // A change of play mode re-arms the beam flag.
    void setGameState(PlayMode mode);
    PlayMode getGameState() const { return mGameState; }
    void setTeamSide(TeamSide side) { mTeamSide = side; }
    TeamSide getTeamSide() const { return mTeamSide; }
    void setAcc(const Vector3f& acc) { mAcc = acc; }
    Vector3f getAcc() const { return mAcc; }
    void setGyro(const Vector3f& gyro) { mGyro = gyro; }
    Vector3f getGyro() const { return mGyro; }
    void setLeftFootForce(const FRPSense& frp) { leftFRP = frp; }
    FRPSense getLeftFootForce() const { return leftFRP; }
    void setRightFootForce(const FRPSense& frp) { rightFRP = frp; }
    FRPSense getRightFootForce() const { return rightFRP; }
    void setLeftTouchVal(int value) { lTouchVal = value; }
    int getLeftTouchVal() const { return lTouchVal; }
    void setRightTouchVal(int value) { rTouchVal = value; }
    int getRightTouchVal() const { return rTouchVal; }
    void setCommunicationString(const std::string& msg, double time);
    std::string getCommunicationString() const { return mComStr; }
    double getTimeLastHeard() const { return mTimeLastHeard; }
    // Stores distance, theta and phi of vs in the entry of obj, with its
    // head-frame position and the current server time as time last seen.
    bool setObjectVision(Object obj, const VisionSense& vs);

    // --- Identity, set once at start-up ------------------------------------
    void setTeamName(const std::string& name) { mTeamName = name; }
    std::string getTeamName() const { return mTeamName; }
    void setUnum(int n) { unum = n; }
    int getUnum() const { return unum; }
    // TEAMMATE_1 + unum - 1.
    Object getMyObject() const;
    // TEAMMATE_1 + n - 1.
    Object getOurPlayer(int n) const;

    // --- Own state ---------------------------------------------------------
    void setMyPos(const Vector3f& pos) { mMyPos = pos; }
    Vector3f getMyPos() const { return mMyPos; }
    void setMyAngle(double angle) { mMyAngle = angle; }
    double getMyAngle() const { return mMyAngle; }
    int getCurrentCycle() const { return mCurrentCycle; }
    bool getDribbleBall() const { return isDribbleBall; }
    void setDribbleBall(bool dribble) { isDribbleBall = dribble; }
    Self getMySelf() const { return mySelf; }
    // Ball position relative to the body (head pan and tilt removed).
    Vector3f getBallRelPos() const { return Body_Ball_Rel_Pos; }
    void setBallRelPos(const Vector3f& pos) { Body_Ball_Rel_Pos = pos; }

    // --- Objects -------------------------------------------------------------
    // A copy of the entry; an object never seen reads with the defaults.
    VisionSense getObjectVision(Object obj) const;
    double getObjectTimeLastSeen(Object obj) const;
    // Joint angle in degrees; a joint never measured reads 0.
    double getJointAngle(JointID joint) const;
    bool setJointVel(JointID joint, double vel);
    double getJointVel(JointID joint) const;
    void setIsObjectFallDown(Object obj, bool fallen);
    // An object without a flag reads false.
    bool getIsObjectFallDown(Object obj) const;
    // The last ball-distance report of a teammate; OBJECT_MAX (and any
    // object outside BALL..TEAMMATE_11) gives the last slot.
    sayDistanceToBallInfo getSayDisanceToBallInfo(Object obj) const;

    // --- Confidences -------------------------------------------------------
    double getLocalConfidence(Object obj) const;
    double getGlobalConfidence(Object obj) const;
    // The freshness of the agent's own localization.
    double getGlobalConfidence() const;

    // --- Play mode ---------------------------------------------------------
    bool canBeam() const;
    void setBeamed() { beamed = true; }
    bool isBeamed() const { return beamed; }
    // The opponents restart the game.
    bool getKickOffOther() const;
    // We restart the game.
    bool getKickOffUs() const;

    // --- Derived queries ---------------------------------------------------
    Vector3f getBallPos() const;
    // Horizontal distance of the ball's head-frame position.
    double getBallDist() const;
    bool canSeeBall() const;
    // Three different landmarks of one end, seen within the last 0.06 s,
    // with at least one corner flag and one goal post among them.
    bool canSeeFlags() const;
    // Opponents' goal post 1 (n = 1) or 2 (otherwise): global and head frame.
    Vector3f getEnemyGoalPosition(int n) const;
    Vector3f getEnemyRelPosition(int n) const;
    Vector3f getEnemyGoalCenter() const;
    // The freshly localized teammate nearest the ball; the agent itself when
    // none is nearer than 1000 m.
    Object getOurClosestToBall() const;
    // The freshly localized opponent nearest the ball, or OBJECT_MAX.
    Object getEnemyClosestToBall() const;
    // Global positions of the freshly localized opponents, in Object order.
    std::vector<Vector3f> getOppMap() const;
    // Bearing of an object relative to the torso (theta plus head pan).
    double getBodyRelAngle(Object obj) const;
    // Bearing of a global point relative to the body heading, in (-180, 180].
    double getBodyRelAngle(const Vector3f& pos) const;
    // Horizontal position relative to the torso (x forward, y left, z = 0).
    Vector3f getBodyRelPos(Object obj) const;
    Vector3f getBodyRelPos(const Vector3f& pos) const;
    // Head-frame offset to global position: mMyPos - R * rel.
    Vector3f translate(const Vector3f& rel) const;
    // Global point to head-frame position.
    Vector3f getRelPos(const Vector3f& pos) const;

    // --- Per-cycle update (WorldModelUpdate.cpp) ---------------------------
    // Localization, fall detection, the heard-message decoder, the cycle
    // counter and the body-part update, in this order.
    void globalize();
    // The 24 body parts from the measured joint angles: head frame, then
    // global frame.
    void updateSelf();

    // --- Team talk (WorldModelTalk.cpp) --------------------------------------
    // A 17-byte message: a position report, or a ball-distance report when
    // the own localization is stale and the ball is seen now.
    std::string getSayEncoded() const;
    // Merges the last heard teammate message into the store.
    void getSayDecoded();

    // --- Field queries (WorldModelFieldQueries.cpp) --------------------------
    // No localized opponent among the first eight within 0.3 m of the line
    // through myPosition and targetPos. The list argument is not consulted.
    bool currentWayAvailiablee(const Vector3f& myPosition, const Vector3f& targetPos,
                               const std::vector<Vector3f>& oppRobots) const;
    // The same within 0.2 m of the line through myPosition along the heading
    // myBodyAngle (degrees).
    bool currentWayAvailiable(const Vector3f& myPosition, float myBodyAngle,
                              const std::vector<Vector3f>& oppRobots) const;
    // A free heading for passing or dribbling, else the bearing to the
    // opponents' goal centre.
    double getAnglePass() const;
    // The own heading when it points into the opponents' goal mouth, else the
    // bearing to its centre.
    double getAngleToGoal() const;
    // Which way to turn so that the heading points into the opponents' goal
    // mouth: 0 on target, -3 / 3 beside it, -2 / 2 when facing backwards.
    int isAvailiableWay();

    // Observation records by object and measured joint angles (degrees);
    // the perceptor parser and localization write these directly.
    TObjectToVisionMap mObjectToVisionMap;
    TJointIDToAngleMap mJointIDToAngleMap;

private:
    WorldModel();
    WorldModel(const WorldModel&) = delete;
    WorldModel& operator=(const WorldModel&) = delete;

    // The stored entry of obj, or null when it was never written.
    const VisionSense* findVision(Object obj) const;

    static WorldModel* handleT;

    double mServerTime;
    double mGameTime;
    bool isDribbleBall;
    PlayMode mGameState;
    TeamSide mTeamSide;
    std::string mTeamName;
    int unum;
    std::string mComStr;
    double mTimeLastHeard;
    Vector3f mAcc;
    Vector3f mGyro;
    FRPSense leftFRP;
    FRPSense rightFRP;
    int lTouchVal;
    int rTouchVal;
    double mBattery;
    Vector3f mMyPos;
    double mMyAngle;
    int mCurrentCycle;
    bool beamed;
    Vector2f mBallVel;
    Self mySelf;
    Matrix R;
    Vector3f Body_Ball_Rel_Pos;
    Vector3f dribbleDes;
    TIsFallDownMap mIsFallDownMap;
    sayDistanceToBallInfo playerDistanceToBall[13];
    // Heading and position remembered by isAvailiableWay while the own
    // localization is stale.
    bool mWayRemembered = false;
    double mWayHeading = 0;
    Vector3f mWayPos;
};

#endif
