#ifndef TOVRA_TOOLS_MOTION_SPAWN_H
#define TOVRA_TOOLS_MOTION_SPAWN_H

#include <sys/types.h>

#include <string>
#include <vector>

namespace tovra::motion {

// Starts args[0] with args, standard input and output on /dev/null and
// standard error on `stderrFd` (/dev/null when negative). Returns the child's
// process id, or -1 when it cannot fork.
pid_t spawnQuiet(const std::vector<std::string>& args, int stderrFd);

}  // namespace tovra::motion

#endif
