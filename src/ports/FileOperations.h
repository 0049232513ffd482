#pragma once

#include <string>

namespace lexoria {

// The few file operations the controller needs. Failures are reported as false and
// never thrown.
class FileOperations {
  public:
    virtual ~FileOperations() = default;
    // The user's real home directory, whatever $HOME a confinement sets.
    virtual std::string homeDirectory() const = 0;
    virtual bool createDirectories(const std::string& path) = 0;
    virtual bool writeFile(const std::string& path, const std::string& contents) = 0;
    virtual bool fileExists(const std::string& path) const = 0;
    virtual bool removeFile(const std::string& path) = 0;
};

}  // namespace lexoria
