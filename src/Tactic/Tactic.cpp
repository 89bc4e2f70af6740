#include "Tactic/Tactic.h"

#include <cmath>
#include <limits>
#include <utility>

#include "Actions/Actions.h"
#include "Math/MyMath.h"
#include "Skills/Skills.h"
#include "WorldModel/WorldModel.h"

Tactic* Tactic::handleT = nullptr;

namespace {

const Object kFirstDefender = TEAMMATE_3;
const Object kLastDefender = TEAMMATE_6;
const Object kFirstForward = TEAMMATE_7;
const Object kLastForward = TEAMMATE_11;

// A global position computed within the last 510 s.
const double kKnownConfidence = -500.0;
// Remembered ball positions are refreshed at these global confidences.
const double kDefensiveBallConfidence = 9.8;
const double kBallSlotConfidence = 9.8;
// The first 10 s after a kick-off belong to TEAMMATE_10.
const double kKickOffPeriod = 10.0;

std::vector<Object> rangeOf(Object first, Object last) {
    std::vector<Object> range;
    for (int o = first; o <= last; ++o) {
        range.push_back(static_cast<Object>(o));
    }
    return range;
}

}  // namespace

Tactic* Tactic::instance() {
    if (handleT == nullptr) {
        handleT = new Tactic();
    }
    return handleT;
}

void Tactic::deleteT() {
    delete handleT;
    handleT = nullptr;
}

Tactic::Tactic()
    : oppAllDistToMe(kOppAllDistToMe, OBJECT_MAX),
      ourAllDistToMe(kOurAllDistToMe, OBJECT_MAX),
      ourAllDistToBall(kOurAllDistToBall, OBJECT_MAX),
      ourForwardBehindDistToBall(kOurForwardBehindDistToBall, OBJECT_MAX),
      ourForwardDistToMe(kOurForwardDistToMe, OBJECT_MAX),
      ourForwardDistToBall(kOurForwardDistToBall, OBJECT_MAX),
      oppAllDistToBall(kOppAllDistToBall, OBJECT_MAX),
      ourDefensiveDistToBall(kOurDefensiveDistToBall, OBJECT_MAX),
      WM(WorldModel::instance()),
      ACS(Actions::getInstance()),
      SKS(Skills::getInstance()) {}

bool Tactic::isKnown(Object o) const {
    return WM->getGlobalConfidence(o) >= kKnownConfidence;
}

Vector3f Tactic::posOf(Object o) const {
    return WM->getObjectVision(o).globalPos;
}

void Tactic::fillSorted(std::vector<Object>& list, int slots, const std::vector<Object>& range,
                        const Vector3f& key) const {
    // Empty slots always sink to the end, whatever the key point.
    std::vector<std::pair<Object, double>> keyed;
    keyed.reserve(range.size());
    for (Object o : range) {
        const double d = o == OBJECT_MAX ? std::numeric_limits<double>::infinity()
                                         : calculateDist(posOf(o), key);
        keyed.emplace_back(o, d);
    }
    // Bubble sort: a later slot moves up only when strictly nearer, so ties
    // keep Object order; stops after a pass without swaps.
    bool swapped = true;
    while (swapped) {
        swapped = false;
        for (size_t i = 0; i + 1 < keyed.size(); ++i) {
            if (keyed[i + 1].second < keyed[i].second) {
                std::swap(keyed[i], keyed[i + 1]);
                swapped = true;
            }
        }
    }
    list.assign(slots, OBJECT_MAX);
    for (int i = 0; i < slots && i < static_cast<int>(keyed.size()); ++i) {
        list[i] = keyed[i].first;
    }
}

void Tactic::sortOurForwardByDistToBall(std::vector<Object>& list) {
    std::vector<Object> range = rangeOf(kFirstForward, kLastForward);
    for (Object& o : range) {
        if (WM->getIsObjectFallDown(o) || !isKnown(o)) {
            o = OBJECT_MAX;
        }
    }
    fillSorted(list, kOurForwardDistToBall, range, WM->getBallPos());
    if (list[0] == OBJECT_MAX) {
        list[0] = WM->getMyObject();
    }
}

void Tactic::sortOurAllByDistToBall(std::vector<Object>& list) {
    std::vector<Object> range = rangeOf(TEAMMATE_1, TEAMMATE_11);
    for (Object& o : range) {
        if (WM->getIsObjectFallDown(o) || !isKnown(o)) {
            o = OBJECT_MAX;
        }
    }
    fillSorted(list, kOurAllDistToBall, range, WM->getBallPos());
    if (list[0] == OBJECT_MAX) {
        list[0] = WM->getMyObject();
    }
}

void Tactic::sortOurForwardByDistToMe(std::vector<Object>& list) {
    const Object me = WM->getMyObject();
    std::vector<Object> range;
    for (Object o : rangeOf(kFirstForward, kLastForward)) {
        if (o != me) {
            range.push_back(isKnown(o) ? o : OBJECT_MAX);
        }
    }
    // An agent that is no forward itself sees five: the four nearest stay.
    fillSorted(list, kOurForwardDistToMe, range, posOf(me));
}

void Tactic::sortOurAllByDistToMe(std::vector<Object>& list) {
    const Object me = WM->getMyObject();
    std::vector<Object> range;
    for (Object o : rangeOf(TEAMMATE_1, TEAMMATE_11)) {
        if (o != me) {
            range.push_back(isKnown(o) ? o : OBJECT_MAX);
        }
    }
    range.push_back(WM->getGlobalConfidence(BALL) >= kBallSlotConfidence ? BALL : OBJECT_MAX);
    fillSorted(list, kOurAllDistToMe, range, posOf(me));
}

void Tactic::sortOurForwardByDistBehindBall(std::vector<Object>& list) {
    // Ordered by the computed distance to the ball, like the other lists;
    // teammates' talk reports of their ball distance are not consulted.
    const Vector3f ball = WM->getBallPos();
    std::vector<Object> range = rangeOf(kFirstForward, kLastForward);
    for (Object& o : range) {
        if (WM->getIsObjectFallDown(o) || !(posOf(o).x() < ball.x()) || !isKnown(o)) {
            o = OBJECT_MAX;
        }
    }
    fillSorted(list, kOurForwardBehindDistToBall, range, ball);
}

void Tactic::sortOurDefensiveToBall(std::vector<Object>& list) {
    // Ordered by the computed distance to the remembered ball (see above).
    if (!mDefensiveBallKnown || WM->getGlobalConfidence(BALL) >= kDefensiveBallConfidence) {
        mDefensiveBall = WM->getBallPos();
        mDefensiveBallKnown = true;
    }
    std::vector<Object> range = rangeOf(kFirstDefender, kLastDefender);
    for (Object& o : range) {
        if (!isKnown(o)) {
            o = OBJECT_MAX;
        }
    }
    fillSorted(list, kOurDefensiveDistToBall, range, mDefensiveBall);
}

void Tactic::sortOppAllByDistToBall(std::vector<Object>& list) {
    fillSorted(list, kOppAllDistToBall, rangeOf(OPPONENT_1, OPPONENT_11), WM->getBallPos());
}

void Tactic::sortOppAllByDistToMe(std::vector<Object>& list) {
    std::vector<Object> range = rangeOf(OPPONENT_1, OPPONENT_11);
    for (Object& o : range) {
        if (WM->getIsObjectFallDown(o)) {
            o = OBJECT_MAX;
        }
    }
    fillSorted(list, kOppAllDistToMe, range, posOf(WM->getMyObject()));
}

bool Tactic::isMeMostCloseToBall(double kickTime) {
    const Object me = WM->getMyObject();
    const Vector3f ball = WM->getBallPos();
    const bool kickOffPeriod = WM->getServerTime() - kickTime < kKickOffPeriod;
    Object dribbler = OBJECT_MAX;
    // An empty slot reads as a forward that has not fallen (at the default
    // position, so it never stands in the area behind the ball).
    for (Object& o : ourForwardDistToBall) {
        if (WM->getIsObjectFallDown(o)) {
            o = OBJECT_MAX;
            continue;
        }
        if (kickOffPeriod) {
            return me == TEAMMATE_10;
        }
        if (posOf(o).x() < ball.x() && isInDribbleBallArea(3.5, 1, 1.5, o)) {
            dribbler = o;
            break;
        }
    }
    if (dribbler == OBJECT_MAX && !(kickOffPeriod && me == TEAMMATE_7)) {
        for (Object o : ourForwardDistToBall) {
            if (o != OBJECT_MAX) {
                dribbler = o;
                break;
            }
        }
    }
    if (dribbler == OBJECT_MAX) {
        return true;
    }
    return dribbler == me;
}

bool Tactic::isInDribbleBallArea(double x, double y, double z, Object o) const {
    if (!(x > 0)) {
        return false;
    }
    const Vector3f ball = WM->getBallPos();
    const Vector3f p = posOf(o);
    if (!(ball.x() - x < p.x() && p.x() < ball.x())) {
        return false;
    }
    // Both border lines widen by z over the depth x.
    const double widen = z / x * (ball.x() - p.x());
    const double upper = ball.y() + y + widen;
    const double lower = ball.y() - y - widen;
    return lower < p.y() && p.y() < upper;
}

bool Tactic::isInWalk_OMINI_Zone() const {
    const Vector3f ball = WM->getBallPos();
    return ball.x() >= 12 && std::fabs(ball.y()) <= 22.5 - 1.5 * ball.x();
}

bool Tactic::InGoalieDefensiveArea(Object o) const {
    const Vector3f p = posOf(o);
    return p.x() < -13 && std::fabs(p.y()) < 2;
}
