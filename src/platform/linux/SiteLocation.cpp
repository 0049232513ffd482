#include "SiteLocation.h"

#include <filesystem>
#include <system_error>

namespace lexoria {

namespace fs = std::filesystem;

void useBuiltInSite(ServiceAddresses& addresses) {
    addresses.site = LEXORIA_PUBLIC_SITE;
    std::error_code error;
    const fs::path program = fs::read_symlink("/proc/self/exe", error);
    const fs::path installed =
        program.parent_path().parent_path() / LEXORIA_INSTALLED_RESOURCES / "site";
    addresses.siteFolder = !error && fs::is_directory(installed, error)
                               ? installed.lexically_normal().string()
                               : std::string(LEXORIA_SOURCE_SITE);
}

}  // namespace lexoria
