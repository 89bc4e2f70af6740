#include <benchmark/benchmark.h>

#include <string>

#include "CallTimes.h"
#include "PerceptorSample.h"
#include "WorldModel/Parser.h"
#include "WorldModel/Types.h"
#include "WorldModel/WorldModel.h"

namespace {

// One full perceptor message into the world model, as the agent does every
// cycle: the effector's cycle update, the predicate list and every handler.
void bench_parser_doparse(benchmark::State& state) {
    Types::fill();
    const std::string message = tovra_bench::perceptorSample();
    Parser parser;
    tovra_bench::CallTimes times(tovra_bench::CallTimes::kWithCpu);
    for (auto _ : state) {
        auto call = times.call();
        parser.doParse(message);
        benchmark::ClobberMemory();
    }
    times.report(state);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(message.size()));
    state.counters["message_bytes"] = static_cast<double>(message.size());
    state.counters["seen_objects"] =
        static_cast<double>(WorldModel::instance()->mObjectToVisionMap.size());
}
BENCHMARK(bench_parser_doparse)->Unit(benchmark::kMicrosecond);

}  // namespace
