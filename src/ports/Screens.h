#pragma once

#include <optional>
#include <vector>

namespace lexoria {

struct Point {
    double x = 0;
    double y = 0;
    bool operator==(const Point&) const = default;
};

struct Size {
    double width = 0;
    double height = 0;
    bool operator==(const Size&) const = default;
};

struct ScreenRect {
    double x = 0;
    double y = 0;
    double width = 0;
    double height = 0;
    bool operator==(const ScreenRect&) const = default;
};

// One monitor of the desktop.
struct Screen {
    // Native pixels, origin at the top left of the desktop, y growing downwards.
    ScreenRect frame;
    // Native pixels per device-independent pixel, as the toolkit scales this monitor.
    double scale = 1.0;
};

// The desktop's monitors. The first one is the primary monitor and its top edge is the
// desktop's top (y 0): both coordinate systems of the capture code are anchored there.
class Screens {
  public:
    virtual ~Screens() = default;
    virtual std::vector<Screen> screens() const = 0;
};

// Where the mouse pointer is: native pixels, origin at the top left. Absent when the
// desktop cannot say.
class Pointer {
  public:
    virtual ~Pointer() = default;
    virtual std::optional<Point> location() const = 0;
};

}  // namespace lexoria
