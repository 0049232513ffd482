#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "platform/linux/BundleDirectory.h"

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

// What the program is given by the process it runs in.
struct CommandHost {
    std::function<std::optional<std::string>(const char*)> environment;
    std::filesystem::path settingsFile;
    BundleDirectory bundle;
    // All of standard input; absent when it cannot be read.
    std::function<std::optional<std::string>()> input;
    std::ostream& out;
    std::ostream& err;
    // A terminal takes an answer's control characters as commands: they are shown instead.
    bool outputIsTerminal = false;
};

// The whole program: returns its exit code.
int runTranslateCommand(const std::vector<std::string>& arguments, CommandHost& host);

}  // namespace lexoria
