#ifndef TOVRA_BENCH_CALLTIMES_H
#define TOVRA_BENCH_CALLTIMES_H

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <vector>

namespace tovra_bench {

// The wall-clock time of every single call of a benchmark loop's body, for
// what Google Benchmark's averages hide: report() adds the counters
// "median_us" and "p99_us" (the 99th percentile) and "max_us" of the calls.
//
//   for (auto _ : state) {
//       auto call = times.call();
//       work();
//   }
//   times.report(state);
class CallTimes {
public:
    using Clock = std::chrono::steady_clock;

    class Call {
    public:
        explicit Call(CallTimes& times) : times_(times), start_(Clock::now()) {}
        ~Call() { times_.add(Clock::now() - start_); }
        Call(const Call&) = delete;
        Call& operator=(const Call&) = delete;

    private:
        CallTimes& times_;
        Clock::time_point start_;
    };

    Call call() { return Call(*this); }

    void add(Clock::duration elapsed) {
        micros_.push_back(std::chrono::duration<double, std::micro>(elapsed).count());
    }

    void report(benchmark::State& state) {
        if (micros_.empty())
            return;
        std::sort(micros_.begin(), micros_.end());
        state.counters["median_us"] = micros_[micros_.size() / 2];
        state.counters["p99_us"] = micros_[std::min(micros_.size() - 1, micros_.size() * 99 / 100)];
        state.counters["max_us"] = micros_.back();
        micros_.clear();
    }

private:
    std::vector<double> micros_;
};

}  // namespace tovra_bench

#endif
