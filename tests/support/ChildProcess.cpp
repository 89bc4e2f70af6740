#include "support/ChildProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace tovra::test {

namespace {
std::string tempPath(const char* tag) {
    std::string templ = std::string("/tmp/tovra-") + tag + "-XXXXXX";
    std::vector<char> buf(templ.begin(), templ.end());
    buf.push_back('\0');
    int fd = mkstemp(buf.data());
    if (fd < 0)
        throw std::runtime_error("mkstemp failed");
    ::close(fd);
    return buf.data();
}

std::string slurp(const std::string& path) {
    std::ifstream in(path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}
}  // namespace

ChildProcess::ChildProcess(const std::string& program, const std::vector<std::string>& args,
                           const std::string& workDir)
    : outPath_(tempPath("out")), errPath_(tempPath("err")) {
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);

    pid_ = fork();
    if (pid_ < 0)
        throw std::runtime_error("fork failed");
    if (pid_ == 0) {
        int out = ::open(outPath_.c_str(), O_WRONLY | O_TRUNC);
        int err = ::open(errPath_.c_str(), O_WRONLY | O_TRUNC);
        dup2(out, 1);
        dup2(err, 2);
        if (!workDir.empty() && chdir(workDir.c_str()) != 0)
            _exit(126);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
}

ChildProcess::~ChildProcess() {
    if (pid_ > 0) {
        ::kill(pid_, SIGKILL);
        int status;
        waitpid(pid_, &status, 0);
    }
    unlink(outPath_.c_str());
    unlink(errPath_.c_str());
}

void ChildProcess::reap(int status) {
    if (WIFEXITED(status))
        exitStatus_ = WEXITSTATUS(status);
    if (WIFSIGNALED(status))
        termSignal_ = WTERMSIG(status);
    pid_ = -1;
}

bool ChildProcess::running() {
    if (pid_ <= 0)
        return false;
    int status;
    if (waitpid(pid_, &status, WNOHANG) == pid_) {
        reap(status);
        return false;
    }
    return true;
}

bool ChildProcess::wait(int timeoutMs) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (running()) {
        if (std::chrono::steady_clock::now() > deadline) {
            kill(SIGKILL);
            int status;
            waitpid(pid_, &status, 0);
            reap(status);
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

void ChildProcess::kill(int sig) {
    if (pid_ > 0)
        ::kill(pid_, sig);
}

std::string ChildProcess::out() const {
    return slurp(outPath_);
}

std::string ChildProcess::err() const {
    return slurp(errPath_);
}

}  // namespace tovra::test
