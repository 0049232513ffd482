#pragma once

#include "ports/Controls.h"

namespace lexoria {

// What every window can do on top of its own geometry: fit its content to a view below the
// toolbar, keeping its top edge where it is.

// The height the shown toolbar takes; 0 without a toolbar or with a hidden one.
double toolbarHeight(const WindowGeometry& window);
// Resizes the window, animated, so its content below the toolbar is `width` by `height`;
// the top edge and the left edge stay.
void resizeToSize(WindowGeometry& window, double width, double height);
// Shows `view` as the content, the window fitted to it; nothing when it is shown already.
void switchView(WindowGeometry& window, View& view);
// The one empty view that a window shows while it resizes, made on first use and kept for
// the life of the program.
View& blankView();

}  // namespace lexoria
