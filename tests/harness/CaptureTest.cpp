// The test helpers' own checks: the stdout/stderr capture of tests/support.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <iostream>
#include <stdexcept>
#include <string>

#include "support/Capture.h"

using tovra_test::capturedStderr;
using tovra_test::capturedStdout;
using tovra_test::captureStderr;
using tovra_test::captureStdout;

TEST(Capture, CatchesEveryWayOfWriting) {
    captureStdout();
    std::printf("printf ");
    std::cout << "cout ";
    std::fputs("fputs ", stdout);
    const ssize_t written = ::write(STDOUT_FILENO, "write ", 6);
    std::cout << "end" << std::flush;
    const std::string out = capturedStdout();
    EXPECT_EQ(written, 6);
    // write(2) bypasses the stdio buffer, so the order of the pieces is not
    // fixed; each must be there once.
    for (const char* piece : {"printf ", "cout ", "fputs ", "write ", "end"}) {
        EXPECT_NE(out.find(piece), std::string::npos) << piece << " in " << out;
    }
    EXPECT_EQ(out.size(), std::string("printf cout fputs write end").size()) << out;
}

TEST(Capture, KeepsTheTwoStreamsApartAndCatchesUnflushedOutput) {
    captureStdout();
    captureStderr();
    std::printf("to out");  // no newline: still in the buffer at the end
    std::cerr << "to err";
    std::fprintf(stderr, " and more");
    const std::string err = capturedStderr();
    const std::string out = capturedStdout();
    EXPECT_EQ(out, "to out");
    EXPECT_EQ(err, "to err and more");
}

TEST(Capture, LeavesOutOfTheCaptureWhatCameBeforeAndAfter) {
    captureStdout();
    std::printf("first");
    EXPECT_EQ(capturedStdout(), "first");
    // Written into the buffer before the next capture starts: flushed to the
    // real stdout, not caught.
    std::printf("between ");
    captureStdout();
    std::printf("second");
    EXPECT_EQ(capturedStdout(), "second");
}

TEST(Capture, ReturnsLongOutputWhole) {
    const std::string line(999, 'x');
    captureStderr();
    for (int i = 0; i < 1000; ++i) {
        std::fprintf(stderr, "%s\n", line.c_str());
    }
    const std::string err = capturedStderr();
    EXPECT_EQ(err.size(), 1000u * 1000u);
    EXPECT_EQ(err.substr(0, 1000), line + "\n");
}

TEST(Capture, RefusesASecondCaptureAndAnEndWithoutStart) {
    EXPECT_THROW(capturedStdout(), std::logic_error);
    captureStdout();
    EXPECT_THROW(captureStdout(), std::logic_error);
    std::printf("still caught");
    EXPECT_EQ(capturedStdout(), "still caught");
    EXPECT_THROW(capturedStderr(), std::logic_error);
}
