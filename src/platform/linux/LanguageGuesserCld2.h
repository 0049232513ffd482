#pragma once

#include "ports/LanguageGuesser.h"

namespace lexoria {

// CLD2's guess, when it is sure of it.
class LanguageGuesserCld2 final : public LanguageGuesser {
  public:
    std::optional<std::string> bestLanguage(const std::string& utf8Text) const override;
};

}  // namespace lexoria
