#include <benchmark/benchmark.h>

#include <string>

#include "CallTimes.h"
#include "PerceptorSample.h"
#include "spark/sexpparser/sexpparser.h"
#include "spark/sfsexp/sexp.h"

namespace {

// One full perceptor message into a predicate list, as the agent does every cycle.
void bench_sexp_parse(benchmark::State& state) {
    const std::string message = tovra_bench::perceptorSample();
    SexpParser parser;
    // time, GS, GYR, ACC, 22 HJ, 2 FRP, See
    if (parser.Parse(message)->GetSize() != 29) {
        state.SkipWithError("the sample message does not parse into 29 predicates");
        return;
    }
    tovra_bench::CallTimes times(tovra_bench::CallTimes::kWithCpu);
    for (auto _ : state) {
        auto call = times.call();
        boost::shared_ptr<oxygen::PredicateList> list = parser.Parse(message);
        benchmark::DoNotOptimize(list.get());
    }
    times.report(state);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(message.size()));
    state.counters["message_bytes"] = static_cast<double>(message.size());
}
BENCHMARK(bench_sexp_parse)->Unit(benchmark::kMicrosecond);

// The character-level reader alone: element trees built and destroyed.
void bench_sexp_read(benchmark::State& state) {
    const std::string message = tovra_bench::perceptorSample();
    const unsigned int length = static_cast<unsigned int>(message.size());
    tovra_bench::CallTimes times(tovra_bench::CallTimes::kWithCpu);
    for (auto _ : state) {
        auto call = times.call();
        pcont_t* cc = init_continuation(message.data());
        while (sexp_t* s = iparse_sexp(message.data(), length, cc))
            destroy_sexp(s);
        destroy_continuation(cc);
    }
    times.report(state);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * length);
}
BENCHMARK(bench_sexp_read)->Unit(benchmark::kMicrosecond);

}  // namespace
