// Play modes, game clock, score and the rules that move between them.
#ifndef TOVRA_SIM_REFEREE_H
#define TOVRA_SIM_REFEREE_H

#include <string>

#include "SimMath.h"
#include "World.h"

namespace tovrasim {

enum class PlayMode {
    BeforeKickOff,
    KickOffLeft,
    KickOffRight,
    PlayOn,
    KickInLeft,
    KickInRight,
    GoalKickLeft,
    GoalKickRight,
    CornerKickLeft,
    CornerKickRight,
    GoalLeft,
    GoalRight,
    GameOver,
};

// The play-mode names of the game-state perceptor.
const char* playModeName(PlayMode m);
bool parsePlayMode(const std::string& name, PlayMode& out);

class Referee {
public:
    struct Config {
        double halfTime = 300.0;       // game seconds per half
        double kickOffDelay = 3.0;     // BeforeKickOff lasts this long once the teams are present
        double goalPause = 3.0;        // Goal_Left/Goal_Right before the kick-off
        double restartTimeout = 15.0;  // a kick-off or restart becomes PlayOn after this
        int needLeft = 1;              // robots each side needs before the kick-off
        int needRight = 1;
    };

    struct Input {
        Vec3 ball;
        bool touchLeft = false;
        bool touchRight = false;
        int nLeft = 0;
        int nRight = 0;
    };

    struct Output {
        bool placeBall = false;
        Vec3 ballPos;
    };

    Referee() : Referee(Config{}) {}
    explicit Referee(const Config& cfg) : mCfg(cfg) {}

    // Called after every 0.02 s step.
    Output update(double dt, const Input& in);

    // Sets the play mode from outside (control channel); restarts its timer.
    // Kick-offs and restarts put the ball at their spot.
    Output setMode(PlayMode m, const Vec3& ball);

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
    Output enter(PlayMode m, bool place, const Vec3& spot);
    Output checkBall(const Input& in);

    Config mCfg;
    PlayMode mMode = PlayMode::BeforeKickOff;
    double mGameTime = 0;
    double mModeTime = 0;
    double mPresentTime = 0;
    int mHalf = 1;
    int mScore[2] = {0, 0};
    int mLastTouch = 0;
    Vec3 mRestartSpot;
};

}  // namespace tovrasim

#endif
