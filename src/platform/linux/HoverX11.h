#pragma once

#include <memory>

#include "app/AppDelegate.h"

typedef struct _XDisplay Display;  // NOLINT(bugprone-reserved-identifier): Xlib names it so

namespace lexoria {

class AccessibilityAtspi;
class EventTapsXInput2;
class HoverTranslation;
class MouseOver;
class PointerX11;
class ScreensXRandR;

// Hover translation on the X11 desktop. The accessibility bus and the pointer watch are
// taken the first time the preference is on, so that a program without it pays nothing.
class HoverX11 {
  public:
    HoverX11(AppDelegate& app, RunLoop& runLoop, const KeyboardState& keyboard,
             EventMonitors& monitors, Log& log);
    ~HoverX11();
    HoverX11(const HoverX11&) = delete;
    HoverX11& operator=(const HoverX11&) = delete;

    // Follows the preference: call at start and after each change.
    void preferenceChanged();

  private:
    bool build();

    AppDelegate& app_;
    RunLoop& runLoop_;
    const KeyboardState& keyboard_;
    EventMonitors& monitors_;
    Log& log_;
    Display* display_ = nullptr;
    std::unique_ptr<ScreensXRandR> screens_;
    std::unique_ptr<PointerX11> pointer_;
    std::unique_ptr<AccessibilityAtspi> accessibility_;
    std::unique_ptr<EventTapsXInput2> taps_;
    MouseOver* mouseOver_ = nullptr;
    std::shared_ptr<HoverTranslation> hover_;
};

}  // namespace lexoria
