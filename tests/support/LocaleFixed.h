#pragma once

#include "ports/Locale.h"

namespace lexoria::test {

class LocaleFixed final : public Locale {
  public:
    std::optional<std::string> regionCode() const override { return region; }
    std::vector<std::string> preferredLanguages() const override { return languages; }

    std::optional<std::string> region = "US";
    std::vector<std::string> languages = {"en"};
};

}  // namespace lexoria::test
