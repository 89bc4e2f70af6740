#include <benchmark/benchmark.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "Actions/Actions.h"
#include "Agent/MyBehavior.h"
#include "Agent_Roles/RoleDefensive.h"
#include "Agent_Roles/RoleForward.h"
#include "Agent_Roles/RoleGoalie.h"
#include "Agent_Roles/RoleMidForward.h"
#include "PerceptorSample.h"
#include "Skills/Skills.h"
#include "Tactic/Tactic.h"
#include "WorldModel/FallDownRecognition.h"
#include "WorldModel/Localization.h"
#include "WorldModel/WorldModel.h"

namespace {

const char* const kFormation =
    "unums 1 2 3 4 5 6 7 8 9 10 11\n"
    "id 0\n"
    "homePosX -14.5 -14.5 -11 -11 -6 -6 -2 -1 -2 -0.5 -3\n"
    "homePosY 0.5 -0.5 2 -2 3 -3 4 0 -4 1 0\n"
    "homePosZ 0 0 0 0 0 0 0 0 0 0 0\n";

double threadCpuMicros() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) * 1e6 + static_cast<double>(ts.tv_nsec) / 1e3;
}

// A scratch working directory with a formation and the project's motion
// files, so that the agent's files ("l.txt" of the key-frame actions) land
// there.
void enterScratchDir() {
    static bool entered = false;
    if (entered) {
        return;
    }
    char path[] = "/tmp/tovra-bench-XXXXXX";
    if (mkdtemp(path) == nullptr || chdir(path) != 0) {
        std::perror("think_cycle: scratch directory");
        std::exit(1);
    }
    std::ofstream("formation.conf") << kFormation;
    static std::string scratch = path;
    std::atexit([] {
        for (const char* name : {"Acts", "formation.conf", "l.txt"}) {
            unlink((scratch + "/" + name).c_str());
        }
        rmdir(scratch.c_str());
    });
    if (symlink(TOVRA_DATA_DIR "/Acts", "Acts") != 0) {
        std::perror("think_cycle: motion files");
        std::exit(1);
    }
    entered = true;
}

// Every agent starts from fresh singletons and role state.
void resetAgent() {
    Tactic::deleteT();
    Skills::deleteT();
    Actions::deleteT();
    FallDownRecognition::deleteT();
    Localization::deleteT();
    WorldModel::deleteT();
    RoleGoalie::resetState();
    RoleDefensive::resetState();
    RoleMidForward::resetState();
    RoleForward::resetState();
}

// The full-size sample in play mode PlayOn at server time t.
std::string messageAt(const std::string& sample, std::size_t timePos, std::size_t timeLen,
                      double t) {
    char number[32];
    std::snprintf(number, sizeof number, "%.2f", t);
    std::string message = sample;
    message.replace(timePos, timeLen, number);
    return message;
}

// One whole Think call per iteration on a stream of full-size messages one
// simulation step apart; the counters give the median and the 99th
// percentile of the single calls.
void bench_think(benchmark::State& state) {
    enterScratchDir();
    resetAgent();
    const int unum = static_cast<int>(state.range(0));
    const std::string sample = tovra_bench::perceptorSample();
    const std::string timeText = "123.46";
    const std::size_t timePos = sample.find(timeText);

    std::vector<double> samples;
    std::vector<double> cpuSamples;
    samples.reserve(static_cast<std::size_t>(state.max_iterations));
    cpuSamples.reserve(static_cast<std::size_t>(state.max_iterations));
    {
        MyBehavior agent(unum);
        agent.Think(sample);  // the init message
        double t = 123.46;
        for (int i = 0; i < 50; ++i, t += 0.02) {
            benchmark::DoNotOptimize(agent.Think(messageAt(sample, timePos, timeText.size(), t)));
        }
        std::size_t replyBytes = 0;
        for (auto _ : state) {
            const std::string message = messageAt(sample, timePos, timeText.size(), t);
            t += 0.02;
            const double cpuStart = threadCpuMicros();
            const auto start = std::chrono::steady_clock::now();
            const std::string reply = agent.Think(message);
            const auto end = std::chrono::steady_clock::now();
            cpuSamples.push_back(threadCpuMicros() - cpuStart);
            benchmark::DoNotOptimize(reply.data());
            replyBytes = reply.size();
            const double seconds = std::chrono::duration<double>(end - start).count();
            state.SetIterationTime(seconds);
            samples.push_back(seconds * 1e6);
        }
        state.counters["reply_bytes"] = static_cast<double>(replyBytes);
        state.counters["message_bytes"] = static_cast<double>(sample.size());
    }
    std::sort(samples.begin(), samples.end());
    std::sort(cpuSamples.begin(), cpuSamples.end());
    if (!samples.empty()) {
        // The thread's own processor time, without the time other processes
        // of a loaded machine take from it.
        state.counters["cpu_median_us"] = cpuSamples[cpuSamples.size() / 2];
        state.counters["cpu_p99_us"] =
            cpuSamples[std::min(cpuSamples.size() - 1, cpuSamples.size() * 99 / 100)];
        state.counters["median_us"] = samples[samples.size() / 2];
        state.counters["p99_us"] = samples[std::min(samples.size() - 1, samples.size() * 99 / 100)];
        state.counters["max_us"] = samples.back();
        state.counters["cpu_max_us"] = cpuSamples.back();
    }
}

// Goalie (1), defender (3), midfielder (5), forward (9).
BENCHMARK(bench_think)
    ->ArgName("unum")
    ->Arg(1)
    ->Arg(3)
    ->Arg(5)
    ->Arg(9)
    ->Iterations(5000)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);

}  // namespace
