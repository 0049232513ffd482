#include "DefaultsPlistFile.h"

#include <fcntl.h>
#include <plist/plist.h>
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

#include "engine/TextTools.h"

namespace lexoria {

namespace fs = std::filesystem;

namespace {

struct PlistDeleter {
    void operator()(plist_t node) const { plist_free(node); }
};
using PlistPtr = std::unique_ptr<void, PlistDeleter>;

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

// The text form of a scalar node, or nothing for a node that is not a scalar.
std::optional<std::string> scalarText(plist_t node) {
    switch (plist_get_node_type(node)) {
        case PLIST_STRING: {
            char* value = nullptr;
            plist_get_string_val(node, &value);
            std::string text = value ? value : "";
            std::free(value);
            return text;
        }
        case PLIST_UINT: {
            uint64_t value = 0;
            plist_get_uint_val(node, &value);
            return std::to_string(value);
        }
        case PLIST_BOOLEAN: {
            uint8_t value = 0;
            plist_get_bool_val(node, &value);
            return value ? "1" : "0";
        }
        case PLIST_REAL: {
            double value = 0;
            plist_get_real_val(node, &value);
            std::ostringstream out;
            out << value;
            return out.str();
        }
        default:
            return std::nullopt;
    }
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
    if (bytes.size() > UINT32_MAX) {
        moveAside("it is too large");
        return;
    }
    plist_t raw = nullptr;
    plist_from_memory(bytes.data(), static_cast<uint32_t>(bytes.size()), &raw);
    PlistPtr root(raw);
    if (!root || plist_get_node_type(root.get()) != PLIST_DICT) {
        moveAside("it is not a property list dictionary");
        return;
    }
    std::map<std::string, std::string> values;
    plist_dict_iter it = nullptr;
    plist_dict_new_iter(root.get(), &it);
    for (;;) {
        char* key = nullptr;
        plist_t node = nullptr;
        plist_dict_next_item(root.get(), it, &key, &node);
        if (!key) {
            break;
        }
        std::string keyText = key;
        std::free(key);
        std::optional<std::string> text = node ? scalarText(node) : std::nullopt;
        if (!text || !isValidUtf8(keyText) || !isValidUtf8(*text)) {
            std::free(it);
            moveAside("the value of \"" + keyText + "\" is not text");
            return;
        }
        values.emplace(std::move(keyText), std::move(*text));
    }
    std::free(it);
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
    const auto it = values_.find(key);
    if (it == values_.end()) {
        return std::nullopt;
    }
    return it->second;
}

void DefaultsPlistFile::setObject(const std::string& value, const std::string& key) {
    write([&](std::map<std::string, std::string>& values) { values[key] = value; });
}

void DefaultsPlistFile::removeObject(const std::string& key) {
    write([&](std::map<std::string, std::string>& values) { values.erase(key); });
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
    PlistPtr root(plist_new_dict());
    for (const auto& [key, value] : values) {
        // XML cannot carry NUL: it becomes U+FFFD rather than ending the value there.
        const std::string text = replacedAll(value, std::string_view("\0", 1), "\uFFFD");
        plist_dict_set_item(root.get(), key.c_str(), plist_new_string(text.c_str()));
    }
    char* xml = nullptr;
    uint32_t length = 0;
    plist_to_xml(root.get(), &xml, &length);
    if (!xml) {
        errno = ENOMEM;
        return false;
    }
    std::unique_ptr<char, void (*)(char*)> xmlOwner(xml, plist_to_xml_free);

    const fs::path temp = file_.parent_path() / ("." + file_.filename().string() + ".tmp");
    {
        FileDescriptor out(::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600));
        if (out.get() < 0 || !writeAll(out.get(), xml, length) || ::fsync(out.get()) != 0) {
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
