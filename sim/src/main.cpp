// tovra-sim: the bundled physics simulator.
#include <signal.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <string>

#include "Server.h"
#include "World.h"

namespace {

tovrasim::Server* gServer = nullptr;

void onSignal(int) {
    if (gServer)
        gServer->stop();
}

void usage() {
    std::cout
        << "usage: tovra-sim [options]\n"
           "  --port N             agent port on 127.0.0.1 (default 3100, 0 = any free)\n"
           "  --control-port N     control channel port (default 3200, -1 = none)\n"
           "  --lockstep           advance as soon as every robot has answered\n"
           "  --deadline S         lockstep: longest wait for replies per step (default 0.1)\n"
           "  --silent-wait S      lockstep: longest wait when only robots that did not answer\n"
           "                       their previous message are awaited (default 0.02)\n"
           "  --half-time S        length of a half in game seconds (default 300)\n"
           "  --automatic-kickoff  start the kick-off by itself; without it BeforeKickOff\n"
           "                       lasts until the control channel's (kickOff)\n"
           "  --kickoff-wait S     automatic: BeforeKickOff lasts S once the teams are\n"
           "                       present (default 2)\n"
           "  --goal-pause S       time in Goal_Left/Goal_Right before the kick-off (default 3)\n"
           "  --lying-limit S      a robot on the ground longer is put back beside its half\n"
           "                       (default 10; 0: never)\n"
           "  --restart-timeout S  kick-offs and restarts turn into PlayOn after S (default 15)\n"
           "  --need-left N        robots the left side needs before the kick-off (default 1)\n"
           "  --need-right N       robots the right side needs before the kick-off (default 1)\n"
           "  --trace FILE         write the trace as JSON lines\n"
           "  --trace-every N      trace every N-th step (default 1)\n"
           "  --noise              sensor noise: vision, gyroscope, accelerometer, joint angles\n"
           "                       (the default)\n"
           "  --no-noise           exact sensor readings (deterministic tests)\n"
           "  --seed N             seed of the noise (default 1)\n"
           "  --see-decimals N     decimals of the See block's numbers, 0..6 (default 2)\n"
           "  --max-steps N        stop after N steps\n"
           "  --substeps N         physics substeps per 0.02 s step (default 10)\n"
           "  --servo MODEL        velocity (default): velocity motors; setpoint: the earlier\n"
           "                       position servo with a moving setpoint, for comparison\n"
           "  --integrator NAME    euler (default, joint damping implicit) or implicit\n"
           "  --torque-scale X     scales the motors' torque limits (diagnostic; default 1)\n"
           "  --dump-model FILE    write the MuJoCo XML of a world with one robot and exit\n"
           "  --help               this text\n";
}

bool number(const char* s, double& out) {
    char* end = nullptr;
    out = std::strtod(s, &end);
    return end != s && *end == '\0' && std::isfinite(out);
}

}  // namespace

int main(int argc, char** argv) {
    tovrasim::ServerOptions opt;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        auto value = [&](double& out) {
            if (i + 1 >= argc || !number(argv[i + 1], out)) {
                std::cerr << "(tovra-sim) option " << a << " needs a number\n";
                std::exit(2);
            }
            ++i;
        };
        double v = 0;
        if (a == "--help") {
            usage();
            return 0;
        } else if (a == "--port") {
            value(v);
            opt.port = static_cast<int>(v);
        } else if (a == "--control-port") {
            value(v);
            opt.controlPort = static_cast<int>(v);
        } else if (a == "--lockstep") {
            opt.lockstep = true;
        } else if (a == "--deadline") {
            value(opt.deadline);
        } else if (a == "--silent-wait") {
            value(opt.silentWait);
        } else if (a == "--half-time") {
            value(opt.referee.halfTime);
        } else if (a == "--automatic-kickoff") {
            opt.referee.automaticKickOff = true;
        } else if (a == "--kickoff-wait") {
            value(opt.referee.kickOffWait);
        } else if (a == "--lying-limit") {
            value(opt.referee.lyingLimit);
        } else if (a == "--goal-pause") {
            value(opt.referee.goalPause);
        } else if (a == "--restart-timeout") {
            value(opt.referee.restartTimeout);
        } else if (a == "--need-left") {
            value(v);
            opt.referee.needLeft = static_cast<int>(v);
        } else if (a == "--need-right") {
            value(v);
            opt.referee.needRight = static_cast<int>(v);
        } else if (a == "--trace" && i + 1 < argc) {
            opt.traceFile = argv[++i];
        } else if (a == "--trace-every") {
            value(v);
            opt.traceEvery = std::max(1, static_cast<int>(v));
        } else if (a == "--noise") {
            opt.noise = true;
        } else if (a == "--no-noise") {
            opt.noise = false;
        } else if (a == "--seed") {
            value(v);
            if (v < 0 || v != std::floor(v) || v >= 0x1.0p64) {
                std::cerr << "(tovra-sim) --seed needs a whole number from 0\n";
                return 2;
            }
            opt.seed = static_cast<std::uint64_t>(v);
        } else if (a == "--see-decimals") {
            value(v);
            if (v < 0 || v > tovrasim::Perception::kMaxDecimals || v != std::floor(v)) {
                std::cerr << "(tovra-sim) --see-decimals needs a whole number from 0 to "
                          << tovrasim::Perception::kMaxDecimals << "\n";
                return 2;
            }
            opt.seeDecimals = static_cast<int>(v);
        } else if (a == "--max-steps") {
            value(v);
            opt.maxSteps = static_cast<long>(v);
        } else if (a == "--substeps") {
            value(v);
            opt.substeps = std::max(1, static_cast<int>(v));
        } else if (a == "--servo" && i + 1 < argc &&
                   (std::strcmp(argv[i + 1], "velocity") == 0 ||
                    std::strcmp(argv[i + 1], "setpoint") == 0)) {
            opt.servo = std::strcmp(argv[++i], "velocity") == 0 ? tovrasim::ServoModel::Velocity
                                                                : tovrasim::ServoModel::Setpoint;
        } else if (a == "--integrator" && i + 1 < argc &&
                   (std::strcmp(argv[i + 1], "euler") == 0 ||
                    std::strcmp(argv[i + 1], "implicit") == 0)) {
            opt.implicitIntegrator = std::strcmp(argv[++i], "implicit") == 0;
        } else if (a == "--torque-scale") {
            value(opt.torqueScale);
            if (!(opt.torqueScale > 0)) {
                std::cerr << "(tovra-sim) --torque-scale needs a positive number\n";
                return 2;
            }
        } else if (a == "--dump-model" && i + 1 < argc) {
            std::ofstream f(argv[++i]);
            f << tovrasim::World::buildXml({0});
            return f ? 0 : 1;
        } else {
            std::cerr << "(tovra-sim) unknown option or value " << a << " (see --help)\n";
            return 2;
        }
    }
    if (opt.port < 0 || opt.port > 65535 || opt.controlPort > 65535) {
        std::cerr << "(tovra-sim) port out of range\n";
        return 2;
    }

    tovrasim::Server server(opt);
    if (!server.start())
        return 1;
    gServer = &server;
    struct sigaction sa {};
    sa.sa_handler = onSignal;
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGTERM, &sa, nullptr);
    signal(SIGPIPE, SIG_IGN);
    std::cerr << "(tovra-sim) listening on 127.0.0.1:" << server.port();
    if (server.controlPort() >= 0)
        std::cerr << ", control on 127.0.0.1:" << server.controlPort();
    std::cerr << (opt.lockstep ? " (lockstep)" : " (real time)") << "\n";

    const auto start = std::chrono::steady_clock::now();
    server.run();
    const double wall =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const double simTime = server.steps() * tovrasim::World::kStepTime;
    std::fprintf(stderr,
                 "(tovra-sim) %ld steps, %.2f s simulated in %.2f s wall (%.1fx real time), "
                 "%ld late replies, %ld lagging robot-steps, %ld re-synchronised, "
                 "%ld model builds\n",
                 server.steps(), simTime, wall, wall > 0 ? simTime / wall : 0.0,
                 server.lateReplies(), server.laggingSteps(), server.resyncs(),
                 server.world().buildCount());
    gServer = nullptr;
    return 0;
}
