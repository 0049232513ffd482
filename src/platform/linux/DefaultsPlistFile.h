#pragma once

#include <sys/types.h>

#include <filesystem>
#include <map>
#include <ostream>
#include <string>

#include "ports/Defaults.h"

namespace lexoria {

// The settings as an XML property list: a top-level dictionary of key to string. Every
// write replaces the file atomically under an advisory lock, merging what other
// processes wrote meanwhile, so a kill at any moment leaves the old or the new file.
// A file that cannot be read as such is moved aside, never overwritten.
class DefaultsPlistFile final : public Defaults {
  public:
    explicit DefaultsPlistFile(std::filesystem::path file, std::ostream& log);

    // $XDG_CONFIG_HOME/lexoria/<bundleIdentifier>.plist, with $HOME/.config when
    // XDG_CONFIG_HOME is unset or not absolute.
    static std::filesystem::path standardPath(const std::string& bundleIdentifier);

    std::optional<std::string> objectForKey(const std::string& key) override;
    void setObject(const std::string& value, const std::string& key) override;
    void removeObject(const std::string& key) override;

    const std::filesystem::path& path() const { return file_; }

  private:
    struct Stamp {
        bool exists = false;
        dev_t device = 0;
        ino_t inode = 0;
        off_t size = 0;
        long long modifiedNs = 0;
        bool operator==(const Stamp&) const = default;
    };

    Stamp currentStamp() const;
    void reloadIfChanged();
    void load();
    void moveAside(const std::string& reason);
    template <typename Change>
    void write(Change change);
    bool writeFile(const std::map<std::string, std::string>& values);

    std::filesystem::path file_;
    std::ostream& log_;
    std::map<std::string, std::string> values_;
    Stamp stamp_;
    // False after a file that exists could not be read: it must not be replaced then.
    bool writable_ = true;
};

}  // namespace lexoria
