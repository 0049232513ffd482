#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace lexoria {

// The files shipped with the program.
class Bundle {
  public:
    virtual ~Bundle() = default;

    // The resource called `name`.`type` ("lang", "plist"), absent when not shipped.
    virtual std::optional<std::filesystem::path> pathForResource(const std::string& name,
                                                                 const std::string& type) const = 0;
};

}  // namespace lexoria
