#pragma once

#include <string>

#include "ports/Processes.h"

namespace lexoria {

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
