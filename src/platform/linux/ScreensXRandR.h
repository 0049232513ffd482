#pragma once

#include "ports/Screens.h"

// Xlib's own name for its display, declared here to keep its macros out.
typedef struct _XDisplay Display;  // NOLINT(bugprone-reserved-identifier)

namespace lexoria {

// The monitors XRandR reports, in native pixels; the whole root window when it reports
// none. X11 does not scale, so every monitor has scale 1.
class ScreensXRandR final : public Screens {
  public:
    explicit ScreensXRandR(Display* display) : display_(display) {}
    std::vector<Screen> screens() const override;

  private:
    Display* display_;
};

}  // namespace lexoria
