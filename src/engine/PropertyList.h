#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace lexoria {

// A property list as the program reads it: texts (numbers, dates and flags in their text
// form), arrays and dictionaries.
struct PlistValue {
    using Array = std::vector<PlistValue>;
    using Dictionary = std::map<std::string, PlistValue>;

    std::variant<std::string, Array, Dictionary> value;

    const std::string* text() const { return std::get_if<std::string>(&value); }
    const Array* array() const { return std::get_if<Array>(&value); }
    const Dictionary* dictionary() const { return std::get_if<Dictionary>(&value); }
    // The member `key` of a dictionary, if this is one and has it.
    const PlistValue* member(const std::string& key) const;
};

// Parses an XML or binary property list; absent when the bytes are not one.
std::optional<PlistValue> parsePropertyList(std::string_view bytes);
std::optional<PlistValue> readPropertyList(const std::filesystem::path& file);

// The text as a property list can carry it: ill-formed UTF-8 and NUL become U+FFFD.
std::string keepableText(const std::string& text);

// An XML property list of one dictionary of texts. Ill-formed UTF-8 and NUL characters,
// which the file could not carry back, become U+FFFD.
std::string xmlPropertyList(const std::map<std::string, std::string>& texts);

// A dictionary of texts (non-text members left out); empty when `value` is absent or no
// dictionary.
std::map<std::string, std::string> textDictionary(const PlistValue* value);

}  // namespace lexoria
