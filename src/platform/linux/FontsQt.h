#pragma once

#include "ports/Fonts.h"

namespace lexoria {

// The installed fonts as fontconfig and Qt know them.
class FontsQt final : public Fonts {
  public:
    std::vector<std::string> familyNames() const override;
    std::optional<Font> fontWithName(const std::string& name, double size) const override;
    std::string substituteFamily(const std::string& family) const override;
};

}  // namespace lexoria
