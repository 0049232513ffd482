#include "platform/linux/PointerX11.h"

#include <X11/Xlib.h>

namespace lexoria {

std::optional<Point> PointerX11::location() const {
    Window root = None;
    Window child = None;
    int rootX = 0;
    int rootY = 0;
    int x = 0;
    int y = 0;
    unsigned int mask = 0;
    if (!XQueryPointer(display_, DefaultRootWindow(display_), &root, &child, &rootX, &rootY, &x, &y,
                       &mask)) {
        return std::nullopt;  // on another screen of the display
    }
    return Point{double(rootX), double(rootY)};
}

}  // namespace lexoria
