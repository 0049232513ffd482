#pragma once

#include <string>
#include <string_view>

namespace lexoria {

// Text positions of the capture code count UTF-16 code units.
std::u16string utf16FromUtf8(std::string_view text);
// A surrogate left alone by a cut becomes U+FFFD, so the unit count stays the same.
std::string utf8FromUtf16(std::u16string_view text);

}  // namespace lexoria
