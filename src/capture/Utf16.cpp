#include "capture/Utf16.h"

#include <unicode/unistr.h>

namespace lexoria {

std::u16string utf16FromUtf8(std::string_view text) {
    const auto unicode = icu::UnicodeString::fromUTF8(
        icu::StringPiece(text.data(), static_cast<int32_t>(text.size())));
    return std::u16string(unicode.getBuffer(), static_cast<size_t>(unicode.length()));
}

std::string utf8FromUtf16(std::u16string_view text) {
    std::string out;
    icu::UnicodeString(text.data(), static_cast<int32_t>(text.size())).toUTF8String(out);
    return out;
}

}  // namespace lexoria
