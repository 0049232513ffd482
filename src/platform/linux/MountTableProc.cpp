#include "MountTableProc.h"

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <vector>

namespace lexoria {

namespace fs = std::filesystem;

namespace {

// The table writes space, tab, line feed and backslash as three octal digits.
std::string unescaped(const std::string& field) {
    std::string text;
    for (std::size_t i = 0; i < field.size(); ++i) {
        const bool octal = field[i] == '\\' && i + 3 < field.size() &&
                           field.find_first_not_of("01234567", i + 1) >= i + 4;
        if (octal) {
            text += static_cast<char>(std::stoi(field.substr(i + 1, 3), nullptr, 8));
            i += 3;
        } else {
            text += field[i];
        }
    }
    return text;
}

bool holds(const std::string& mountPoint, const std::string& path) {
    return mountPoint == "/" || path == mountPoint || path.rfind(mountPoint + "/", 0) == 0;
}

}  // namespace

std::optional<DiskImage> MountTableProc::diskImageHolding(const std::string& path) const {
    std::error_code error;
    fs::path resolved = fs::weakly_canonical(fs::absolute(path, error), error);
    if (error) {
        resolved = fs::path(path).lexically_normal();
    }
    std::ifstream table(mountInfo_);
    std::string line, mountPoint, source;
    while (std::getline(table, line)) {
        // id parent major:minor root mount-point options [optional...] - type source ...
        std::istringstream words(line);
        std::vector<std::string> fields;
        for (std::string word; words >> word;) {
            fields.push_back(word);
        }
        std::size_t separator = 6;
        while (separator < fields.size() && fields[separator] != "-") {
            ++separator;
        }
        if (fields.size() < 5 || separator + 2 >= fields.size()) {
            continue;
        }
        const std::string point = unescaped(fields[4]);
        // The deepest mount holds the path; of two on one point the later covers the other.
        if (holds(point, resolved.string()) && point.size() >= mountPoint.size()) {
            mountPoint = point;
            source = unescaped(fields[separator + 2]);
        }
    }
    if (mountPoint.empty() || mountPoint == "/") {
        return std::nullopt;
    }
    static const std::regex kLoop("/dev/(loop[0-9]+)(p[0-9]+)?");
    std::smatch match;
    if (!std::regex_match(source, match, kLoop)) {
        return std::nullopt;
    }
    std::ifstream backing(fs::path(sysRoot_) / "block" / match[1].str() / "loop" / "backing_file");
    std::string imageFile;
    std::getline(backing, imageFile);
    if (imageFile.empty()) {
        return std::nullopt;
    }
    return DiskImage{source, "/dev/" + match[1].str(), imageFile};
}

}  // namespace lexoria
