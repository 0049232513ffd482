#pragma once

#include "ports/FileSystem.h"

namespace lexoria {

class FileSystemPosix : public FileSystem {
  public:
    bool exists(const std::string& path) const override;
    bool isDirectory(const std::string& path) const override;
    bool isWritable(const std::string& path) const override;
    std::vector<std::string> contentsOfDirectory(const std::string& path) const override;
    std::string resolvingSymlinks(const std::string& path) const override;
    bool copyItem(const std::string& from, const std::string& to, std::string& error) override;
    bool removeItem(const std::string& path, std::string& error) override;
};

}  // namespace lexoria
