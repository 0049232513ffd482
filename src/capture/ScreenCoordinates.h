#pragma once

#include <vector>

#include "ports/Screens.h"

namespace lexoria {

// The capture code works in two coordinate systems anchored at the primary monitor: the
// desktop's own (origin top left, y down) and a mirrored one (origin bottom left, y up)
// in which the pointer is read and screens are listed. Pixels are native.

// A pointer position of the desktop as the mirrored system sees it.
Point bottomLeftFromTopLeft(Point point, const std::vector<Screen>& screens);
// The monitors' frames in the mirrored system, in the desktop's order.
std::vector<ScreenRect> bottomLeftFrames(const std::vector<Screen>& screens);
// A mirrored point back in the desktop's system: (0, 0) when it lies on no monitor.
Point topLeftFromBottomLeft(Point point, const std::vector<Screen>& screens);
// A rectangle of the desktop's system in the mirrored one (or the other way round).
ScreenRect flipRectangle(ScreenRect rect, const std::vector<Screen>& screens);
// A point in the toolkit's device-independent pixels in native pixels: each monitor keeps
// its origin and scales what lies within it.
Point nativeFromLogical(Point point, const std::vector<Screen>& screens);

}  // namespace lexoria
