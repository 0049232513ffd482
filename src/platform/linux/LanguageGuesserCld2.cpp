#include "platform/linux/LanguageGuesserCld2.h"

#include <cstdio>  // the CLD2 header needs FILE

#include <cld2/public/compact_lang_det.h>

namespace lexoria {

std::optional<std::string> LanguageGuesserCld2::languageOf(const std::string& utf8Text) const {
    bool reliable = false;
    int validBytes = 0;
    // The checking variant: the other one takes valid UTF-8 on trust.
    const CLD2::Language language = CLD2::DetectLanguageCheckUTF8(
        utf8Text.data(), static_cast<int>(utf8Text.size()), true, &reliable, &validBytes);
    const std::string code = CLD2::LanguageCode(language);
    if (!reliable || code.empty() || code == "un") {
        return std::nullopt;
    }
    // CLD2 keeps two codes ISO 639-1 has since replaced.
    if (code == "iw") {
        return "he";
    }
    if (code == "jw") {
        return "jv";
    }
    return code;
}

}  // namespace lexoria
