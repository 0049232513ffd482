#include "RunProcess.h"

#include <fcntl.h>
#include <pty.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <stdexcept>

#include "TempDir.h"

namespace lexoria::test {

ProcessResult runProcess(const std::string& program, const std::vector<std::string>& arguments,
                         const std::map<std::string, std::string>& environment,
                         const std::string& input, const Streams& streams) {
    // Files rather than pipes: nothing to interleave, and no side can block the other.
    const TempDir dir;
    const std::string in = dir.path() / "in", out = dir.path() / "out", err = dir.path() / "err";
    writeFile(in, input);
    std::vector<std::string> strings{program};
    strings.insert(strings.end(), arguments.begin(), arguments.end());
    const std::size_t argc = strings.size();
    for (const auto& [name, value] : environment) {
        strings.push_back(name + "=" + value);
    }
    std::vector<char*> argv, envp;
    for (std::size_t i = 0; i < strings.size(); ++i) {
        (i < argc ? argv : envp).push_back(strings[i].data());
    }
    argv.push_back(nullptr);
    envp.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    const std::string& inFile = streams.inputFile.empty() ? in : streams.inputFile;
    posix_spawn_file_actions_addopen(&actions, 0, inFile.c_str(), O_RDONLY, 0);
    int terminal = -1, side = -1;
    if (streams.terminal) {
        if (::openpty(&terminal, &side, nullptr, nullptr, nullptr) != 0) {
            throw std::runtime_error("no pseudo-terminal");
        }
        posix_spawn_file_actions_adddup2(&actions, side, 1);
        posix_spawn_file_actions_adddup2(&actions, side, 2);
        posix_spawn_file_actions_addclose(&actions, terminal);
    } else {
        posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT, 0600);
        posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT, 0600);
    }
    pid_t child = 0;
    const int spawned =
        posix_spawn(&child, program.c_str(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        throw std::runtime_error("cannot start " + program);
    }
    std::string shown;
    if (streams.terminal) {
        ::close(side);
        char buffer[4096];
        // Ends in EIO once the program, the terminal's last writer, is gone.
        for (ssize_t n; (n = ::read(terminal, buffer, sizeof buffer)) > 0;) {
            shown.append(buffer, static_cast<std::size_t>(n));
        }
        ::close(terminal);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, streams.terminal ? shown : readFile(out),
            readFile(err)};
}

}  // namespace lexoria::test
