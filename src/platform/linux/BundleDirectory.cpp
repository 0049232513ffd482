#include "BundleDirectory.h"

#include <cstdlib>
#include <system_error>

namespace lexoria {

namespace fs = std::filesystem;

BundleDirectory BundleDirectory::forThisProgram() {
    if (const char* override = std::getenv("LEXORIA_RESOURCE_DIR"); override && *override) {
        return BundleDirectory({fs::path(override)});
    }
    std::vector<fs::path> directories;
    std::error_code error;
    const fs::path program = fs::read_symlink("/proc/self/exe", error);
    if (!error) {
        directories.push_back(program.parent_path().parent_path() / LEXORIA_INSTALLED_RESOURCES);
    }
    directories.emplace_back(LEXORIA_SOURCE_RESOURCES);
    return BundleDirectory(std::move(directories));
}

std::optional<fs::path> BundleDirectory::pathForResource(const std::string& name,
                                                         const std::string& type) const {
    if (name.empty() || name.find('/') != std::string::npos ||
        type.find('/') != std::string::npos) {
        return std::nullopt;
    }
    const std::string file = type.empty() ? name : name + "." + type;
    for (const fs::path& directory : directories_) {
        std::error_code error;
        const fs::path candidate = directory / file;
        if (fs::is_regular_file(candidate, error)) {
            return candidate;
        }
    }
    return std::nullopt;
}

}  // namespace lexoria
