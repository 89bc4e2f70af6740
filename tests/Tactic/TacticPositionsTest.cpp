// Support and waiting points of the forwards, their exhaustive assignment,
// and the defenders' points under every override.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "Tactic/StrategyAssignment.h"
#include "Tactic/Tactic.h"
#include "WorldModel/WorldModel.h"
#include "support/ScriptedWorld.h"

using tovra::test::ScriptedWorld;

namespace {

Object mate(int n) {
    return static_cast<Object>(TEAMMATE_1 + n - 1);
}

::testing::AssertionResult near(const Vector3f& p, double x, double y) {
    if (std::fabs(p.x() - x) < 1e-4 && std::fabs(p.y() - y) < 1e-4) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure()
           << "(" << p.x() << ", " << p.y() << ") is not (" << x << ", " << y << ")";
}

::testing::AssertionResult entry(const Tactic::StrategyMap& map, Object o, double x, double y) {
    const auto it = map.find(o);
    if (it == map.end()) {
        return ::testing::AssertionFailure() << "no entry for object " << o;
    }
    return near(it->second, x, y);
}

Vector3f at(double x, double y) {
    return Vector3f(static_cast<float>(x), static_cast<float>(y), 0);
}

}  // namespace

TEST(StrategyAssignment, MinimisesTheTotalDistanceNotTheFirstPoint) {
    // Greedy on the first point would give it B (0.1 away) and leave A 2 m
    // from the second; A-B costs 1.9 in total against 2.1.
    const auto map =
        assignStrategyPoints({mate(7), mate(8)}, {at(0, 0), at(1, 0)}, {at(0.9, 0), at(2, 0)});
    ASSERT_EQ(map.size(), 2u);
    EXPECT_TRUE(entry(map, mate(7), 0.9, 0));
    EXPECT_TRUE(entry(map, mate(8), 2, 0));
}

TEST(StrategyAssignment, EqualCostsKeepTheFirstChoiceInIndexOrder) {
    const auto map =
        assignStrategyPoints({mate(9), mate(8)}, {at(0, 0), at(0, 0)}, {at(1, 0), at(2, 0)});
    EXPECT_TRUE(entry(map, mate(9), 1, 0));
    EXPECT_TRUE(entry(map, mate(8), 2, 0));
}

TEST(StrategyAssignment, ACandidateLeftOutOfTheBestChoiceGetsNoEntry) {
    // The first choice (7, 8) is tried and beaten by (8, 9); 7 must not keep
    // the point the first choice gave it.
    const auto map = assignStrategyPoints({mate(7), mate(8), mate(9)},
                                          {at(100, 0), at(1, 0), at(2, 0)}, {at(1, 0), at(2, 0)});
    EXPECT_EQ(map.size(), 2u);
    EXPECT_EQ(map.count(mate(7)), 0u);
    EXPECT_TRUE(entry(map, mate(8), 1, 0));
    EXPECT_TRUE(entry(map, mate(9), 2, 0));
}

TEST(StrategyAssignment, TooFewCandidatesOrUnsupportedSizesGiveNothing) {
    EXPECT_TRUE(assignStrategyPoints({mate(7)}, {at(0, 0)}, {at(1, 0), at(2, 0)}).empty());
    EXPECT_TRUE(assignStrategyPoints({mate(7)}, {at(0, 0)}, {}).empty());
    // Positions that do not match the candidates.
    EXPECT_TRUE(assignStrategyPoints({mate(7), mate(8)}, {at(0, 0)}, {at(1, 0)}).empty());
    std::vector<Vector3f> six(6, at(0, 0));
    std::vector<Object> candidates(6, mate(7));
    EXPECT_TRUE(assignStrategyPoints(candidates, six, six).empty());
}

TEST(TacticForwardPoints, FourCandidatesWithoutTheBallPlayer) {
    ScriptedWorld world(9);
    world.placeMe(-2, 1, 0);
    world.placeBall(0, 0);
    world.place(mate(7), -0.3, 0);  // plays the ball
    world.place(mate(8), -5.2, 0);
    world.place(mate(10), -3, -1);
    world.place(mate(11), -4, 0.2);
    Tactic* t = Tactic::instance();
    t->sortOurForwardByDistBehindBall(t->ourForwardBehindDistToBall);
    ASSERT_EQ(t->ourForwardBehindDistToBall[0], mate(7));
    const Tactic::StrategyMap map = t->getForwardStrategyPos();
    EXPECT_EQ(map.size(), 4u);
    EXPECT_EQ(map.count(mate(7)), 0u);
    EXPECT_TRUE(entry(map, mate(9), -2, 0.8));
    EXPECT_TRUE(entry(map, mate(10), -3, -0.8));
    EXPECT_TRUE(entry(map, mate(11), -4, 0));
    EXPECT_TRUE(entry(map, mate(8), -5, 0));
}

TEST(TacticForwardPoints, FiveCandidatesWhenTheBallPlayerIsAheadOfTheBall) {
    ScriptedWorld world(7);
    world.placeMe(3, 0, 0);  // ahead of the ball, yet named as the ball player
    world.placeBall(0, 0);
    world.place(mate(8), -2, 0.8);
    world.place(mate(9), -3, -0.8);
    world.place(mate(10), -4, 0);
    world.place(mate(11), -5, 0);
    Tactic* t = Tactic::instance();
    t->ourForwardBehindDistToBall = {mate(7), OBJECT_MAX, OBJECT_MAX, OBJECT_MAX, OBJECT_MAX};
    const Tactic::StrategyMap map = t->getForwardStrategyPos();
    // 7 was a candidate but is left out of the best choice: no entry.
    EXPECT_EQ(map.size(), 4u);
    EXPECT_EQ(map.count(mate(7)), 0u);
    EXPECT_TRUE(entry(map, mate(8), -2, 0.8));
    EXPECT_TRUE(entry(map, mate(11), -5, 0));

    // Standing on the second point, 7 takes it from the forward behind it.
    world.placeMe(-3, -0.8, 0);
    world.place(mate(9), -3.2, -0.8);
    t->ourForwardBehindDistToBall[0] = mate(8);  // 8 is behind: excluded
    const Tactic::StrategyMap second = t->getForwardStrategyPos();
    EXPECT_EQ(second.count(mate(8)), 0u);
    EXPECT_TRUE(entry(second, mate(7), -3, -0.8));
}

TEST(TacticForwardPoints, AdvancedBallSideShiftAndRememberedBall) {
    ScriptedWorld world(9);
    world.placeMe(0, 0, 0);
    world.placeBall(8, 0);
    Tactic* t = Tactic::instance();
    t->ourForwardBehindDistToBall = {mate(7), OBJECT_MAX, OBJECT_MAX, OBJECT_MAX, OBJECT_MAX};
    world.place(mate(7), 7.9, 0);
    world.place(mate(8), 6.5, 1.5);
    world.place(mate(10), 6, -1.5);
    world.place(mate(11), 3, 0);
    world.placeMe(4, 0, 0);
    Tactic::StrategyMap map = t->getForwardStrategyPos();
    EXPECT_TRUE(entry(map, mate(8), 6.5, 1.5));  // B + (-1.5, 1.5) beyond x = 5.5
    EXPECT_TRUE(entry(map, mate(10), 6, -1.5));
    EXPECT_TRUE(entry(map, mate(9), 4, 0));
    EXPECT_TRUE(entry(map, mate(11), 3, 0));

    // Near the touch line the points shift inwards by 0.8 - (10 - |y|).
    world.placeBall(0, 9.5);
    world.place(mate(7), -0.1, 9.5);
    world.place(mate(8), -2, 10);
    world.place(mate(9), -3, 8.4);
    world.place(mate(10), -4, 9.2);
    world.place(mate(11), -5, 9.2);
    map = t->getForwardStrategyPos();
    EXPECT_TRUE(entry(map, mate(8), -2, 10));
    EXPECT_TRUE(entry(map, mate(9), -3, 8.4));
    EXPECT_TRUE(entry(map, mate(10), -4, 9.2));

    // A ball localized 0.02 s ago does not move the points.
    world.placeBall(0, -9.5, 0, 0.02);
    map = t->getForwardStrategyPos();
    EXPECT_TRUE(entry(map, mate(8), -2, 10));
}

TEST(TacticWaitPoints, FiveForwardsOnTheFivePoints) {
    ScriptedWorld world(7);
    world.placeBall(-5, 0);
    // Every forward on one point, in reverse order: the best assignment
    // leaves each where it stands.
    const double points[5][2] = {{-2, 1.5}, {-2.5, -1.5}, {-2, -2.5}, {-2.5, 2.5}, {-2, 3.5}};
    for (int i = 0; i < 5; ++i) {
        world.place(mate(11 - i), points[i][0], points[i][1]);
    }
    world.placeMe(points[4][0], points[4][1], 0);
    Tactic::StrategyMap map = Tactic::instance()->GetWaitStrategyPos();
    ASSERT_EQ(map.size(), 5u);
    for (int i = 0; i < 5; ++i) {
        EXPECT_TRUE(entry(map, mate(11 - i), points[i][0], points[i][1])) << i;
    }
}

TEST(TacticWaitPoints, OverridesOfXAndTheSideShift) {
    ScriptedWorld world(7);
    world.placeMe(0, 0, 0);
    Tactic* t = Tactic::instance();
    auto pointsOf = [&](const Tactic::StrategyMap& map) {
        std::vector<std::pair<double, double>> pts;
        for (const auto& kv : map) {
            pts.emplace_back(kv.second.x(), kv.second.y());
        }
        std::sort(pts.begin(), pts.end());
        return pts;
    };
    using Pts = std::vector<std::pair<double, double>>;
    auto approx = [](Pts a, Pts b) {
        if (a.size() != b.size()) {
            return false;
        }
        std::sort(b.begin(), b.end());
        for (size_t i = 0; i < a.size(); ++i) {
            if (std::fabs(a[i].first - b[i].first) > 1e-4 ||
                std::fabs(a[i].second - b[i].second) > 1e-4) {
                return false;
            }
        }
        return true;
    };
    // Ball beyond x = -3 near the left touch line: fixed x values, shifted
    // inwards by |y| + 3.5 - 10 = 1.5.
    world.placeBall(0, 8);
    EXPECT_TRUE(approx(pointsOf(t->GetWaitStrategyPos()),
                       Pts{{0, 8}, {0.5, 5}, {-0.2, 4}, {0, 9}, {0, 10}}));
    // Deep in the own half near the right touch line: x = -7.5 for all.
    world.placeBall(-10, -8);
    EXPECT_TRUE(approx(pointsOf(t->GetWaitStrategyPos()),
                       Pts{{-7.5, -5}, {-7.5, -8}, {-7.5, -9}, {-7.5, -4}, {-7.5, -3}}));
}

namespace {

// A defender agent with the defensive list given directly.
struct DefenceCase {
    ScriptedWorld world;
    Tactic* t;
    DefenceCase(int unum, std::vector<Object> list) : world(unum), t(nullptr) {
        t = Tactic::instance();
        t->ourDefensiveDistToBall = list;
    }
};

}  // namespace

TEST(TacticDefence, OnePointAndItsOverrides) {
    DefenceCase c(5, {mate(4), mate(5), OBJECT_MAX, OBJECT_MAX});
    c.world.placeMe(-8, 0, 0);
    c.world.place(mate(4), -7, 1);
    const struct {
        double bx, by, x, y;
    } cases[] = {
        {0, 0, -2.5, 0},       // default
        {3, 9, 1, 8},          // beyond 10 - 2/3 x on the left
        {3, -9, 1, -8},        // beyond 2/3 x - 10 on the right
        {-10, 5, -12.8, 3.5},  // the bands in front of the own goal
        {-10, 4, -12.8, 1.2},   {-10, 1.5, -12.8, 0}, {-10, -1.5, -12.8, -1.2},
        {-10, -4, -12.5, -3.5}, {-9, 0, -11.5, 0},  // x = -9 is no band
    };
    for (const auto& k : cases) {
        c.world.placeBall(k.bx, k.by);
        EXPECT_TRUE(near(c.t->getDefensiveStrategyPos(mate(4)), k.x, k.y)) << k.bx << " " << k.by;
    }
    // Not the dribbler's second: the first entry gets the point, the agent
    // stays where it is.
    c.world.placeBall(0, 0);
    EXPECT_TRUE(near(c.t->getDefensiveStrategyPos(OBJECT_MAX), -8, 0));
}

TEST(TacticDefence, TwoPointsGoToTheGreatestAndLeastY) {
    DefenceCase c(4, {mate(3), mate(4), mate(5), OBJECT_MAX});
    c.world.place(mate(3), -9, 0);
    c.world.place(mate(5), -9, -1);
    c.world.placeMe(-9, 1, 0);
    c.world.placeBall(0, 0);
    EXPECT_TRUE(near(c.t->getDefensiveStrategyPos(mate(3)), -2.5, 0.5));
    c.world.placeMe(-9, -2, 0);
    EXPECT_TRUE(near(c.t->getDefensiveStrategyPos(mate(3)), -3.5, -1));
    c.world.placeBall(3, 9);
    EXPECT_TRUE(near(c.t->getDefensiveStrategyPos(mate(3)), 0, 7));
    c.world.placeBall(3, -9);
    EXPECT_TRUE(near(c.t->getDefensiveStrategyPos(mate(3)), 0, -8));
    c.world.placeBall(-10, -5);
    EXPECT_TRUE(near(c.t->getDefensiveStrategyPos(mate(3)), -12.5, -3.5));
    c.world.placeBall(-10, 3);
    EXPECT_TRUE(near(c.t->getDefensiveStrategyPos(mate(3)), -12.8, 1.2));

    // A tie in y: the earlier entry takes the upper point and the later one
    // gets none, so it keeps its own position.
    c.world.placeBall(0, 0);
    c.world.place(mate(5), -9, -2);
    EXPECT_TRUE(near(c.t->getDefensiveStrategyPos(mate(3)), -2.5, 0.5));
    // Without the dribbler among them the middle one of three gets nothing.
    c.world.placeMe(-9, -0.5, 0);
    EXPECT_TRUE(near(c.t->getDefensiveStrategyPos(OBJECT_MAX), -9, -0.5));
}

TEST(TacticDefence, ThreePointsUpperMiddleLower) {
    DefenceCase c(5, {mate(3), mate(4), mate(5), mate(6)});
    c.world.place(mate(3), -9, 5);
    c.world.place(mate(4), -9, 2);
    c.world.place(mate(6), -9, -2);
    c.world.placeMe(-9, 0, 0);
    const struct {
        double bx, by, x, y;
    } cases[] = {
        {0, 0, -2, 0},         // default middle point
        {-6, 7, -10, 5},       // above 2/3 x + 10
        {-6, -7, -10, -5},     // below -2/3 x - 10
        {-10, 5, -12.5, 3.5},  // bands
        {-10, 2, -12.8, 1.2}, {-10, 0, -12.8, 0}, {-10, -2, -12.8, -1.2}, {-10, -5, -12.5, -3.5},
    };
    for (const auto& k : cases) {
        c.world.placeBall(k.bx, k.by);
        EXPECT_TRUE(near(c.t->getDefensiveStrategyPos(mate(3)), k.x, k.y)) << k.bx << " " << k.by;
    }
    // The greatest y takes the upper point, the least the lower one.
    c.world.placeBall(0, 0);
    c.world.placeMe(-9, 3, 0);
    EXPECT_TRUE(near(c.t->getDefensiveStrategyPos(mate(3)), -3.5, 1.5));
    c.world.placeMe(-9, -3, 0);
    EXPECT_TRUE(near(c.t->getDefensiveStrategyPos(mate(3)), -3.5, -1.5));
}

TEST(TacticDefence, OneOrNoDefenderFallsToTheThreePointRule) {
    DefenceCase c(6, {mate(6), OBJECT_MAX, OBJECT_MAX, OBJECT_MAX});
    c.world.placeMe(-9, 0, 0);
    c.world.placeBall(0, 0);
    // Alone, the agent is both the greatest and the least y: the upper point.
    EXPECT_TRUE(near(c.t->getDefensiveStrategyPos(OBJECT_MAX), -3.5, 1.5));
    // The only defender plays the ball: nobody gets a point.
    EXPECT_TRUE(near(c.t->getDefensiveStrategyPos(mate(6)), -9, 0));
    c.t->ourDefensiveDistToBall.assign(4, OBJECT_MAX);
    EXPECT_TRUE(near(c.t->getDefensiveStrategyPos(OBJECT_MAX), -9, 0));
}

TEST(TacticDefence, EmptySlotsAmongTheFirstEntriesAreNoPlayers) {
    // An empty slot second in the list: n = 1, three points, and the
    // dribbler first. The empty slot is no defender at (-1000, -1000) that
    // would take the lower point: the agent, least in y of the two left,
    // takes it.
    DefenceCase c(5, {mate(3), OBJECT_MAX, mate(4), mate(5)});
    c.world.place(mate(3), -6, 0);
    c.world.place(mate(4), -9, 2);
    c.world.placeMe(-9, -2, 0);
    c.world.placeBall(0, 0);
    EXPECT_TRUE(near(c.t->getDefensiveStrategyPos(mate(3)), -3.5, -1.5));
    // Without a dribbler the first four slots hold three players: the
    // empty slot takes no point and no player's place.
    EXPECT_TRUE(near(c.t->getDefensiveStrategyPos(OBJECT_MAX), -3.5, -1.5));
    c.world.placeMe(-9, 1, 0);
    EXPECT_TRUE(near(c.t->getDefensiveStrategyPos(OBJECT_MAX), -2, 0));
}
