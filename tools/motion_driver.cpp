// tovra-motion: plays one motion of the agent on the bundled simulator and
// measures it from the simulator's ground truth.
//
// Each trial starts its own tovra-sim in lockstep, with sensor noise from the
// trial's seed (--no-noise: exact readings), connects as an agent built from
// the agent's own libraries, places the robot standing or lying (with small
// random changes of the start pose from the same seed),
// plays one action through the action dispatcher, the walk engine with a
// given side, speed and turn, the stand-up command lines of a file, or the
// get-up skill, and reports what happened: whether and since when the robot
// is up, falls, distance and heading change, ball travel.
//
//   tovra-motion --action GET_UP_BACK --start back --trials 10
//   tovra-motion --walk forward 65 0 --hold 20 --observe 22
//   tovra-motion --action KICK_L --ball 0.33 -0.115 --observe 6
//
// See --help for every option. The exit status is 1 when a --require check
// fails, 2 for a usage error, 3 when a trial could not run.

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "motion/AgentTrial.h"
#include "motion/MotionTrial.h"

using tovra::motion::MotionTrial;
using tovra::motion::TrialResult;
using tovra::motion::TrialSpec;

namespace {

const std::map<std::string, ActionType>& actionNames() {
    static const std::map<std::string, ActionType> names = {
        {"DIVE_FRONT", DIVE_FRONT},
        {"DIVE_BACK", DIVE_BACK},
        {"DIVE_HAND_L", DIVE_HAND_L},
        {"DIVE_HAND_R", DIVE_HAND_R},
        {"DIVE_LEG_L", DIVE_LEG_L},
        {"DIVE_LEG_R", DIVE_LEG_R},
        {"DEFEND_GOAL_L", DEFEND_GOAL_L},
        {"DEFEND_GOAL_R", DEFEND_GOAL_R},
        {"HEAD_LEFTRIGHT", HEAD_LEFTRIGHT},
        {"LIE_FRONT", LIE_FRONT},
        {"LIE_BACK", LIE_BACK},
        {"GET_UP_FRONT", GET_UP_FRONT},
        {"GET_UP_BACK", GET_UP_BACK},
        {"GET_UP_LEFT", GET_UP_LEFT},
        {"GET_UP_RIGHT", GET_UP_RIGHT},
        {"TURN_L", TURN_L},
        {"TURN_R", TURN_R},
        {"FAST_TURN_L", FAST_TURN_L},
        {"FAST_TURN_R", FAST_TURN_R},
        {"SLOW_TURN_L", SLOW_TURN_L},
        {"SLOW_TURN_R", SLOW_TURN_R},
        {"LARGE_TURN_L", LARGE_TURN_L},
        {"LARGE_TURN_R", LARGE_TURN_R},
        {"WALK_OMNI", WALK_OMNI},
        {"WALK_FAST", WALK_FAST},
        {"WALK_FORWARD", WALK_FORWARD},
        {"MINI_WALK_FORWARD", MINI_WALK_FORWARD},
        {"WALK_BACKWARD", WALK_BACKWARD},
        {"WALK_LEFT", WALK_LEFT},
        {"WALK_FAST_LEFT", WALK_FAST_LEFT},
        {"WALK_SLOW_LEFT", WALK_SLOW_LEFT},
        {"WALK_RIGHT", WALK_RIGHT},
        {"WALK_FAST_RIGHT", WALK_FAST_RIGHT},
        {"WALK_SLOW_RIGHT", WALK_SLOW_RIGHT},
        {"WALK_AROUND_BALL_L", WALK_AROUND_BALL_L},
        {"WALK_AROUND_BALL_R", WALK_AROUND_BALL_R},
        {"WALK_SIDE_L", WALK_SIDE_L},
        {"WALK_SIDE_R", WALK_SIDE_R},
        {"WALK_SIDE_SHORT_L", WALK_SIDE_SHORT_L},
        {"WALK_SIDE_SHORT_R", WALK_SIDE_SHORT_R},
        {"KICK_L", KICK_L},
        {"KICK_R", KICK_R},
        {"KICK", KICK},
        {"SHOOT", SHOOT},
        {"STEP", STEP},
        {"WAIT", WAIT},
        {"SETTOZERO", SETTOZERO},
    };
    return names;
}

const std::map<std::string, ESide>& sideNames() {
    static const std::map<std::string, ESide> names = {
        {"forward", SIDE_FORWARD_}, {"backward", SIDE_BACKWARD_}, {"left", SIDE_LEFT_},
        {"right", SIDE_RIGHT_},     {"turnleft", SIDE_TURNLEFT_}, {"turnright", SIDE_TURNRIGHT_},
    };
    return names;
}

const std::map<std::string, TrialSpec::Start>& startNames() {
    static const std::map<std::string, TrialSpec::Start> names = {
        {"stand", TrialSpec::Start::Stand}, {"back", TrialSpec::Start::Back},
        {"front", TrialSpec::Start::Front}, {"left", TrialSpec::Start::Left},
        {"right", TrialSpec::Start::Right},
    };
    return names;
}

void usage() {
    std::cout
        << "usage: tovra-motion [options]\n"
           "what to play (one of):\n"
           "  --action NAME          an ActionType, e.g. GET_UP_BACK, KICK_L, FAST_TURN_L\n"
           "  --walk SIDE SPEED TURN the walk engine (WALK_OMNI); SIDE forward|backward|left|\n"
           "                         right|turnleft|turnright, SPEED percent, TURN deg per step\n"
           "  --lines FILE           one command text per cycle (e.g. outputdata)\n"
           "  --stayup               the get-up skill while fallen, WAIT otherwise\n"
           "  --idle                 zero commands (the robot holds its joints)\n"
           "  --skill NAME           kickball|sidekick|dribble: the ball skill every cycle\n"
           "                         (the get-up skill while fallen)\n"
           "  --agent SCENARIO       the agent program itself (tovra, beside this program):\n"
           "                         knock-back|knock-front: knocked over in play, time to get\n"
           "                         up; dribble: time to score from the ball ahead\n"
           "                         (--unum N, --robot-at X Y, --ball-at X Y, --limit S;\n"
           "                         --require-up K: up again in at least K trials)\n"
           "how:\n"
           "  --start stand|back|front|left|right   start pose (default stand)\n"
           "  --hold S               request the action for S seconds (default: once)\n"
           "  --after NAME           action requested afterwards (default WAIT)\n"
           "  --observe S            seconds observed from the start (default 6)\n"
           "  --settle S             seconds before the start (default 0.5 standing, 1 lying)\n"
           "  --pre NAME S           action requested for S seconds before the start\n"
           "  --ball FWD LEFT        ball relative to the robot at the start (metres)\n"
           "  --at X Y HEADING       placement (default -5 0 0)\n"
           "  --trials N             independent trials (default 1)\n"
           "  --seed S               seed of the first trial (default 1; trial k uses S+k)\n"
           "  --no-jitter            no random changes of the start pose\n"
           "  --noise                the simulator's sensor noise, seeded with the trial's seed\n"
           "                         (the default)\n"
           "  --no-noise             exact sensor readings\n"
           "  --servo MODEL          the simulator's joints: velocity (default) or setpoint\n"
           "  --substeps N           the simulator's physics substeps per step (default its own)\n"
           "  --torque-scale X       scales the simulator's motor torque limits (diagnosis only)\n"
           "  --jobs J               trials run at the same time (default 1)\n"
           "  --stand-height M       torso height that counts as up (default 0.3)\n"
           "  --log FILE             per-cycle CSV (trial k writes FILE.k with several trials)\n"
           "  --sim PATH             tovra-sim (default: beside this program)\n"
           "  --data DIR             directory holding Acts/ (default: the working directory)\n"
           "  --quiet                only the summary\n"
           "checks (exit status 1 when one fails; a negative value asks for at most):\n"
           "  --up-within S          a trial counts as up when it is up since at most S s\n"
           "  --require-up K         at least K trials up (within --up-within, at the end)\n"
           "  --require-no-fall K    at least K trials without a fall and up at the end\n"
           "  --require-ball D K     ball travel >= D m in at least K trials\n"
           "  --require-turn DEG K   heading change of at least DEG (signed) in K trials\n"
           "  --require-forward M K  forward displacement of at least M (signed) in K trials\n"
           "  --require-left M K     leftward displacement of at least M (signed) in K trials\n"
           "  --require-side M K     leftward shift after 1.5 s of at least M (signed) in K\n";
}

std::string serialize(const TrialResult& r) {
    std::ostringstream out;
    out.precision(17);
    out << r.ran << ' ' << r.uprightAtEnd << ' ' << r.upAt << ' ' << r.falls << ' ' << r.firstFallAt
        << ' ' << r.minHeight << ' ' << r.endHeight << ' ' << r.actionEnd << ' ' << r.forward << ' '
        << r.left << ' ' << r.turned << ' ' << r.steadyTime << ' ' << r.forwardRate << ' '
        << r.leftRate << ' ' << r.turnRate << ' ' << r.ballTravel << ' ' << r.ballForward << ' '
        << r.ballLeft << ' ' << r.sideShift << ' ' << r.turn90At << ' ' << r.error;
    return out.str();
}

TrialResult deserialize(const std::string& text) {
    TrialResult r;
    std::istringstream in(text);
    in >> r.ran >> r.uprightAtEnd >> r.upAt >> r.falls >> r.firstFallAt >> r.minHeight >>
        r.endHeight >> r.actionEnd >> r.forward >> r.left >> r.turned >> r.steadyTime >>
        r.forwardRate >> r.leftRate >> r.turnRate >> r.ballTravel >> r.ballForward >> r.ballLeft >>
        r.sideShift >> r.turn90At;
    if (!in) {
        r = TrialResult{};
        r.error = "trial ended without a result";
        return r;
    }
    std::getline(in, r.error);
    if (!r.error.empty() && r.error[0] == ' ') {
        r.error.erase(0, 1);
    }
    return r;
}

struct Running {
    pid_t pid;
    int fd;
    int index;
};

// Runs every trial in a child process of its own, so that each starts from
// fresh agent state (the agent's components are process-wide singletons).
std::vector<TrialResult> runTrials(const TrialSpec& base, int trials, int jobs,
                                   const std::string& logFile, bool quiet) {
    std::vector<TrialResult> results(trials);
    std::vector<Running> running;
    int next = 0;
    auto collect = [&](const Running& r) {
        std::string text;
        char buf[4096];
        ssize_t n;
        while ((n = ::read(r.fd, buf, sizeof buf)) > 0) {
            text.append(buf, static_cast<std::size_t>(n));
        }
        ::close(r.fd);
        int status = 0;
        ::waitpid(r.pid, &status, 0);
        results[r.index] = deserialize(text);
        if (!quiet) {
            std::cout << "trial " << r.index + 1 << " (seed " << base.seed + r.index
                      << "): " << tovra::motion::describe(results[r.index]) << std::endl;
        }
    };
    while (next < trials || !running.empty()) {
        while (next < trials && static_cast<int>(running.size()) < jobs) {
            TrialSpec spec = base;
            spec.seed = base.seed + static_cast<unsigned>(next);
            if (!logFile.empty()) {
                spec.logFile = trials > 1 ? logFile + "." + std::to_string(next + 1) : logFile;
            }
            int fds[2];
            if (::pipe(fds) != 0) {
                std::cerr << "(tovra-motion) cannot create a pipe\n";
                std::exit(3);
            }
            std::cout.flush();
            const pid_t pid = ::fork();
            if (pid < 0) {
                std::cerr << "(tovra-motion) cannot fork\n";
                std::exit(3);
            }
            if (pid == 0) {
                ::close(fds[0]);
                // The agent's diagnostics stay out of the report.
                std::FILE* devNull = std::freopen("/dev/null", "w", stdout);
                (void)devNull;
                const std::string text = serialize(MotionTrial(spec).run());
                std::size_t off = 0;
                while (off < text.size()) {
                    const ssize_t n = ::write(fds[1], text.data() + off, text.size() - off);
                    if (n <= 0) {
                        break;
                    }
                    off += static_cast<std::size_t>(n);
                }
                ::close(fds[1]);
                std::_Exit(0);
            }
            ::close(fds[1]);
            running.push_back({pid, fds[0], next});
            ++next;
        }
        // Collect the oldest; the trials take about equally long.
        collect(running.front());
        running.erase(running.begin());
    }
    return results;
}

// Whole-agent trials, one after the other (each has its own simulator and
// agent process). Returns the exit status.
int runAgentTrials(tovra::motion::AgentSpec spec, int trials, int /*jobs*/, unsigned seed,
                   bool quiet, int requireUp) {
    int ran = 0, up = 0, goals = 0;
    double upSum = 0, goalSum = 0, goalMax = 0;
    for (int k = 0; k < trials; ++k) {
        spec.seed = seed + static_cast<unsigned>(k);
        const tovra::motion::AgentResult r = tovra::motion::AgentTrial(spec).run();
        if (!quiet) {
            std::cout << "trial " << k + 1 << " (seed " << spec.seed
                      << "): " << tovra::motion::describe(r) << std::endl;
        }
        if (!r.ran) {
            std::cerr << "(tovra-motion) a trial did not run: " << r.error << "\n";
            return 3;
        }
        ++ran;
        if (r.upAt >= 0) {
            ++up;
            upSum += r.upAt;
        }
        if (r.goalAt >= 0) {
            ++goals;
            goalSum += r.goalAt;
            goalMax = std::max(goalMax, r.goalAt);
        }
    }
    std::cout << "summary: " << ran << "/" << trials << " trials ran; up again " << up << "/"
              << ran;
    if (up > 0) {
        std::cout << " (mean " << upSum / up << " s)";
    }
    std::cout << "; goals " << goals << "/" << ran;
    if (goals > 0) {
        std::cout << " (mean " << goalSum / goals << " s, longest " << goalMax << " s)";
    }
    std::cout << "\n";
    if (requireUp >= 0 && up < requireUp) {
        std::cout << "check failed: up again " << up << " < " << requireUp << "\n";
        return 1;
    }
    return 0;
}

struct Stat {
    double sum = 0, min = 0, max = 0;
    int n = 0;
    void add(double v) {
        min = n == 0 ? v : std::min(min, v);
        max = n == 0 ? v : std::max(max, v);
        sum += v;
        ++n;
    }
    std::string text(const char* format) const {
        if (n == 0) {
            return "-";
        }
        char buf[128];
        std::string f = std::string("mean ") + format + " (" + format + " .. " + format + ")";
        std::snprintf(buf, sizeof buf, f.c_str(), sum / n, min, max);
        return buf;
    }
};

bool meets(double value, double threshold) {
    return threshold < 0 ? value <= threshold : value >= threshold;
}

}  // namespace

int main(int argc, char** argv) {
    TrialSpec spec;
    tovra::motion::AgentSpec agentSpec;
    bool agentMode = false;
    int trials = 1;
    int jobs = 1;
    bool quiet = false;
    bool chosen = false;
    std::string logFile;
    std::string dataDir;
    double upWithin = 1e9;
    int requireUp = -1, requireNoFall = -1;
    double ballMin = 0, turnMin = 0, forwardMin = 0, leftMin = 0, sideMin = 0;
    int requireBall = -1, requireTurn = -1, requireForward = -1, requireLeft = -1, requireSide = -1;
    bool holdGiven = false;

    auto fail = [](const std::string& what) {
        std::cerr << "(tovra-motion) " << what << " (see --help)\n";
        std::exit(2);
    };
    auto number = [&](int& i) {
        if (i + 1 >= argc) {
            fail(std::string(argv[i]) + " needs a value");
        }
        char* end = nullptr;
        const double v = std::strtod(argv[++i], &end);
        if (end == argv[i] || *end != '\0' || !std::isfinite(v)) {
            fail(std::string("not a number: ") + argv[i]);
        }
        return v;
    };
    auto word = [&](int& i) -> std::string {
        if (i + 1 >= argc) {
            fail(std::string(argv[i]) + " needs a value");
        }
        return argv[++i];
    };
    auto action = [&](const std::string& name) {
        const auto it = actionNames().find(name);
        if (it == actionNames().end()) {
            fail("unknown action " + name);
        }
        return it->second;
    };
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--help") {
            usage();
            return 0;
        } else if (a == "--action") {
            spec.play = TrialSpec::Play::Action;
            spec.action = action(word(i));
            chosen = true;
        } else if (a == "--walk") {
            spec.play = TrialSpec::Play::Walk;
            const std::string side = word(i);
            const auto it = sideNames().find(side);
            if (it == sideNames().end()) {
                fail("unknown walk side " + side);
            }
            spec.walkSide = it->second;
            spec.walkSpeed = number(i);
            spec.walkTurn = number(i);
            chosen = true;
        } else if (a == "--lines") {
            spec.play = TrialSpec::Play::Lines;
            spec.linesFile = word(i);
            chosen = true;
        } else if (a == "--skill") {
            spec.skill = word(i);
            if (spec.skill != "kickball" && spec.skill != "sidekick" && spec.skill != "dribble") {
                fail("unknown skill " + spec.skill);
            }
            spec.play = TrialSpec::Play::Skill;
            chosen = true;
        } else if (a == "--stayup") {
            spec.play = TrialSpec::Play::StayUp;
            chosen = true;
        } else if (a == "--agent") {
            const std::string what = word(i);
            if (what == "knock-back" || what == "knock-front") {
                agentSpec.scenario = tovra::motion::AgentSpec::Scenario::Knock;
                agentSpec.onBack = what == "knock-back";
            } else if (what == "dribble") {
                agentSpec.scenario = tovra::motion::AgentSpec::Scenario::Dribble;
            } else {
                fail("unknown agent scenario " + what);
            }
            agentMode = true;
            chosen = true;
        } else if (a == "--unum") {
            agentSpec.unum = static_cast<int>(number(i));
        } else if (a == "--robot-at") {
            agentSpec.robotX = number(i);
            agentSpec.robotY = number(i);
        } else if (a == "--ball-at") {
            agentSpec.ballX = number(i);
            agentSpec.ballY = number(i);
        } else if (a == "--limit") {
            agentSpec.limit = number(i);
        } else if (a == "--idle") {
            spec.play = TrialSpec::Play::Idle;
            chosen = true;
        } else if (a == "--start") {
            const std::string s = word(i);
            const auto it = startNames().find(s);
            if (it == startNames().end()) {
                fail("unknown start pose " + s);
            }
            spec.start = it->second;
        } else if (a == "--hold") {
            spec.hold = true;
            spec.holdTime = number(i);
            holdGiven = true;
        } else if (a == "--after") {
            spec.after = action(word(i));
        } else if (a == "--pre") {
            spec.pre = action(word(i));
            spec.preTime = number(i);
        } else if (a == "--observe") {
            spec.observeTime = number(i);
        } else if (a == "--settle") {
            spec.settleTime = number(i);
        } else if (a == "--ball") {
            spec.ball = true;
            spec.ballForward = number(i);
            spec.ballLeft = number(i);
        } else if (a == "--at") {
            spec.x = number(i);
            spec.y = number(i);
            spec.heading = number(i);
        } else if (a == "--trials") {
            trials = static_cast<int>(number(i));
        } else if (a == "--seed") {
            spec.seed = static_cast<unsigned>(number(i));
        } else if (a == "--no-jitter") {
            spec.jitter = false;
        } else if (a == "--noise") {
            spec.sim.noise = true;
        } else if (a == "--no-noise") {
            spec.sim.noise = false;
        } else if (a == "--servo" && i + 1 < argc &&
                   (std::strcmp(argv[i + 1], "velocity") == 0 ||
                    std::strcmp(argv[i + 1], "setpoint") == 0)) {
            spec.sim.servo = argv[++i];
        } else if (a == "--torque-scale") {
            spec.sim.torqueScale = number(i);
            if (!(spec.sim.torqueScale > 0)) {
                std::cerr << "(tovra-motion) --torque-scale needs a positive number\n";
                return 2;
            }
        } else if (a == "--substeps") {
            spec.sim.substeps = std::max(1, static_cast<int>(number(i)));
        } else if (a == "--jobs") {
            jobs = std::max(1, static_cast<int>(number(i)));
        } else if (a == "--stand-height") {
            spec.standHeight = number(i);
        } else if (a == "--log") {
            logFile = word(i);
        } else if (a == "--sim") {
            spec.simBinary = word(i);
        } else if (a == "--data") {
            dataDir = word(i);
        } else if (a == "--quiet") {
            quiet = true;
        } else if (a == "--up-within") {
            upWithin = number(i);
        } else if (a == "--require-up") {
            requireUp = static_cast<int>(number(i));
        } else if (a == "--require-no-fall") {
            requireNoFall = static_cast<int>(number(i));
        } else if (a == "--require-ball") {
            ballMin = number(i);
            requireBall = static_cast<int>(number(i));
        } else if (a == "--require-turn") {
            turnMin = number(i);
            requireTurn = static_cast<int>(number(i));
        } else if (a == "--require-forward") {
            forwardMin = number(i);
            requireForward = static_cast<int>(number(i));
        } else if (a == "--require-left") {
            leftMin = number(i);
            requireLeft = static_cast<int>(number(i));
        } else if (a == "--require-side") {
            sideMin = number(i);
            requireSide = static_cast<int>(number(i));
        } else {
            fail("unknown option " + a);
        }
    }
    if (!chosen) {
        fail("nothing to play: give --action, --walk, --lines, --stayup or --idle");
    }
    if (trials < 1 || trials > 1000) {
        fail("--trials must be 1 to 1000");
    }
    if (spec.play == TrialSpec::Play::Walk && !holdGiven) {
        fail("--walk needs --hold");
    }
    if (spec.simBinary.empty()) {
        std::string self = argv[0];
        char buf[4096];
        const ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
        if (n > 0) {
            self.assign(buf, static_cast<std::size_t>(n));
        }
        const std::size_t slash = self.rfind('/');
        spec.simBinary =
            (slash == std::string::npos ? std::string(".") : self.substr(0, slash)) + "/tovra-sim";
    }
    if (spec.simBinary[0] != '/') {
        char cwd[4096];
        if (::getcwd(cwd, sizeof cwd) != nullptr) {
            spec.simBinary = std::string(cwd) + "/" + spec.simBinary;
        }
    }
    if (!logFile.empty() && logFile[0] != '/') {
        char cwd[4096];
        if (::getcwd(cwd, sizeof cwd) != nullptr) {
            logFile = std::string(cwd) + "/" + logFile;
        }
    }
    if (spec.play == TrialSpec::Play::Lines && spec.linesFile[0] != '/') {
        char cwd[4096];
        if (::getcwd(cwd, sizeof cwd) != nullptr) {
            spec.linesFile = std::string(cwd) + "/" + spec.linesFile;
        }
    }
    // With --data the runs work in a scratch directory that links the data
    // files, so that nothing is written into the data directory ("l.txt").
    std::string scratch;
    if (!dataDir.empty()) {
        if (dataDir[0] != '/') {
            char cwd[4096];
            if (::getcwd(cwd, sizeof cwd) != nullptr) {
                dataDir = std::string(cwd) + "/" + dataDir;
            }
        }
        char name[] = "/tmp/tovra-motion-XXXXXX";
        if (::mkdtemp(name) == nullptr) {
            fail("cannot create a scratch directory");
        }
        scratch = name;
        for (const char* entry : {"Acts", "formation.conf", "outputdata"}) {
            const std::string from = dataDir + "/" + entry;
            if (::access(from.c_str(), F_OK) == 0 &&
                ::symlink(from.c_str(), (scratch + "/" + entry).c_str()) != 0) {
                fail("cannot link " + from);
            }
        }
        if (::chdir(scratch.c_str()) != 0) {
            fail("cannot enter " + scratch);
        }
    }

    if (agentMode) {
        agentSpec.simBinary = spec.simBinary;
        agentSpec.sim = spec.sim;
        agentSpec.agentBinary = spec.simBinary.substr(0, spec.simBinary.rfind('/') + 1) + "tovra";
        const int code = runAgentTrials(agentSpec, trials, jobs, spec.seed, quiet, requireUp);
        if (!scratch.empty()) {
            for (const char* entry : {"Acts", "formation.conf", "outputdata", "l.txt"}) {
                ::unlink((scratch + "/" + entry).c_str());
            }
            ::rmdir(scratch.c_str());
        }
        return code;
    }
    const std::vector<TrialResult> results = runTrials(spec, trials, jobs, logFile, quiet);
    if (!scratch.empty()) {
        for (const char* entry : {"Acts", "formation.conf", "outputdata", "l.txt"}) {
            ::unlink((scratch + "/" + entry).c_str());
        }
        ::rmdir(scratch.c_str());
    }

    int ran = 0, up = 0, noFall = 0, ball = 0, turn = 0, forward = 0, left = 0, side = 0;
    int falls = 0;
    Stat upAt, minZ, moved, moveLeft, drift, turned, fRate, lRate, tRate, ballTravel, sideShift,
        actEnd, turn90;
    for (const TrialResult& r : results) {
        if (!r.ran) {
            continue;
        }
        ++ran;
        const bool isUp = r.uprightAtEnd && r.upAt <= upWithin;
        up += isUp;
        noFall += r.falls == 0 && r.uprightAtEnd;
        falls += r.falls;
        ball += r.ballTravel >= ballMin;
        turn += meets(r.turned, turnMin);
        forward += meets(r.forward, forwardMin);
        left += meets(r.left, leftMin);
        side += meets(r.sideShift, sideMin);
        if (r.upAt >= 0) {
            upAt.add(r.upAt);
        }
        minZ.add(r.minHeight);
        moved.add(r.forward);
        moveLeft.add(r.left);
        drift.add(std::hypot(r.forward, r.left));
        if (r.turn90At >= 0) {
            turn90.add(r.turn90At);
        }
        turned.add(r.turned);
        fRate.add(r.forwardRate);
        lRate.add(r.leftRate);
        tRate.add(r.turnRate);
        ballTravel.add(r.ballTravel);
        sideShift.add(r.sideShift);
        if (r.actionEnd >= 0) {
            actEnd.add(r.actionEnd);
        }
    }
    std::cout << "summary: " << ran << "/" << trials << " trials ran; up at the end";
    if (upWithin < 1e9) {
        std::cout << " (up since at most " << upWithin << " s)";
    }
    std::cout << " " << up << "/" << ran << "; no fall and up " << noFall << "/" << ran
              << "; falls " << falls << "\n"
              << "  up since [s]      " << upAt.text("%.2f") << "\n"
              << "  action ended [s]  " << actEnd.text("%.2f") << "\n"
              << "  lowest torso [m]  " << minZ.text("%.3f") << "\n"
              << "  moved fwd [m]     " << moved.text("%+.3f") << "\n"
              << "  moved left [m]    " << moveLeft.text("%+.3f") << "\n"
              << "  moved [m]         " << drift.text("%.3f") << "\n"
              << "  turned [deg]      " << turned.text("%+.1f") << "\n"
              << "  turned 90 at [s]  " << turn90.text("%.2f") << " in " << turn90.n << "\n"
              << "  steady fwd [m/s]  " << fRate.text("%+.3f") << "\n"
              << "  steady left [m/s] " << lRate.text("%+.3f") << "\n"
              << "  steady turn [d/s] " << tRate.text("%+.1f") << "\n"
              << "  left at 1.5 s [m] " << sideShift.text("%+.3f") << "\n"
              << "  ball travel [m]   " << ballTravel.text("%.2f") << "\n";
    if (ran < trials) {
        for (const TrialResult& r : results) {
            if (!r.ran) {
                std::cerr << "(tovra-motion) a trial did not run: " << r.error << "\n";
                break;
            }
        }
        return 3;
    }
    bool ok = true;
    auto check = [&](const char* what, int got, int needed) {
        if (needed >= 0 && got < needed) {
            std::cout << "FAILED: " << what << " " << got << " < " << needed << "\n";
            ok = false;
        }
    };
    check("up", up, requireUp);
    check("no fall", noFall, requireNoFall);
    check("ball travel", ball, requireBall);
    check("turn", turn, requireTurn);
    check("forward", forward, requireForward);
    check("left", left, requireLeft);
    check("side shift", side, requireSide);
    return ok ? 0 : 1;
}
