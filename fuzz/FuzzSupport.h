#ifndef TOVRA_FUZZ_FUZZSUPPORT_H
#define TOVRA_FUZZ_FUZZSUPPORT_H

// Helpers shared by the fuzz targets: a private scratch working directory for
// the readers of data files, silenced diagnostic streams, and a checker for
// the command texts the agent sends.

#include <unistd.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iostream>
#include <streambuf>
#include <string>
#include <type_traits>

#include "Effector/Effector.h"
#include "WorldModel/Types.h"

namespace tovra::fuzz {

// Discards everything written to it.
class NullBuffer : public std::streambuf {
protected:
    int overflow(int c) override { return c; }
};

// The diagnostics are part of the behaviour but would flood the log.
inline void silenceStreams() {
    static NullBuffer null;
    std::cout.rdbuf(&null);
    std::cerr.rdbuf(&null);
}

// Prints why an input is rejected and aborts, so that libFuzzer keeps it.
[[noreturn]] inline void fail(const char* what, const std::string& text) {
    std::fprintf(stderr, "fuzz check failed: %s\n  text: %.400s\n", what, text.c_str());
    std::abort();
}

// Makes a fresh directory under $TMPDIR (or /tmp) the working directory of
// the process, once; it is removed with everything in it at a normal exit.
// Crash artifacts and the corpus must therefore be given as absolute paths.
inline const std::string& enterScratchDir() {
    // Never destroyed: the exit handler below still needs it.
    static const std::string* const path = [] {
        const char* tmp = std::getenv("TMPDIR");
        auto* made = new std::string(std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") +
                                     "/tovra-fuzz-XXXXXX");
        if (mkdtemp(made->data()) == nullptr || chdir(made->c_str()) != 0) {
            std::perror("scratch directory");
            std::abort();
        }
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(enterScratchDir(), ignored);
        });
        return made;
    }();
    return *path;
}

// Writes the bytes to relPath below the working directory, creating its
// parent directories; aborts when that fails (the target would test nothing).
inline void writeFile(const std::string& relPath, const uint8_t* data, size_t size) {
    const std::filesystem::path path(relPath);
    if (path.has_parent_path()) {
        std::filesystem::create_directories(path.parent_path());
    }
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    out.close();
    if (!out) {
        std::perror(relPath.c_str());
        std::abort();
    }
}

// True for a number as the agent writes it: finite, fully read.
inline bool isFiniteNumber(const std::string& token) {
    if (token.empty()) {
        return false;
    }
    char* end = nullptr;
    const double value = std::strtod(token.c_str(), &end);
    return end == token.c_str() + token.size() && std::isfinite(value) &&
           token.find_first_of("xXpP") == std::string::npos;
}

inline bool isJointName(const std::string& name) {
    const Effector* effector = Effector::instance();
    for (int j = 0; j < JID_MAX; ++j) {
        if (name == effector->mEffectorName[j]) {
            return true;
        }
    }
    return false;
}

// What a command text may hold besides joint commands.
struct CommandRules {
    bool allowBeam = false;
    bool allowInit = false;
};

// Checks that text is a sequence of commands, blanks allowed between and
// inside them:
// "(joint v)" with a known effector name and a finite number, and where
// allowed "(beam x y a)" with three finite numbers and the init message.
// Aborts with the text on the first violation.
inline void checkCommands(const std::string& text, CommandRules rules = {}) {
    std::size_t pos = 0;
    while (pos < text.size()) {
        if (text[pos] == ' ') {
            ++pos;
            continue;
        }
        if (text[pos] != '(') {
            fail("text outside a command", text);
        }
        if (rules.allowInit && text.compare(pos, 12, "(init (unum ") == 0) {
            const std::size_t end = text.find("))", pos);
            if (end == std::string::npos) {
                fail("unclosed init message", text);
            }
            pos = end + 2;
            continue;
        }
        const std::size_t close = text.find(')', pos);
        if (close == std::string::npos) {
            fail("unclosed command", text);
        }
        const std::string body = text.substr(pos + 1, close - pos - 1);
        pos = close + 1;
        // Words are separated by one or more blanks.
        std::string words[4];
        int count = 0;
        std::size_t start = body.find_first_not_of(' ');
        while (start != std::string::npos) {
            std::size_t blank = body.find(' ', start);
            if (blank == std::string::npos) {
                blank = body.size();
            }
            if (count == 4) {
                fail("too many words in a command", text);
            }
            words[count++] = body.substr(start, blank - start);
            start = body.find_first_not_of(' ', blank);
        }
        if (words[0] == "beam" && rules.allowBeam) {
            if (count != 4 || !isFiniteNumber(words[1]) || !isFiniteNumber(words[2]) ||
                !isFiniteNumber(words[3])) {
                fail("malformed beam", text);
            }
            continue;
        }
        if (count != 2 || !isJointName(words[0])) {
            fail("unknown command", text);
        }
        if (!isFiniteNumber(words[1])) {
            fail("joint value not a finite number", text);
        }
    }
}

// A deterministic pose for the world model's measured joint angles, so that
// the motion players compute non-trivial differences.
template <typename WorldModelT>
void setSomeJointAngles(WorldModelT* wm) {
    for (int j = 0; j < JID_MAX; ++j) {
        wm->mJointIDToAngleMap[static_cast<JointID>(j)] = static_cast<float>(j * 7.25 - 60.0);
    }
}

// The common start of the targets that write a data file and play it, once
// per process: silenced streams, a scratch working directory, the type
// tables, and for the motion players (given their world model) some joint
// angles.
template <typename WorldModelT>
void prepareFileTarget(WorldModelT* wm) {
    static bool ready = false;
    if (ready) {
        return;
    }
    ready = true;
    silenceStreams();
    enterScratchDir();
    Types::fill();
    if constexpr (!std::is_void_v<WorldModelT>) {
        setSomeJointAngles(wm);
    } else {
        (void)wm;
    }
}

inline void prepareFileTarget() {
    prepareFileTarget<void>(nullptr);
}

}  // namespace tovra::fuzz

#endif
