#pragma once

#include <string>
#include <vector>

namespace lexoria {

// This process and the others on the machine.
class Processes {
  public:
    virtual ~Processes() = default;
    virtual int processIdentifier() const = 0;
    // The resolved paths of the programs the running processes execute, as far as this
    // process may see them.
    virtual std::vector<std::string> runningExecutables() const = 0;
    // Starts `program` with `arguments` and does not wait for it; false when it could
    // not be started.
    virtual bool launch(const std::string& program, const std::vector<std::string>& arguments) = 0;
    // Ends this process with `status`. Callers return at once after it: only a stand-in
    // in a test comes back.
    virtual void exit(int status) = 0;
};

}  // namespace lexoria
