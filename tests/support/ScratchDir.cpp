#include "support/ScratchDir.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <system_error>
#include <vector>

namespace tovra::test {

namespace fs = std::filesystem;

ScratchDir::ScratchDir() {
    std::error_code ec;
    previous_ = fs::current_path(ec).string();
    std::string templ = (fs::temp_directory_path(ec) / "tovra-scratch-XXXXXX").string();
    std::vector<char> buffer(templ.begin(), templ.end());
    buffer.push_back('\0');
    if (mkdtemp(buffer.data()) == nullptr) {
        throw std::runtime_error("cannot create a scratch directory");
    }
    path_ = buffer.data();
    if (chdir(path_.c_str()) != 0) {
        throw std::runtime_error("cannot enter the scratch directory " + path_);
    }
}

ScratchDir::~ScratchDir() {
    if (!previous_.empty()) {
        (void)chdir(previous_.c_str());
    }
    std::error_code ec;
    fs::remove_all(path_, ec);
}

bool ScratchDir::write(const std::string& relPath, const std::string& content) const {
    const fs::path full = fs::path(path_) / relPath;
    std::error_code ec;
    fs::create_directories(full.parent_path(), ec);
    std::ofstream out(full, std::ios::binary | std::ios::trunc);
    out << content;
    return static_cast<bool>(out);
}

std::string ScratchDir::read(const std::string& relPath) const {
    std::ifstream in(fs::path(path_) / relPath, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

bool ScratchDir::exists(const std::string& relPath) const {
    std::error_code ec;
    return fs::exists(fs::path(path_) / relPath, ec);
}

}  // namespace tovra::test
