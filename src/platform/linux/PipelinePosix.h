#pragma once

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace lexoria {

// A chain of programs, each one's output the next one's input, kept running between
// requests. A request and its answer each end with a NUL byte. No shell is involved, a
// misbehaving stage can only cost the time-out, and every stage is reaped.
class PipelinePosix {
  public:
    using Command = std::vector<std::string>;  // the program (looked up in PATH) and its arguments

    explicit PipelinePosix(std::vector<Command> stages) : stages_(std::move(stages)) {}
    ~PipelinePosix() { stop(); }
    PipelinePosix(const PipelinePosix&) = delete;
    PipelinePosix& operator=(const PipelinePosix&) = delete;

    bool running() const { return !pids_.empty(); }
    bool start();
    // Sends `request` (NUL bytes in it are dropped, the closing NUL is added) and returns
    // the answer without its closing NUL. Nothing when a stage died, wrote nonsense or took
    // longer than `timeout`; the pipeline is stopped then.
    std::optional<std::string> exchange(const std::string& request,
                                        std::chrono::milliseconds timeout);
    void stop();

  private:
    std::vector<Command> stages_;
    std::vector<pid_t> pids_;
    int input_ = -1;   // ours to write: the first stage's standard input
    int output_ = -1;  // ours to read: the last stage's standard output
};

}  // namespace lexoria
