#ifndef TOVRA_BENCH_CALLTIMES_H
#define TOVRA_BENCH_CALLTIMES_H

#include <benchmark/benchmark.h>
#include <time.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

namespace tovra_bench {

// The time of every single call of a benchmark loop's body, for what Google
// Benchmark's averages hide: report() adds the counters "median_us",
// "p99_us" (the 99th percentile) and "max_us" of the calls' wall-clock
// times and, when the thread's processor time is measured too,
// "cpu_median_us" and "cpu_p99_us": the time the call itself ran, without
// the time slices a loaded machine gives to other processes. Reading the
// thread's clock is a system call (a few hundred nanoseconds), so calls of
// a microsecond or less are better timed by the wall clock alone.
//
//   tovra_bench::CallTimes times(tovra_bench::CallTimes::kWithCpu);
//   for (auto _ : state) {
//       auto call = times.call();
//       work();
//   }
//   times.report(state);
class CallTimes {
public:
    using Clock = std::chrono::steady_clock;
    enum Cpu { kWallOnly, kWithCpu };

    class Call {
    public:
        explicit Call(CallTimes& times)
            : times_(times),
              cpuStart_(times.cpu_ ? threadCpuMicros() : 0.0),
              start_(Clock::now()) {}
        ~Call() {
            const Clock::time_point end = Clock::now();
            times_.wall_.push_back(std::chrono::duration<double, std::micro>(end - start_).count());
            if (times_.cpu_)
                times_.cpuTimes_.push_back(threadCpuMicros() - cpuStart_);
        }
        Call(const Call&) = delete;
        Call& operator=(const Call&) = delete;

    private:
        CallTimes& times_;
        double cpuStart_;
        Clock::time_point start_;
    };

    explicit CallTimes(Cpu cpu = kWallOnly) : cpu_(cpu == kWithCpu) {}

    Call call() { return Call(*this); }

    void report(benchmark::State& state) {
        addCounters(state, wall_, "");
        addCounters(state, cpuTimes_, "cpu_");
    }

    static double threadCpuMicros() {
        timespec ts{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
        return static_cast<double>(ts.tv_sec) * 1e6 + static_cast<double>(ts.tv_nsec) / 1e3;
    }

private:
    static void addCounters(benchmark::State& state, std::vector<double>& micros,
                            const std::string& prefix) {
        if (micros.empty())
            return;
        std::sort(micros.begin(), micros.end());
        state.counters[prefix + "median_us"] = micros[micros.size() / 2];
        state.counters[prefix + "p99_us"] =
            micros[std::min(micros.size() - 1, micros.size() * 99 / 100)];
        if (prefix.empty())
            state.counters["max_us"] = micros.back();
        micros.clear();
    }

    bool cpu_;
    std::vector<double> wall_;
    std::vector<double> cpuTimes_;
};

}  // namespace tovra_bench

#endif
