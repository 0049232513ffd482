#pragma once

#include <string>

#include "ports/Authorization.h"

namespace lexoria {

// polkit's pkexec asks for the password through the desktop's authentication agent.
class AuthorizationPkexec final : public Authorization {
  public:
    explicit AuthorizationPkexec(std::string pkexec = "/usr/bin/pkexec")
        : pkexec_(std::move(pkexec)) {}

    PrivilegedRun executeWithPrivileges(const std::string& program,
                                        const std::vector<std::string>& arguments) override;

  private:
    std::string pkexec_;
};

}  // namespace lexoria
