#ifndef TOVRA_WORLDMODEL_TYPES_H
#define TOVRA_WORLDMODEL_TYPES_H

#include <map>
#include <string>

#include "WorldModel/Type_.h"
#include "salt/gmath.h"
#include "salt/matrix.h"
#include "salt/vector.h"

// The agent's vocabulary: identifiers of everything it can see, move, do and
// be, the records declared with them, the maps built on them, the field
// constants and the server-name tables.

using salt::CARTESIAN;
using salt::Matrix;
using salt::POLAR;
using salt::Vector2f;
using salt::Vector3f;
using salt::vType;

using salt::gAbs;
using salt::gArcCos;
using salt::gArcSin;
using salt::gArcTan2;
using salt::gCos;
using salt::gDegToRad;
using salt::gIsNan;
using salt::gNormalizeDeg;
using salt::gNormalizeRad;
using salt::gRadToDeg;
using salt::gSign;
using salt::gSin;
using salt::gSqrt;
using salt::gSwap;

enum Object {
    FLAG_1L,
    FLAG_1R,
    FLAG_2L,
    FLAG_2R,
    GOAL_1L,
    GOAL_1R,
    GOAL_2L,
    GOAL_2R,
    BALL,
    TEAMMATE_1,
    TEAMMATE_2,
    TEAMMATE_3,
    TEAMMATE_4,
    TEAMMATE_5,
    TEAMMATE_6,
    TEAMMATE_7,
    TEAMMATE_8,
    TEAMMATE_9,
    TEAMMATE_10,
    TEAMMATE_11,
    OPPONENT_1,
    OPPONENT_2,
    OPPONENT_3,
    OPPONENT_4,
    OPPONENT_5,
    OPPONENT_6,
    OPPONENT_7,
    OPPONENT_8,
    OPPONENT_9,
    OPPONENT_10,
    OPPONENT_11,
    OBJECT_MAX
};

enum JointID {
    JID_HEAD_1,
    JID_HEAD_2,
    JID_LLEG_1,
    JID_RLEG_1,
    JID_LLEG_2,
    JID_RLEG_2,
    JID_LLEG_3,
    JID_RLEG_3,
    JID_LLEG_4,
    JID_RLEG_4,
    JID_LLEG_5,
    JID_RLEG_5,
    JID_LLEG_6,
    JID_RLEG_6,
    JID_LARM_1,
    JID_RARM_1,
    JID_LARM_2,
    JID_RARM_2,
    JID_LARM_3,
    JID_RARM_3,
    JID_LARM_4,
    JID_RARM_4,
    JID_MAX
};

enum BodyID {
    Head,
    Neck,
    BNeck,
    Torso,
    RShoulder,
    LShoulder,
    RUpperArm,
    LUpperArm,
    RElbow,
    LElbow,
    RLowerArm,
    LLowerArm,
    RHip,
    LHip,
    RThigh,
    LThigh,
    RKnee,
    LKnee,
    RShank,
    LShank,
    RAnkle,
    LAnkle,
    RFoot,
    LFoot,
    BID_MAX
};

// Note: the right corner kick comes before the left one.
enum PlayMode {
    PM_BeforeKickOff,
    PM_KickOff_Left,
    PM_KickOff_Right,
    PM_PlayOn,
    PM_FreeKick_Left,
    PM_FreeKick_Right,
    PM_Goal_Left,
    PM_Goal_Right,
    PM_KickIn_Left,
    PM_KickIn_Right,
    PM_Goal_Kick_Left,
    PM_Goal_Kick_Right,
    PM_Corner_Kick_Right,
    PM_Corner_Kick_Left,
    PM_Offside_Left,
    PM_Offside_Right,
    PM_GameOver,
    PM_Unknown
};

enum TeamSide { TEAM_LEFT, TEAM_RIGHT };

enum ActionType {
    UNKNOWN,
    HEAD_STILL,
    HEAD_LEFTRIGHT,
    DIVE_FRONT,
    DIVE_BACK,
    DIVE_HAND_L,
    DIVE_HAND_R,
    DIVE_LEG_L,
    DIVE_LEG_R,
    DEFEND_GOAL,
    DEFEND_GOAL_L,
    DEFEND_GOAL_R,
    CATCH_BALL,
    LIE,
    LIE_FRONT,
    LIE_BACK,
    GET_UP,
    GET_UP_FRONT,
    GET_UP_BACK,
    GET_UP_LEFT,
    GET_UP_RIGHT,
    TURN,
    TURN_L,
    TURN_R,
    FAST_TURN_L,
    FAST_TURN_R,
    SLOW_TURN_L,
    SLOW_TURN_R,
    LARGE_TURN_L,
    LARGE_TURN_R,
    WALK_OMNI,
    WALK,
    WALK_FAST,
    WALK_FORWARD,
    MINI_WALK_FORWARD,
    WALK_BACKWARD,
    WALK_LEFT,
    WALK_FAST_LEFT,
    WALK_SLOW_LEFT,
    WALK_RIGHT,
    WALK_FAST_RIGHT,
    WALK_SLOW_RIGHT,
    WALK_AROUND_BALL_L,
    WALK_AROUND_BALL_R,
    WALK_STOP,
    WALK_SIDE_L,
    WALK_SIDE_R,
    WALK_SIDE_SHORT_L,
    WALK_SIDE_SHORT_R,
    KICK_L,
    KICK_R,
    KICK,
    SHOOT,
    STEP,
    WAIT,
    SETTOZERO,
    UPDATE,
    ILLEGAL,
    ACTION_MAX
};

// Value N is the role of uniform number N.
enum RoleType {
    RT_NONE,
    RT_GOLIAR1,
    RT_GOLIAR2,
    RT_DEFENDRE_LEFT,
    RT_DEFENDER_RIGHT,
    RT_MIDDLE_LEFT,
    RT_MIDDLE_RIGHT,
    RT_ATTACKER_LEFT,
    RT_ATTACKER_MIDDLE,
    RT_ATTACKER_RIGHT,
    RT_ATTACKER_FRONT,
    RT_ATTACKER_FROWARD
};

enum SkillType {
    SKILL_UNKNOWN,
    SKILL_HORIZEN_MOVE,
    SKILL_GUARD,
    SKILL_STAY_UP,
    SKILL_SHOOT,
    SKILL_INTERCEPT,
    SKILL_GO_TO_STRATEGIC_POS,
    SKILL_WATCH_BALL,
    SKILL_UPDATE,
    SKILL_STOP,
    SKILL_MAX
};

enum FeltType { FT_NONE, FT_BACK, FT_LEFT, FT_RIGHT, FT_FRONT, FT_SIT };

enum ESide {
    SIDE_FORWARD_,
    SIDE_BACKWARD_,
    SIDE_LEFT_,
    SIDE_RIGHT_,
    SIDE_TURNLEFT_,
    SIDE_TURNRIGHT_,
    SIDE_WAIT_,
    SIDE_STEP_,
    SIDE_NONE_
};

enum Formation { F_NORMAL, F_DEFENSIVE, F_OFFENSIVE };

enum PlayerType { PT_GOALIE, PT_DEFFENDER, PT_ATTACKER };

enum TCHID { FootLeft, FootRight };

// One observation record per object. Distances in metres, angles in degrees
// relative to the camera; times are server times. -1000 means "never".
struct VisionSense {
    double distance = -1000;
    double theta = -1000;
    double phi = -1000;
    // Polar observations of another player's arms and feet; not stored by
    // the world model.
    double distanceFromRightArm = -1000;
    double thetaFromRightArm = -1000;
    double phiFromRightArm = -1000;
    double distanceFromLeftArm = -1000;
    double thetaFromLeftArm = -1000;
    double phiFromLeftArm = -1000;
    double distanceFromRightFoot = -1000;
    double thetaFromRightFoot = -1000;
    double phiFromRightFoot = -1000;
    double distanceFromLeftFoot = -1000;
    double thetaFromLeftFoot = -1000;
    double phiFromLeftFoot = -1000;
    double timeLastSeen = -1000;
    double timeLastLocalized = -1000;
    Vector3f localPos = Vector3f(-1000, -1000, -1000);
    Vector3f globalPos = Vector3f(-1000, -1000, -1000);
};

// Foot pressure: centre of pressure on the sole (metres) and force (newtons).
struct FRPSense {
    Vector3f point;
    Vector3f force;
};

// A teammate's reported distance to the ball and the time of the report.
struct sayDistanceToBallInfo {
    double seeTime = -1000;
    double distance = 1000;
};

typedef std::map<JointID, float> TJointIDToAngleMap;
typedef std::map<Object, VisionSense> TObjectToVisionMap;
typedef std::map<Object, bool> TIsFallDownMap;
typedef std::map<std::string, Object> TStringToObjectMap;
typedef std::map<JointID, std::string> TJointEffMap;
typedef std::map<std::string, PlayMode> TStateIDMap;
typedef std::map<JointID, HingeJointSense> THingeJointSenseMap;
typedef std::map<std::string, JointID> TStringToJointIDMap;
typedef std::map<TCHID, float> TTCHMap;
typedef std::map<int, Object> TSayTimeToObjectMap;
typedef std::map<int, char> TEncodingMap;
typedef std::map<char, int> TDecodingMap;

// Field and match constants: metres, seconds, kilograms.
const std::string TeamName = "KALDA";
const double FieldLength = 30.0;
const double FieldWidth = 20.0;
const double FieldHeight = 40.0;
const double GoalWidth = 2.1;
const double GoalDepth = 1.0;
const double GoalHeight = 0.8;
const double FlagHeight = 0.0;
const double PenaltyLength = 1.8;
const double PenaltyWidth = 3.9;
const int playerNo = 9;
const double FreeKickDistance = 1.3;
const double FreeKickMoveDist = 1.5;
const double GoalKickDist = 1.0;
const bool AutomaticKickOff = false;
const double WaitBeforeKickOff = 2.0;
const double HalfTime = 300.0;
const double BallRadius = 0.042;
const double BallMass = 0.026;
const double NaoHeaght = 0.57;
const int numPlayers = 11;

// Process-wide name tables: the server's names for play modes, seen objects
// and joint perceptors, and the talk alphabet. Filled by fill() at start-up.
class Types {
public:
    static TStateIDMap mPlayModeMap;
    static TStringToObjectMap mStringToObjectMap;
    static TStringToJointIDMap mStringToJointIDMap;
    static TSayTimeToObjectMap mSayTimeToObjectMap;
    static TEncodingMap mEncodingMap;
    static TDecodingMap mDecodingMap;
    // Declared for effector names, hinge readings and touch values; kept empty.
    static TJointEffMap mJointEffMap;
    static THingeJointSenseMap mHingeJointSenseMap;
    static TTCHMap mTCHMap;

    // Fills every table; each setup function clears its table first.
    static void fill();
    static void setupStringToPlayModeMap();
    static void setupStringToObjectMap();
    static void setupStringToJointIDMap();
    static void setupSayTimeToObjectMap();
    static void setupEncodingMap();
    static void setupDecodingMap();

    // Lookups that never insert. A name that is not in the table gives
    // PM_Unknown, OBJECT_MAX or JID_MAX.
    static PlayMode getPlayMode(const std::string& name);
    static Object getObject(const std::string& name);
    static JointID getJointID(const std::string& name);

    // The server's name of an identifier ("" for an identifier without one).
    // These read the fixed pairs, so they are valid even before fill().
    static std::string getPlayModeName(PlayMode mode);
    static std::string getObjectName(Object object);
    static std::string getJointName(JointID joint);

    // One digit 0..99 of the talk alphabet as a byte; digits outside the
    // range are clamped to it.
    static char encodeDigit(int digit);
    // The digit of one byte; a byte outside the alphabet gives 0.
    static int decodeDigit(char byte);
};

#endif
