#pragma once

#include <sys/types.h>
#include <optional>
#include <string>
#include <vector>

#include "ports/Processes.h"

namespace lexoria {

// Starts `program` with `arguments` (the first word of its argument list is `arguments[0]`)
// in this process's environment; the child's id, or none when it could not start.
std::optional<pid_t> spawnProgram(const std::string& program, std::vector<std::string> arguments);

class ProcessesPosix final : public Processes {
  public:
    // `procRoot` is where the process table is mounted.
    explicit ProcessesPosix(std::string procRoot = "/proc") : procRoot_(std::move(procRoot)) {}

    int processIdentifier() const override;
    std::vector<std::string> runningExecutables() const override;
    bool launch(const std::string& program, const std::vector<std::string>& arguments) override;
    [[noreturn]] void exit(int status) override;

  private:
    std::string procRoot_;
};

}  // namespace lexoria
