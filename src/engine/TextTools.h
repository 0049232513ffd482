#pragma once

#include <string>
#include <string_view>

namespace lexoria {

// Replaces every occurrence of `from` in `text`, left to right without overlap. An
// empty `from` matches nothing.
void replaceAll(std::string& text, std::string_view from, std::string_view to);
std::string replacedAll(std::string text, std::string_view from, std::string_view to);

// Drops every span that starts with `open` and reaches up to (not including) the next
// `close`; an `open` without a later `close` drops the rest of the text. Empty marks
// match nothing.
std::string removeMarkerSpans(std::string_view text, std::string_view open, std::string_view close);

// Percent-encodes every byte that RFC 2396 does not allow in a URL, with upper-case hex.
std::string percentEncode(std::string_view text);

// True when `text` is well-formed UTF-8 (no overlong forms, surrogates or values above
// U+10FFFF).
bool isValidUtf8(std::string_view text);

// The text with every ill-formed UTF-8 sequence replaced by U+FFFD.
std::string validUtf8(std::string_view text);

// Number of pieces the text falls into when every white-space or line-break character
// ends one (so "a  b" has three pieces and "" has one).
std::size_t countWordPieces(std::string_view text);

// True for an optional sign and decimal digits, with nothing but white space around them.
bool isDecimalInteger(std::string_view text);

// Full Unicode lower-casing, independent of the user's locale.
std::string lowercased(std::string_view text);

// True when the JSON text nests its arrays and objects no deeper than `limit` (brackets
// inside strings do not count). Deeper answers cost memory out of all proportion.
bool jsonNestingWithin(std::string_view json, int limit);
inline constexpr int kMaxJsonDepth = 64;

// The text without the C0 control characters (and DEL) other than line feed and tab: what
// a text view shows of a service's answer.
std::string withoutControls(std::string_view text);

}  // namespace lexoria
