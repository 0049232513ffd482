#include "capture/ScreenCoordinates.h"

namespace lexoria {
namespace {

// The primary monitor's top edge in the mirrored system.
double primaryTop(const std::vector<Screen>& screens) {
    return screens.empty() ? 0.0 : screens.front().frame.y + screens.front().frame.height;
}

bool contains(const ScreenRect& rect, Point point) {
    return point.x >= rect.x && point.x < rect.x + rect.width && point.y >= rect.y &&
           point.y < rect.y + rect.height;
}

}  // namespace

Point bottomLeftFromTopLeft(Point point, const std::vector<Screen>& screens) {
    return {point.x, primaryTop(screens) - point.y - 1.0};
}

std::vector<ScreenRect> bottomLeftFrames(const std::vector<Screen>& screens) {
    std::vector<ScreenRect> frames;
    const double top = primaryTop(screens);
    for (const auto& screen : screens) {
        const ScreenRect& f = screen.frame;
        frames.push_back({f.x, top - (f.y + f.height), f.width, f.height});
    }
    return frames;
}

Point topLeftFromBottomLeft(Point point, const std::vector<Screen>& screens) {
    const auto frames = bottomLeftFrames(screens);
    const ScreenRect* found = nullptr;
    for (const auto& frame : frames) {
        if (contains(frame, point)) {
            found = &frame;
        }
    }
    if (found == nullptr) {
        return {0, 0};
    }
    // Mirrored at the primary monitor's top, not at the found monitor's height: on a
    // monitor of another height, or above or below the primary one, that would land the
    // point elsewhere on the desktop.
    return {point.x, primaryTop(screens) - point.y - 1.0};
}

ScreenRect flipRectangle(ScreenRect rect, const std::vector<Screen>& screens) {
    const double top = static_cast<double>(static_cast<float>(primaryTop(screens)));
    return {rect.x, top - (rect.y + rect.height), rect.width, rect.height};
}

Point nativeFromLogical(Point point, const std::vector<Screen>& screens) {
    for (const auto& screen : screens) {
        const ScreenRect& f = screen.frame;
        const double scale = screen.scale > 0 ? screen.scale : 1.0;
        const ScreenRect logical{f.x, f.y, f.width / scale, f.height / scale};
        if (contains(logical, point)) {
            return {f.x + (point.x - f.x) * scale, f.y + (point.y - f.y) * scale};
        }
    }
    const double scale =
        screens.empty() || screens.front().scale <= 0 ? 1.0 : screens.front().scale;
    return {point.x * scale, point.y * scale};
}

}  // namespace lexoria
