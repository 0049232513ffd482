#pragma once

#include <string>
#include <vector>

namespace lexoria {

// Files and folders as the relocation sees them. Failures are answers, never thrown.
class FileSystem {
  public:
    virtual ~FileSystem() = default;
    virtual bool exists(const std::string& path) const = 0;
    virtual bool isDirectory(const std::string& path) const = 0;
    // Whether this process may change the item (or create items in the folder).
    virtual bool isWritable(const std::string& path) const = 0;
    // The names of the items in a folder; empty when it cannot be read.
    virtual std::vector<std::string> contentsOfDirectory(const std::string& path) const = 0;
    // The absolute path with every symbolic link and "." or ".." resolved as far as the
    // path exists.
    virtual std::string resolvingSymlinks(const std::string& path) const = 0;
    // Copies a file or a whole folder (links kept as links, permissions kept) to `to`,
    // which must not exist yet. On failure nothing is left at `to` and `error` says why.
    virtual bool copyItem(const std::string& from, const std::string& to, std::string& error) = 0;
    // Removes a file or a whole folder.
    virtual bool removeItem(const std::string& path, std::string& error) = 0;
};

}  // namespace lexoria
