#include "Spawn.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

namespace tovra::motion {

pid_t spawnQuiet(const std::vector<std::string>& args, int stderrFd) {
    std::vector<std::string> copy = args;
    std::vector<char*> argv;
    for (std::string& a : copy) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int devNull = ::open("/dev/null", O_RDWR);
        if (devNull >= 0) {
            ::dup2(devNull, STDIN_FILENO);
            ::dup2(devNull, STDOUT_FILENO);
        }
        ::dup2(stderrFd >= 0 ? stderrFd : devNull, STDERR_FILENO);
        ::execv(argv[0], argv.data());
        std::fprintf(stderr, "cannot run %s\n", argv[0]);
        std::_Exit(127);
    }
    return pid;
}

}  // namespace tovra::motion
