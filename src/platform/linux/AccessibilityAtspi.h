#pragma once

#include "ports/Accessibility.h"

// Xlib's own name for its display, declared here to keep its macros out.
typedef struct _XDisplay Display;  // NOLINT(bugprone-reserved-identifier)

namespace lexoria {

// The elements of the desktop's programs over AT-SPI 2. AT-SPI has no element at a point
// for the whole desktop: the X window under the point names the program (_NET_WM_PID),
// and that program's tree is searched from its windows down.
//
// Every call runs on the thread that made this object and waits at most `timeoutMs` for
// the other program. libatspi's D-Bus traffic is served by the thread's default GLib
// context: a GLib or Qt loop does that by itself, and every query drains what is pending.
class AccessibilityAtspi final : public Accessibility {
  public:
    // `display` stays the caller's. False from ready() when the AT-SPI bus is not there.
    AccessibilityAtspi(Display* display, int timeoutMs = 500);
    bool ready() const { return ready_; }

    std::shared_ptr<AccessibleElement> elementAtPosition(float x, float y) override;

  private:
    // The process that shows the top-level window under the point; 0 when none says.
    int processAt(int x, int y) const;

    Display* display_;
    bool ready_ = false;
};

}  // namespace lexoria
