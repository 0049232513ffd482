#include "DefaultsPlistFile.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>
#include <optional>
#include <vector>

#include "engine/PropertyList.h"
#include "engine/TextTools.h"

namespace lexoria {

namespace fs = std::filesystem;

namespace {

// Closes a descriptor on scope exit; an advisory lock on it goes with it.
class FileDescriptor {
  public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }

  private:
    int fd_;
};

bool writeAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

// Files up to this size may also be read by the lenient parser.
constexpr std::size_t kLenientReadBytes = std::size_t{1} << 20;

std::string utcTimestamp() {
    const std::time_t now = std::time(nullptr);
    std::tm tm{};
    gmtime_r(&now, &tm);
    char buffer[32];
    std::strftime(buffer, sizeof buffer, "%Y%m%dT%H%M%SZ", &tm);
    return buffer;
}

}  // namespace

void DefaultsPlistFile::apply(std::map<std::string, std::string>& values, const Change& change) {
    if (change.second) {
        values[change.first] = *change.second;
    } else {
        values.erase(change.first);
    }
}

DefaultsPlistFile::DefaultsPlistFile(fs::path file, std::ostream& log, Later later)
    : file_(std::move(file)), log_(log), later_(std::move(later)) {
    if (file_.empty()) {
        say("lexoria: no home folder to keep the settings in; they last only for this run");
        writable_ = false;
        return;
    }
    load();
}

DefaultsPlistFile::~DefaultsPlistFile() {
    flush();
}

fs::path DefaultsPlistFile::standardPath(const std::string& bundleIdentifier) {
    fs::path base;
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg && xdg[0] == '/') {
        base = xdg;
    } else {
        std::string home;
        if (const char* variable = std::getenv("HOME"); variable && variable[0] == '/') {
            home = variable;
        } else {
            // A service or a bare environment has no HOME: the current folder is no home.
            std::vector<char> buffer(16384);
            passwd entry{};
            passwd* found = nullptr;
            if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 &&
                found && found->pw_dir && found->pw_dir[0] == '/') {
                home = found->pw_dir;
            }
        }
        if (home.empty()) {
            return {};
        }
        base = fs::path(home) / ".config";
    }
    return base / "lexoria" / (bundleIdentifier + ".plist");
}

fs::path DefaultsPlistFile::target() const {
    fs::path path = file_;
    // A bounded walk along the links, so that a loop of them ends.
    for (int hop = 0; hop < 40; ++hop) {
        std::error_code error;
        if (!fs::is_symlink(path, error)) {
            break;
        }
        const fs::path next = fs::read_symlink(path, error);
        if (error) {
            break;
        }
        path = next.is_absolute() ? next : path.parent_path() / next;
    }
    return path;
}

void DefaultsPlistFile::say(const std::string& message) {
    if (said_.insert(message).second) {
        log_ << message << "\n";
    }
}

DefaultsPlistFile::Stamp DefaultsPlistFile::currentStamp() const {
    struct stat st {};
    if (::stat(file_.c_str(), &st) != 0) {
        return {};
    }
    return Stamp{true, st.st_dev, st.st_ino, st.st_size,
                 static_cast<long long>(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec};
}

void DefaultsPlistFile::reloadIfChanged() {
    if (!file_.empty() && currentStamp() != stamp_) {
        load();
    }
}

void DefaultsPlistFile::load() {
    loadFile();
    for (const Change& change : pending_) {
        apply(values_, change);
    }
}

void DefaultsPlistFile::loadFile() {
    values_.clear();
    writable_ = true;
    stamp_ = currentStamp();
    if (!stamp_.exists) {
        return;  // also a dangling link: the first write makes its target
    }
    const FileBytes read = readRegularFile(file_, kMaxFileBytes);
    switch (read.status) {
        case FileBytes::Status::missing:
            return;
        case FileBytes::Status::ok:
            break;
        case FileBytes::Status::tooLarge:
            moveAside("it is " + read.error, stamp_);
            return;
        case FileBytes::Status::notRegular:
        case FileBytes::Status::unreadable:
            say("lexoria: cannot read the settings file " + file_.string() + ": " + read.error +
                "; settings will not be saved");
            writable_ = false;
            return;
    }
    if (read.bytes.empty()) {
        return;
    }
    std::string problem;
    std::optional<std::map<std::string, std::string>> values =
        parseTextDictionary(read.bytes, problem);
    if (!values && read.bytes.size() <= kLenientReadBytes) {
        // Older files may hold what XML may not (control characters): the lenient
        // reader takes those, and small files only, since its time grows with the
        // square of the keys.
        if (const std::optional<PlistValue> root = parsePropertyList(read.bytes);
            root && root->dictionary()) {
            values.emplace();
            for (const auto& [key, member] : *root->dictionary()) {
                if (!member.text()) {
                    problem = "the value of \"" + key + "\" is not text";
                    values.reset();
                    break;
                }
                values->emplace(key, *member.text());
            }
        }
    }
    if (!values) {
        moveAside(problem, stamp_);
        return;
    }
    values_ = std::move(*values);
}

void DefaultsPlistFile::moveAside(const std::string& reason, const Stamp& read) {
    // Under the lock, and only the very file that was read: another run may have moved
    // it aside and written a good one meanwhile.
    std::optional<FileDescriptor> lock;
    if (!locked_) {
        lock.emplace(::open(lockPath().c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600));
        while (lock->get() >= 0 && ::flock(lock->get(), LOCK_EX) != 0 && errno == EINTR) {
        }
    }
    if (currentStamp() != read) {
        lock.reset();
        load();
        return;
    }
    // Through a link, the target is what is moved: the link stays for the next write.
    const fs::path real = target();
    fs::path aside = real;
    aside += ".corrupt-" + utcTimestamp();
    for (int n = 1; fs::exists(aside); ++n) {
        aside = real;
        aside += ".corrupt-" + utcTimestamp() + "-" + std::to_string(n);
    }
    std::error_code error;
    fs::rename(real, aside, error);
    if (error == std::errc::no_such_file_or_directory) {
        // Another run got there first and said so.
        stamp_ = currentStamp();
        return;
    }
    if (error) {
        say("lexoria: the settings file " + file_.string() + " is unreadable (" + reason +
            ") and could not be moved aside: " + error.message() + "; settings will not be saved");
        writable_ = false;
        return;
    }
    say("lexoria: the settings file " + file_.string() + " is unreadable (" + reason +
        "); moved it to " + aside.string() + " and started with empty settings");
    stamp_ = currentStamp();
}

fs::path DefaultsPlistFile::lockPath() const {
    const fs::path real = target();
    return real.parent_path() / ("." + real.filename().string() + ".lock");
}

std::optional<std::string> DefaultsPlistFile::objectForKey(const std::string& key) {
    reloadIfChanged();
    const auto it = values_.find(keepableText(key));
    if (it == values_.end()) {
        return std::nullopt;
    }
    return it->second;
}

void DefaultsPlistFile::setObject(const std::string& value, const std::string& key) {
    // Kept in memory exactly as the file will give it back.
    change({keepableText(key), keepableText(value)});
}

void DefaultsPlistFile::removeObject(const std::string& key) {
    change({keepableText(key), std::nullopt});
}

void DefaultsPlistFile::change(Change change) {
    if (!file_.empty()) {
        reloadIfChanged();
    }
    apply(values_, change);
    if (file_.empty()) {
        return;
    }
    pending_.push_back(std::move(change));
    if (!later_) {
        flush();
    } else if (!flushQueued_) {
        flushQueued_ = true;
        later_([self = std::weak_ptr<DefaultsPlistFile*>(self_)] {
            if (const auto store = self.lock()) {
                (*store)->flush();
            }
        });
    }
}

void DefaultsPlistFile::flush() {
    flushQueued_ = false;
    if (pending_.empty()) {
        return;
    }
    const std::vector<Change> changes = std::move(pending_);
    pending_.clear();
    write(changes);
}

void DefaultsPlistFile::write(const std::vector<Change>& changes) {
    std::error_code error;
    fs::create_directories(target().parent_path(), error);
    FileDescriptor lock(
        ::open(lockPath().c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600));
    if (lock.get() >= 0) {
        while (::flock(lock.get(), LOCK_EX) != 0 && errno == EINTR) {
        }
    } else {
        say("lexoria: cannot lock the settings file (" + lockPath().string() + ": " +
            std::strerror(errno) + "); settings are written unlocked");
    }
    locked_ = lock.get() >= 0;
    if (locked_) {
        removeDeadTemporaryFiles();
    }
    // Another process may have written since we last looked: build on its file. Always
    // read it here, since a file replaced twice within the clock's granularity can look
    // unchanged. A file that cannot be read keeps the settings of this run in memory.
    if (writable_) {
        load();
    } else {
        reloadIfChanged();
    }
    locked_ = false;
    const std::map<std::string, std::string> before = values_;
    for (const Change& change : changes) {
        apply(values_, change);
    }
    // Every replacement costs the disk a flush: one that changes nothing is left out.
    if (!writable_ || (values_ == before && stamp_.exists)) {
        return;
    }
    if (!writeFile(values_)) {
        say("lexoria: cannot save the settings file " + file_.string() + ": " +
            std::strerror(errno));
    }
    stamp_ = currentStamp();
}

void DefaultsPlistFile::removeDeadTemporaryFiles() const {
    // Writers make their temporary file only while they hold the lock, so under the lock
    // any such file is left from a writer that was killed; each would stay forever.
    const fs::path real = target();
    const std::string prefix = "." + real.filename().string() + ".";
    std::error_code error;
    for (fs::directory_iterator it(real.parent_path(), error), end; !error && it != end;
         it.increment(error)) {
        const std::string name = it->path().filename().string();
        const bool temporaryName =
            name.size() == prefix.size() + 6 && name.compare(0, prefix.size(), prefix) == 0 &&
            std::all_of(name.begin() + static_cast<std::ptrdiff_t>(prefix.size()), name.end(),
                        [](unsigned char c) { return std::isalnum(c); });
        std::error_code ignored;
        if (temporaryName && it->symlink_status(ignored).type() == fs::file_type::regular) {
            fs::remove(it->path(), ignored);
        }
    }
}

bool DefaultsPlistFile::writeFile(const std::map<std::string, std::string>& values) {
    const std::string xml = xmlPropertyList(values);
    const fs::path real = target();
    // A fresh name of our own, so that no link planted there and no other writer's file is
    // ever written through.
    std::string temp = (real.parent_path() / ("." + real.filename().string() + ".XXXXXX")).string();
    FileDescriptor out(::mkostemp(temp.data(), O_CLOEXEC));
    if (out.get() < 0) {
        return false;
    }
    struct stat st {};
    const bool written = writeAll(out.get(), xml.data(), xml.size()) && ::fsync(out.get()) == 0 &&
                         ::fstat(out.get(), &st) == 0 &&
                         static_cast<std::size_t>(st.st_size) == xml.size() && !xml.empty();
    if (!written || ::rename(temp.c_str(), real.c_str()) != 0) {
        const int saved = errno;
        ::unlink(temp.c_str());
        errno = saved;
        return false;
    }
    // Make the rename itself durable.
    FileDescriptor dir(::open(real.parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.get() >= 0) {
        ::fsync(dir.get());
    }
    return true;
}

}  // namespace lexoria
