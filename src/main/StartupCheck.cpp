#include "main/StartupCheck.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

namespace {

struct DataItem {
    const char* name;  // as the readers open it, relative to the working directory
    bool directory;
    const char* without;  // what the robot does without it
};

const DataItem kItems[] = {
    {"Acts", true,
     "the motions played from motion files (get-ups, kicks, dives, turns, the stand) are empty;"
     " only the omnidirectional walk moves the robot"},
    {"formation.conf", false, "the robot is not beamed and its home position is the centre spot"},
    {"outputdata", false, "no stand-up lines are kept"},
};

std::string workingDirectory() {
    char buf[4096];
    if (::getcwd(buf, sizeof buf) != nullptr)
        return buf;
    return ".";
}

// Empty when the item is usable, otherwise what is wrong with it.
std::string problem(const DataItem& item) {
    struct stat st;
    if (::stat(item.name, &st) != 0) {
        if (errno == ENOENT || errno == ENOTDIR)
            return "missing";
        return std::string("not accessible (") + std::strerror(errno) + ")";
    }
    if (item.directory && !S_ISDIR(st.st_mode))
        return "not a directory";
    if (!item.directory && S_ISDIR(st.st_mode))
        return "a directory, not a file";
    const int mode = item.directory ? (R_OK | X_OK) : R_OK;
    if (::access(item.name, mode) != 0)
        return "not readable";
    return "";
}

}  // namespace

int StartupCheck::warnMissingData(std::ostream& out) {
    int lines = 0;
    std::string cwd;
    for (const DataItem& item : kItems) {
        const std::string what = problem(item);
        if (what.empty())
            continue;
        if (cwd.empty())
            cwd = workingDirectory();
        out << "(StartupCheck) warning: \"" << item.name << (item.directory ? "/" : "") << "\" in "
            << cwd << " is " << what << ": " << item.without << std::endl;
        ++lines;
    }
    return lines;
}
