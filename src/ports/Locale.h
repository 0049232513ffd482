#pragma once

#include <optional>
#include <string>
#include <vector>

namespace lexoria {

// The user's locale as the rest of the program needs it.
class Locale {
  public:
    virtual ~Locale() = default;

    // Upper-case region code such as "DE"; absent for a locale without a region.
    virtual std::optional<std::string> regionCode() const = 0;
    // Language identifiers in order of preference, such as "ru" or "pt-BR".
    virtual std::vector<std::string> preferredLanguages() const = 0;
};

}  // namespace lexoria
