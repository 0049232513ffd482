#include "HostPathsLinux.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace lexoria {

namespace fs = std::filesystem;

namespace {

std::string variable(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

}  // namespace

HostPathsLinux HostPathsLinux::forThisProcess() {
    Facts facts;
    facts.home = variable("HOME");
    if (facts.home.empty()) {
        if (const passwd* user = ::getpwuid(::getuid())) {
            facts.home = user->pw_dir;
        }
    }
    facts.appImage = variable("APPIMAGE");
    facts.appDir = variable("APPDIR");
    std::error_code error;
    facts.executable = fs::read_symlink("/proc/self/exe", error).string();
    facts.configHome = variable("XDG_CONFIG_HOME");
    if (facts.configHome.empty() && !facts.home.empty()) {
        facts.configHome = facts.home + "/.config";
    }
    return HostPathsLinux(std::move(facts));
}

bool HostPathsLinux::runsFromAppImage() const {
    // A program started from another AppImage's session inherits its variables.
    return !facts_.appImage.empty() && !facts_.appDir.empty() &&
           facts_.executable.rfind(fs::path(facts_.appDir).lexically_normal().string() + "/", 0) ==
               0;
}

std::optional<std::string> HostPathsLinux::bundlePath() const {
    if (runsFromAppImage()) {
        std::error_code error;
        const fs::path absolute = fs::absolute(facts_.appImage, error);
        return error ? facts_.appImage : absolute.lexically_normal().string();
    }
    if (facts_.executable.empty()) {
        return std::nullopt;
    }
    const fs::path bundle = fs::path(facts_.executable).parent_path().parent_path();
    if (bundle.extension() != ".app" || bundle.stem().empty()) {
        return std::nullopt;
    }
    return bundle.string();
}

std::string HostPathsLinux::bundleExecutable() const {
    const std::optional<std::string> bundle = bundlePath();
    if (!bundle || runsFromAppImage()) {
        return "";
    }
    return fs::path(facts_.executable).lexically_relative(*bundle).string();
}

std::vector<std::string> HostPathsLinux::applicationsFolders(Domain domain) const {
    if (domain == Domain::local) {
        return {facts_.localApplications};
    }
    if (facts_.home.empty()) {
        return {};
    }
    return {facts_.home + "/Applications"};
}

// The folder the desktop names in user-dirs.dirs, else ~/Downloads.
std::vector<std::string> HostPathsLinux::downloadsFolders() const {
    static const std::string kKey = "XDG_DOWNLOAD_DIR=\"";
    std::ifstream dirs(fs::path(facts_.configHome) / "user-dirs.dirs");
    for (std::string line; !facts_.configHome.empty() && std::getline(dirs, line);) {
        if (line.rfind(kKey, 0) != 0 || line.size() < kKey.size() + 1 || line.back() != '"') {
            continue;
        }
        std::string folder = line.substr(kKey.size(), line.size() - kKey.size() - 1);
        if (folder.rfind("$HOME", 0) == 0) {
            folder = facts_.home + folder.substr(5);
        }
        if (!folder.empty() && folder.front() == '/') {
            return {folder};
        }
    }
    if (facts_.home.empty()) {
        return {};
    }
    return {facts_.home + "/Downloads"};
}

}  // namespace lexoria
