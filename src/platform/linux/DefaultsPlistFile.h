#pragma once

#include <sys/types.h>

#include <filesystem>
#include <map>
#include <ostream>
#include <set>
#include <string>

#include "ports/Defaults.h"

namespace lexoria {

// The settings as an XML property list: a top-level dictionary of key to string. Every
// write replaces the file atomically under an advisory lock, merging what other
// processes wrote meanwhile, so a kill at any moment leaves the old or the new file (and
// the next write removes the temporary file the killed writer left).
// A file that cannot be read as such is moved aside, never overwritten; anything else in
// the file's place (a folder, a FIFO, a device) is left alone and the settings live in
// memory only. A symbolic link is written through, so its target stays the settings file.
// An empty path keeps the settings in memory.
class DefaultsPlistFile final : public Defaults {
  public:
    explicit DefaultsPlistFile(std::filesystem::path file, std::ostream& log);

    // $XDG_CONFIG_HOME/lexoria/<bundleIdentifier>.plist, with the home folder's .config
    // when XDG_CONFIG_HOME is unset or not absolute. The home folder is $HOME, else the
    // password database's; without either the path is empty.
    static std::filesystem::path standardPath(const std::string& bundleIdentifier);

    // Larger settings files count as unreadable.
    static constexpr std::size_t kMaxFileBytes = std::size_t{64} << 20;

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
    void moveAside(const std::string& reason, const Stamp& read);
    template <typename Change>
    void write(Change change);
    bool writeFile(const std::map<std::string, std::string>& values);
    // Removes what killed writers left of their temporary files; only under the lock.
    void removeDeadTemporaryFiles() const;
    // The file that writes replace: the settings path with its symbolic links resolved.
    std::filesystem::path target() const;
    std::filesystem::path lockPath() const;
    // Each distinct message once per run.
    void say(const std::string& message);

    std::filesystem::path file_;
    std::ostream& log_;
    std::map<std::string, std::string> values_;
    Stamp stamp_;
    // False after a file that exists could not be read: it must not be replaced then.
    bool writable_ = true;
    // True while this process holds the write lock.
    bool locked_ = false;
    std::set<std::string> said_;
};

}  // namespace lexoria
