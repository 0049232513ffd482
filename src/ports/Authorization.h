#pragma once

#include <optional>
#include <string>
#include <vector>

namespace lexoria {

struct PrivilegedRun {
    bool canceled = false;          // the user dismissed the password prompt
    std::optional<int> exitStatus;  // absent when the program did not run or did not exit
};

// Running a program with the administrator's rights, after asking the user for them.
class Authorization {
  public:
    virtual ~Authorization() = default;
    // Blocks until the program has ended.
    virtual PrivilegedRun executeWithPrivileges(const std::string& program,
                                                const std::vector<std::string>& arguments) = 0;
};

}  // namespace lexoria
