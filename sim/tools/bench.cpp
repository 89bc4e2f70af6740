// tovra-sim-bench: times the simulator's own work in one process, without
// sockets or agents: N robots standing in a formation (arms down, holding
// their pose) and the ball, stepped for a number of 0.02 s steps, optionally
// with the perceptor messages of every robot built as the server builds
// them (vision every third step). Prints the thread CPU time per simulated
// second and the speed factor per CPU.
#include <time.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>

#include "Perception.h"
#include "World.h"

namespace {

double threadCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + 1e-9 * static_cast<double>(t.tv_nsec);
}

}  // namespace

int main(int argc, char** argv) {
    int robots = 1, steps = 1000, substeps = 10;
    bool perceive = false, setpoint = false, implicit = false;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--robots" && i + 1 < argc) {
            robots = std::atoi(argv[++i]);
        } else if (a == "--steps" && i + 1 < argc) {
            steps = std::atoi(argv[++i]);
        } else if (a == "--substeps" && i + 1 < argc) {
            substeps = std::atoi(argv[++i]);
        } else if (a == "--perceive") {
            perceive = true;
        } else if (a == "--setpoint") {
            setpoint = true;
        } else if (a == "--implicit") {
            implicit = true;
        } else {
            std::cerr << "usage: tovra-sim-bench [--robots N (1..22)] [--steps N] "
                         "[--substeps N] [--perceive] [--setpoint] [--implicit]\n";
            return 2;
        }
    }
    if (robots < 0 || robots > tovrasim::World::kMaxRobots || steps < 1 || substeps < 1) {
        std::cerr << "tovra-sim-bench: robots 0..22, steps and substeps at least 1\n";
        return 2;
    }
    using namespace tovrasim;
    World::Config cfg;
    cfg.substeps = substeps;
    cfg.servo = setpoint ? ServoModel::Setpoint : ServoModel::Velocity;
    cfg.implicitIntegrator = implicit;
    World w(cfg);
    std::array<double, RobotModel::kNumJoints> armsDown{};
    armsDown[14] = armsDown[15] = -90;
    const double t0 = threadCpuSeconds();
    for (int k = 0; k < robots; ++k) {
        const Side side = k % 2 == 0 ? Side::Left : Side::Right;
        const int unum = k / 2 + 1;
        const double sx = side == Side::Left ? -1.0 : 1.0;
        const double x = sx * (1.0 + 1.2 * (unum - 1)), y = (unum % 3 - 1) * 3.0;
        const int s = w.addRobot(side, unum, x, y, side == Side::Left ? 0.0 : 180.0);
        if (s < 0) {
            std::cerr << "tovra-sim-bench: cannot add robot " << k << "\n";
            return 1;
        }
        w.setJointAngles(s, armsDown);
        w.placeUpright(s, x, y, side == Side::Left ? 0.0 : 180.0);
    }
    const double tBuild = threadCpuSeconds() - t0;

    Perception::Game g;
    g.seenTeam = {"KALDA", "KALDA_R"};
    size_t bytes = 0;
    const std::vector<Heard> heard;
    // Every robot's sensors with the simulator's default noise and See block.
    const std::vector<int> slots = w.robots();
    std::vector<SensorNoise> noise;
    for (int s : slots)
        noise.emplace_back(NoiseModel{}, 1, w.side(s) == Side::Left ? 0 : 1, w.unum(s));
    const double t1 = threadCpuSeconds();
    for (int i = 0; i < steps; ++i) {
        w.step();
        if (perceive) {
            g.time = w.time();
            const bool vision = w.stepCount() % 3 == 0;
            for (size_t k = 0; k < slots.size(); ++k) {
                Perception::Readout readout;
                readout.noise = &noise[k];
                bytes += Perception::message(w, slots[k], g, vision, heard, readout).size();
            }
        }
    }
    const double cpu = threadCpuSeconds() - t1;
    const double simulated = steps * World::kStepTime;
    std::printf(
        "robots %d, substeps %d, %d steps (%.1f s simulated)%s: %.3f CPU s, %.1f us per step, "
        "%.3f CPU s per simulated s, %.1fx real time per CPU; model builds %.3f CPU s",
        robots, substeps, steps, simulated, perceive ? " with perceptions" : "", cpu,
        1e6 * cpu / steps, cpu / simulated, cpu > 0 ? simulated / cpu : 0.0, tBuild);
    if (perceive)
        std::printf("; %.0f bytes per robot and step", double(bytes) / steps / std::max(1, robots));
    std::printf("\n");
    int upright = 0;
    for (int s : w.robots())
        upright += w.lying(s) ? 0 : 1;
    std::printf("robots still upright: %d of %d\n", upright, robots);
    return 0;
}
