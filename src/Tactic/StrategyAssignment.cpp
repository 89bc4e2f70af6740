#include "Tactic/StrategyAssignment.h"

#include "Math/MyMath.h"

namespace {

// Depth-first search over every ordered choice of distinct candidates for
// the points, candidates in index order at every level.
struct AssignSearch {
    int n = 0;
    int k = 0;
    double dist[kMaxStrategyCandidates][kMaxStrategyPoints] = {};
    int choice[kMaxStrategyPoints] = {};
    int best[kMaxStrategyPoints] = {-1, -1, -1, -1, -1};
    bool used[kMaxStrategyCandidates] = {};
    double bestCost = 50000.0;
};

void search(AssignSearch& s, int level, double cost) {
    if (level == s.k) {
        // Strictly lower wins: the first of equal choices stays.
        if (cost < s.bestCost) {
            s.bestCost = cost;
            for (int p = 0; p < s.k; ++p) {
                s.best[p] = s.choice[p];
            }
        }
        return;
    }
    for (int c = 0; c < s.n; ++c) {
        if (s.used[c]) {
            continue;
        }
        s.used[c] = true;
        s.choice[level] = c;
        search(s, level + 1, cost + s.dist[c][level]);
        s.used[c] = false;
    }
}

}  // namespace

std::map<Object, Vector3f> assignStrategyPoints(const std::vector<Object>& candidates,
                                                const std::vector<Vector3f>& positions,
                                                const std::vector<Vector3f>& points) {
    std::map<Object, Vector3f> result;
    AssignSearch s;
    s.n = static_cast<int>(candidates.size());
    s.k = static_cast<int>(points.size());
    if (s.k == 0 || s.n < s.k || s.k > kMaxStrategyPoints || s.n > kMaxStrategyCandidates ||
        positions.size() != candidates.size()) {
        return result;
    }
    for (int c = 0; c < s.n; ++c) {
        for (int p = 0; p < s.k; ++p) {
            s.dist[c][p] = calculateDist(positions[c], points[p]);
        }
    }
    search(s, 0, 0.0);
    if (s.best[0] < 0) {
        return result;
    }
    for (int p = 0; p < s.k; ++p) {
        result[candidates[s.best[p]]] = points[p];
    }
    return result;
}
