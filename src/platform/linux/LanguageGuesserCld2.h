#pragma once

#include "ports/LanguageGuesser.h"

namespace lexoria {

// The language of a text by CLD2's statistics, offered only when CLD2 calls its guess
// reliable.
class LanguageGuesserCld2 : public LanguageGuesser {
  public:
    std::optional<std::string> languageOf(const std::string& text) const override;
};

}  // namespace lexoria
