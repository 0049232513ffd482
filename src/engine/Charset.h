#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace lexoria {

// Decodes `bytes` to UTF-8 with the IANA character set `charset` (case-insensitive); an
// unknown or missing name means UTF-8. Bytes that are not valid in that character set
// give no text at all.
std::optional<std::string> decodeText(std::string_view bytes,
                                      const std::optional<std::string>& charset);

}  // namespace lexoria
