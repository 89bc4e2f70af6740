#include "AgentTrial.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <sstream>
#include <thread>
#include <vector>

#include "FramedSocket.h"
#include "GroundTruth.h"
#include "LyingPose.h"
#include "SimProcess.h"
#include "Spawn.h"

namespace tovra::motion {

namespace {

const int kTimeoutMs = 20000;

// The agent program, started in the working directory (which holds the
// data files) and ended by its process id.
class AgentProcess {
public:
    ~AgentProcess() { stop(); }
    bool start(const std::string& binary, int port, int unum) {
        std::vector<std::string> args = {binary,
                                         "--host",
                                         "127.0.0.1",
                                         "--port",
                                         std::to_string(port),
                                         "--unum",
                                         std::to_string(unum)};
        pid_ = spawnQuiet(args, -1);
        return pid_ > 0;
    }
    void stop() {
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
            int status = 0;
            ::waitpid(pid_, &status, 0);
            pid_ = -1;
        }
    }

private:
    pid_t pid_ = -1;
};

}  // namespace

AgentResult AgentTrial::run() {
    AgentResult result;
    std::mt19937 rng(spec_.seed * 7919u + 3u);
    std::uniform_real_distribution<double> jitter(-1.0, 1.0);

    SimProcess sim;
    // The agent stays silent for a while at the start of a half, so the
    // lockstep clock must not wait long for it.
    std::vector<std::string> options = {"--deadline", "0.1", "--automatic-kickoff",
                                        "--kickoff-wait", "1", "--half-time", "100000",
                                        "--restart-timeout", "1",
                                        // The trial watches the robot itself:
                                        // a referee putting a robot that lies
                                        // too long back on its feet would
                                        // fake a get-up.
                                        "--lying-limit", "0", "--max-steps",
                                        std::to_string(static_cast<long>((spec_.limit + 20) * 50))};
    const std::vector<std::string> noise = trialSimOptions(spec_.sim, spec_.seed);
    options.insert(options.end(), noise.begin(), noise.end());
    if (!sim.start(spec_.simBinary, options)) {
        result.error = "simulator did not start";
        return result;
    }
    FramedSocket control;
    if (!control.connectTo(sim.controlPort())) {
        result.error = "cannot connect to the control channel";
        return result;
    }
    AgentProcess agent;
    if (!agent.start(spec_.agentBinary, sim.agentPort(), spec_.unum)) {
        result.error = "cannot start the agent";
        return result;
    }
    const std::string who = "left " + std::to_string(spec_.unum);
    auto command = [&](const std::string& text) {
        std::string reply;
        return control.request(text, reply, kTimeoutMs) && reply == "(ok)";
    };
    auto state = [&](GroundTruth& g) {
        std::string json;
        if (!control.request("(state)", json, kTimeoutMs)) {
            return false;
        }
        g = GroundTruth::parse(json, "left", spec_.unum);
        return true;
    };

    // Wait for the robot to be in play and beamed, then start play with the
    // scenario's placement.
    GroundTruth g;
    double playStart = -1;
    double knockAt = -1;
    double upSince = -1;
    const auto wallLimit = std::chrono::steady_clock::now() +
                           std::chrono::seconds(static_cast<long>(60 + spec_.limit * 3));
    while (std::chrono::steady_clock::now() < wallLimit) {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
        if (!state(g)) {
            result.error = "no state from the control channel";
            return result;
        }
        if (std::getenv("TOVRA_MOTION_DEBUG")) {
            std::fprintf(
                stderr,
                "t %.2f valid %d mode %s z %.3f pos %.2f %.2f heading %.0f ball %.2f %.2f\n",
                g.time, g.valid, g.playMode.c_str(), g.pos[2], g.pos[0], g.pos[1], g.heading,
                g.ball[0], g.ball[1]);
        }
        if (!g.valid) {
            continue;  // the robot is not in play yet
        }
        if (playStart < 0) {
            if (g.time < 2.0) {
                continue;  // the beam window
            }
            const double rx = spec_.robotX + 0.2 * jitter(rng);
            const double ry = spec_.robotY + 0.2 * jitter(rng);
            bool ok = command("(playMode PlayOn)") &&
                      command("(place " + who + " " + std::to_string(rx) + " " +
                              std::to_string(ry) + " " + std::to_string(10 * jitter(rng)) + ")");
            if (spec_.scenario == AgentSpec::Scenario::Dribble) {
                ok =
                    ok && command("(ball " + std::to_string(spec_.ballX + 0.1 * jitter(rng)) + " " +
                                  std::to_string(spec_.ballY + 0.2 * jitter(rng)) + " 0.042)");
            } else {
                // The ball far away, so that nothing but getting up is asked.
                ok = ok && command("(ball 0 8 0.042)");
            }
            if (!ok) {
                result.error = "the control channel refused the placement";
                return result;
            }
            playStart = g.time;
            continue;
        }
        const double t = g.time - playStart;
        if (spec_.scenario == AgentSpec::Scenario::Knock) {
            if (knockAt < 0 && t >= 3.0) {
                // Knocked over: fallen backwards onto its back or forwards
                // onto its front.
                double q[4];
                lyingQuaternion(spec_.onBack ? Lying::Back : Lying::Front,
                                spec_.onBack ? g.heading + 180 : g.heading, 0, q);
                std::ostringstream pose;
                pose << "(pose " << who << ' ' << g.pos[0] << ' ' << g.pos[1] << " 0.13 " << q[0]
                     << ' ' << q[1] << ' ' << q[2] << ' ' << q[3] << ')';
                if (!command(pose.str())) {
                    result.error = "the control channel refused the knock";
                    return result;
                }
                knockAt = g.time;
                continue;
            }
            if (knockAt >= 0) {
                const bool up = !g.lying && g.pos[2] > 0.3;
                if (up && upSince < 0) {
                    upSince = g.time;
                }
                if (!up) {
                    upSince = -1;
                }
                // Up for good: one second without lying again.
                if (upSince >= 0 && g.time - upSince >= 1.0) {
                    result.upAt = upSince - knockAt;
                    break;
                }
                if (g.time - knockAt > spec_.limit) {
                    break;
                }
            }
        } else {
            if (g.score[0] > 0) {
                result.goalAt = t;
                break;
            }
            if (t > spec_.limit) {
                break;
            }
        }
    }
    result.ballX = g.ball[0];
    command("(stop)");
    agent.stop();
    sim.stop();
    result.ran = true;
    return result;
}

std::string describe(const AgentResult& r) {
    if (!r.ran) {
        return "failed: " + r.error;
    }
    char buf[160];
    std::snprintf(buf, sizeof buf, "up after %s s, goal after %s s, ball at x %.2f",
                  r.upAt < 0 ? "-" : std::to_string(r.upAt).substr(0, 5).c_str(),
                  r.goalAt < 0 ? "-" : std::to_string(r.goalAt).substr(0, 5).c_str(), r.ballX);
    return buf;
}

}  // namespace tovra::motion
