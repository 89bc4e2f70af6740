// Support positions: the forwards' support and waiting points with their
// exhaustive assignment, and the defenders' points.

#include <cmath>

#include "Math/MyMath.h"
#include "Tactic/StrategyAssignment.h"
#include "Tactic/Tactic.h"
#include "WorldModel/WorldModel.h"

namespace {

const Object kFirstForward = TEAMMATE_7;
const Object kLastForward = TEAMMATE_11;

// The forwards' remembered ball is refreshed at this global confidence.
const double kFresh = 10.0;

Vector3f point(double x, double y) {
    return Vector3f(static_cast<float>(x), static_cast<float>(y), 0);
}

Vector3f offset(const Vector3f& ball, double dx, double dy) {
    return point(ball.x() + dx, ball.y() + dy);
}

double signOf(double v) {
    return v < 0 ? -1.0 : 1.0;
}

}  // namespace

Tactic::StrategyMap Tactic::getForwardStrategyPos() {
    if (!mForwardBallKnown || WM->getGlobalConfidence(BALL) >= kFresh) {
        mForwardBall = WM->getBallPos();
        mForwardBallKnown = true;
    }
    const Vector3f ball = mForwardBall;
    double s = 0;
    if (std::fabs(ball.y()) > 9.2) {
        s = (0.8 - (10 - std::fabs(ball.y()))) * signOf(ball.y());
    }
    std::vector<Vector3f> points = {offset(ball, -2, 0.8 - s), offset(ball, -3, -0.8 - s),
                                    offset(ball, -4, -s), offset(ball, -5, -s)};
    if (ball.x() > 5.5) {
        points[0] = offset(ball, -1.5, 1.5);
        points[1] = offset(ball, -2, -1.5);
    }
    // Every forward ahead of the ball, and every other forward but the one
    // who plays the ball.
    const Object ballPlayer =
        ourForwardBehindDistToBall.empty() ? OBJECT_MAX : ourForwardBehindDistToBall[0];
    std::vector<Object> candidates;
    std::vector<Vector3f> positions;
    for (int o = kFirstForward; o <= kLastForward; ++o) {
        const Object forward = static_cast<Object>(o);
        const Vector3f pos = posOf(forward);
        if (pos.x() > ball.x() || forward != ballPlayer) {
            candidates.push_back(forward);
            positions.push_back(pos);
        }
    }
    return assignStrategyPoints(candidates, positions, points);
}

Tactic::StrategyMap Tactic::GetWaitStrategyPos() {
    const Vector3f ball = WM->getBallPos();
    double s = 0;
    if (std::fabs(ball.y()) + 3.5 > 10) {
        s = (std::fabs(ball.y()) + 3.5 - 10) * signOf(ball.y());
    }
    const double y = ball.y();
    std::vector<Vector3f> points = {
        point(ball.x() + 3, y + 1.5 - s), point(ball.x() + 2.5, y - 1.5 - s),
        point(ball.x() + 3, y - 2.5 - s), point(ball.x() + 2.5, y + 2.5 - s),
        point(ball.x() + 3, y + 3.5 - s)};
    if (ball.x() > -3) {
        const double xs[5] = {0, 0.5, -0.2, 0, 0};
        for (int i = 0; i < 5; ++i) {
            points[i].x() = static_cast<float>(xs[i]);
        }
    } else if (ball.x() < -FieldLength / 4) {
        for (Vector3f& p : points) {
            p.x() = static_cast<float>(-FieldLength / 4);
        }
    }
    std::vector<Object> candidates;
    std::vector<Vector3f> positions;
    for (int o = kFirstForward; o <= kLastForward; ++o) {
        candidates.push_back(static_cast<Object>(o));
        positions.push_back(posOf(static_cast<Object>(o)));
    }
    return assignStrategyPoints(candidates, positions, points);
}

Vector3f Tactic::getDefensiveStrategyPos(Object dribbleObject) {
    int n = 0;
    while (n < static_cast<int>(ourDefensiveDistToBall.size()) &&
           ourDefensiveDistToBall[n] != OBJECT_MAX) {
        ++n;
    }
    StrategyMap points;
    if (n == 3) {
        setTwoStraPoint(dribbleObject, points);
    } else if (n == 2) {
        setOneStraPoint(dribbleObject, points);
    } else {
        setThreeStraPoint(dribbleObject, points);
    }
    const StrategyMap::const_iterator it = points.find(WM->getMyObject());
    if (it == points.end()) {
        return WM->getMyPos();
    }
    return it->second;
}

namespace {

// The defenders of the list other than dribbleObject among its first
// `count` slots; empty slots are no players and take no point.
std::vector<Object> defendersFor(const std::vector<Object>& list, Object dribbleObject, int count) {
    std::vector<Object> result;
    for (Object o : list) {
        if (static_cast<int>(result.size()) >= count) {
            break;
        }
        if (o != dribbleObject && o != OBJECT_MAX) {
            result.push_back(o);
        }
    }
    return result;
}

}  // namespace

std::vector<Object> Tactic::flankDefenders(Object dribbleObject, int count, int& greatest,
                                           int& least) const {
    const std::vector<Object> defenders =
        defendersFor(ourDefensiveDistToBall, dribbleObject, count);
    std::vector<float> ys;
    for (Object o : defenders) {
        ys.push_back(posOf(o).y());
    }
    greatest = 0;
    least = 0;
    for (int i = 1; i < static_cast<int>(ys.size()); ++i) {
        if (ys[i] > ys[greatest]) {
            greatest = i;
        }
        if (ys[i] < ys[least]) {
            least = i;
        }
    }
    return defenders;
}

void Tactic::setOneStraPoint(Object dribbleObject, StrategyMap& points) {
    const Vector3f b = WM->getBallPos();
    Vector3f d = offset(b, -2.5, 0);
    if (b.y() > 10 - 2.0 / 3.0 * b.x()) {
        d = offset(b, -2, -1);
    }
    if (b.y() < 2.0 / 3.0 * b.x() - 10) {
        d = offset(b, -2, 1);
    }
    if (d.x() < -13) {
        d.x() = -13;
    }
    if (b.x() < -9) {
        if (b.y() > 4) {
            d = point(-12.8, 3.5);
        } else if (b.y() > 1.5) {
            d = point(-12.8, 1.2);
        } else if (b.y() > -1.5) {
            d = point(-12.8, 0);
        } else if (b.y() > -4) {
            d = point(-12.8, -1.2);
        } else {
            d = point(-12.5, -3.5);
        }
    }
    const std::vector<Object> defenders = defendersFor(ourDefensiveDistToBall, dribbleObject, 1);
    if (!defenders.empty()) {
        points[defenders[0]] = d;
    }
}

void Tactic::setTwoStraPoint(Object dribbleObject, StrategyMap& points) {
    const Vector3f b = WM->getBallPos();
    Vector3f a = offset(b, -2.5, 0.5);
    Vector3f l = offset(b, -3.5, -1);
    if (b.y() > 10 - 2.0 / 3.0 * b.x()) {
        a = offset(b, -2, -1);
        l = offset(b, -3, -2);
    }
    if (b.y() < 2.0 / 3.0 * b.x() - 10) {
        a = offset(b, -2.2, 2);
        l = offset(b, -3, 1);
    }
    if (a.x() < -12.8) {
        a.x() = -12.8f;
    }
    if (l.x() < -13) {
        l.x() = -12.8f;
    }
    if (b.x() < -9) {
        if (b.y() > 4) {
            a = point(-12.8, 4);
            l = point(-12.5, 3.5);
        } else if (b.y() > 1.5) {
            a = point(-12.8, 2.5);
            l = point(-12.8, 1.2);
        } else if (b.y() > -1.5) {
            a = point(-12.8, 1.5);
            l = point(-12.8, 0);
        } else if (b.y() > -4) {
            a = point(-12.8, 0);
            l = point(-12.8, -1.2);
        } else {
            a = point(-12, -3);
            l = point(-12.5, -3.5);
        }
    }
    int greatest = 0;
    int least = 0;
    const std::vector<Object> defenders = flankDefenders(dribbleObject, 3, greatest, least);
    if (defenders.empty()) {
        return;
    }
    // With a single defender the upper point wins.
    points[defenders[greatest]] = a;
    if (least != greatest) {
        points[defenders[least]] = l;
    }
}

void Tactic::setThreeStraPoint(Object dribbleObject, StrategyMap& points) {
    const Vector3f b = WM->getBallPos();
    Vector3f u = offset(b, -3.5, 1.5);
    Vector3f m = offset(b, -2, 0);
    Vector3f w = offset(b, -3.5, -1.5);
    if (b.y() > 2.0 / 3.0 * b.x() + 10) {
        u = offset(b, -2.2, -1);
        m = offset(b, -4, -2);
        w = offset(b, -3, -3);
    }
    if (b.y() < -2.0 / 3.0 * b.x() - 10) {
        u = offset(b, -3, 3);
        m = offset(b, -4, 2);
        w = offset(b, -2.2, 1);
    }
    for (Vector3f* p : {&u, &m, &w}) {
        if (p->x() < -13) {
            p->x() = -12.8f;
        }
    }
    if (b.x() < -9) {
        if (b.y() > 4) {
            u = point(-12.8, 4);
            m = point(-12.5, 3.5);
            w = point(-12, 3);
        } else if (b.y() > 1.5) {
            u = point(-12.8, 2.5);
            m = point(-12.8, 1.2);
            w = point(-12.8, 0);
        } else if (b.y() > -1.5) {
            u = point(-12.8, 1.5);
            m = point(-12.8, 0);
            w = point(-12.8, -1.5);
        } else if (b.y() > -4) {
            u = point(-12.8, 0);
            m = point(-12.8, -1.2);
            w = point(-12.8, -2.5);
        } else {
            u = point(-12, -3);
            m = point(-12.5, -3.5);
            w = point(-13, -4);
        }
    }
    int greatest = 0;
    int least = 0;
    const std::vector<Object> defenders = flankDefenders(dribbleObject, 4, greatest, least);
    if (defenders.empty()) {
        return;
    }
    for (int i = 0; i < static_cast<int>(defenders.size()); ++i) {
        if (i == greatest) {
            points[defenders[i]] = u;
        } else if (i == least) {
            points[defenders[i]] = w;
        } else {
            points[defenders[i]] = m;
        }
    }
}
