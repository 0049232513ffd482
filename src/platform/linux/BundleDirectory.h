#pragma once

#include <vector>

#include "ports/Bundle.h"

namespace lexoria {

// Resources as files in the first directory that has them.
class BundleDirectory final : public Bundle {
  public:
    explicit BundleDirectory(std::vector<std::filesystem::path> directories)
        : directories_(std::move(directories)) {}

    // $LEXORIA_RESOURCE_DIR when set; otherwise share/lexoria beside the running
    // program's bin directory, then the source tree's resources (for a build tree).
    static BundleDirectory forThisProgram();

    std::optional<std::filesystem::path> pathForResource(const std::string& name,
                                                         const std::string& type) const override;

  private:
    std::vector<std::filesystem::path> directories_;
};

}  // namespace lexoria
