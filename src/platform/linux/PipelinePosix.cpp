#include "PipelinePosix.h"

#include <cstring>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

extern char** environ;

namespace lexoria {

namespace {

// A runaway stage must not eat the memory while the time-out runs.
constexpr std::size_t kMaxAnswerBytes = 64u << 20;

void closeFd(int& fd) {
    if (fd >= 0) {
        ::close(fd);
        fd = -1;
    }
}

// The program's environment with LC_ALL=C.UTF-8: the text is UTF-8 whatever the user's
// locale, and a stage started in a locale the system lacks may not run at all (Apertium's
// tools end with "locale::facet::_S_create_c_locale name not valid").
std::vector<std::string> stageEnvironment() {
    std::vector<std::string> entries;
    for (char** entry = environ; entry && *entry; ++entry) {
        if (std::strncmp(*entry, "LC_ALL=", 7) != 0) {
            entries.emplace_back(*entry);
        }
    }
    entries.emplace_back("LC_ALL=C.UTF-8");
    return entries;
}

// Spawns one stage with `in` and `out` as its standard streams, in process group `group`
// (0: a new group led by the stage). The stage gets the default signal handling whatever
// this program ignores or blocks, and none of this program's other descriptors.
pid_t spawnStage(const PipelinePosix::Command& command, int in, int out, int err, pid_t group) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in, STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, out, STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, err, STDERR_FILENO);
    posix_spawn_file_actions_addclosefrom_np(&actions, 3);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t all, none;
    sigfillset(&all);
    sigemptyset(&none);
    posix_spawnattr_setsigdefault(&attributes, &all);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setpgroup(&attributes, group);
    posix_spawnattr_setflags(
        &attributes, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETPGROUP);
    std::vector<char*> argv;
    for (const std::string& argument : command) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);
    const std::vector<std::string> environment = stageEnvironment();
    std::vector<char*> envp;
    envp.reserve(environment.size() + 1);
    for (const std::string& entry : environment) {
        envp.push_back(const_cast<char*>(entry.c_str()));
    }
    envp.push_back(nullptr);
    pid_t pid = -1;
    const int error = command.empty() ? ENOENT
                                      : posix_spawnp(&pid, argv[0], &actions, &attributes,
                                                     argv.data(), envp.data());
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    return error == 0 ? pid : -1;
}

}  // namespace

bool PipelinePosix::start() {
    stop();
    if (stages_.empty()) {
        return false;
    }
    // A socket rather than a pipe towards the first stage: a send to a dead reader then
    // fails with EPIPE instead of raising SIGPIPE in this program.
    int ends[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0) {
        return false;
    }
    input_ = ends[0];
    int readEnd = ends[1];
    const int devNull = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    bool spawned = devNull >= 0;
    for (const Command& stage : stages_) {
        int next[2];
        if (!spawned || ::pipe2(next, O_CLOEXEC) != 0) {
            spawned = false;
            break;
        }
        const pid_t pid =
            spawnStage(stage, readEnd, next[1], devNull, pids_.empty() ? 0 : pids_.front());
        ::close(readEnd);
        ::close(next[1]);
        readEnd = next[0];
        if (pid < 0) {
            spawned = false;
            break;
        }
        pids_.push_back(pid);
    }
    output_ = readEnd;
    if (devNull >= 0) {
        ::close(devNull);
    }
    if (!spawned) {
        stop();
        return false;
    }
    ::fcntl(input_, F_SETFL, ::fcntl(input_, F_GETFL) | O_NONBLOCK);
    ::fcntl(output_, F_SETFL, ::fcntl(output_, F_GETFL) | O_NONBLOCK);
    return true;
}

void PipelinePosix::stop() {
    closeFd(input_);
    closeFd(output_);
    if (!pids_.empty()) {
        ::kill(-pids_.front(), SIGKILL);  // also whatever a stage started itself
    }
    for (const pid_t pid : pids_) {
        ::kill(pid, SIGKILL);
        while (::waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
        }
    }
    pids_.clear();
}

std::optional<std::string> PipelinePosix::exchange(const std::string& request,
                                                   std::chrono::milliseconds timeout) {
    if (!running()) {
        return std::nullopt;
    }
    std::string message;
    message.reserve(request.size() + 1);
    for (const char c : request) {
        if (c != '\0') {
            message += c;
        }
    }
    message += '\0';

    const auto deadline = std::chrono::steady_clock::now() + timeout;
    std::size_t sent = 0;
    std::string answer;
    char buffer[65536];
    // Reads while it writes: a long text fills the pipes before the first stage is done.
    for (;;) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            break;
        }
        pollfd fds[2] = {{output_, POLLIN, 0}, {input_, POLLOUT, 0}};
        const nfds_t count = sent < message.size() ? 2 : 1;
        const int ready = ::poll(fds, count, static_cast<int>(left.count()));
        if (ready < 0 && errno != EINTR) {
            break;
        }
        if (ready <= 0) {
            continue;
        }
        if (count == 2 && fds[1].revents != 0) {
            const ssize_t written = ::send(input_, message.data() + sent, message.size() - sent,
                                           MSG_NOSIGNAL | MSG_DONTWAIT);
            if (written < 0 && errno != EAGAIN && errno != EINTR) {
                break;
            }
            sent += written > 0 ? static_cast<std::size_t>(written) : 0;
        }
        if (fds[0].revents != 0) {
            const ssize_t got = ::read(output_, buffer, sizeof buffer);
            if (got == 0 || (got < 0 && errno != EAGAIN && errno != EINTR)) {
                break;
            }
            if (got > 0) {
                answer.append(buffer, static_cast<std::size_t>(got));
            }
            if (const auto end = answer.find('\0'); end != std::string::npos) {
                if (end + 1 != answer.size() || sent != message.size()) {
                    break;  // not the answer to this request: out of step
                }
                answer.resize(end);
                return answer;
            }
            if (answer.size() > kMaxAnswerBytes) {
                break;
            }
        }
    }
    stop();
    return std::nullopt;
}

}  // namespace lexoria
