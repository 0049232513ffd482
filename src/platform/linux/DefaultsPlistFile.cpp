#include "DefaultsPlistFile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <memory>
#include <sstream>

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

std::string utcTimestamp() {
    const std::time_t now = std::time(nullptr);
    std::tm tm{};
    gmtime_r(&now, &tm);
    char buffer[32];
    std::strftime(buffer, sizeof buffer, "%Y%m%dT%H%M%SZ", &tm);
    return buffer;
}

}  // namespace

DefaultsPlistFile::DefaultsPlistFile(fs::path file, std::ostream& log)
    : file_(std::move(file)), log_(log) {
    load();
}

fs::path DefaultsPlistFile::standardPath(const std::string& bundleIdentifier) {
    fs::path base;
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg && xdg[0] == '/') {
        base = xdg;
    } else {
        const char* home = std::getenv("HOME");
        base = fs::path(home && home[0] ? home : ".") / ".config";
    }
    return base / "lexoria" / (bundleIdentifier + ".plist");
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
    if (currentStamp() != stamp_) {
        load();
    }
}

void DefaultsPlistFile::load() {
    values_.clear();
    writable_ = true;
    stamp_ = currentStamp();
    if (!stamp_.exists) {
        return;
    }
    std::ifstream in(file_, std::ios::binary);
    std::string bytes;
    if (in.is_open()) {
        bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    if (!in.is_open() || in.bad()) {
        log_ << "lexoria: cannot read the settings file " << file_.string() << ": "
             << std::strerror(errno) << "; settings will not be saved\n";
        writable_ = false;
        return;
    }
    if (bytes.empty()) {
        return;
    }
    const std::optional<PlistValue> root = parsePropertyList(bytes);
    if (!root || !root->dictionary()) {
        moveAside("it is not a property list dictionary");
        return;
    }
    std::map<std::string, std::string> values;
    for (const auto& [key, member] : *root->dictionary()) {
        if (!member.text()) {
            moveAside("the value of \"" + key + "\" is not text");
            return;
        }
        values.emplace(key, *member.text());
    }
    values_ = std::move(values);
}

void DefaultsPlistFile::moveAside(const std::string& reason) {
    fs::path aside = file_;
    aside += ".corrupt-" + utcTimestamp();
    for (int n = 1; fs::exists(aside); ++n) {
        aside = file_;
        aside += ".corrupt-" + utcTimestamp() + "-" + std::to_string(n);
    }
    std::error_code error;
    fs::rename(file_, aside, error);
    if (error) {
        log_ << "lexoria: the settings file " << file_.string() << " is unreadable (" << reason
             << ") and could not be moved aside: " << error.message()
             << "; settings will not be saved\n";
        writable_ = false;
        return;
    }
    log_ << "lexoria: the settings file " << file_.string() << " is unreadable (" << reason
         << "); moved it to " << aside.string() << " and started with empty settings\n";
    stamp_ = currentStamp();
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
    write([&](std::map<std::string, std::string>& values) {
        values[keepableText(key)] = keepableText(value);
    });
}

void DefaultsPlistFile::removeObject(const std::string& key) {
    write([&](std::map<std::string, std::string>& values) { values.erase(keepableText(key)); });
}

template <typename Change>
void DefaultsPlistFile::write(Change change) {
    std::error_code error;
    fs::create_directories(file_.parent_path(), error);
    fs::path lockPath = file_.parent_path() / ("." + file_.filename().string() + ".lock");
    FileDescriptor lock(::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600));
    if (lock.get() >= 0) {
        while (::flock(lock.get(), LOCK_EX) != 0 && errno == EINTR) {
        }
    }
    // Another process may have written since we last looked: build on its file. Always
    // read it here, since a file replaced twice within the clock's granularity can look
    // unchanged.
    load();
    change(values_);
    if (!writable_) {
        return;
    }
    if (!writeFile(values_)) {
        log_ << "lexoria: cannot save the settings file " << file_.string() << ": "
             << std::strerror(errno) << "\n";
    }
    stamp_ = currentStamp();
}

bool DefaultsPlistFile::writeFile(const std::map<std::string, std::string>& values) {
    const std::string xml = xmlPropertyList(values);
    const fs::path temp = file_.parent_path() / ("." + file_.filename().string() + ".tmp");
    {
        FileDescriptor out(::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600));
        if (out.get() < 0 || !writeAll(out.get(), xml.data(), xml.size()) ||
            ::fsync(out.get()) != 0) {
            return false;
        }
    }
    if (::rename(temp.c_str(), file_.c_str()) != 0) {
        return false;
    }
    // Make the rename itself durable.
    FileDescriptor dir(::open(file_.parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.get() >= 0) {
        ::fsync(dir.get());
    }
    return true;
}

}  // namespace lexoria
