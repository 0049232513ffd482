#pragma once

#include <optional>
#include <string>

namespace lexoria {

// The text read as an XML document, malformed parts mended where the parser can, and
// written back indented. Nothing, with the parser's own message in `error`, when the
// text cannot be read as XML at all.
std::optional<std::string> prettyPrintedXml(const std::string& text, std::string& error);

}  // namespace lexoria
