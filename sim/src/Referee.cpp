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
    {PlayMode::KickInLeft, "KickIn_Left"},
    {PlayMode::KickInRight, "KickIn_Right"},
    {PlayMode::GoalKickLeft, "goal_kick_left"},
    {PlayMode::GoalKickRight, "goal_kick_right"},
    {PlayMode::CornerKickLeft, "corner_kick_left"},
    {PlayMode::CornerKickRight, "corner_kick_right"},
    {PlayMode::GoalLeft, "Goal_Left"},
    {PlayMode::GoalRight, "Goal_Right"},
    {PlayMode::GameOver, "GameOver"},
};

bool isRestart(PlayMode m) {
    switch (m) {
        case PlayMode::KickOffLeft:
        case PlayMode::KickOffRight:
        case PlayMode::KickInLeft:
        case PlayMode::KickInRight:
        case PlayMode::GoalKickLeft:
        case PlayMode::GoalKickRight:
        case PlayMode::CornerKickLeft:
        case PlayMode::CornerKickRight:
            return true;
        default:
            return false;
    }
}

const Vec3 kCentre{0, 0, World::kBallRadius};

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

Referee::Output Referee::enter(PlayMode m, bool place, const Vec3& spot) {
    mMode = m;
    mModeTime = 0;
    Output o;
    if (place) {
        o.placeBall = true;
        o.ballPos = spot;
        mRestartSpot = spot;
    }
    return o;
}

Referee::Output Referee::setMode(PlayMode m, const Vec3& ball) {
    mPresentTime = 0;
    if (m == PlayMode::KickOffLeft || m == PlayMode::KickOffRight)
        return enter(m, true, kCentre);
    if (isRestart(m)) {
        // Restarts set from outside keep the ball where it is.
        Output o = enter(m, false, ball);
        mRestartSpot = ball;
        return o;
    }
    return enter(m, false, ball);
}

Referee::Output Referee::checkBall(const Input& in) {
    const double r = World::kBallRadius;
    const double hx = World::kFieldLength / 2, hy = World::kFieldWidth / 2;
    const Vec3& b = in.ball;
    if (std::abs(b.x) > hx + r) {
        const bool rightEnd = b.x > 0;  // the right team defends x > 0
        if (std::abs(b.y) < World::kGoalWidth / 2 && b.z < World::kGoalHeight) {
            ++mScore[rightEnd ? 0 : 1];
            mLastTouch = 0;
            return enter(rightEnd ? PlayMode::GoalLeft : PlayMode::GoalRight, true, kCentre);
        }
        const int defender = rightEnd ? 2 : 1;
        const double sx = rightEnd ? 1.0 : -1.0;
        if (mLastTouch == defender) {
            const double sy = b.y >= 0 ? 1.0 : -1.0;
            mLastTouch = 0;
            return enter(rightEnd ? PlayMode::CornerKickLeft : PlayMode::CornerKickRight, true,
                         {sx * hx, sy * hy, r});
        }
        mLastTouch = 0;
        return enter(rightEnd ? PlayMode::GoalKickRight : PlayMode::GoalKickLeft, true,
                     {sx * (hx - 1.0), 0, r});
    }
    if (std::abs(b.y) > hy + r) {
        // The side that did not touch the ball last throws in; with no touch
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
        return enter(left ? PlayMode::KickInLeft : PlayMode::KickInRight, true,
                     {std::clamp(b.x, -hx, hx), (b.y > 0 ? 1.0 : -1.0) * hy, r});
    }
    return {};
}

Referee::Output Referee::update(double dt, const Input& in) {
    if (in.touchLeft && !in.touchRight)
        mLastTouch = 1;
    if (in.touchRight && !in.touchLeft)
        mLastTouch = 2;
    if (in.touchLeft && in.touchRight && mLastTouch == 0)
        mLastTouch = 1;

    if (mMode == PlayMode::GameOver)
        return {};
    if (mMode == PlayMode::BeforeKickOff) {
        if (in.nLeft >= mCfg.needLeft && in.nRight >= mCfg.needRight) {
            mPresentTime += dt;
            if (mPresentTime >= mCfg.kickOffDelay - 1e-9) {
                mPresentTime = 0;
                return enter(mHalf == 1 ? PlayMode::KickOffLeft : PlayMode::KickOffRight, true,
                             kCentre);
            }
        } else {
            mPresentTime = 0;
        }
        return {};
    }

    mGameTime += dt;
    mModeTime += dt;
    if (mGameTime >= mCfg.halfTime * mHalf - 1e-9) {
        mGameTime = mCfg.halfTime * mHalf;
        if (mHalf == 1) {
            mHalf = 2;
            mPresentTime = 0;
            mLastTouch = 0;
            return enter(PlayMode::BeforeKickOff, true, kCentre);
        }
        return enter(PlayMode::GameOver, false, in.ball);
    }

    if (isRestart(mMode)) {
        const Vec3 d = in.ball - mRestartSpot;
        const bool moved = std::hypot(d.x, d.y) > 0.05;
        if (in.touchLeft || in.touchRight || moved || mModeTime >= mCfg.restartTimeout - 1e-9) {
            mMode = PlayMode::PlayOn;
            mModeTime = 0;
            return checkBall(in);
        }
        return {};
    }
    if (mMode == PlayMode::GoalLeft || mMode == PlayMode::GoalRight) {
        if (mModeTime >= mCfg.goalPause - 1e-9) {
            return enter(
                mMode == PlayMode::GoalLeft ? PlayMode::KickOffRight : PlayMode::KickOffLeft, true,
                kCentre);
        }
        return {};
    }
    if (mMode == PlayMode::PlayOn)
        return checkBall(in);
    return {};
}

}  // namespace tovrasim
