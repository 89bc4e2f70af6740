#ifndef TOVRA_TESTS_SUPPORT_CAPTURE_H
#define TOVRA_TESTS_SUPPORT_CAPTURE_H

#include <string>

// Captures what the code under test writes to standard output or standard
// error. The file descriptor itself is redirected (into a temporary file), so
// printf, std::cout, std::cerr and write(2) are all caught; C and C++ streams
// are flushed when a capture starts and ends, so that nothing written before
// lands in it and nothing written during it comes out later. Each stream has
// one capture at a time; starting a second or ending one that is not running
// throws std::logic_error.
namespace tovra_test {

void captureStdout();
void captureStderr();
// End the capture, restore the stream and return what was written.
std::string capturedStdout();
std::string capturedStderr();

}  // namespace tovra_test

#endif
