#pragma once

#include <sys/types.h>

#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <ostream>
#include <set>
#include <string>
#include <utility>
#include <vector>

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
//
// A write that changes nothing in the file leaves it alone. Given `later`, the writes of
// one turn of the event loop go to disk together, in one replacement, when `later` runs
// the action it was handed (at the end of the turn); this run reads its own writes at
// once, and the rest go out on flush() or when the store is destroyed (at quit).
class DefaultsPlistFile final : public Defaults {
  public:
    using Later = std::function<void(std::function<void()>)>;

    explicit DefaultsPlistFile(std::filesystem::path file, std::ostream& log, Later later = {});
    ~DefaultsPlistFile() override;
    DefaultsPlistFile(const DefaultsPlistFile&) = delete;
    DefaultsPlistFile& operator=(const DefaultsPlistFile&) = delete;

    // $XDG_CONFIG_HOME/lexoria/<bundleIdentifier>.plist, with the home folder's .config
    // when XDG_CONFIG_HOME is unset or not absolute. The home folder is $HOME, else the
    // password database's; without either the path is empty.
    static std::filesystem::path standardPath(const std::string& bundleIdentifier);

    // Larger settings files count as unreadable.
    static constexpr std::size_t kMaxFileBytes = std::size_t{64} << 20;

    std::optional<std::string> objectForKey(const std::string& key) override;
    void setObject(const std::string& value, const std::string& key) override;
    void removeObject(const std::string& key) override;

    // Writes what waits for the end of the turn now.
    void flush();

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

    // A key's new value; none removes it.
    using Change = std::pair<std::string, std::optional<std::string>>;

    static void apply(std::map<std::string, std::string>& values, const Change& change);
    Stamp currentStamp() const;
    void reloadIfChanged();
    // The file's settings with this run's unwritten changes on top.
    void load();
    void loadFile();
    void moveAside(const std::string& reason, const Stamp& read);
    void change(Change change);
    void write(const std::vector<Change>& changes);
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
    Later later_;
    // Changes not yet in the file, in the order they were made.
    std::vector<Change> pending_;
    bool flushQueued_ = false;
    // What a queued flush finds, so that one outliving the store does nothing.
    std::shared_ptr<DefaultsPlistFile*> self_ = std::make_shared<DefaultsPlistFile*>(this);
};

}  // namespace lexoria
