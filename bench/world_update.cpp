#include <benchmark/benchmark.h>

#include <string>

#include "CallTimes.h"
#include "PerceptorSample.h"
#include "WorldModel/Parser.h"
#include "WorldModel/Types.h"
#include "WorldModel/WorldModel.h"

namespace {

// One whole world update of a cycle: the full-size perceptor message parsed
// into the world model, then localization, fall detection, the heard
// teammate message and the body-part update.
void bench_world_update(benchmark::State& state) {
    Types::fill();
    // A teammate's ball-distance report is heard in the same message.
    const std::string message = tovra_bench::perceptorSample() + "(hear 123.40 -20.5 |%#&&&&&)";
    Parser parser;
    WorldModel* wm = WorldModel::instance();
    wm->setUnum(5);
    tovra_bench::CallTimes times(tovra_bench::CallTimes::kWithCpu);
    for (auto _ : state) {
        auto call = times.call();
        parser.doParse(message);
        wm->globalize();
        benchmark::ClobberMemory();
    }
    times.report(state);
    state.counters["message_bytes"] = static_cast<double>(message.size());
    state.counters["heard_bytes"] = static_cast<double>(wm->getCommunicationString().size());
    state.counters["localized"] = wm->getGlobalConfidence() == 10.0 ? 1 : 0;
}
BENCHMARK(bench_world_update)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// The derived part alone, on a store already filled by the parser.
void bench_globalize(benchmark::State& state) {
    Types::fill();
    const std::string message = tovra_bench::perceptorSample();
    Parser parser;
    parser.doParse(message);
    WorldModel* wm = WorldModel::instance();
    tovra_bench::CallTimes times(tovra_bench::CallTimes::kWithCpu);
    for (auto _ : state) {
        auto call = times.call();
        wm->globalize();
        benchmark::ClobberMemory();
    }
    times.report(state);
}
BENCHMARK(bench_globalize)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

}  // namespace
