#pragma once

#include <optional>
#include <string>
#include <vector>

namespace lexoria {

// Splits a mode file's command line into its stages, each a program and its arguments
// with Apertium's null-flush option added, as the shell would split the simple lines
// Apertium writes: words, quotes, backslashes, pipes, and "$1" for the generator's
// option, "$2" for the tagger's. Nothing when the line needs more of a shell than that.
std::optional<std::vector<std::vector<std::string>>> apertiumStages(const std::string& line);

// Plain text as Apertium's stream format carries it, and back again.
std::string apertiumStreamOf(const std::string& text);
std::string apertiumTextOf(const std::string& stream);

}  // namespace lexoria
