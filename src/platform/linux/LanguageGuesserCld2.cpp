#include "LanguageGuesserCld2.h"

#include <cld2/public/compact_lang_det.h>
#include <unicode/locid.h>

#include <climits>

namespace lexoria {

std::optional<std::string> LanguageGuesserCld2::languageOf(const std::string& text) const {
    bool reliable = false;
    const CLD2::Language language = CLD2::DetectLanguage(
        text.data(), static_cast<int>(std::min<std::size_t>(text.size(), INT_MAX)), true,
        &reliable);
    const std::string code = CLD2::LanguageCode(language);
    if (!reliable || code.empty() || code == "un") {
        return std::nullopt;
    }
    // CLD2 keeps the withdrawn codes "iw" and "jw"; the offline pairs know "he" and "jv".
    const icu::Locale canonical = icu::Locale::createCanonical(code.c_str());
    return canonical.isBogus() || !*canonical.getLanguage() ? code
                                                            : std::string(canonical.getLanguage());
}

}  // namespace lexoria
