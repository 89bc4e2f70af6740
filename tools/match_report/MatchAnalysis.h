#ifndef TOVRA_TOOLS_MATCH_REPORT_MATCHANALYSIS_H
#define TOVRA_TOOLS_MATCH_REPORT_MATCHANALYSIS_H

#include <array>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "match_report/Trace.h"

namespace tovra::report {

struct Point {
    double x = 0;
    double y = 0;
};

// A path as pieces: a new piece starts where the object was placed (beamed,
// put back by the referee) instead of moving there.
using Path = std::vector<std::vector<Point>>;

// What one robot did, gathered from the trace.
struct PlayerStats {
    int side = kLeft;
    int unum = 0;
    std::string team;
    double firstSeen = 0;
    double lastSeen = 0;
    double distance = 0;     // metres walked on its feet
    double groundTime = 0;   // seconds lying
    double presentTime = 0;  // seconds in play
    int falls = 0;
    int getUps = 0;
    int kicks = 0;
    long counted = 0;   // perceptions that needed a reply
    long answered = 0;  // of those, answered in time
    long lagging = 0;   // of those, while the robot's replies ran behind
    long silent = 0;    // perceptions in the silent start of a beam window
    Path path;

    double answeredShare() const { return counted > 0 ? double(answered) / counted : 1.0; }
    double groundShare() const { return presentTime > 0 ? groundTime / presentTime : 0.0; }
};

struct Goal {
    double time = 0;
    double gameTime = 0;
    int half = 1;
    int side = kLeft;  // the side that scored
    std::array<int, 2> score{};
    int lastKickSide = -1;  // the last detected kick before the goal, if any
    int lastKickUnum = 0;
};

// One sampled moment for the replay.
struct ReplayFrame {
    double time = 0;
    double gameTime = 0;
    int half = 1;
    int mode = 0;  // index into MatchAnalysis::modes()
    std::array<int, 2> score{};
    Point ball;
    double ballZ = 0;
    // One entry per roster index; absent robots have present == false.
    struct Robot {
        bool present = false;
        Point pos;
        double heading = 0;
        bool lying = false;
    };
    std::vector<Robot> robots;
};

// Reads frames in trace order and keeps per-player figures, goals, paths and
// a sampled replay. Thresholds:
//  - a robot counts as moved there (beam, placement) when it covers more
//    than 0.3 m plus 3 m/s between two frames; the ball likewise with 0.5 m
//    plus 10 m/s;
//  - distance walked is summed over half-second legs while the robot is on
//    its feet, which leaves out the sway of its gait;
//  - a kick is a rise of the ball's ground speed by at least 0.5 m/s between
//    two frames to at least 0.8 m/s with a robot's torso within 0.7 m of the
//    ball; the nearest such robot is credited, at most once per half second;
//  - a perception counts as answered when the robot replied in time and
//    was not running behind (a trace line with a "lag");
//  - a perception needs a reply unless it falls in the first half second
//    (plus half a step for rounding) of a beam window: the time from the
//    robot's first perception in BeforeKickOff, Goal_Left or Goal_Right
//    (after entering the mode or joining), in which the agent stays silent.
class MatchAnalysis {
public:
    explicit MatchAnalysis(double replayInterval = 0.1, double pathInterval = 0.5);

    void add(const Frame& frame);
    void addLate(const LateReply& late);
    // A foul or a robot the referee moved.
    void addEvent(const RefereeEvent& event);
    void addMalformed() { ++malformed_; }

    const std::map<std::pair<int, int>, PlayerStats>& players() const { return players_; }
    const std::vector<Goal>& goals() const { return goals_; }
    const Path& ballPath() const { return ballPath_; }
    const std::vector<ReplayFrame>& replay() const { return replay_; }
    // Roster index -> (side, unum) for ReplayFrame::robots.
    const std::vector<std::pair<int, int>>& roster() const { return roster_; }
    const std::vector<std::string>& modes() const { return modes_; }
    // Per play mode or reason, a count per side: the restarts awarded to
    // each side (entries into the mode), those it took (played the ball
    // before the restart timed out), the fouls each side committed, and its
    // robots the referee moved.
    using SideCounts = std::map<std::string, std::array<int, 2>>;
    const SideCounts& restarts() const { return restarts_; }
    const SideCounts& restartsTaken() const { return restartsTaken_; }
    const SideCounts& fouls() const { return fouls_; }
    const SideCounts& moves() const { return moves_; }
    // The fouls and the robots put back beside their half, in trace order
    // (at most kMaxEvents; moves away from the ball are only counted).
    static constexpr size_t kMaxEvents = 5000;
    const std::vector<RefereeEvent>& events() const { return events_; }
    // The side that takes a restart of this play mode, -1 for other modes
    // (offside_left: the right side).
    static int restartTaker(const std::string& mode);

    long frames() const { return frames_; }
    long lateLines() const { return late_; }
    long malformed() const { return malformed_; }
    bool empty() const { return frames_ == 0; }
    const Frame& last() const { return last_; }
    double firstTime() const { return firstTime_; }
    // Team names of the two sides ("" for a side without robots).
    std::array<std::string, 2> teams() const { return teams_; }
    bool reachedGameOver() const { return gameOver_; }
    double frameStep() const { return step_; }

private:
    struct Track {
        bool present = false;  // in the previous frame
        RobotState prev;
        double prevTime = 0;
        double windowStart = -1;  // start of its current beam window, -1: none
        bool silentPrev = false;  // the previous perception fell in the silent part
        Point legStart;           // start of the current half-second leg
        double legTime = 0;
        bool legOpen = false;
        double lastKick = -1e9;
        double lastPathTime = -1e9;
        bool stableLying = false;  // the lying state once it has settled
        double rawSince = 0;       // since when the flag has its current value
    };

    static bool beamMode(const std::string& mode);
    int modeIndex(const std::string& mode);
    int rosterIndex(int side, int unum);
    void detectKick(const Frame& f, double dt);
    void sampleReplay(const Frame& f);

    double replayInterval_;
    double pathInterval_;
    std::map<std::pair<int, int>, PlayerStats> players_;
    std::map<std::pair<int, int>, Track> tracks_;
    std::vector<Goal> goals_;
    Path ballPath_;
    std::vector<ReplayFrame> replay_;
    std::vector<std::pair<int, int>> roster_;
    std::vector<std::string> modes_;
    std::array<std::string, 2> teams_;
    SideCounts restarts_, restartsTaken_, fouls_, moves_;
    std::vector<RefereeEvent> events_;

    Frame last_;
    long frames_ = 0;
    long late_ = 0;
    long malformed_ = 0;
    double firstTime_ = 0;
    double step_ = 0;
    double lastBallPathTime_ = -1e9;
    double lastReplayTime_ = -1e9;
    bool gameOver_ = false;
    int lastKickSide_ = -1;
    int lastKickUnum_ = 0;
};

}  // namespace tovra::report

#endif
