#include "support/Capture.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <stdexcept>

namespace tovra_test {
namespace {

struct Capture {
    int fd;
    const char* name;
    int saved = -1;
    std::FILE* file = nullptr;
};

Capture& captureOf(int fd) {
    static Capture out{STDOUT_FILENO, "stdout"};
    static Capture err{STDERR_FILENO, "stderr"};
    return fd == STDOUT_FILENO ? out : err;
}

void flushAll() {
    std::cout.flush();
    std::cerr.flush();
    std::clog.flush();
    std::fflush(nullptr);
}

[[noreturn]] void fail(const Capture& c, const char* what) {
    throw std::runtime_error(std::string("capture of ") + c.name + ": " + what + ": " +
                             std::strerror(errno));
}

void begin(int fd) {
    Capture& c = captureOf(fd);
    if (c.file) {
        throw std::logic_error(std::string("capture of ") + c.name + " is already running");
    }
    flushAll();
    c.file = std::tmpfile();
    if (!c.file) {
        fail(c, "cannot create a temporary file");
    }
    c.saved = ::dup(fd);
    if (c.saved < 0 || ::dup2(::fileno(c.file), fd) < 0) {
        const int e = errno;
        if (c.saved >= 0) {
            ::close(c.saved);
        }
        std::fclose(c.file);
        c.file = nullptr;
        c.saved = -1;
        errno = e;
        fail(c, "cannot redirect the stream");
    }
}

std::string end(int fd) {
    Capture& c = captureOf(fd);
    if (!c.file) {
        throw std::logic_error(std::string("capture of ") + c.name + " is not running");
    }
    flushAll();
    const bool restored = ::dup2(c.saved, fd) >= 0;
    ::close(c.saved);
    c.saved = -1;
    std::string text;
    std::rewind(c.file);
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, c.file)) > 0) {
        text.append(buffer, n);
    }
    std::fclose(c.file);
    c.file = nullptr;
    if (!restored) {
        fail(c, "cannot restore the stream");
    }
    return text;
}

}  // namespace

void captureStdout() {
    begin(STDOUT_FILENO);
}
void captureStderr() {
    begin(STDERR_FILENO);
}
std::string capturedStdout() {
    return end(STDOUT_FILENO);
}
std::string capturedStderr() {
    return end(STDERR_FILENO);
}

}  // namespace tovra_test
