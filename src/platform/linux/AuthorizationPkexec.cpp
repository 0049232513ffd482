#include "AuthorizationPkexec.h"

#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>

extern char** environ;

namespace lexoria {

namespace {
// pkexec's own answers: the prompt was dismissed; not authorized or not run.
constexpr int kDismissed = 126;
constexpr int kNotAuthorized = 127;
}  // namespace

PrivilegedRun AuthorizationPkexec::executeWithPrivileges(
    const std::string& program, const std::vector<std::string>& arguments) {
    std::vector<std::string> words{pkexec_, program};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    argv.reserve(words.size() + 1);
    for (std::string& word : words) {
        argv.push_back(word.data());
    }
    argv.push_back(nullptr);
    pid_t child = 0;
    if (::posix_spawn(&child, pkexec_.c_str(), nullptr, nullptr, argv.data(), environ) != 0) {
        return {};
    }
    int status = 0;
    while (::waitpid(child, &status, 0) < 0) {
        if (errno != EINTR) {
            return {};
        }
    }
    if (!WIFEXITED(status)) {
        return {};
    }
    const int code = WEXITSTATUS(status);
    if (code == kDismissed) {
        return {true, std::nullopt};
    }
    if (code == kNotAuthorized) {
        return {};
    }
    return {false, code};
}

}  // namespace lexoria
