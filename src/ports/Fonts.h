#pragma once

#include <optional>
#include <string>
#include <vector>

#include "ports/Controls.h"

namespace lexoria {

class Fonts {
  public:
    virtual ~Fonts() = default;
    // The installed font families, by name.
    virtual std::vector<std::string> familyNames() const = 0;
    // The font of that family at that size; absent when no family has that name.
    virtual std::optional<Font> fontWithName(const std::string& name, double size) const = 0;
    // The installed family the system uses in place of `family` (itself when installed).
    virtual std::string substituteFamily(const std::string& family) const = 0;
};

}  // namespace lexoria
