#include "FileOperationsPosix.h"

#include <pwd.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <vector>

namespace lexoria {

namespace fs = std::filesystem;

std::string FileOperationsPosix::homeDirectory() const {
    // The password database, not $HOME: a Snap confinement points $HOME elsewhere.
    long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(static_cast<std::size_t>(size > 0 ? size : 16384));
    passwd entry{};
    passwd* found = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found &&
        found->pw_dir) {
        return found->pw_dir;
    }
    const char* home = std::getenv("HOME");
    return home ? home : "/";
}

bool FileOperationsPosix::createDirectories(const std::string& path) {
    std::error_code error;
    fs::create_directories(path, error);
    return !error;
}

bool FileOperationsPosix::writeFile(const std::string& path, const std::string& contents) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << contents;
    return static_cast<bool>(out.flush());
}

bool FileOperationsPosix::fileExists(const std::string& path) const {
    std::error_code error;
    return fs::exists(path, error);
}

bool FileOperationsPosix::removeFile(const std::string& path) {
    std::error_code error;
    return fs::remove(path, error);
}

}  // namespace lexoria
