#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace lexoria {

// One replacement of the character-reference table.
struct DecodeRow {
    std::string_view search;
    std::string_view replacement;
};

// Cleans answer texts: decodes the character references the services send, and strips
// the labels of Lingvo dictionary pages. Every operation leaves its result in `str`.
class Parsing {
  public:
    void setStringForDecodeHTML(const std::optional<std::string>& text);
    std::optional<std::string> returnDecodeStr() const { return str_; }

    void setStringForParsingLingvo(const std::optional<std::string>& text);
    std::optional<std::string> returnLingvoStr() const { return str_; }

    // The references this decoder knows, in the order in which they are replaced one
    // after the other; the decoder gives exactly the result of applying them so.
    static const std::array<DecodeRow, 165>& decodeTable();

  private:
    std::optional<std::string> str_;
};

// The decoding of setStringForDecodeHTML in one pass over the text.
std::string decodeCharacterReferences(std::string_view text);

}  // namespace lexoria
