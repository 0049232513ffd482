#include "FileSystemPosix.h"

#include <unistd.h>

#include <filesystem>
#include <system_error>

namespace lexoria {

namespace fs = std::filesystem;

bool FileSystemPosix::exists(const std::string& path) const {
    // A dangling link still occupies the name.
    std::error_code error;
    return fs::exists(fs::symlink_status(path, error));
}

bool FileSystemPosix::isDirectory(const std::string& path) const {
    std::error_code error;
    return fs::is_directory(path, error);
}

bool FileSystemPosix::isWritable(const std::string& path) const {
    return ::access(path.c_str(), W_OK) == 0;
}

std::vector<std::string> FileSystemPosix::contentsOfDirectory(const std::string& path) const {
    std::vector<std::string> names;
    std::error_code error;
    for (fs::directory_iterator it(path, error), end; !error && it != end; it.increment(error)) {
        names.push_back(it->path().filename().string());
    }
    return names;
}

std::string FileSystemPosix::resolvingSymlinks(const std::string& path) const {
    std::error_code error;
    const fs::path absolute = fs::absolute(path, error);
    if (error) {
        return path;
    }
    const fs::path resolved = fs::weakly_canonical(absolute, error);
    return error ? absolute.lexically_normal().string() : resolved.string();
}

bool FileSystemPosix::copyItem(const std::string& from, const std::string& to, std::string& error) {
    if (exists(to)) {
        error = "\"" + to + "\" already exists";
        return false;
    }
    std::error_code code;
    fs::copy(from, to, fs::copy_options::recursive | fs::copy_options::copy_symlinks, code);
    if (code) {
        error = code.message();
        std::error_code ignored;
        fs::remove_all(to, ignored);
        return false;
    }
    return true;
}

bool FileSystemPosix::removeItem(const std::string& path, std::string& error) {
    std::error_code code;
    fs::remove_all(path, code);
    if (code) {
        error = code.message();
        return false;
    }
    return true;
}

}  // namespace lexoria
