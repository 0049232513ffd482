#pragma once

#include <functional>
#include <optional>
#include <string>

#include "ports/Locale.h"

namespace lexoria {

// The locale of the POSIX environment: the region of the first non-empty of LC_ALL,
// LC_MESSAGES and LANG ("de_DE.UTF-8" is region "DE"); the preferred languages of
// LANGUAGE (a colon list), then the language of that locale ("de").
class LocalePosix final : public Locale {
  public:
    using Lookup = std::function<std::optional<std::string>(const char*)>;

    LocalePosix();  // reads the process environment
    explicit LocalePosix(const Lookup& lookup);

    std::optional<std::string> regionCode() const override { return region_; }
    std::vector<std::string> preferredLanguages() const override { return languages_; }

  private:
    std::optional<std::string> region_;
    std::vector<std::string> languages_;
};

}  // namespace lexoria
