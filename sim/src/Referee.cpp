#include "Referee.h"

#include <algorithm>

namespace tovrasim {

namespace {

struct ModeName {
    PlayMode mode;
    const char* name;
};

const ModeName kNames[] = {
    {PlayMode::BeforeKickOff, "BeforeKickOff"},
    {PlayMode::KickOffLeft, "KickOff_Left"},
    {PlayMode::KickOffRight, "KickOff_Right"},
    {PlayMode::PlayOn, "PlayOn"},
    {PlayMode::FreeKickLeft, "free_kick_left"},
    {PlayMode::FreeKickRight, "free_kick_right"},
    {PlayMode::GoalLeft, "Goal_Left"},
    {PlayMode::GoalRight, "Goal_Right"},
    {PlayMode::KickInLeft, "KickIn_Left"},
    {PlayMode::KickInRight, "KickIn_Right"},
    {PlayMode::GoalKickLeft, "goal_kick_left"},
    {PlayMode::GoalKickRight, "goal_kick_right"},
    {PlayMode::CornerKickRight, "corner_kick_right"},
    {PlayMode::CornerKickLeft, "corner_kick_left"},
    {PlayMode::OffsideLeft, "offside_left"},
    {PlayMode::OffsideRight, "offside_right"},
    {PlayMode::GameOver, "GameOver"},
};

constexpr double kHalfLength = World::kFieldLength / 2;
constexpr double kHalfWidth = World::kFieldWidth / 2;
// How far into its own half a robot found over the halfway line is put,
// and how far outside the centre circle: a robot's reach from its torso
// centre (arms held forward end 0.2 m ahead of it, a foot 0.1 m).
constexpr double kLineMargin = 0.3;
// The ball moved this far from its spot without a touch: it was played.
constexpr double kBallMoved = 0.05;

const Vec3 kCentre{0, 0, World::kBallRadius};

bool isKickOff(PlayMode m) {
    return m == PlayMode::KickOffLeft || m == PlayMode::KickOffRight;
}

int keyOf(Side s, int unum) {
    return (s == Side::Left ? 0 : 16) + unum;
}

int keyOf(const Referee::RobotInfo& r) {
    return keyOf(r.side, r.unum);
}

Side other(Side s) {
    return s == Side::Left ? Side::Right : Side::Left;
}

// -1 for the left side's own half (x < 0), +1 for the right's.
double ownSign(Side s) {
    return s == Side::Left ? -1.0 : 1.0;
}

bool touched(const Referee::Input& in, Side s) {
    return s == Side::Left ? in.touchLeft : in.touchRight;
}

Vec3 onField(const Vec3& p) {
    const double r = World::kBallRadius;
    return {std::clamp(p.x, -kHalfLength + r, kHalfLength - r),
            std::clamp(p.y, -kHalfWidth + r, kHalfWidth - r), r};
}

Referee::Move shiftTo(const Referee::RobotInfo& r, double x, double y) {
    Referee::Move m;
    m.id = r.id;
    m.x = x;
    m.y = y;
    m.heading = r.heading;
    return m;
}

void moved(const Referee::RobotInfo& r, const char* reason, Referee::Output& out) {
    out.events.push_back({"moved", reason, r.side, r.unum, r.pos, {}});
}

}  // namespace

const char* playModeName(PlayMode m) {
    for (const ModeName& n : kNames) {
        if (n.mode == m)
            return n.name;
    }
    return "BeforeKickOff";
}

bool parsePlayMode(const std::string& name, PlayMode& out) {
    for (const ModeName& n : kNames) {
        if (name == n.name) {
            out = n.mode;
            return true;
        }
    }
    return false;
}

bool isRestart(PlayMode m) {
    switch (m) {
        case PlayMode::KickOffLeft:
        case PlayMode::KickOffRight:
        case PlayMode::FreeKickLeft:
        case PlayMode::FreeKickRight:
        case PlayMode::KickInLeft:
        case PlayMode::KickInRight:
        case PlayMode::GoalKickLeft:
        case PlayMode::GoalKickRight:
        case PlayMode::CornerKickLeft:
        case PlayMode::CornerKickRight:
        case PlayMode::OffsideLeft:
        case PlayMode::OffsideRight:
            return true;
        default:
            return false;
    }
}

Side restartSide(PlayMode m) {
    switch (m) {
        case PlayMode::KickOffRight:
        case PlayMode::FreeKickRight:
        case PlayMode::KickInRight:
        case PlayMode::GoalKickRight:
        case PlayMode::CornerKickRight:
        case PlayMode::OffsideLeft:  // the left side was offside
            return Side::Right;
        default:
            return Side::Left;
    }
}

Vec3 waitingSpot(Side side, int unum) {
    const bool left = side == Side::Left;
    const double ox = -(0.5 + 1.2 * (unum - 1)), oy = -9.0;
    return {left ? ox : -ox, left ? oy : -oy, left ? 90.0 : -90.0};
}

void Referee::enter(PlayMode m, Output& out, const Vec3* spot) {
    mMode = m;
    mModeTime = 0;
    mKickOffPlaced = false;
    mKicker = -1;
    if (spot) {
        out.placeBall = true;
        out.ballPos = *spot;
        mRestartSpot = *spot;
    }
}

Referee::Output Referee::setMode(PlayMode m, const Vec3& ball) {
    mPresentTime = 0;
    Output out;
    if (isKickOff(m)) {
        enter(m, out, &kCentre);
    } else {
        // Other restarts set from outside keep the ball where it is.
        enter(m, out, nullptr);
        mRestartSpot = ball;
    }
    return out;
}

bool Referee::kickOff(Output& out) {
    if (mMode != PlayMode::BeforeKickOff)
        return false;
    mPresentTime = 0;
    enter(mHalf == 1 ? PlayMode::KickOffLeft : PlayMode::KickOffRight, out, &kCentre);
    return true;
}

Referee::Output Referee::dropBall(double x, double y) {
    Output out;
    const Vec3 spot = onField({x, y, 0});
    mLastTouch = 0;
    enter(PlayMode::PlayOn, out, &spot);
    return out;
}

void Referee::checkBall(const Input& in, Output& out) {
    const double r = World::kBallRadius;
    const Vec3& b = in.ball;
    if (std::abs(b.x) > kHalfLength + r) {
        const bool rightEnd = b.x > 0;  // the right team defends x > 0
        if (std::abs(b.y) < World::kGoalWidth / 2 && b.z < World::kGoalHeight) {
            ++mScore[rightEnd ? 0 : 1];
            mLastTouch = 0;
            enter(rightEnd ? PlayMode::GoalLeft : PlayMode::GoalRight, out, &kCentre);
            return;
        }
        const int defender = rightEnd ? 2 : 1;
        const double sx = rightEnd ? 1.0 : -1.0;
        const bool corner = mLastTouch == defender;
        mLastTouch = 0;
        if (corner) {
            const Vec3 spot{sx * kHalfLength, (b.y >= 0 ? 1.0 : -1.0) * kHalfWidth, r};
            enter(rightEnd ? PlayMode::CornerKickLeft : PlayMode::CornerKickRight, out, &spot);
        } else {
            const Vec3 spot{sx * (kHalfLength - kGoalKickDist), 0, r};
            enter(rightEnd ? PlayMode::GoalKickRight : PlayMode::GoalKickLeft, out, &spot);
        }
        return;
    }
    if (std::abs(b.y) > kHalfWidth + r) {
        // The side that did not touch the ball last kicks in; with no touch
        // yet, the side whose half the ball left.
        bool left;
        if (mLastTouch == 1) {
            left = false;
        } else if (mLastTouch == 2) {
            left = true;
        } else {
            left = b.x < 0;
        }
        mLastTouch = 0;
        // Where the ball's path of the last step crossed the line.
        const double line = (b.y > 0 ? 1.0 : -1.0) * kHalfWidth;
        double x = b.x;
        const double dy = b.y - mPrevBall.y;
        if (std::abs(dy) > 1e-9 && std::abs(mPrevBall.y) <= kHalfWidth + r) {
            const double t = std::clamp((line - mPrevBall.y) / dy, 0.0, 1.0);
            x = mPrevBall.x + t * (b.x - mPrevBall.x);
        }
        const Vec3 spot{std::clamp(x, -kHalfLength, kHalfLength), line, r};
        enter(left ? PlayMode::KickInLeft : PlayMode::KickInRight, out, &spot);
    }
}

void Referee::keepOut(const Input& in, Output& out) {
    const Side taker = restartSide(mMode);
    for (const RobotInfo& r : in.robots) {
        if (r.side == taker)
            continue;
        const double dx = r.pos.x - mRestartSpot.x, dy = r.pos.y - mRestartSpot.y;
        const double d = std::hypot(dx, dy);
        if (d >= kFreeKickDistance)
            continue;
        // Away from the ball; from right on it, towards its own goal.
        const double ux = d > 1e-6 ? dx / d : ownSign(r.side);
        const double uy = d > 1e-6 ? dy / d : 0.0;
        out.moves.push_back(shiftTo(r, mRestartSpot.x + ux * kFreeKickMoveDist,
                                    mRestartSpot.y + uy * kFreeKickMoveDist));
        moved(r, "keep out", out);
    }
}

void Referee::kickOffRules(const Input& in, Output& out) {
    const Side taker = restartSide(mMode);
    // Both sides within their own half when the kick-off begins; the other
    // side also outside the centre circle, for the whole kick-off.
    for (const RobotInfo& r : in.robots) {
        const bool kicking = r.side == taker;
        if (kicking && mKickOffPlaced)
            continue;
        const double s = ownSign(r.side);
        double x = r.pos.x, y = r.pos.y;
        if (x * s < 0)
            x = s * kLineMargin;
        const double d = std::hypot(x, y);
        // Moved beyond the circle, so that the sway of a robot just moved
        // does not move it again.
        if (!kicking && d < kCentreCircleRadius) {
            const double ux = d > 1e-6 ? x / d : s, uy = d > 1e-6 ? y / d : 0.0;
            x = ux * (kCentreCircleRadius + kLineMargin);
            y = uy * (kCentreCircleRadius + kLineMargin);
        }
        if (x != r.pos.x || y != r.pos.y) {
            out.moves.push_back(shiftTo(r, x, y));
            moved(r, "kick-off", out);
        }
    }
    mKickOffPlaced = true;
}

void Referee::restartRules(const Input& in, Output& out) {
    const Side taker = restartSide(mMode);
    const bool kickOff = isKickOff(mMode);
    if (kickOff) {
        kickOffRules(in, out);
    } else {
        keepOut(in, out);
    }
    const Vec3 d = in.ball - mRestartSpot;
    const bool ballMoved = std::hypot(d.x, d.y) > kBallMoved;
    if (touched(in, other(taker)) && !touched(in, taker)) {
        // Only the side that restarts may play the ball first.
        out.placeBall = true;
        out.ballPos = mRestartSpot;
        return;
    }
    if (touched(in, taker) || ballMoved || mModeTime >= mCfg.restartTimeout - 1e-9) {
        const RobotInfo* kicker = nullptr;
        for (const RobotInfo& r : in.robots) {
            if (r.touched && r.side == taker) {
                kicker = &r;
                break;
            }
        }
        // How the restart ended: played by its side, or not.
        const char* how = touched(in, taker) ? "taken" : ballMoved ? "ball moved" : "timed out";
        out.events.push_back(
            {"restart", how, taker, kicker ? kicker->unum : 0, in.ball, playModeName(mMode)});
        enter(PlayMode::PlayOn, out, nullptr);
        if (kickOff && touched(in, taker)) {
            mKicker = kicker ? keyOf(*kicker) : -1;
            mKickerAway = 0;
        }
        checkBall(in, out);
    }
}

void Referee::outOfPlay(double dt, const Input& in, Output& out) {
    for (const RobotInfo& r : in.robots) {
        Track& t = mTracks[keyOf(r)];
        t.lyingTime = r.lying ? t.lyingTime + dt : 0.0;
        const char* reason = nullptr;
        if (mCfg.lyingLimit > 0 && t.lyingTime > mCfg.lyingLimit - 1e-9) {
            reason = "lying";
        } else if (std::abs(r.pos.x) > kHalfLength + mCfg.outsideMargin ||
                   std::abs(r.pos.y) > kHalfWidth + mCfg.outsideMargin) {
            reason = "off the field";
        }
        if (!reason)
            continue;
        t.lyingTime = 0;
        const Vec3 spot = waitingSpot(r.side, r.unum);
        Move m;
        m.id = r.id;
        m.x = spot.x;
        m.y = spot.y;
        m.heading = spot.z;
        m.upright = true;
        out.moves.push_back(m);
        moved(r, reason, out);
    }
}

void Referee::freeKick(Side fouled, const Vec3& at, const char* reason, const RobotInfo& by,
                       Output& out) {
    out.events.push_back({"foul", reason, by.side, by.unum, at, {}});
    mLastTouch = 0;
    mCrowdTime[0] = mCrowdTime[1] = 0;
    mPushes.clear();
    const Vec3 spot = onField(at);
    enter(fouled == Side::Left ? PlayMode::FreeKickLeft : PlayMode::FreeKickRight, out, &spot);
}

bool Referee::secondTouch(double dt, const Input& in, Output& out) {
    if (mKicker < 0)
        return false;
    const RobotInfo* kicker = nullptr;
    bool others = false;
    for (const RobotInfo& r : in.robots) {
        if (keyOf(r) == mKicker) {
            kicker = &r;
        } else if (r.touched) {
            others = true;
        }
    }
    if (!kicker || others) {
        mKicker = -1;  // another robot played the ball: the kick-off is done
        return false;
    }
    if (!kicker->touched) {
        mKickerAway += dt;
        return false;
    }
    if (mKickerAway < mCfg.secondTouchGap - 1e-9) {
        mKickerAway = 0;  // still the same touch
        return false;
    }
    freeKick(other(kicker->side), in.ball, "double touch", *kicker, out);
    return true;
}

bool Referee::crowding(double dt, const Input& in, Output& out) {
    for (Side s : {Side::Left, Side::Right}) {
        const double goalX = ownSign(s) * kHalfLength;  // its own goal line
        int count = 0;
        const RobotInfo* last = nullptr;
        for (const RobotInfo& r : in.robots) {
            if (r.side != s)
                continue;
            const double depth = (r.pos.x - goalX) * -ownSign(s);  // in front of its line
            if (depth <= kPenaltyLength && depth >= -World::kGoalDepth &&
                std::abs(r.pos.y) <= kPenaltyWidth / 2) {
                ++count;
                if (!last || depth > (last->pos.x - goalX) * -ownSign(s))
                    last = &r;
            }
        }
        double& t = mCrowdTime[s == Side::Left ? 0 : 1];
        t = count > mCfg.maxInOwnArea ? t + dt : 0.0;
        if (t > mCfg.crowdLimit + 1e-9 && last) {
            // At the middle of the front line of the area.
            const Vec3 at{goalX - ownSign(s) * kPenaltyLength, 0, 0};
            freeKick(other(s), at, "crowding", *last, out);
            return true;
        }
    }
    return false;
}

bool Referee::pushing(double dt, const Input& in, Output& out) {
    std::map<std::pair<int, int>, Push> now;
    const RobotInfo* foul = nullptr;
    const RobotInfo* victim = nullptr;
    for (const RobotInfo& a : in.robots) {
        if (a.side != Side::Left)
            continue;
        for (const RobotInfo& b : in.robots) {
            if (b.side != Side::Right)
                continue;
            const bool contact =
                std::find(a.contacts.begin(), a.contacts.end(), b.id) != a.contacts.end() ||
                std::find(b.contacts.begin(), b.contacts.end(), a.id) != b.contacts.end();
            if (!contact)
                continue;
            const auto key = std::make_pair(keyOf(a), keyOf(b));
            Push p = mPushes.count(key) ? mPushes[key] : Push{};
            p.time += dt;
            const RobotInfo* pair[2] = {&a, &b};
            for (int k = 0; k < 2; ++k) {
                const Track& t = mTracks[keyOf(*pair[k])];
                const Vec3 to = pair[1 - k]->pos - pair[k]->pos;
                const double len = std::hypot(to.x, to.y);
                if (t.seen && len > 1e-6) {
                    const Vec3 step = pair[k]->pos - t.prevPos;
                    p.approach[k] += (step.x * to.x + step.y * to.y) / len;
                }
            }
            if (p.time > mCfg.pushLimit + 1e-9 && !foul) {
                // A robot on its feet against a fallen one pushes it;
                // between two on their feet, the one that pressed towards
                // the other; two that merely lean on each other, or both
                // on the ground, foul no one.
                int pusher = -1;
                if (a.lying != b.lying) {
                    pusher = a.lying ? 1 : 0;
                } else if (!a.lying && std::max(p.approach[0], p.approach[1]) > 0.02) {
                    pusher = p.approach[0] >= p.approach[1] ? 0 : 1;
                }
                if (pusher >= 0) {
                    foul = pair[pusher];
                    victim = pair[1 - pusher];
                }
                p = Push{};
            }
            now[key] = p;
        }
    }
    mPushes.swap(now);
    if (!foul)
        return false;
    freeKick(victim->side, (foul->pos + victim->pos) * 0.5, "pushing", *foul, out);
    return true;
}

void Referee::updateTracks(const Input& in) {
    for (const RobotInfo& r : in.robots) {
        Track& t = mTracks[keyOf(r)];
        t.prevPos = r.pos;
        t.seen = true;
    }
    mPrevBall = in.ball;
}

Referee::Output Referee::update(double dt, const Input& in) {
    if (in.touchLeft && !in.touchRight)
        mLastTouch = 1;
    if (in.touchRight && !in.touchLeft)
        mLastTouch = 2;
    if (in.touchLeft && in.touchRight && mLastTouch == 0)
        mLastTouch = 1;

    Output out;
    if (mMode == PlayMode::GameOver) {
        updateTracks(in);
        return out;
    }
    if (mMode == PlayMode::BeforeKickOff) {
        if (mCfg.automaticKickOff && in.nLeft >= mCfg.needLeft && in.nRight >= mCfg.needRight) {
            mPresentTime += dt;
            if (mPresentTime >= mCfg.kickOffWait - 1e-9)
                kickOff(out);
        } else {
            mPresentTime = 0;
        }
        updateTracks(in);
        return out;
    }

    mGameTime += dt;
    mModeTime += dt;
    if (mGameTime >= mCfg.halfTime * mHalf - 1e-9) {
        mGameTime = mCfg.halfTime * mHalf;
        mCrowdTime[0] = mCrowdTime[1] = 0;
        mPushes.clear();
        if (mHalf == 1) {
            mHalf = 2;
            mPresentTime = 0;
            mLastTouch = 0;
            enter(PlayMode::BeforeKickOff, out, &kCentre);
        } else {
            enter(PlayMode::GameOver, out, nullptr);
        }
        updateTracks(in);
        return out;
    }

    if (!beamAllowed())
        outOfPlay(dt, in, out);
    if (isRestart(mMode)) {
        restartRules(in, out);
    } else if (mMode == PlayMode::GoalLeft || mMode == PlayMode::GoalRight) {
        if (mModeTime >= mCfg.goalPause - 1e-9) {
            enter(mMode == PlayMode::GoalLeft ? PlayMode::KickOffRight : PlayMode::KickOffLeft, out,
                  &kCentre);
        }
    } else if (mMode == PlayMode::PlayOn) {
        // Every rule runs, so that their timers count; the first foul wins.
        const bool a = secondTouch(dt, in, out);
        const bool b = !a && crowding(dt, in, out);
        const bool c = !a && !b && pushing(dt, in, out);
        if (!a && !b && !c)
            checkBall(in, out);
    }
    updateTracks(in);
    return out;
}

Referee::Input observe(const World& w) {
    Referee::Input in;
    in.ball = w.ballPos();
    const std::vector<int> slots = w.robots();
    for (int slot : slots) {
        Referee::RobotInfo r;
        r.id = slot;
        r.side = w.side(slot);
        r.unum = w.unum(slot);
        r.pos = w.torsoPos(slot);
        r.heading = w.heading(slot);
        r.lying = w.lying(slot);
        r.touched = w.touchedBall(slot);
        for (int o : slots) {
            if (w.touchedRobot(slot, o))
                r.contacts.push_back(o);
        }
        const bool left = r.side == Side::Left;
        (left ? in.nLeft : in.nRight)++;
        if (r.touched)
            (left ? in.touchLeft : in.touchRight) = true;
        in.robots.push_back(std::move(r));
    }
    return in;
}

void apply(World& w, const Referee::Output& o) {
    if (o.placeBall)
        w.placeBall(o.ballPos);
    for (const Referee::Move& m : o.moves) {
        if (m.upright) {
            w.placeUpright(m.id, m.x, m.y, m.heading);
        } else {
            w.shiftRobot(m.id, m.x, m.y);
        }
    }
}

}  // namespace tovrasim
