#pragma once

#include <string>

#include "ports/MountTable.h"

namespace lexoria {

// The kernel's mount table of this process and the loop devices' files in sysfs.
class MountTableProc final : public MountTable {
  public:
    explicit MountTableProc(std::string mountInfo = "/proc/self/mountinfo",
                            std::string sysRoot = "/sys")
        : mountInfo_(std::move(mountInfo)), sysRoot_(std::move(sysRoot)) {}

    std::optional<DiskImage> diskImageHolding(const std::string& path) const override;

  private:
    std::string mountInfo_;
    std::string sysRoot_;
};

}  // namespace lexoria
