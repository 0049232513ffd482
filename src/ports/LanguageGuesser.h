#pragma once

#include <optional>
#include <string>

namespace lexoria {

// Guesses the language of a text offline.
class LanguageGuesser {
  public:
    virtual ~LanguageGuesser() = default;
    // An ISO 639-1 code where there is one ("en", "he"); absent when the guess is not
    // reliable.
    virtual std::optional<std::string> bestLanguage(const std::string& utf8Text) const = 0;
};

}  // namespace lexoria
