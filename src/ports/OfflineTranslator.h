#pragma once

#include <optional>
#include <string>
#include <vector>

namespace lexoria {

// One direction the installed engine can translate, in the two-letter codes the rest of
// the program uses (three letters where a language has no two-letter code).
struct LanguagePair {
    std::string from;
    std::string to;
    bool operator==(const LanguagePair&) const = default;
};

// A translation engine on this machine: no network, only the pairs that are installed.
class OfflineTranslator {
  public:
    virtual ~OfflineTranslator() = default;

    // The pairs installed when the program started.
    virtual std::vector<LanguagePair> pairs() const = 0;
    // Plain text in, plain text out; nothing when the pair is not installed or the
    // engine gave no answer in time.
    virtual std::optional<std::string> translate(const std::string& text, const std::string& from,
                                                 const std::string& to) = 0;
};

}  // namespace lexoria
