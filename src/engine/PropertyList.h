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

// Parses an XML property list; absent when the bytes are not one.
std::optional<PlistValue> parsePropertyList(std::string_view bytes);
std::optional<PlistValue> readPropertyList(const std::filesystem::path& file);

// True when the XML nests its arrays and dictionaries no deeper than `limit`, counted as
// the property-list parser sees its tags: markup inside comments, character data,
// processing instructions, the document type and quoted attribute values does not count.
bool xmlNestingWithin(std::string_view xml, int limit);

// A property list whose top level is a dictionary of texts (numbers, flags, dates and data
// in their text form), read in one pass whatever its size. Absent when the bytes are no
// such property list, with the reason in `problem`.
std::optional<std::map<std::string, std::string>> parseTextDictionary(std::string_view bytes,
                                                                      std::string& problem);

// The text as a property list can carry it: ill-formed UTF-8, NUL, U+FFFE and U+FFFF
// become U+FFFD.
std::string keepableText(const std::string& text);

// An XML property list of one dictionary of texts, each made keepable first; written in
// one pass whatever its size.
std::string xmlPropertyList(const std::map<std::string, std::string>& texts);

// The bytes of a file, read without blocking and without following it into anything but
// a regular file.
struct FileBytes {
    enum class Status { ok, missing, notRegular, tooLarge, unreadable };
    Status status = Status::missing;
    std::string bytes;
    std::string error;  // what went wrong, for a log line
};
FileBytes readRegularFile(const std::filesystem::path& file, std::size_t limit);

// A dictionary of texts (non-text members left out); empty when `value` is absent or no
// dictionary.
std::map<std::string, std::string> textDictionary(const PlistValue* value);

}  // namespace lexoria
