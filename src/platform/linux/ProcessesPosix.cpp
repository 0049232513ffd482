#include "ProcessesPosix.h"

#include <spawn.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

extern char** environ;

namespace lexoria {

namespace fs = std::filesystem;

int ProcessesPosix::processIdentifier() const {
    return static_cast<int>(::getpid());
}

std::vector<std::string> ProcessesPosix::runningExecutables() const {
    static const std::string kDeleted = " (deleted)";
    std::vector<std::string> executables;
    std::error_code error;
    for (fs::directory_iterator it(procRoot_, error), end; !error && it != end;
         it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (name.empty() || name.find_first_not_of("0123456789") != std::string::npos) {
            continue;
        }
        // Other users' processes do not show theirs; kernel threads have none.
        std::error_code unreadable;
        std::string executable = fs::read_symlink(it->path() / "exe", unreadable).string();
        if (unreadable || executable.empty()) {
            continue;
        }
        // A program replaced on disk while it runs still runs from there.
        if (executable.size() > kDeleted.size() &&
            executable.compare(executable.size() - kDeleted.size(), kDeleted.size(), kDeleted) ==
                0) {
            executable.resize(executable.size() - kDeleted.size());
        }
        executables.push_back(std::move(executable));
    }
    return executables;
}

std::optional<pid_t> spawnProgram(const std::string& program, std::vector<std::string> arguments) {
    std::vector<char*> argv;
    argv.reserve(arguments.size() + 1);
    for (std::string& word : arguments) {
        argv.push_back(word.data());
    }
    argv.push_back(nullptr);
    pid_t child = 0;
    if (::posix_spawn(&child, program.c_str(), nullptr, nullptr, argv.data(), environ) != 0) {
        return std::nullopt;
    }
    return child;
}

bool ProcessesPosix::launch(const std::string& program, const std::vector<std::string>& arguments) {
    std::vector<std::string> words{program};
    words.insert(words.end(), arguments.begin(), arguments.end());
    return spawnProgram(program, std::move(words)).has_value();
}

void ProcessesPosix::exit(int status) {
    std::exit(status);
}

}  // namespace lexoria
