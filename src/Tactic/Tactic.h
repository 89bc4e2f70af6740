#ifndef TOVRA_TACTIC_TACTIC_H
#define TOVRA_TACTIC_TACTIC_H

#include <map>
#include <string>
#include <vector>

#include "WorldModel/Types.h"

class Actions;
class Skills;
class WorldModel;

// Decisions about the whole side that the roles share: ordered lists of
// teammates and opponents, the split of support positions among forwards and
// among defenders, the choice of the forward who plays the ball, and three
// small movement behaviours. Every player computes the same from its own
// world model; nothing is negotiated.
//
// Groups by uniform number: defenders TEAMMATE_3..TEAMMATE_6, forwards
// TEAMMATE_7..TEAMMATE_11. OBJECT_MAX marks an empty slot. Positions are
// global; distances are horizontal.
//
// The behaviours keep their latches, counters and remembered positions in
// members, so they live as long as the singleton, i.e. for the process.
class Tactic {
public:
    typedef std::map<Object, Vector3f> StrategyMap;

    static Tactic* instance();
    static void deleteT();

    // --- Orderings (Tactic.cpp) ---------------------------------------------
    // Each fills the given list with its fixed number of slots: the objects
    // of its range that meet its condition, nearest first (ties keep Object
    // order), then OBJECT_MAX for the rest. A range larger than the list
    // keeps the nearest.
    void sortOurDefensiveToBall(std::vector<Object>& list);
    void sortOurForwardByDistToMe(std::vector<Object>& list);
    void sortOurForwardByDistBehindBall(std::vector<Object>& list);
    void sortOurForwardByDistToBall(std::vector<Object>& list);
    void sortOurAllByDistToBall(std::vector<Object>& list);
    void sortOurAllByDistToMe(std::vector<Object>& list);
    void sortOppAllByDistToBall(std::vector<Object>& list);
    void sortOppAllByDistToMe(std::vector<Object>& list);

    // --- Support positions (TacticPositions.cpp) ----------------------------
    // Four support points behind the ball for the forwards that do not play
    // it, assigned to minimise the total walking distance; empty with fewer
    // than four candidates.
    StrategyMap getForwardStrategyPos();
    // Five waiting points for the five forwards, assigned the same way.
    StrategyMap GetWaitStrategyPos();
    // The agent's own defensive point; its own position if it gets none.
    Vector3f getDefensiveStrategyPos(Object dribbleObject);

    // --- Predicates (Tactic.cpp) --------------------------------------------
    // Whether the agent is the forward who plays the ball. Within 10 s of
    // kickTime only TEAMMATE_10 is.
    bool isMeMostCloseToBall(double kickTime);
    // Whether o stands in the trapezoid behind the ball: depth x, half-width
    // y at the ball and y + z at depth x.
    bool isInDribbleBallArea(double x, double y, double z, Object o) const;
    // The ball lies in the triangle in front of the opponents' goal.
    bool isInWalk_OMINI_Zone() const;
    // o stands in front of the own goal.
    bool InGoalieDefensiveArea(Object o) const;

    // --- Behaviours (TacticBehaviours.cpp) ------------------------------------
    std::string InterceptBall();
    std::string movingWithoutBall();
    std::string avoidObstacle(const Vector3f& myPos, const Vector3f& target, Object obstacle);
    std::string keepDirToTarget(const Vector3f& target);
    // The point movingWithoutBall walks to.
    const Vector3f& getOldStrategyPos() const { return mMoving.oldStrategyPos; }

    // Slot counts of the lists.
    static constexpr int kOppAllDistToMe = 11;
    static constexpr int kOurAllDistToMe = 11;
    static constexpr int kOurAllDistToBall = 11;
    static constexpr int kOurForwardBehindDistToBall = 5;
    static constexpr int kOurForwardDistToMe = 4;
    static constexpr int kOurForwardDistToBall = 5;
    static constexpr int kOppAllDistToBall = 11;
    static constexpr int kOurDefensiveDistToBall = 4;

    // The lists the roles refresh at the start of their execute.
    std::vector<Object> oppAllDistToMe;
    std::vector<Object> ourAllDistToMe;
    std::vector<Object> ourAllDistToBall;
    std::vector<Object> ourForwardBehindDistToBall;
    std::vector<Object> ourForwardDistToMe;
    std::vector<Object> ourForwardDistToBall;
    std::vector<Object> oppAllDistToBall;
    std::vector<Object> ourDefensiveDistToBall;

    std::string info;
    std::string sayinfo;

private:
    Tactic();
    Tactic(const Tactic&) = delete;
    Tactic& operator=(const Tactic&) = delete;

    // A teammate whose global position was computed within the last 510 s.
    bool isKnown(Object o) const;
    Vector3f posOf(Object o) const;
    // Orders slots (objects of a range, OBJECT_MAX for the rejected ones)
    // by distance to key with a bubble sort that swaps only strictly nearer
    // later slots, then writes the first `slots` of them into list.
    void fillSorted(std::vector<Object>& list, int slots, const std::vector<Object>& range,
                    const Vector3f& key) const;

    // The defensive points for one, two and three defenders, written into
    // points for the defenders of ourDefensiveDistToBall.
    void setOneStraPoint(Object dribbleObject, StrategyMap& points);
    void setTwoStraPoint(Object dribbleObject, StrategyMap& points);
    void setThreeStraPoint(Object dribbleObject, StrategyMap& points);
    // The defenders of ourDefensiveDistToBall other than dribbleObject among
    // its first `count` slots, with the indices of the one with the greatest
    // and the one with the least y (the earlier one wins a tie).
    std::vector<Object> flankDefenders(Object dribbleObject, int count, int& greatest,
                                       int& least) const;

    WorldModel* WM;
    Actions* ACS;
    Skills* SKS;

    // Ball positions remembered by sortOurDefensiveToBall and
    // getForwardStrategyPos.
    bool mDefensiveBallKnown = false;
    Vector3f mDefensiveBall;
    bool mForwardBallKnown = false;
    Vector3f mForwardBall;

    // InterceptBall.
    struct InterceptState {
        bool started = false;
        bool flagWalkToBall = true;
        bool flagTurn = false;
        bool flagWalkLeltRight = false;
        Vector3f ballRelPos;
    };
    // movingWithoutBall.
    struct MovingState {
        bool started = false;
        Vector3f oldStrategyPos;
        Vector3f ourPersonClosedToMePos;
        bool in_strategy = false;
        bool avoidFreePlayerFlag = false;
        bool flagTempStrategyPos1 = false;
        bool flagTempStrategyPos2 = false;
    };
    // avoidObstacle.
    struct AvoidState {
        bool one_left_flag = false;
        bool one_right_flag = false;
        int one_Left_Count = 0;
        int one_Right_Count = 0;
        double angleMyToObj = 0;
        double angleMyToTarget = 0;
    };

    InterceptState mIntercept;
    MovingState mMoving;
    AvoidState mAvoid;

    static Tactic* handleT;
};

#endif
