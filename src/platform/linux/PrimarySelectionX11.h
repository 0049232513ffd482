#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace lexoria {

// The text of the X primary selection on $DISPLAY, read with plain Xlib (a Qt GUI
// application would load and start its whole display platform for this one read): in the
// owner's UTF-8 or, from older programs, its Latin-1 converted; "" when nothing is
// selected. Reading stops once more than `maxBytes` came. Nothing, with `error` saying
// why, without a display or when the owner does not hand the text over in time.
std::optional<std::string> primarySelectionX11(std::size_t maxBytes, std::string& error);

}  // namespace lexoria
