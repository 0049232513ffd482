#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace lexoria {

// What `lexoria-translate` was asked to do.
struct TranslateCommand {
    std::string service = "Google";
    std::optional<std::string> from;
    std::optional<std::string> to;
    std::vector<std::string> remove;
    int32_t keyMicrosoft = 1;
    // The words of the text; none means the text is standard input.
    std::vector<std::string> words;
    bool help = false;
    bool version = false;
};

struct ParsedCommand {
    std::optional<TranslateCommand> command;
    std::string error;  // set when command is absent
};

ParsedCommand parseTranslateCommand(const std::vector<std::string>& arguments);

// The text as a terminal may show it: control characters other than line feed and tab
// (C0, DEL and C1) become visible escapes, so that an answer cannot drive the terminal.
std::string terminalSafe(const std::string& text);

extern const char* const kTranslateUsage;

}  // namespace lexoria
