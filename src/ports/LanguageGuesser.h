#pragma once

#include <optional>
#include <string>

namespace lexoria {

// Guesses the language of a text on this machine, without asking anyone.
class LanguageGuesser {
  public:
    virtual ~LanguageGuesser() = default;

    // The two-letter code of a reliable guess; nothing when the guesser is unsure.
    virtual std::optional<std::string> languageOf(const std::string& text) const = 0;
};

}  // namespace lexoria
