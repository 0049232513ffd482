#pragma once

#include <optional>
#include <string>

namespace lexoria {

// A disk image file attached as a block device and mounted.
struct DiskImage {
    std::string device;      // what the volume is mounted from ("/dev/loop3p1")
    std::string loopDevice;  // the attached image as a whole ("/dev/loop3")
    std::string imageFile;   // the file behind it
};

class MountTable {
  public:
    virtual ~MountTable() = default;
    // The disk image whose volume holds `path`; absent for any other volume (the root
    // file system included) and when the mounts cannot be read.
    virtual std::optional<DiskImage> diskImageHolding(const std::string& path) const = 0;
};

}  // namespace lexoria
