// The orderings of the tactic, the choice of the forward who plays the ball
// and the field predicates, on scripted world models.

#include <gtest/gtest.h>

#include <vector>

#include "Tactic/Tactic.h"
#include "WorldModel/WorldModel.h"
#include "support/ScriptedWorld.h"

using tovra::test::ScriptedWorld;

namespace {

Object mate(int n) {
    return static_cast<Object>(TEAMMATE_1 + n - 1);
}

Object opp(int n) {
    return static_cast<Object>(OPPONENT_1 + n - 1);
}

using List = std::vector<Object>;

}  // namespace

TEST(TacticOrdering, ForwardsByBallDistanceSkipFallenAndUnknownAndKeepObjectOrderOnTies) {
    ScriptedWorld world(9);
    world.placeMe(-1, 0, 0);  // TEAMMATE_9
    world.placeBall(0, 0);
    world.place(mate(7), 0, 2);
    world.place(mate(8), -2, 0);  // tie with TEAMMATE_7: both 2 m
    world.place(mate(10), 0, 0.5);
    world.place(mate(11), 0.2, 0, -1);  // never localized
    world.setFallen(mate(10), true);
    Tactic* t = Tactic::instance();
    List list;
    t->sortOurForwardByDistToBall(list);
    EXPECT_EQ(list, (List{mate(9), mate(7), mate(8), OBJECT_MAX, OBJECT_MAX}));

    // A forward localized 510 s ago still counts as known, one second more
    // does not.
    world.place(mate(11), 0.2, 0, 510);
    t->sortOurForwardByDistToBall(list);
    EXPECT_EQ(list[0], mate(11));
    world.place(mate(11), 0.2, 0, 511);
    t->sortOurForwardByDistToBall(list);
    EXPECT_EQ(list[0], mate(9));
}

TEST(TacticOrdering, EmptyBallListsNameTheAgentFirst) {
    ScriptedWorld world(4);
    world.placeMe(-5, 0, 0);  // a defender: no forward is known
    world.placeBall(0, 0);
    Tactic* t = Tactic::instance();
    List forwards;
    t->sortOurForwardByDistToBall(forwards);
    EXPECT_EQ(forwards, (List{mate(4), OBJECT_MAX, OBJECT_MAX, OBJECT_MAX, OBJECT_MAX}));

    world.setFallen(mate(4), true);
    List all;
    t->sortOurAllByDistToBall(all);
    ASSERT_EQ(all.size(), 11u);
    EXPECT_EQ(all[0], mate(4));
    for (size_t i = 1; i < all.size(); ++i) {
        EXPECT_EQ(all[i], OBJECT_MAX) << i;
    }
}

TEST(TacticOrdering, AllByDistanceToMeLeavesMeOutAndAddsAFreshBall) {
    ScriptedWorld world(5);
    world.placeMe(0, 0, 0);
    world.place(mate(1), -14, 0);
    world.place(mate(2), 3, 0);
    world.place(mate(11), 0, -1);
    world.placeBall(0.5, 0, 0, 0.1);  // global confidence 9.9
    Tactic* t = Tactic::instance();
    List list;
    t->sortOurAllByDistToMe(list);
    ASSERT_EQ(list.size(), 11u);
    EXPECT_EQ((List{list[0], list[1], list[2], list[3], list[4]}),
              (List{BALL, mate(11), mate(2), mate(1), OBJECT_MAX}));

    // Localized 0.3 s ago: below 9.8, the ball takes no slot.
    world.placeBall(0.5, 0, 0, 0.3);
    t->sortOurAllByDistToMe(list);
    EXPECT_EQ((List{list[0], list[1], list[2], list[3]}),
              (List{mate(11), mate(2), mate(1), OBJECT_MAX}));
    for (Object o : list) {
        EXPECT_NE(o, mate(5));
    }
}

TEST(TacticOrdering, ForwardsToMeKeepTheNearestFourForAnAgentOutsideTheForwards) {
    // A defender sees all five forwards; the list has four slots.
    List list;
    {
        ScriptedWorld world(3);
        world.placeMe(0, 0, 0);
        world.place(mate(7), 5, 0);
        world.place(mate(8), 1, 0);
        world.place(mate(9), 4, 0);
        world.place(mate(10), 2, 0);
        world.place(mate(11), 3, 0);
        Tactic::instance()->sortOurForwardByDistToMe(list);
        EXPECT_EQ(list, (List{mate(8), mate(10), mate(11), mate(9)}));
    }

    // A forward leaves itself out.
    ScriptedWorld forward(8);
    forward.placeMe(1, 0, 0);
    forward.place(mate(7), 5, 0);
    forward.place(mate(9), 4, 0);
    forward.place(mate(10), 2, 0, -1);  // unknown
    forward.place(mate(11), 3, 0);
    Tactic::instance()->sortOurForwardByDistToMe(list);
    EXPECT_EQ(list, (List{mate(11), mate(9), mate(7), OBJECT_MAX}));
}

TEST(TacticOrdering, ForwardsBehindTheBallOnly) {
    ScriptedWorld world(7);
    world.placeMe(-3, 0, 0);
    world.placeBall(0, 0);
    world.place(mate(8), 0, -1);  // level with the ball: not behind
    world.place(mate(9), -1, 1);
    world.place(mate(10), 1, 0);  // ahead
    world.place(mate(11), -0.5, 0);
    world.setFallen(mate(11), true);
    List list;
    Tactic::instance()->sortOurForwardByDistBehindBall(list);
    EXPECT_EQ(list, (List{mate(9), mate(7), OBJECT_MAX, OBJECT_MAX, OBJECT_MAX}));
}

TEST(TacticOrdering, DefendersKeepFallenOnesAndUseTheRememberedBall) {
    ScriptedWorld world(3);
    world.placeMe(-10, 0, 0);
    world.placeBall(-8, 0);
    world.place(mate(4), -8, 3);
    world.place(mate(5), -8, -1);
    world.place(mate(6), -8, 2, -1);  // unknown
    world.setFallen(mate(5), true);
    Tactic* t = Tactic::instance();
    List list;
    t->sortOurDefensiveToBall(list);
    EXPECT_EQ(list, (List{mate(5), mate(3), mate(4), OBJECT_MAX}));

    // The ball moves next to TEAMMATE_4 but is localized 0.5 s ago: the old
    // ball position still orders the list.
    world.placeBall(-8, 3, 0, 0.5);
    t->sortOurDefensiveToBall(list);
    EXPECT_EQ(list, (List{mate(5), mate(3), mate(4), OBJECT_MAX}));
    world.placeBall(-8, 3, 0, 0.1);
    t->sortOurDefensiveToBall(list);
    EXPECT_EQ(list, (List{mate(4), mate(3), mate(5), OBJECT_MAX}));
}

TEST(TacticOrdering, OpponentsByBallTakeEveryoneAndByMeSkipTheFallen) {
    ScriptedWorld world(9);
    world.placeMe(0, 0, 0);
    world.placeBall(5, 0);
    world.place(opp(3), 6, 0);
    world.place(opp(7), 1, 0);
    world.setFallen(opp(7), true);
    Tactic* t = Tactic::instance();
    List byBall;
    t->sortOppAllByDistToBall(byBall);
    ASSERT_EQ(byBall.size(), 11u);
    // Never-localized opponents tie at the default position and keep Object
    // order behind the two placed ones.
    EXPECT_EQ((List{byBall[0], byBall[1], byBall[2], byBall[3]}),
              (List{opp(3), opp(7), opp(1), opp(2)}));
    List byMe;
    t->sortOppAllByDistToMe(byMe);
    EXPECT_EQ(byMe[0], opp(3));
    EXPECT_EQ(byMe[10], OBJECT_MAX);
    for (Object o : byMe) {
        EXPECT_NE(o, opp(7));
    }
}

TEST(TacticBallPlayer, FirstTenSecondsAfterKickOffBelongToTeammateTen) {
    for (int unum : {9, 10}) {
        ScriptedWorld world(unum);
        world.setTime(100);
        world.placeMe(-1, 0, 0);
        world.placeBall(0, 0);
        world.place(mate(7), -0.5, 0);
        Tactic* t = Tactic::instance();
        t->sortOurForwardByDistToBall(t->ourForwardDistToBall);
        EXPECT_EQ(t->isMeMostCloseToBall(95), unum == 10) << unum;
        // After the ten seconds TEAMMATE_7, in the area behind the ball and
        // nearest, plays it.
        EXPECT_FALSE(t->isMeMostCloseToBall(90)) << unum;
    }
}

TEST(TacticBallPlayer, DribblerFromTheAreaBehindTheBallOrElseTheNearest) {
    ScriptedWorld world(9);
    world.setTime(200);
    world.placeMe(-3, 0, 0);  // in the area, 3 m behind
    world.placeBall(0, 0);
    world.place(mate(7), 0.5, 0);             // nearest, but ahead of the ball
    world.place(mate(8), -1, 3);              // behind but outside the area
    world.place(mate(10), -0.2, -0.5, 0, 0);  // fallen
    world.setFallen(mate(10), true);
    Tactic* t = Tactic::instance();
    t->sortOurForwardByDistToBall(t->ourForwardDistToBall);
    ASSERT_EQ(t->ourForwardDistToBall[0], mate(7));
    EXPECT_TRUE(t->isMeMostCloseToBall(0));

    // Nobody in the area: the nearest slot plays.
    world.placeMe(-3, 4, 0);
    t->sortOurForwardByDistToBall(t->ourForwardDistToBall);
    EXPECT_FALSE(t->isMeMostCloseToBall(0));

    // Every slot fallen (the agent last): the answer is true.
    t->ourForwardDistToBall = {mate(10), mate(10), OBJECT_MAX, OBJECT_MAX, OBJECT_MAX};
    EXPECT_TRUE(t->isMeMostCloseToBall(0));
    EXPECT_EQ(t->ourForwardDistToBall[0], OBJECT_MAX);
    // Within the ten seconds an empty slot reads as a forward still standing:
    // only TEAMMATE_10 would answer true.
    EXPECT_FALSE(t->isMeMostCloseToBall(world.time()));
    // Five fallen forwards within the ten seconds: nobody stands, so the
    // answer is true.
    for (int n = 7; n <= 11; ++n) {
        world.setFallen(mate(n), true);
    }
    t->ourForwardDistToBall = {mate(7), mate(8), mate(9), mate(10), mate(11)};
    EXPECT_TRUE(t->isMeMostCloseToBall(world.time()));
}

TEST(TacticPredicates, DribbleAreaExcludesItsBoundaryLines) {
    ScriptedWorld world(9);
    world.placeMe(-5, 5, 0);
    world.placeBall(0, 0);
    Tactic* t = Tactic::instance();
    auto inArea = [&](double x, double y) {
        world.place(mate(7), x, y);
        return t->isInDribbleBallArea(2, 1, 1, mate(7));
    };
    // Depth 1: the border lines are at y = +-1.5.
    EXPECT_TRUE(inArea(-1, 1.49));
    EXPECT_FALSE(inArea(-1, 1.5));
    EXPECT_TRUE(inArea(-1, -1.49));
    EXPECT_FALSE(inArea(-1, -1.5));
    // At the ball and at the far end the area is open.
    EXPECT_FALSE(inArea(0, 0));
    EXPECT_TRUE(inArea(-0.01, 0));
    EXPECT_TRUE(inArea(-1.99, 1.99));
    EXPECT_FALSE(inArea(-2, 0));
    // A zero depth holds nothing.
    world.place(mate(7), -0.1, 0);
    EXPECT_FALSE(t->isInDribbleBallArea(0, 1, 1, mate(7)));
}

TEST(TacticPredicates, WalkZoneAndGoalieArea) {
    ScriptedWorld world(1);
    world.placeMe(-14, 0, 0);
    Tactic* t = Tactic::instance();
    const struct {
        double x, y;
        bool in;
    } zone[] = {{12, 4.5, true}, {12, 4.6, false}, {11.9, 0, false},
                {15, 0, true},   {14, -1.5, true}, {14, -1.6, false}};
    for (const auto& c : zone) {
        world.placeBall(c.x, c.y);
        EXPECT_EQ(t->isInWalk_OMINI_Zone(), c.in) << c.x << " " << c.y;
    }
    world.place(mate(2), -13.5, 1.9);
    EXPECT_TRUE(t->InGoalieDefensiveArea(mate(2)));
    world.place(mate(2), -13, 0);
    EXPECT_FALSE(t->InGoalieDefensiveArea(mate(2)));
    world.place(mate(2), -14, -2);
    EXPECT_FALSE(t->InGoalieDefensiveArea(mate(2)));
}
