// The referee's rules played through the physics: set pieces and their
// keep-out distance, the kick-off, robots taken out of play, and the fouls
// that give free kicks.
#include <gtest/gtest.h>

#include <cmath>

#include "Referee.h"
#include "World.h"

using namespace tovrasim;

namespace {

// A world and a referee stepped together as the server steps them.
class Pitch {
public:
    explicit Pitch(const Referee::Config& c = config()) : ref_(c) {
        world_.placeBall({0, 0, World::kBallRadius});
    }

    static Referee::Config config() {
        Referee::Config c;
        c.halfTime = 1000;
        return c;
    }

    // A robot standing with its arms down.
    int add(Side s, int unum, double x, double y, double heading) {
        const int slot = world_.addRobot(s, unum, x, y, heading);
        std::array<double, RobotModel::kNumJoints> a{};
        a[14] = a[15] = -90;
        world_.setJointAngles(slot, a);
        world_.placeUpright(slot, x, y, heading);
        return slot;
    }

    void setMode(PlayMode m) { apply(world_, ref_.setMode(m, world_.ballPos())); }

    // Runs `steps` steps, or until the play mode is no longer `until`.
    void run(int steps, PlayMode until = PlayMode::GameOver) {
        for (int i = 0; i < steps; ++i) {
            if (until != PlayMode::GameOver && ref_.mode() != until)
                return;
            world_.step();
            const Referee::Output o = ref_.update(World::kStepTime, observe(world_));
            apply(world_, o);
            events_.insert(events_.end(), o.events.begin(), o.events.end());
        }
    }

    int count(const std::string& reason) const {
        int n = 0;
        for (const Referee::Event& e : events_)
            n += e.reason == reason;
        return n;
    }
    const Referee::Event* find(const std::string& reason) const {
        for (const Referee::Event& e : events_) {
            if (e.reason == reason)
                return &e;
        }
        return nullptr;
    }
    double distance(int slot, const Vec3& p) const {
        const Vec3 t = world_.torsoPos(slot);
        return std::hypot(t.x - p.x, t.y - p.y);
    }

    World& world() { return world_; }
    Referee& ref() { return ref_; }

private:
    World world_;
    Referee ref_;
    std::vector<Referee::Event> events_;
};

}  // namespace

TEST(SetPieces, KickInIsTakenWhereTheBallCrossedAndOpponentsAreKeptOut) {
    Pitch p;
    const int taker = p.add(Side::Right, 7, 4.5, 8.6, 90);
    const int opponent = p.add(Side::Left, 4, 5.0, 9.4, -90);
    p.setMode(PlayMode::PlayOn);
    // Untouched, in the right half: the right side kicks in.
    p.world().placeBall({3.5, 9.0, World::kBallRadius}, {1.0, 2.0, 0});
    p.run(100, PlayMode::PlayOn);
    ASSERT_EQ(p.ref().mode(), PlayMode::KickInRight);
    const Vec3 spot = p.world().ballPos();
    EXPECT_NEAR(spot.y, 10.0, 0.01);
    EXPECT_GT(spot.x, 3.7);  // about half a metre along the line from where it rolled
    EXPECT_LT(spot.x, 4.3);

    p.run(1);
    EXPECT_NEAR(p.distance(opponent, spot), Referee::kFreeKickMoveDist, 0.05);
    EXPECT_GT(p.world().torsoPos(opponent).x, spot.x) << "moved away from the ball";
    EXPECT_EQ(p.count("keep out"), 1);
    EXPECT_LT(p.distance(taker, {4.5, 8.6, 0}), 0.1) << "the side that restarts is not moved";

    // Kept out while the kick-in lasts.
    p.world().shiftRobot(opponent, spot.x + 0.4, spot.y - 0.3);
    p.run(1);
    EXPECT_NEAR(p.distance(opponent, spot), Referee::kFreeKickMoveDist, 0.05);
    EXPECT_EQ(p.count("keep out"), 2);

    // Once the ball is played, the opponent may come close.
    p.world().placeBall(spot + Vec3(0, -0.3, 0));
    p.run(1);
    ASSERT_EQ(p.ref().mode(), PlayMode::PlayOn);
    p.world().shiftRobot(opponent, spot.x + 0.4, spot.y - 0.6);
    p.run(5);
    EXPECT_LT(p.distance(opponent, spot), 1.0);
    EXPECT_EQ(p.count("keep out"), 2);
}

TEST(SetPieces, GoalKickAndCornerKeepTheOtherSideAway) {
    {
        // Goal kick of the right side, ball GoalKickDist before its goal; a
        // left robot right beside the spot steps back to the free-kick distance.
        Pitch p;
        const int attacker = p.add(Side::Left, 9, 14.3, 0.3, 0);
        p.world().placeBall({15 - Referee::kGoalKickDist, 0, World::kBallRadius});
        p.setMode(PlayMode::GoalKickRight);
        p.run(2);
        EXPECT_NEAR(p.distance(attacker, p.world().ballPos()), Referee::kFreeKickMoveDist, 0.05);
        EXPECT_EQ(p.ref().mode(), PlayMode::GoalKickRight);
    }
    {
        // Corner of the left side: a right defender near the corner.
        Pitch p;
        const int defender = p.add(Side::Right, 3, 14.2, 9.2, 90);
        p.world().placeBall({15, 10, World::kBallRadius});
        p.setMode(PlayMode::CornerKickLeft);
        p.run(2);
        EXPECT_NEAR(p.distance(defender, {15, 10, 0}), Referee::kFreeKickMoveDist, 0.05);
        const Vec3 t = p.world().torsoPos(defender);
        EXPECT_LT(t.x, 15);  // away from the corner, into the field
        EXPECT_LT(t.y, 10);
    }
}

TEST(KickOff, BothSidesStartInTheirOwnHalfAndTheOtherSideOutsideTheCircle) {
    Pitch p;
    const int kickerAhead = p.add(Side::Left, 10, 2.0, 1.0, 0);
    const int inCircle = p.add(Side::Right, 9, 0.8, 0.5, 180);
    const int wrongHalf = p.add(Side::Right, 4, -3.0, 4.0, 180);
    Referee::Output o;
    ASSERT_TRUE(p.ref().kickOff(o));
    apply(p.world(), o);
    ASSERT_EQ(p.ref().mode(), PlayMode::KickOffLeft);
    p.run(1);
    EXPECT_LE(p.world().torsoPos(kickerAhead).x, 0.0);
    EXPECT_NEAR(p.world().torsoPos(kickerAhead).y, 1.0, 0.05);
    const Vec3 c = p.world().torsoPos(inCircle);
    EXPECT_GE(std::hypot(c.x, c.y), Referee::kCentreCircleRadius);
    EXPECT_GT(c.x, 0.0);
    EXPECT_GE(p.world().torsoPos(wrongHalf).x, 0.0);
    EXPECT_EQ(p.count("kick-off"), 3);
    // Its sway takes it a millimetre back towards the centre: still outside.
    p.world().shiftRobot(inCircle, c.x * 0.9995, c.y * 0.9995);
    p.run(1);
    EXPECT_EQ(p.count("kick-off"), 3) << "a robot just moved is not moved again by its sway";

    // The other side stays out of the circle; the kicking side walks up to
    // the ball as it likes.
    p.world().shiftRobot(inCircle, 0.9, 0);
    p.world().shiftRobot(kickerAhead, -0.4, 0.2);
    p.run(1);
    EXPECT_GE(p.distance(inCircle, {0, 0, 0}), Referee::kCentreCircleRadius);
    EXPECT_LT(p.distance(kickerAhead, {-0.4, 0.2, 0}), 0.05);
    EXPECT_EQ(p.ref().mode(), PlayMode::KickOffLeft);
}

TEST(KickOff, ASecondTouchByTheKickerBeforeAnyOtherGivesTheOtherSideAFreeKick) {
    for (bool otherTouchesBetween : {false, true}) {
        Pitch p;
        // Its toes 0.02 m behind the ball.
        p.add(Side::Left, 10, -0.16, 0, 0);
        p.add(Side::Right, 9, 2.6, 0, 180);
        Referee::Output o;
        ASSERT_TRUE(p.ref().kickOff(o));
        apply(p.world(), o);
        // The kicker plays the ball: it rolls into its feet.
        p.world().placeBall({0, 0, World::kBallRadius}, {-0.8, 0, 0});
        p.run(100, PlayMode::KickOffLeft);
        ASSERT_EQ(p.ref().mode(), PlayMode::PlayOn);
        p.run(50);
        if (otherTouchesBetween) {
            p.world().placeBall({2.2, 0, World::kBallRadius}, {0.8, 0, 0});
            p.run(50);
        }
        // The kicker touches it again.
        p.world().placeBall({0.1, 0.02, World::kBallRadius}, {-0.8, 0, 0});
        p.run(100, PlayMode::PlayOn);
        if (otherTouchesBetween) {
            EXPECT_EQ(p.ref().mode(), PlayMode::PlayOn);
            EXPECT_EQ(p.count("double touch"), 0);
        } else {
            ASSERT_EQ(p.ref().mode(), PlayMode::FreeKickRight);
            const Referee::Event* e = p.find("double touch");
            ASSERT_NE(e, nullptr);
            EXPECT_EQ(e->type, "foul");
            EXPECT_EQ(e->side, Side::Left);
            EXPECT_EQ(e->unum, 10);
            // At the spot of the second touch, right before the kicker.
            EXPECT_NEAR(p.world().ballPos().x, 0.0, 0.25);
            EXPECT_NEAR(p.world().ballPos().y, 0.0, 0.1);
        }
    }
}

TEST(OutOfPlay, ARobotLyingTooLongOrOffTheFieldIsPutBesideItsOwnHalf) {
    Pitch p;
    const int lying = p.add(Side::Left, 5, -4, 2, 0);
    const int away = p.add(Side::Right, 8, 3, 0, 180);
    // On its back: the forward axis points up.
    p.world().setTorsoPose(lying, {-4, 2, 0.12}, {std::cos(kPi / 4), std::sin(kPi / 4), 0, 0});
    p.setMode(PlayMode::PlayOn);
    const int limitSteps = static_cast<int>(p.ref().config().lyingLimit / World::kStepTime);
    p.run(limitSteps - 5);
    EXPECT_TRUE(p.world().lying(lying));
    EXPECT_EQ(p.count("lying"), 0);
    p.run(10);
    EXPECT_EQ(p.count("lying"), 1);
    EXPECT_FALSE(p.world().lying(lying));
    const Vec3 home = waitingSpot(Side::Left, 5);
    EXPECT_LT(p.distance(lying, home), 0.05);
    EXPECT_LT(home.x, 0) << "beside its own half";

    // Off the field: the torso over a metre beyond the touchline.
    p.world().placeUpright(away, 3, 10.9, 90);
    p.run(3);
    EXPECT_EQ(p.count("off the field"), 0) << "0.9 m beyond the line is still near the field";
    p.world().placeUpright(away, 3, 11.2, 90);
    p.run(1);
    EXPECT_EQ(p.count("off the field"), 1);
    const Vec3 spot = waitingSpot(Side::Right, 8);
    EXPECT_LT(p.distance(away, spot), 0.05);
    EXPECT_GT(spot.x, 0);
    const Referee::Event* e = p.find("off the field");
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->side, Side::Right);
    EXPECT_EQ(e->unum, 8);
}

TEST(OutOfPlay, TheLyingRuleCanBeTurnedOff) {
    Referee::Config c = Pitch::config();
    c.lyingLimit = 0;
    Pitch p(c);
    const int lying = p.add(Side::Left, 5, -4, 2, 0);
    p.world().setTorsoPose(lying, {-4, 2, 0.12}, {std::cos(kPi / 4), std::sin(kPi / 4), 0, 0});
    p.setMode(PlayMode::PlayOn);
    p.run(static_cast<int>(12 / World::kStepTime));
    EXPECT_TRUE(p.world().lying(lying));
    EXPECT_EQ(p.count("lying"), 0);
}

TEST(Fouls, TooManyDefendersInTheirPenaltyAreaForTooLongGiveAFreeKick) {
    for (int defenders : {3, 4}) {
        Pitch p;
        for (int k = 0; k < defenders; ++k)
            p.add(Side::Left, k + 1, -14.2, -1.2 + 0.8 * k, 0);
        p.setMode(PlayMode::PlayOn);
        const int limitSteps = static_cast<int>(p.ref().config().crowdLimit / World::kStepTime);
        p.run(limitSteps - 5);
        EXPECT_EQ(p.ref().mode(), PlayMode::PlayOn);
        p.run(limitSteps);
        if (defenders <= p.ref().config().maxInOwnArea) {
            EXPECT_EQ(p.ref().mode(), PlayMode::PlayOn) << defenders << " defenders";
            EXPECT_EQ(p.count("crowding"), 0);
            continue;
        }
        ASSERT_EQ(p.ref().mode(), PlayMode::FreeKickRight);
        EXPECT_EQ(p.count("crowding"), 1);
        const Vec3 b = p.world().ballPos();
        EXPECT_NEAR(b.x, -15 + Referee::kPenaltyLength, 1e-6);
        EXPECT_NEAR(b.y, 0, 1e-6);
        // The defenders near the spot are moved back to the distance.
        EXPECT_GE(p.count("keep out"), 2);
    }
}

TEST(Fouls, ARobotThatKeepsPushingAnOpponentGivesThemAFreeKick) {
    Pitch p;
    // Facing each other, their arms a few centimetres apart.
    const int pusher = p.add(Side::Right, 6, 4.25, 0, 180);
    const int pushed = p.add(Side::Left, 3, 4, 0, 0);
    p.world().placeBall({0, 5, World::kBallRadius});
    p.setMode(PlayMode::PlayOn);
    // The right robot presses on, 0.1 m/s towards the other.
    for (int i = 0; i < 250 && p.ref().mode() == PlayMode::PlayOn; ++i) {
        const Vec3 t = p.world().torsoPos(pusher);
        const Vec3 o = p.world().torsoPos(pushed);
        const double d = std::hypot(o.x - t.x, o.y - t.y);
        p.world().shiftRobot(pusher, t.x + 0.002 * (o.x - t.x) / d, t.y + 0.002 * (o.y - t.y) / d);
        p.run(1);
    }
    ASSERT_EQ(p.ref().mode(), PlayMode::FreeKickLeft);
    const Referee::Event* e = p.find("pushing");
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->side, Side::Right);
    EXPECT_EQ(e->unum, 6);
}

// The pushing rule on its own: who pushes whom, and contact that is no push.
TEST(Fouls, PushingNeedsARobotPressingOnOrOneOnTheGround) {
    struct Case {
        bool leftLying, rightLying;
        double leftStep, rightStep;  // metres per step towards the other
        int foul;                    // 0 none, 1 by the left robot, 2 by the right
    };
    const Case cases[] = {
        {false, false, 0.0, 0.0, 0},        // leaning on each other
        {true, true, 0.0, 0.0, 0},          // both on the ground
        {false, false, 0.002, 0.0, 1},      // the left one presses
        {false, false, 0.0005, 0.0015, 2},  // both press, the right harder
        {true, false, 0.0, 0.0, 2},         // a standing robot against a fallen one
    };
    for (const Case& c : cases) {
        Referee r(Pitch::config());
        r.setMode(PlayMode::PlayOn, {5, 5, 0.042});
        Referee::Input in;
        in.ball = {5, 5, 0.042};
        in.nLeft = in.nRight = 1;
        in.robots.resize(2);
        in.robots[0] = {0, Side::Left, 3, {0, 0, 0.3}, 0, c.leftLying, false, {1}};
        in.robots[1] = {1, Side::Right, 6, {0.4, 0, 0.3}, 180, c.rightLying, false, {0}};
        for (int i = 0; i < 200 && r.mode() == PlayMode::PlayOn; ++i) {
            r.update(0.02, in);
            in.robots[0].pos.x += c.leftStep;
            in.robots[1].pos.x -= c.rightStep;
        }
        const PlayMode expected = c.foul == 0   ? PlayMode::PlayOn
                                  : c.foul == 1 ? PlayMode::FreeKickRight
                                                : PlayMode::FreeKickLeft;
        EXPECT_EQ(r.mode(), expected) << "case " << (&c - cases);
    }
}
