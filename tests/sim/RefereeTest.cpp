// Referee transitions, alone and with the ball pushed through the physics.
#include <gtest/gtest.h>

#include <cmath>

#include "Referee.h"
#include "World.h"

using namespace tovrasim;

namespace {

Referee::Config quick() {
    Referee::Config c;
    c.halfTime = 20;
    c.automaticKickOff = true;
    c.kickOffWait = 1;
    c.goalPause = 3;
    c.restartTimeout = 5;
    return c;
}

Referee::Input present(const Vec3& ball) {
    Referee::Input in;
    in.ball = ball;
    in.nLeft = in.nRight = 1;
    return in;
}

// Runs the referee until it leaves BeforeKickOff and then lets the left side
// touch the ball, so that play is on.
void startPlay(Referee& r) {
    for (int i = 0; i < 100 && r.mode() == PlayMode::BeforeKickOff; ++i) {
        r.update(0.02, present({0, 0, 0.042}));
    }
    ASSERT_EQ(r.mode(), PlayMode::KickOffLeft);
    Referee::Input in = present({0, 0, 0.042});
    in.touchLeft = true;
    r.update(0.02, in);
    ASSERT_EQ(r.mode(), PlayMode::PlayOn);
}

// Lets `side` (1 left, 2 right) touch the ball last, then puts the ball at `at`.
Referee::Output outAt(Referee& r, int side, const Vec3& at) {
    Referee::Input in = present({0, 0, 0.042});
    (side == 1 ? in.touchLeft : in.touchRight) = true;
    r.update(0.02, in);
    return r.update(0.02, present(at));
}

}  // namespace

TEST(Referee, KickOffWaitsForBothTeamsAndTheDelay) {
    Referee r(quick());
    Referee::Input alone = present({0, 0, 0.042});
    alone.nRight = 0;
    for (int i = 0; i < 200; ++i)
        r.update(0.02, alone);
    EXPECT_EQ(r.mode(), PlayMode::BeforeKickOff);
    EXPECT_EQ(r.gameTime(), 0.0);
    for (int i = 0; i < 49; ++i)
        r.update(0.02, present({0, 0, 0.042}));
    EXPECT_EQ(r.mode(), PlayMode::BeforeKickOff);
    const Referee::Output o = r.update(0.02, present({0, 0, 0.042}));
    EXPECT_EQ(r.mode(), PlayMode::KickOffLeft);
    EXPECT_TRUE(o.placeBall);
    EXPECT_FALSE(r.beamAllowed());
}

TEST(Referee, KickOffTurnsIntoPlayOnOnTouchMoveOrTimeout) {
    {
        Referee r(quick());
        startPlay(r);
    }
    {
        // The other side touches first: the ball goes back to the centre.
        Referee r(quick());
        for (int i = 0; i < 50; ++i)
            r.update(0.02, present({0, 0, 0.042}));
        ASSERT_EQ(r.mode(), PlayMode::KickOffLeft);
        Referee::Input in = present({0.03, 0.01, 0.042});
        in.touchRight = true;
        const Referee::Output o = r.update(0.02, in);
        EXPECT_EQ(r.mode(), PlayMode::KickOffLeft);
        ASSERT_TRUE(o.placeBall);
        EXPECT_NEAR(std::hypot(o.ballPos.x, o.ballPos.y), 0, 1e-9);
    }
    {
        // Without the automatic kick-off, BeforeKickOff waits for kickOff().
        Referee::Config c = quick();
        c.automaticKickOff = false;
        Referee r(c);
        for (int i = 0; i < 500; ++i)
            r.update(0.02, present({0, 0, 0.042}));
        EXPECT_EQ(r.mode(), PlayMode::BeforeKickOff);
        Referee::Output o;
        ASSERT_TRUE(r.kickOff(o));
        EXPECT_EQ(r.mode(), PlayMode::KickOffLeft);
        EXPECT_TRUE(o.placeBall);
        EXPECT_FALSE(r.kickOff(o));
    }
    {
        Referee r(quick());
        for (int i = 0; i < 50; ++i)
            r.update(0.02, present({0, 0, 0.042}));
        ASSERT_EQ(r.mode(), PlayMode::KickOffLeft);
        r.update(0.02, present({0.1, 0, 0.042}));
        EXPECT_EQ(r.mode(), PlayMode::PlayOn);
    }
    {
        Referee r(quick());
        for (int i = 0; i < 50; ++i)
            r.update(0.02, present({0, 0, 0.042}));
        for (int i = 0; i < 249; ++i)
            r.update(0.02, present({0, 0, 0.042}));
        EXPECT_EQ(r.mode(), PlayMode::KickOffLeft);
        r.update(0.02, present({0, 0, 0.042}));
        EXPECT_EQ(r.mode(), PlayMode::PlayOn);
    }
}

TEST(Referee, GoalsScoreForTheAttackersAndTheConcedingSideKicksOff) {
    Referee r(quick());
    startPlay(r);
    Referee::Output o = r.update(0.02, present({15.03, 0.5, 0.2}));
    EXPECT_EQ(r.mode(), PlayMode::PlayOn) << "the ball is not fully over the line";
    o = r.update(0.02, present({15.05, 0.5, 0.2}));
    EXPECT_EQ(r.mode(), PlayMode::GoalLeft);
    EXPECT_EQ(r.score(Side::Left), 1);
    EXPECT_TRUE(o.placeBall);
    EXPECT_NEAR(o.ballPos.x, 0, 1e-9);
    EXPECT_TRUE(r.beamAllowed());
    for (int i = 0; i < 149; ++i)
        r.update(0.02, present({0, 0, 0.042}));
    EXPECT_EQ(r.mode(), PlayMode::GoalLeft);
    r.update(0.02, present({0, 0, 0.042}));
    EXPECT_EQ(r.mode(), PlayMode::KickOffRight);

    Referee::Input in = present({0, 0, 0.042});
    in.touchRight = true;
    r.update(0.02, in);
    r.update(0.02, present({-15.3, -1.0, 0.1}));
    EXPECT_EQ(r.mode(), PlayMode::GoalRight);
    EXPECT_EQ(r.score(Side::Right), 1);
    for (int i = 0; i < 150; ++i)
        r.update(0.02, present({0, 0, 0.042}));
    EXPECT_EQ(r.mode(), PlayMode::KickOffLeft);
}

TEST(Referee, BallOverTheBarOrBesideThePostIsNoGoal) {
    Referee r(quick());
    startPlay(r);
    // Left touched last, over the right team's goal line above the bar.
    outAt(r, 1, {15.2, 0.0, 0.9});
    EXPECT_EQ(r.mode(), PlayMode::GoalKickRight);
    EXPECT_EQ(r.score(Side::Left), 0);
}

TEST(Referee, GoalLineAndTouchlineRestartsNameTheSideThatDidNotTouchLast) {
    struct Case {
        int lastTouch;
        Vec3 at;
        PlayMode mode;
        Vec3 spot;
    };
    const Case cases[] = {
        {1, {15.2, 5, 0.04}, PlayMode::GoalKickRight, {14, 0, 0.042}},
        {2, {15.2, 5, 0.04}, PlayMode::CornerKickLeft, {15, 10, 0.042}},
        {2, {-15.2, -5, 0.04}, PlayMode::GoalKickLeft, {-14, 0, 0.042}},
        {1, {-15.2, -5, 0.04}, PlayMode::CornerKickRight, {-15, -10, 0.042}},
        // Where the ball's path from the centre crossed the touchline.
        {1, {4, 10.1, 0.04}, PlayMode::KickInRight, {4 * 10 / 10.1, 10, 0.042}},
        {2, {-6, -10.1, 0.04}, PlayMode::KickInLeft, {-6 * 10 / 10.1, -10, 0.042}},
    };
    for (const Case& c : cases) {
        Referee r(quick());
        startPlay(r);
        const Referee::Output o = outAt(r, c.lastTouch, c.at);
        EXPECT_EQ(r.mode(), c.mode) << playModeName(c.mode);
        ASSERT_TRUE(o.placeBall);
        EXPECT_NEAR(o.ballPos.x, c.spot.x, 1e-9) << playModeName(c.mode);
        EXPECT_NEAR(o.ballPos.y, c.spot.y, 1e-9) << playModeName(c.mode);
        // A touch by the other side does not end the restart: the ball
        // goes back to its spot.
        const bool leftTakes = restartSide(c.mode) == Side::Left;
        Referee::Input in = present(o.ballPos + Vec3(0.2, 0, 0));
        (leftTakes ? in.touchRight : in.touchLeft) = true;
        const Referee::Output back = r.update(0.02, in);
        EXPECT_EQ(r.mode(), c.mode);
        EXPECT_TRUE(back.placeBall);
        EXPECT_NEAR(back.ballPos.x, o.ballPos.x, 1e-9);
        // The restart ends when the side that takes it plays the ball; the
        // trace learns who took which restart.
        in = present(o.ballPos);
        (leftTakes ? in.touchLeft : in.touchRight) = true;
        Referee::RobotInfo kicker;
        kicker.side = restartSide(c.mode);
        kicker.unum = 8;
        kicker.touched = true;
        in.robots.push_back(kicker);
        const Referee::Output played = r.update(0.02, in);
        EXPECT_EQ(r.mode(), PlayMode::PlayOn) << playModeName(c.mode);
        ASSERT_EQ(played.events.size(), 1u) << playModeName(c.mode);
        const Referee::Event& e = played.events[0];
        EXPECT_EQ(e.type, "restart");
        EXPECT_EQ(e.reason, "taken");
        EXPECT_EQ(e.side, restartSide(c.mode));
        EXPECT_EQ(e.unum, 8);
        EXPECT_EQ(e.playMode, playModeName(c.mode));
    }
}

TEST(Referee, ARestartNobodyPlaysEndsAsTimedOutAndOneThatRollsAwayAsBallMoved) {
    for (const bool rolls : {false, true}) {
        Referee r(quick());
        startPlay(r);
        const Referee::Output o = outAt(r, 1, {4, 10.1, 0.04});
        ASSERT_EQ(r.mode(), PlayMode::KickInRight);
        Referee::Output last;
        const Vec3 ball = rolls ? o.ballPos + Vec3(0, -0.3, 0) : o.ballPos;
        for (int i = 0; i < 400 && r.mode() == PlayMode::KickInRight; ++i)
            last = r.update(0.02, present(ball));
        EXPECT_EQ(r.mode(), PlayMode::PlayOn);
        ASSERT_EQ(last.events.size(), 1u);
        EXPECT_EQ(last.events[0].reason, rolls ? "ball moved" : "timed out");
        EXPECT_EQ(last.events[0].side, Side::Right);
        EXPECT_EQ(last.events[0].unum, 0);
        EXPECT_EQ(last.events[0].playMode, "KickIn_Right");
    }
}

TEST(Referee, HalvesAlternateTheKickOffAndTheGameEnds) {
    Referee r(quick());
    startPlay(r);
    while (r.half() == 1)
        r.update(0.02, present({0, 0, 0.042}));
    EXPECT_EQ(r.mode(), PlayMode::BeforeKickOff);
    EXPECT_NEAR(r.gameTime(), 20.0, 1e-9);
    for (int i = 0; i < 50; ++i)
        r.update(0.02, present({0, 0, 0.042}));
    EXPECT_EQ(r.mode(), PlayMode::KickOffRight);
    for (int i = 0; i < 1100; ++i)
        r.update(0.02, present({0, 0, 0.042}));
    EXPECT_EQ(r.mode(), PlayMode::GameOver);
    EXPECT_NEAR(r.gameTime(), 40.0, 1e-9);
}

TEST(Referee, PlayModeNamesRoundTrip) {
    for (const char* n : {"BeforeKickOff", "KickOff_Left", "KickOff_Right", "PlayOn", "KickIn_Left",
                          "KickIn_Right", "free_kick_left", "free_kick_right", "goal_kick_left",
                          "goal_kick_right", "corner_kick_right", "corner_kick_left", "Goal_Left",
                          "Goal_Right", "offside_left", "offside_right", "GameOver"}) {
        PlayMode m;
        ASSERT_TRUE(parsePlayMode(n, m)) << n;
        EXPECT_STREQ(playModeName(m), n);
    }
    PlayMode m;
    EXPECT_FALSE(parsePlayMode("Goal_left", m));
}

// The ball rolled through the physics over each line and into each goal;
// the left side touched it last (at the kick-off).
TEST(RefereeWithPhysics, PushedBallCrossesEachLineAndEntersEachGoal) {
    struct Case {
        Vec3 from, vel;
        PlayMode mode;
    };
    const Case cases[] = {
        {{13.5, 0.3, 0.042}, {4, 0, 0}, PlayMode::GoalLeft},
        {{-13.5, -0.4, 0.042}, {-4, 0, 0}, PlayMode::GoalRight},
        {{13.5, 5, 0.042}, {4, 0, 0}, PlayMode::GoalKickRight},
        {{-13.5, 5, 0.042}, {-4, 0, 0}, PlayMode::CornerKickRight},
        {{5, 8.5, 0.042}, {0, 4, 0}, PlayMode::KickInRight},
        {{-5, -8.5, 0.042}, {0, -4, 0}, PlayMode::KickInRight},
        {{14.0, 0.5, 0.3}, {3, 0, 4.5}, PlayMode::GoalKickRight},  // over the bar
    };
    World w;
    for (const Case& c : cases) {
        Referee r(quick());
        w.placeBall({0, 0, World::kBallRadius});
        startPlay(r);
        w.placeBall(c.from, c.vel);
        for (int i = 0; i < 250 && r.mode() == PlayMode::PlayOn; ++i) {
            w.step();
            Referee::Output o = r.update(World::kStepTime, present(w.ballPos()));
            if (o.placeBall)
                w.placeBall(o.ballPos);
        }
        EXPECT_EQ(r.mode(), c.mode) << playModeName(c.mode);
    }
}

TEST(RefereeWithPhysics, RobotTouchingTheBallIsSeen) {
    World w;
    const int s = w.addRobot(Side::Right, 4, 0, 0, 0);
    std::array<double, 22> a{};
    a[14] = a[15] = -90;
    w.setJointAngles(s, a);
    w.placeUpright(s, 2, 0, 180);
    w.placeBall({1.0, 0, World::kBallRadius}, {2.0, 0, 0});
    bool touched = false;
    for (int i = 0; i < 50 && !touched; ++i) {
        w.step();
        touched = w.touchedBall(s);
    }
    EXPECT_TRUE(touched);
}
