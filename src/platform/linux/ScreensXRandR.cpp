#include "platform/linux/ScreensXRandR.h"

#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>

#include <algorithm>

namespace lexoria {

std::vector<Screen> ScreensXRandR::screens() const {
    std::vector<Screen> list;
    int count = 0;
    XRRMonitorInfo* monitors = XRRGetMonitors(display_, DefaultRootWindow(display_), True, &count);
    int first = -1;
    for (int i = 0; i < count; ++i) {
        const auto& m = monitors[i];
        list.push_back({{double(m.x), double(m.y), double(m.width), double(m.height)}, 1.0});
        // The first monitor anchors the coordinates and must touch the desktop's top:
        // the primary one when it does.
        if (m.y == 0 && (first < 0 || m.primary)) {
            first = i;
        }
    }
    if (monitors != nullptr) {
        XRRFreeMonitors(monitors);
    }
    if (list.empty()) {
        const int screen = DefaultScreen(display_);
        list.push_back({{0, 0, double(DisplayWidth(display_, screen)),
                         double(DisplayHeight(display_, screen))},
                        1.0});
    } else if (first > 0) {
        std::rotate(list.begin(), list.begin() + first, list.begin() + first + 1);
    }
    return list;
}

}  // namespace lexoria
