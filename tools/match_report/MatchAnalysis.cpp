#include "match_report/MatchAnalysis.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <set>

namespace tovra::report {

namespace {

constexpr double kEps = 1e-9;
constexpr double kSilentWindow = 0.5 + 0.01;  // half a second, plus half a step
constexpr double kLegTime = 0.5;
constexpr double kSettleTime = 0.3;  // a lying or standing state must last this long
constexpr double kKickRise = 0.5;
constexpr double kKickSpeed = 0.8;
constexpr double kKickReach = 0.7;
constexpr double kKickRepeat = 0.5;

double ground(const std::array<double, 3>& a, const std::array<double, 3>& b) {
    return std::hypot(a[0] - b[0], a[1] - b[1]);
}

double ground(const Point& a, const std::array<double, 3>& b) {
    return std::hypot(a.x - b[0], a.y - b[1]);
}

Point toPoint(const std::array<double, 3>& p) {
    return Point{p[0], p[1]};
}

bool robotPlaced(double moved, double dt) {
    return moved > 0.3 + 3.0 * dt;
}

bool ballPlaced(double moved, double dt) {
    return moved > 0.5 + 10.0 * dt;
}

}  // namespace

MatchAnalysis::MatchAnalysis(double replayInterval, double pathInterval)
    : replayInterval_(replayInterval), pathInterval_(pathInterval) {}

bool MatchAnalysis::beamMode(const std::string& mode) {
    return mode == "BeforeKickOff" || mode == "Goal_Left" || mode == "Goal_Right";
}

int MatchAnalysis::modeIndex(const std::string& mode) {
    for (size_t i = 0; i < modes_.size(); ++i) {
        if (modes_[i] == mode)
            return static_cast<int>(i);
    }
    modes_.push_back(mode);
    return static_cast<int>(modes_.size() - 1);
}

int MatchAnalysis::rosterIndex(int side, int unum) {
    const auto key = std::make_pair(side, unum);
    for (size_t i = 0; i < roster_.size(); ++i) {
        if (roster_[i] == key)
            return static_cast<int>(i);
    }
    roster_.push_back(key);
    return static_cast<int>(roster_.size() - 1);
}

void MatchAnalysis::addLate(const LateReply&) {
    ++late_;
}

int MatchAnalysis::restartTaker(const std::string& mode) {
    const size_t cut = mode.rfind('_');
    if (cut == std::string::npos)
        return -1;
    std::string kind = mode.substr(0, cut), side = mode.substr(cut + 1);
    for (std::string* t : {&kind, &side}) {
        for (char& c : *t)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    const int named = side == "left" ? kLeft : side == "right" ? kRight : -1;
    if (named < 0)
        return -1;
    if (kind == "offside")
        return 1 - named;  // the side named was offside
    for (const char* k : {"kickoff", "kickin", "free_kick", "goal_kick", "corner_kick"}) {
        if (kind == k)
            return named;
    }
    return -1;
}

void MatchAnalysis::addEvent(const RefereeEvent& e) {
    if (e.side != kLeft && e.side != kRight)
        return;
    if (e.type == RefereeEvent::Type::Restart) {
        if (e.reason == "taken" && !e.playMode.empty())
            ++restartsTaken_.emplace(e.playMode, std::array<int, 2>{}).first->second[e.side];
        return;
    }
    const bool foul = e.type == RefereeEvent::Type::Foul;
    SideCounts& counts = foul ? fouls_ : moves_;
    auto it = counts.emplace(e.reason, std::array<int, 2>{}).first;
    ++it->second[e.side];
    const bool putBack = e.reason == "lying" || e.reason == "off the field";
    if ((foul || putBack) && events_.size() < kMaxEvents)
        events_.push_back(e);
}

void MatchAnalysis::add(const Frame& f) {
    const bool first = frames_ == 0;
    double dt = first ? 0.0 : f.time - last_.time;
    if (!(dt > 0) || dt > 1.0)
        dt = 0;  // a clock that jumped: no time passes for the figures
    if (first)
        firstTime_ = f.time;
    if (dt > 0 && (step_ == 0 || dt < step_ - kEps))
        step_ = dt;
    if (f.playMode == "GameOver")
        gameOver_ = true;

    detectKick(f, dt);

    if (!first) {
        for (int s = 0; s < 2; ++s) {
            if (f.score[s] > last_.score[s]) {
                Goal g;
                g.time = f.time;
                g.gameTime = f.gameTime;
                g.half = f.half;
                g.side = s;
                g.score = f.score;
                g.lastKickSide = lastKickSide_;
                g.lastKickUnum = lastKickUnum_;
                goals_.push_back(g);
            }
        }
    }

    if (first || f.playMode != last_.playMode) {
        const int taker = restartTaker(f.playMode);
        if (taker >= 0)
            ++restarts_.emplace(f.playMode, std::array<int, 2>{}).first->second[taker];
    }

    std::set<std::pair<int, int>> seen;
    for (const RobotState& r : f.robots) {
        const auto key = std::make_pair(r.side, r.unum);
        if (!seen.insert(key).second)
            continue;  // a robot listed twice: the first entry counts
        rosterIndex(r.side, r.unum);
        auto inserted = players_.emplace(key, PlayerStats());
        PlayerStats& p = inserted.first->second;
        if (inserted.second) {
            p.side = r.side;
            p.unum = r.unum;
            p.team = r.team;
            p.firstSeen = f.time;
        }
        if (teams_[r.side].empty())
            teams_[r.side] = r.team;
        Track& t = tracks_[key];
        const bool was = t.present;

        // The beam window: it opens with the robot's first perception in a
        // beaming mode and closes when the mode changes.
        const bool beamable = beamMode(f.playMode);
        if (!beamable) {
            t.windowStart = -1;
        } else if (!was || t.windowStart < 0 || f.playMode != last_.playMode) {
            t.windowStart = f.time;
        }
        const bool silentNow = beamable && f.time - t.windowStart < kSilentWindow - kEps;

        // This frame's flag tells whether the previous perception was answered.
        if (was) {
            if (t.silentPrev) {
                ++p.silent;
            } else {
                ++p.counted;
                // A robot running behind answers earlier messages, even
                // when one frame arrives per step.
                if (r.lag > 0) {
                    ++p.lagging;
                } else if (r.answered) {
                    ++p.answered;
                }
            }
        }
        t.silentPrev = silentNow;

        const double moved = was ? ground(r.pos, t.prev.pos) : 0.0;
        const bool placed = was && robotPlaced(moved, dt);
        if (was) {
            p.presentTime += dt;
            if (r.lying)
                p.groundTime += dt;
        }

        // Falls and get-ups from the settled lying state.
        if (!was || placed) {
            t.stableLying = r.lying;
            t.rawSince = f.time;
        } else {
            if (r.lying != t.prev.lying)
                t.rawSince = f.time;
            if (r.lying != t.stableLying && f.time - t.rawSince >= kSettleTime - kEps) {
                t.stableLying = r.lying;
                ++(r.lying ? p.falls : p.getUps);
            }
        }

        // Distance on its feet, in half-second legs.
        const Point here = toPoint(r.pos);
        if (!was || placed || r.lying) {
            t.legOpen = !r.lying;
            t.legStart = here;
            t.legTime = f.time;
        } else if (!t.legOpen) {
            t.legOpen = true;
            t.legStart = here;
            t.legTime = f.time;
        } else if (f.time - t.legTime >= kLegTime - kEps) {
            p.distance += ground(t.legStart, r.pos);
            t.legStart = here;
            t.legTime = f.time;
        }

        // The drawn path.
        if (!was || placed || p.path.empty()) {
            p.path.emplace_back();
            p.path.back().push_back(here);
            t.lastPathTime = f.time;
        } else if (f.time - t.lastPathTime >= pathInterval_ - kEps) {
            p.path.back().push_back(here);
            t.lastPathTime = f.time;
        }

        p.lastSeen = f.time;
        t.prev = r;
    }
    for (auto& [key, t] : tracks_)
        t.present = seen.count(key) > 0;

    // The ball's path.
    const bool ballMovedThere = !first && ballPlaced(ground(f.ball, last_.ball), dt);
    if (first || ballMovedThere || ballPath_.empty()) {
        ballPath_.emplace_back();
        ballPath_.back().push_back(toPoint(f.ball));
        lastBallPathTime_ = f.time;
    } else if (f.time - lastBallPathTime_ >= replayInterval_ - kEps) {
        ballPath_.back().push_back(toPoint(f.ball));
        lastBallPathTime_ = f.time;
    }

    sampleReplay(f);
    last_ = f;
    ++frames_;
}

void MatchAnalysis::detectKick(const Frame& f, double dt) {
    if (frames_ == 0 || dt <= 0 || ballPlaced(ground(f.ball, last_.ball), dt))
        return;
    const double before = std::hypot(last_.ballVel[0], last_.ballVel[1]);
    const double after = std::hypot(f.ballVel[0], f.ballVel[1]);
    if (after - before < kKickRise || after < kKickSpeed)
        return;
    const RobotState* nearest = nullptr;
    double best = kKickReach;
    for (const RobotState& r : f.robots) {
        const double d = ground(r.pos, f.ball);
        if (d <= best) {
            best = d;
            nearest = &r;
        }
    }
    if (!nearest)
        return;
    const auto key = std::make_pair(nearest->side, nearest->unum);
    Track& t = tracks_[key];
    if (f.time - t.lastKick < kKickRepeat)
        return;
    t.lastKick = f.time;
    auto it = players_.find(key);
    if (it != players_.end()) {
        ++it->second.kicks;
    } else {
        // First seen in this very frame: counted once its record exists.
        PlayerStats p;
        p.side = nearest->side;
        p.unum = nearest->unum;
        p.team = nearest->team;
        p.firstSeen = f.time;
        p.kicks = 1;
        players_.emplace(key, p);
    }
    lastKickSide_ = nearest->side;
    lastKickUnum_ = nearest->unum;
}

void MatchAnalysis::sampleReplay(const Frame& f) {
    const bool changed = !replay_.empty() && (modes_[replay_.back().mode] != f.playMode ||
                                              replay_.back().score != f.score);
    if (!replay_.empty() && !changed && f.time - lastReplayTime_ < replayInterval_ - kEps)
        return;
    lastReplayTime_ = f.time;
    ReplayFrame r;
    r.time = f.time;
    r.gameTime = f.gameTime;
    r.half = f.half;
    r.mode = modeIndex(f.playMode);
    r.score = f.score;
    r.ball = toPoint(f.ball);
    r.ballZ = f.ball[2];
    r.robots.resize(roster_.size());
    for (const RobotState& s : f.robots) {
        const int i = rosterIndex(s.side, s.unum);
        if (static_cast<size_t>(i) >= r.robots.size())
            r.robots.resize(i + 1);
        ReplayFrame::Robot& out = r.robots[i];
        if (out.present)
            continue;
        out.present = true;
        out.pos = toPoint(s.pos);
        out.heading = s.heading;
        out.lying = s.lying;
    }
    replay_.push_back(std::move(r));
}

}  // namespace tovra::report
