#pragma once

#include "ports/FileOperations.h"

namespace lexoria {

class FileOperationsPosix final : public FileOperations {
  public:
    std::string homeDirectory() const override;
    bool createDirectories(const std::string& path) override;
    bool writeFile(const std::string& path, const std::string& contents) override;
    bool fileExists(const std::string& path) const override;
    bool removeFile(const std::string& path) override;
};

}  // namespace lexoria
