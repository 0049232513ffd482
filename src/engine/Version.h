#pragma once

namespace lexoria {

// The program's own version, as the maker's site and the user agent know it.
inline constexpr const char* kLexoriaVersion = "3.0.2";

}  // namespace lexoria
