#include "SimProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>
#include <thread>

#include "Spawn.h"

namespace tovra::motion {

SimProcess::~SimProcess() {
    stop();
}

bool SimProcess::start(const std::string& binary, const std::vector<std::string>& extra) {
    char name[] = "/tmp/tovra-motion-sim-XXXXXX";
    const int logFd = ::mkstemp(name);
    if (logFd < 0) {
        std::cerr << "(tovra-motion) cannot create a temporary file\n";
        return false;
    }
    logPath_ = name;
    std::vector<std::string> args = {binary,           "--lockstep", "--port",     "0",
                                     "--control-port", "0",          "--deadline", "10"};
    args.insert(args.end(), extra.begin(), extra.end());
    pid_ = spawnQuiet(args, logFd);
    if (pid_ < 0) {
        ::close(logFd);
        std::cerr << "(tovra-motion) cannot fork\n";
        return false;
    }
    ::close(logFd);
    if (!readPorts()) {
        std::cerr << "(tovra-motion) the simulator did not start: " << log() << "\n";
        stop();
        return false;
    }
    return true;
}

bool SimProcess::readPorts() {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (std::chrono::steady_clock::now() < deadline) {
        const std::string text = log();
        const std::string key = "listening on 127.0.0.1:";
        const std::size_t at = text.find(key);
        const std::size_t control = text.find("control on 127.0.0.1:");
        // The line is complete once its end has been written.
        if (at != std::string::npos && control != std::string::npos &&
            text.find('\n', control) != std::string::npos) {
            agentPort_ = std::atoi(text.c_str() + at + key.size());
            controlPort_ = std::atoi(text.c_str() + control + 21);
            return agentPort_ > 0 && controlPort_ > 0;
        }
        int status = 0;
        if (::waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return false;
}

std::string SimProcess::log() const {
    std::ifstream in(logPath_);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void SimProcess::stop() {
    if (pid_ > 0) {
        // Give it a moment to end by itself after a stop command.
        int status = 0;
        for (int i = 0; i < 200 && ::waitpid(pid_, &status, WNOHANG) == 0; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        if (::waitpid(pid_, &status, WNOHANG) == 0) {
            ::kill(pid_, SIGTERM);
            ::waitpid(pid_, &status, 0);
        }
        pid_ = -1;
    }
    if (!logPath_.empty()) {
        std::remove(logPath_.c_str());
        logPath_.clear();
    }
}

std::vector<std::string> trialSimOptions(const SimSettings& sim, unsigned seed) {
    std::vector<std::string> out = {"--servo", sim.servo};
    if (sim.substeps > 0) {
        out.push_back("--substeps");
        out.push_back(std::to_string(sim.substeps));
    }
    if (sim.torqueScale != 1.0) {
        out.push_back("--torque-scale");
        out.push_back(std::to_string(sim.torqueScale));
    }
    if (!sim.noise) {
        out.push_back("--no-noise");
    } else {
        out.push_back("--seed");
        out.push_back(std::to_string(seed));
    }
    return out;
}

}  // namespace tovra::motion
