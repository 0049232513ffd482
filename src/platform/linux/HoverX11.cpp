#include "HoverX11.h"

#include <X11/Xlib.h>

#include "AccessibilityAtspi.h"
#include "EventTapsXInput2.h"
#include "PointerX11.h"
#include "ScreensXRandR.h"
#include "app/HoverTranslation.h"
#include "capture/MouseOver.h"

namespace lexoria {

HoverX11::HoverX11(AppDelegate& app, RunLoop& runLoop, const KeyboardState& keyboard,
                   EventMonitors& monitors, Log& log)
    : app_(app), runLoop_(runLoop), keyboard_(keyboard), monitors_(monitors), log_(log) {}

HoverX11::~HoverX11() {
    if (mouseOver_) {
        // The word feed is process-wide and outlives what it was given here.
        mouseOver_->disableMouseOver();
        mouseOver_->stopMouseTimer();
    }
    hover_.reset();
    taps_.reset();
    accessibility_.reset();
    pointer_.reset();
    screens_.reset();
    if (display_) {
        XCloseDisplay(display_);
    }
}

void HoverX11::preferenceChanged() {
    const bool wanted = !app_.objectFromSettings(settings::kHoverTranslate).value_or("").empty();
    if (!hover_ && (!wanted || !build())) {
        return;
    }
    hover_->start();
}

bool HoverX11::build() {
    if (display_) {
        return false;  // tried once and failed: said so then
    }
    display_ = XOpenDisplay(nullptr);
    if (!display_) {
        log_.line("lexoria: hover translation needs an X11 display");
        return false;
    }
    screens_ = std::make_unique<ScreensXRandR>(display_);
    pointer_ = std::make_unique<PointerX11>(display_);
    accessibility_ = std::make_unique<AccessibilityAtspi>(display_);
    if (!accessibility_->ready()) {
        log_.line(
            "lexoria: hover translation needs the accessibility bus (AT-SPI), which is "
            "not available");
        return false;
    }
    taps_ = std::make_unique<EventTapsXInput2>(runLoop_, DisplayString(display_));
    mouseOver_ = &MouseOver::instance({runLoop_, *screens_, *pointer_, *accessibility_, *taps_});
    hover_ = std::make_shared<HoverTranslation>(app_, *mouseOver_, runLoop_, keyboard_, monitors_);
    return true;
}

}  // namespace lexoria
