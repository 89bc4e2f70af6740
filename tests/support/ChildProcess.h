#ifndef TOVRA_TESTS_SUPPORT_CHILDPROCESS_H
#define TOVRA_TESTS_SUPPORT_CHILDPROCESS_H

#include <sys/types.h>

#include <string>
#include <vector>

namespace tovra::test {

// Runs a program as a child process with its standard output and error
// captured in files, for tests of what a program shows from outside.
class ChildProcess {
public:
    ChildProcess(const std::string& program, const std::vector<std::string>& args,
                 const std::string& workDir = "");
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Waits for the exit; false (and the child killed) on timeout.
    bool wait(int timeoutMs = 10000);
    bool running();
    void kill(int sig);

    // Exit status after a normal exit, -1 after a signal.
    int exitStatus() const { return exitStatus_; }
    int termSignal() const { return termSignal_; }
    std::string out() const;
    std::string err() const;

private:
    void reap(int status);

    pid_t pid_ = -1;
    int exitStatus_ = -1;
    int termSignal_ = 0;
    std::string outPath_;
    std::string errPath_;
};

}  // namespace tovra::test

#endif
