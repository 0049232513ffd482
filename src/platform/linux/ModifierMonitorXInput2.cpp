#include "ModifierMonitorXInput2.h"

// Qt first: Xlib defines macros (Status, Bool) that break Qt's headers.
#include <QSocketNotifier>
// clang-format off
#include <X11/Xlib.h>
#include <X11/XKBlib.h>
#include <X11/extensions/XInput2.h>
// clang-format on
#include <cstring>

#include "KeyMapX11.h"

namespace lexoria {

ModifierMonitorXInput2::ModifierMonitorXInput2(const char* displayName, Deliver deliver)
    : deliver_(std::move(deliver)) {
    display_ = XOpenDisplay(displayName);
    if (!display_) {
        return;
    }
    int event = 0, error = 0, major = 2, minor = 2;
    if (!XQueryExtension(display_, "XInputExtension", &xiOpcode_, &event, &error) ||
        XIQueryVersion(display_, &major, &minor) != Success || major < 2 ||
        (major == 2 && minor < 2)) {
        return;
    }
    int count = 0;
    XIDeviceInfo* devices = XIQueryDevice(display_, XIAllDevices, &count);
    for (int i = 0; i < count; ++i) {
        // "Virtual core XTEST keyboard" and its pointer: where every XTest event comes from.
        if (devices[i].name && std::strstr(devices[i].name, "XTEST")) {
            xtestDevices_.insert(devices[i].deviceid);
        }
    }
    XIFreeDeviceInfo(devices);

    unsigned char bits[XIMaskLen(XI_LASTEVENT)] = {};
    XISetMask(bits, XI_RawKeyPress);
    XISetMask(bits, XI_RawKeyRelease);
    XIEventMask mask{XIAllMasterDevices, static_cast<int>(sizeof bits), bits};
    XISelectEvents(display_, DefaultRootWindow(display_), &mask, 1);
    XFlush(display_);

    notifier_ =
        std::make_unique<QSocketNotifier>(ConnectionNumber(display_), QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] { drain(); });
}

ModifierMonitorXInput2::~ModifierMonitorXInput2() {
    notifier_.reset();
    if (display_) {
        XCloseDisplay(display_);
    }
}

void ModifierMonitorXInput2::addHandler(int id, std::function<void(const KeyEvent&)> handler) {
    handlers_[id] = std::move(handler);
}

void ModifierMonitorXInput2::removeHandler(int id) {
    handlers_.erase(id);
}

void ModifierMonitorXInput2::drain() {
    while (display_ && XPending(display_) > 0) {
        XEvent event;
        XNextEvent(display_, &event);
        XGenericEventCookie* cookie = &event.xcookie;
        if (cookie->type != GenericEvent || cookie->extension != xiOpcode_ ||
            !XGetEventData(display_, cookie)) {
            continue;
        }
        if (cookie->evtype == XI_RawKeyPress || cookie->evtype == XI_RawKeyRelease) {
            const auto* raw = static_cast<const XIRawEvent*>(cookie->data);
            if (!xtestDevices_.count(raw->sourceid) && !xtestDevices_.count(raw->deviceid)) {
                keyChanged(raw->detail, cookie->evtype == XI_RawKeyPress);
            }
        }
        XFreeEventData(display_, cookie);
    }
}

void ModifierMonitorXInput2::keyChanged(int keycode, bool down) {
    const unsigned long keysym = XkbKeycodeToKeysym(display_, static_cast<KeyCode>(keycode), 0, 0);
    if (!isModifierKeysym(keysym)) {
        return;
    }
    // Only real changes count: a key repeating while held, or a release we already saw
    // (after our own release on the XTEST device), changes nothing.
    if (down ? !held_.emplace(keycode, keysym).second : held_.erase(keycode) == 0) {
        return;
    }
    const KeyEvent event{mapKeysym(keysym).keyCode, modifierFlags()};
    for (const auto& entry : handlers_) {
        // Looked up again when delivered: a monitor removed meanwhile hears nothing.
        deliver_([this, id = entry.first, event] {
            if (const auto it = handlers_.find(id); it != handlers_.end()) {
                it->second(event);
            }
        });
    }
}

uint64_t ModifierMonitorXInput2::modifierFlags() const {
    uint64_t flags = 0;
    for (const auto& [keycode, keysym] : held_) {
        flags |= mapKeysym(keysym).flag;
    }
    return flags;
}

std::vector<int> ModifierMonitorXInput2::heldModifierKeycodes() const {
    std::vector<int> keycodes;
    for (const auto& entry : held_) {
        keycodes.push_back(entry.first);
    }
    return keycodes;
}

}  // namespace lexoria
