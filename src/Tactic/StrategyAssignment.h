#ifndef TOVRA_TACTIC_STRATEGYASSIGNMENT_H
#define TOVRA_TACTIC_STRATEGYASSIGNMENT_H

#include <map>
#include <vector>

#include "WorldModel/Types.h"

constexpr int kMaxStrategyPoints = 5;
constexpr int kMaxStrategyCandidates = 8;

// Exhaustive assignment of support points to players. Every ordered choice
// of points.size() distinct candidates is tried in nested index order (the
// first point takes the outermost loop); the cost of a choice is the sum of
// the horizontal distances from each chosen candidate (at positions[i]) to
// its point, and a cost strictly below the best so far (initially 50000)
// wins, so of equal choices the first stays.
//
// Only the winning choice is written: a candidate left out gets no entry.
// The result is empty with fewer candidates than points, with no points, or
// beyond the supported sizes (at most kMaxPoints points and
// kMaxCandidates candidates).
std::map<Object, Vector3f> assignStrategyPoints(const std::vector<Object>& candidates,
                                                const std::vector<Vector3f>& positions,
                                                const std::vector<Vector3f>& points);

#endif
