#include "KeySenderXTest.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <vector>

#include "KeyMapX11.h"
#include "ModifierMonitorXInput2.h"

namespace lexoria {

KeySenderXTest::KeySenderXTest(ModifierMonitorXInput2& keyboard,
                               std::function<bool(unsigned long)> copyOwnSelection)
    : keyboard_(keyboard), copyOwnSelection_(std::move(copyOwnSelection)) {}

std::pair<std::string, std::string> KeySenderXTest::focusedWindowClass() const {
    Display* display = keyboard_.display();
    if (!display) {
        return {};
    }
    Window window = None;
    int revert = 0;
    XGetInputFocus(display, &window, &revert);
    // The focus is often on a child of the top-level window that carries the class.
    while (window != None && window != PointerRoot) {
        XClassHint hint{};
        if (XGetClassHint(display, window, &hint)) {
            std::pair<std::string, std::string> result{hint.res_name ? hint.res_name : "",
                                                       hint.res_class ? hint.res_class : ""};
            XFree(hint.res_name);
            XFree(hint.res_class);
            return result;
        }
        Window root = None, parent = None;
        Window* children = nullptr;
        unsigned count = 0;
        if (!XQueryTree(display, window, &root, &parent, &children, &count)) {
            break;
        }
        if (children) {
            XFree(children);
        }
        if (parent == root) {
            break;
        }
        window = parent;
    }
    return {};
}

void KeySenderXTest::postCopy() {
    Display* display = keyboard_.display();
    if (!display) {
        return;
    }
    // The server knows where the focus is; the toolkit's idea of its own active window
    // can lag behind it.
    Window focus = None;
    int revert = 0;
    XGetInputFocus(display, &focus, &revert);
    if (copyOwnSelection_ && copyOwnSelection_(focus)) {
        return;
    }
    // A modifier the user still holds would join the keystroke (a held right Alt turns
    // Control+C into Control+Alt+C): let it go on our device, without pressing it again.
    for (int keycode : keyboard_.heldModifierKeycodes()) {
        XTestFakeKeyEvent(display, static_cast<unsigned>(keycode), False, CurrentTime);
    }
    const auto [instance, klass] = focusedWindowClass();
    std::vector<KeySym> chord;
    switch (copyKeystrokeFor(instance, klass)) {
        case CopyKeystroke::controlC:
            chord = {XK_Control_L, XK_c};
            break;
        case CopyKeystroke::controlShiftC:
            chord = {XK_Control_L, XK_Shift_L, XK_c};
            break;
        case CopyKeystroke::altW:
            chord = {XK_Alt_L, XK_w};
            break;
    }
    for (KeySym keysym : chord) {
        XTestFakeKeyEvent(display, XKeysymToKeycode(display, keysym), True, CurrentTime);
    }
    for (auto it = chord.rbegin(); it != chord.rend(); ++it) {
        XTestFakeKeyEvent(display, XKeysymToKeycode(display, *it), False, CurrentTime);
    }
    XFlush(display);
}

}  // namespace lexoria
