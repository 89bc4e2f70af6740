#ifndef TOVRA_TESTS_SUPPORT_SCRATCHDIR_H
#define TOVRA_TESTS_SUPPORT_SCRATCHDIR_H

#include <string>

namespace tovra::test {

// A fresh temporary directory that becomes the working directory for the
// object's lifetime; the previous working directory is restored and the
// directory with everything in it removed on destruction. For code that
// reads and writes files relative to the working directory.
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    const std::string& path() const { return path_; }

    // Writes `content` to `relPath` (relative to the scratch directory),
    // creating its parent directories; false on failure.
    bool write(const std::string& relPath, const std::string& content) const;
    // The whole content of `relPath`, empty when it cannot be read.
    std::string read(const std::string& relPath) const;
    bool exists(const std::string& relPath) const;

private:
    std::string path_;
    std::string previous_;
};

}  // namespace tovra::test

#endif
