#include <benchmark/benchmark.h>

#include "Actions/Trajectory.h"
#include "CallTimes.h"
#include "Effector/Kinematic.h"
#include "WorldModel/Types.h"

namespace {

// One cycle of the walk as the engine runs it in a normal step: the torso and
// foot poses of the instant, then the holding and the moving leg solved. The
// instants run through the played window of the full-speed forward gait,
// alternating the holding foot from step to step.
void bench_walk_cycle(benchmark::State& state) {
    Kinematic* robot = Kinematic::instance();
    robot->init();
    Trajectory trajectory;
    WalkParams walk;
    walk.mDs3D = Vector2f(0.0f, 0.1f);
    walk.Tc = 0.16f;
    walk.Td = 0.032f;
    walk.Tm = 0.08f;
    walk.Xed = walk.Xsd = 0.04f;
    walk.Hao = 0.1f;
    ModelParams model;
    model.TorsoRot_X = -5.0f;
    trajectory.initModelParams(model);
    trajectory.setParams(walk);
    trajectory.setQb(0.0f);
    trajectory.setQf(0.0f);
    if (!trajectory.general()) {
        state.SkipWithError("trajectory not built");
        return;
    }

    Matrix torso, hold, move;
    int instant = 0;
    bool lefthold = true;
    int failures = 0;
    tovra_bench::CallTimes times(tovra_bench::CallTimes::kWithCpu);
    for (auto _ : state) {
        auto call = times.call();
        const double t = 0.16 + 0.02 * instant;
        trajectory.getTrajectoryMatrix(t, torso, hold, move, lefthold);
        const bool ok =
            robot->IK_leg(torso, hold, lefthold) && robot->IK_leg(torso, move, !lefthold);
        failures += !ok;
        benchmark::DoNotOptimize(ok);
        if (++instant == 7) {
            instant = 0;
            lefthold = !lefthold;
        }
    }
    times.report(state);
    state.counters["ik_failures"] = failures;
}
BENCHMARK(bench_walk_cycle)->Unit(benchmark::kMicrosecond);

}  // namespace
