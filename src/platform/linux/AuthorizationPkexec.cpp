#include "AuthorizationPkexec.h"

#include <sys/wait.h>

#include <cerrno>

#include "ProcessesPosix.h"

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
    const auto child = spawnProgram(pkexec_, std::move(words));
    if (!child) {
        return {};
    }
    int status = 0;
    while (::waitpid(*child, &status, 0) < 0) {
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
