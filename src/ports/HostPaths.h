#pragma once

#include <optional>
#include <string>
#include <vector>

namespace lexoria {

enum class Domain { user, local };

// Where the running program lives and where programs belong on this machine.
class HostPaths {
  public:
    virtual ~HostPaths() = default;
    // The running application bundle (a folder or a single file); absent when the
    // program was not started from one, as when a package manager installed it.
    virtual std::optional<std::string> bundlePath() const = 0;
    // The program that starts a copy of the bundle, relative to it; empty when the
    // bundle is the program itself.
    virtual std::string bundleExecutable() const = 0;
    // Absolute paths, home already expanded.
    virtual std::vector<std::string> applicationsFolders(Domain domain) const = 0;
    virtual std::vector<std::string> downloadsFolders() const = 0;
};

}  // namespace lexoria
