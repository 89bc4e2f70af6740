#include <benchmark/benchmark.h>

#include "CallTimes.h"
#include "Tactic/Tactic.h"
#include "WorldModel/WorldModel.h"

namespace {

// A forward's world: the ball, the five forwards spread behind it, all
// freshly localized.
Tactic* setUpForwards(double ballX, float ballPlayerX) {
    WorldModel* wm = WorldModel::instance();
    wm->setUnum(9);
    wm->setServerTime(100);
    wm->setMyPos(Vector3f(-2, 1, 0.55f));
    VisionSense& ball = wm->mObjectToVisionMap[BALL];
    ball.globalPos = Vector3f(static_cast<float>(ballX), 0.5f, 0.042f);
    ball.timeLastLocalized = 100;
    const float spots[5][2] = {{ballPlayerX, 0}, {-5.2f, 0}, {-2, 1}, {-3, -1}, {-4, 0.2f}};
    for (int i = 0; i < 5; ++i) {
        VisionSense& vs = wm->mObjectToVisionMap[static_cast<Object>(TEAMMATE_7 + i)];
        vs.globalPos = Vector3f(static_cast<float>(ballX) + spots[i][0], spots[i][1], 0.55f);
        vs.timeLastLocalized = 100;
    }
    Tactic* tactic = Tactic::instance();
    // The forward nearest the ball counts as its player even when it stands
    // ahead of it, as a role may have left it in the list.
    tactic->ourForwardBehindDistToBall.assign(Tactic::kOurForwardBehindDistToBall, OBJECT_MAX);
    tactic->ourForwardBehindDistToBall[0] = TEAMMATE_7;
    return tactic;
}

// The five waiting points over all 120 orders of the five forwards.
void bench_wait_strategy_pos(benchmark::State& state) {
    Tactic* tactic = setUpForwards(-5, -0.3f);
    tovra_bench::CallTimes times;
    for (auto _ : state) {
        auto call = times.call();
        Tactic::StrategyMap map = tactic->GetWaitStrategyPos();
        benchmark::DoNotOptimize(map);
    }
    times.report(state);
}
BENCHMARK(bench_wait_strategy_pos)->Unit(benchmark::kMicrosecond);

// The four support points: four candidates (the ball player behind the ball
// is left out, 24 orders) or five (it stands ahead of the ball, 120 orders).
void bench_forward_strategy_pos(benchmark::State& state) {
    Tactic* tactic = setUpForwards(0, state.range(0) == 5 ? 0.3f : -0.3f);
    tovra_bench::CallTimes times;
    for (auto _ : state) {
        auto call = times.call();
        Tactic::StrategyMap map = tactic->getForwardStrategyPos();
        benchmark::DoNotOptimize(map);
    }
    times.report(state);
}
BENCHMARK(bench_forward_strategy_pos)->Arg(4)->Arg(5)->Unit(benchmark::kMicrosecond);

}  // namespace
