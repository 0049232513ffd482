// Presses and releases keys on the "Xvfb keyboard" device, a keyboard of its own as a
// user's would be (the XTEST device is the program's), and moves the pointer:
//     press_keys Alt_R:down Alt_R:up move:120,30 ...
// On standard output, "sent T": T the monotonic clock's seconds as the keys went out.
#include <X11/Xlib.h>
#include <X11/extensions/XInput.h>
#include <X11/extensions/XTest.h>

#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>

int main(int argc, char** argv) {
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "press_keys: no display\n");
        return 1;
    }
    XDevice* keyboard = nullptr;
    int count = 0;
    XDeviceInfo* devices = XListInputDevices(display, &count);
    for (int i = 0; i < count; ++i) {
        if (std::strcmp(devices[i].name, "Xvfb keyboard") == 0) {
            keyboard = XOpenDevice(display, devices[i].id);
        }
    }
    XFreeDeviceList(devices);
    if (!keyboard) {
        std::fprintf(stderr, "press_keys: no \"Xvfb keyboard\" device\n");
        return 1;
    }
    timespec sent{};
    clock_gettime(CLOCK_MONOTONIC, &sent);
    for (int i = 1; i < argc; ++i) {
        const std::string step = argv[i];
        int x = 0, y = 0;
        if (std::sscanf(argv[i], "move:%d,%d", &x, &y) == 2) {
            XTestFakeMotionEvent(display, -1, x, y, CurrentTime);
            continue;
        }
        const auto colon = step.find(':');
        const KeySym keysym = XStringToKeysym(step.substr(0, colon).c_str());
        if (keysym == NoSymbol || colon == std::string::npos) {
            std::fprintf(stderr, "press_keys: not KEYSYM:down or KEYSYM:up: %s\n", argv[i]);
            return 2;
        }
        XTestFakeDeviceKeyEvent(display, keyboard, XKeysymToKeycode(display, keysym),
                                step.substr(colon + 1) == "down", nullptr, 0, CurrentTime);
    }
    XSync(display, False);
    std::printf("sent %.6f\n", static_cast<double>(sent.tv_sec) + sent.tv_nsec / 1e9);
    XCloseDevice(display, keyboard);
    XCloseDisplay(display);
    return 0;
}
