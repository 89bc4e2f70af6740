// Play modes, game clock, score and the rules that move between them: the
// restarts with their ball spots and keep-out distance, the kick-off, the
// fouls that give free kicks, and robots taken out of play.
#ifndef TOVRA_SIM_REFEREE_H
#define TOVRA_SIM_REFEREE_H

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "SimMath.h"
#include "World.h"

namespace tovrasim {

// In the order of the agent's play-mode table.
enum class PlayMode {
    BeforeKickOff,
    KickOffLeft,
    KickOffRight,
    PlayOn,
    FreeKickLeft,
    FreeKickRight,
    GoalLeft,
    GoalRight,
    KickInLeft,
    KickInRight,
    GoalKickLeft,
    GoalKickRight,
    CornerKickRight,
    CornerKickLeft,
    OffsideLeft,
    OffsideRight,
    GameOver,
};

// The play-mode names of the game-state perceptor.
const char* playModeName(PlayMode m);
bool parsePlayMode(const std::string& name, PlayMode& out);
// Kick-offs, kick-ins, goal kicks, corner kicks, free kicks and offsides:
// modes in which one side restarts play.
bool isRestart(PlayMode m);
// The side that takes a restart (for offside_left: the right side).
Side restartSide(PlayMode m);

// Where a robot of `side` with number `unum` waits beside the touchline of
// its own half, facing the field: where it joins, and where it is put back
// when taken out of play. (x, y, heading in degrees; absolute frame.)
Vec3 waitingSpot(Side side, int unum);

class Referee {
public:
    // Field marks and distances of the rules (metres).
    static constexpr double kCentreCircleRadius = 2.0;
    static constexpr double kPenaltyLength = 1.8;
    static constexpr double kPenaltyWidth = 3.9;
    static constexpr double kFreeKickDistance = 1.3;
    static constexpr double kFreeKickMoveDist = 1.5;
    static constexpr double kGoalKickDist = 1.0;

    struct Config {
        double halfTime = 300.0;  // game seconds per half
        // With an automatic kick-off, BeforeKickOff lasts kickOffWait once
        // the teams are present; otherwise it lasts until kickOff().
        bool automaticKickOff = false;
        double kickOffWait = 2.0;
        double goalPause = 3.0;        // Goal_Left/Goal_Right before the kick-off
        double restartTimeout = 15.0;  // a kick-off or restart becomes PlayOn after this
        int needLeft = 1;              // robots each side needs before the kick-off
        int needRight = 1;
        double lyingLimit = 10.0;     // longer on the ground: taken out of play (0: never)
        double outsideMargin = 1.0;   // torso this far beyond a line: off the field
        int maxInOwnArea = 3;         // more defenders in their penalty area ...
        double crowdLimit = 5.0;      // ... for longer than this: a foul
        double pushLimit = 3.0;       // contact with an opponent longer: a push
        double secondTouchGap = 0.1;  // the kicker's contact paused this long: a new touch
    };

    // One robot in play after a step.
    struct RobotInfo {
        int id = -1;  // the caller's handle (the world slot), returned in moves
        Side side = Side::Left;
        int unum = 0;
        Vec3 pos;  // torso centre, absolute frame
        double heading = 0;
        bool lying = false;
        bool touched = false;       // touched the ball in the step
        std::vector<int> contacts;  // ids of the robots it touched in the step
    };

    struct Input {
        Vec3 ball;
        bool touchLeft = false;
        bool touchRight = false;
        int nLeft = 0;
        int nRight = 0;
        std::vector<RobotInfo> robots;
    };

    // A robot the referee moves. `upright`: placed standing at the spot
    // facing `heading`; otherwise shifted there as it is.
    struct Move {
        int id = -1;
        double x = 0, y = 0, heading = 0;
        bool upright = false;
    };

    // What the referee did to whom, for the trace: a foul ("double touch",
    // "crowding", "pushing") by the robot named, a robot moved ("lying",
    // "off the field" put it back beside its half; "keep out" and "kick-off"
    // moved it away from the ball or into its own half), or the end of a
    // restart ("taken" by a robot of its side, named when the contacts name
    // it, otherwise number 0; "ball moved" without a touch; "timed out").
    struct Event {
        std::string type;  // "foul", "moved" or "restart"
        std::string reason;
        Side side = Side::Left;  // a restart's: the side that takes it
        int unum = 0;
        Vec3 at;  // where it happened
        // The restart that ended; empty for the others (the mode after the
        // step is traced instead).
        std::string playMode;
    };

    struct Output {
        bool placeBall = false;
        Vec3 ballPos;
        std::vector<Move> moves;
        std::vector<Event> events;
    };

    Referee() : Referee(Config{}) {}
    explicit Referee(const Config& cfg) : mCfg(cfg) {}

    // Called after every 0.02 s step.
    Output update(double dt, const Input& in);

    // Sets the play mode from outside (control channel); restarts its timer.
    // Kick-offs put the ball at the centre, other restarts keep it where it is.
    Output setMode(PlayMode m, const Vec3& ball);
    // Starts the kick-off of the side whose turn it is (left in the first
    // half, right in the second); false outside BeforeKickOff.
    bool kickOff(Output& out);
    // Drops the ball at (x, y): play goes on from there, no side restarts.
    Output dropBall(double x, double y);

    PlayMode mode() const { return mMode; }
    double gameTime() const { return mGameTime; }
    int half() const { return mHalf; }
    int score(Side s) const { return mScore[s == Side::Left ? 0 : 1]; }
    // 0 none, 1 left, 2 right.
    int lastTouch() const { return mLastTouch; }
    bool beamAllowed() const {
        return mMode == PlayMode::BeforeKickOff || mMode == PlayMode::GoalLeft ||
               mMode == PlayMode::GoalRight;
    }
    const Config& config() const { return mCfg; }

private:
    struct Track {
        double lyingTime = 0;
        Vec3 prevPos;
        bool seen = false;
    };
    struct Push {
        double time = 0;
        double approach[2] = {0, 0};  // metres each robot moved towards the other
    };

    // Enters mode `m`; with a spot, the ball is put there.
    void enter(PlayMode m, Output& out, const Vec3* spot);
    void checkBall(const Input& in, Output& out);
    void restartRules(const Input& in, Output& out);
    void kickOffRules(const Input& in, Output& out);
    void keepOut(const Input& in, Output& out);
    void outOfPlay(double dt, const Input& in, Output& out);
    // The fouls judged in PlayOn; each gives a free kick and returns true.
    bool secondTouch(double dt, const Input& in, Output& out);
    bool crowding(double dt, const Input& in, Output& out);
    bool pushing(double dt, const Input& in, Output& out);
    void freeKick(Side fouled, const Vec3& at, const char* reason, const RobotInfo& by,
                  Output& out);
    void updateTracks(const Input& in);

    Config mCfg;
    PlayMode mMode = PlayMode::BeforeKickOff;
    double mGameTime = 0;
    double mModeTime = 0;
    double mPresentTime = 0;
    int mHalf = 1;
    int mScore[2] = {0, 0};
    int mLastTouch = 0;
    Vec3 mRestartSpot;
    Vec3 mPrevBall;
    bool mKickOffPlaced = false;
    // The robot (side * 16 + unum) that took the kick-off, watched for a
    // second touch until another robot touches the ball (-1: none).
    int mKicker = -1;
    double mKickerAway = 0;  // seconds since the kicker last touched the ball
    double mCrowdTime[2] = {0, 0};
    std::map<int, Track> mTracks;                 // by side * 16 + unum
    std::map<std::pair<int, int>, Push> mPushes;  // by the two keys, left first
};

// What the referee needs of the world after a step (robots in slot order),
// and its rulings carried out in the world.
Referee::Input observe(const World& w);
void apply(World& w, const Referee::Output& o);

}  // namespace tovrasim

#endif
