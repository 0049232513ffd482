#include "platform/linux/AccessibilityAtspi.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <atspi/atspi.h>
#include <unistd.h>

#include <deque>

#include "platform/linux/AccessibleElementAtspi.h"

namespace lexoria {
namespace {

// A descent deeper than this is a loop in a program's tree.
constexpr int kMaxDepth = 64;

struct Ref {
    explicit Ref(AtspiAccessible* object = nullptr) : object(object) {}
    ~Ref() { reset(nullptr); }
    Ref(const Ref&) = delete;
    Ref& operator=(const Ref&) = delete;
    void reset(AtspiAccessible* other) {
        if (object != nullptr) {
            g_object_unref(object);
        }
        object = other;
    }
    AtspiAccessible* object;
};

void dropError(GError*& error) {
    if (error != nullptr) {
        g_error_free(error);
        error = nullptr;
    }
}

std::optional<long> windowPid(Display* display, Window window, Atom pidAtom) {
    Atom type = None;
    int format = 0;
    unsigned long items = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    std::optional<long> pid;
    if (XGetWindowProperty(display, window, pidAtom, 0, 1, False, XA_CARDINAL, &type, &format,
                           &items, &after, &data) == Success &&
        type == XA_CARDINAL && format == 32 && items == 1) {
        pid = *reinterpret_cast<long*>(data);
    }
    if (data != nullptr) {
        XFree(data);
    }
    return pid;
}

bool contains(AtspiAccessible* accessible, int x, int y) {
    AtspiComponent* component = atspi_accessible_get_component_iface(accessible);
    if (component == nullptr) {
        return false;
    }
    GError* error = nullptr;
    const bool inside = atspi_component_contains(component, x, y, ATSPI_COORD_TYPE_SCREEN, &error);
    dropError(error);
    g_object_unref(component);
    return inside;
}

AtspiAccessible* childAt(AtspiAccessible* accessible, int x, int y) {
    AtspiComponent* component = atspi_accessible_get_component_iface(accessible);
    if (component == nullptr) {
        return nullptr;
    }
    GError* error = nullptr;
    AtspiAccessible* child =
        atspi_component_get_accessible_at_point(component, x, y, ATSPI_COORD_TYPE_SCREEN, &error);
    dropError(error);
    g_object_unref(component);
    return child;
}

bool hasText(AtspiAccessible* accessible) {
    AtspiText* text = atspi_accessible_get_text_iface(accessible);
    if (text != nullptr) {
        g_object_unref(text);
    }
    return text != nullptr;
}

}  // namespace

AccessibilityAtspi::AccessibilityAtspi(Display* display, int timeoutMs) : display_(display) {
    // libatspi's cache stays on: with it off, a state change that a GTK program announces
    // in the middle of a call deadlocks the library.
    const int status = atspi_init();
    ready_ = status == 0 || status == 1;
    atspi_set_timeout(timeoutMs, timeoutMs * 4);
}

int AccessibilityAtspi::processAt(int x, int y) const {
    const Window root = DefaultRootWindow(display_);
    int localX = 0;
    int localY = 0;
    Window topLevel = None;
    if (!XTranslateCoordinates(display_, root, root, x, y, &localX, &localY, &topLevel) ||
        topLevel == None) {
        return 0;
    }
    // Under a window manager the top-level window is its frame: the program's own window,
    // the one with the process id, lies below it.
    const Atom pidAtom = XInternAtom(display_, "_NET_WM_PID", False);
    std::deque<std::pair<Window, int>> queue{{topLevel, 0}};
    while (!queue.empty()) {
        const auto [window, depth] = queue.front();
        queue.pop_front();
        if (const auto pid = windowPid(display_, window, pidAtom)) {
            return static_cast<int>(*pid);
        }
        Window rootReturn = None;
        Window parent = None;
        Window* children = nullptr;
        unsigned int count = 0;
        if (depth < 3 && XQueryTree(display_, window, &rootReturn, &parent, &children, &count)) {
            for (unsigned int i = 0; i < count; ++i) {
                queue.emplace_back(children[i], depth + 1);
            }
        }
        if (children != nullptr) {
            XFree(children);
        }
    }
    return 0;
}

std::shared_ptr<AccessibleElement> AccessibilityAtspi::elementAtPosition(float fx, float fy) {
    if (!ready_) {
        return nullptr;
    }
    // Take in what libatspi was sent meanwhile (its cache follows the programs' changes).
    // Inside a dispatching main loop that loop does it: iterating it here would run the
    // program's own timers in the middle of this query, and the query again from them.
    if (g_main_depth() == 0) {
        for (int i = 0; i < 1000 && g_main_context_iteration(nullptr, FALSE); ++i) {
        }
    }
    const int x = static_cast<int>(fx);
    const int y = static_cast<int>(fy);
    const int pid = processAt(x, y);
    // A call into our own process would wait on ourselves: our windows give no element.
    if (pid <= 0 || pid == getpid()) {
        return nullptr;
    }

    GError* error = nullptr;
    Ref desktop(atspi_get_desktop(0));
    if (desktop.object == nullptr) {
        return nullptr;
    }
    const int programs = atspi_accessible_get_child_count(desktop.object, &error);
    dropError(error);
    Ref application;
    for (int i = 0; i < programs && application.object == nullptr; ++i) {
        Ref candidate(atspi_accessible_get_child_at_index(desktop.object, i, &error));
        dropError(error);
        if (candidate.object == nullptr) {
            continue;
        }
        const guint candidatePid = atspi_accessible_get_process_id(candidate.object, &error);
        dropError(error);
        if (static_cast<int>(candidatePid) == pid) {
            application.reset(static_cast<AtspiAccessible*>(g_object_ref(candidate.object)));
        }
    }
    if (application.object == nullptr) {
        return nullptr;
    }
    gchar* toolkit = atspi_accessible_get_toolkit_name(application.object, &error);
    dropError(error);
    const TextOffsets offsets = toolkit != nullptr && g_str_has_prefix(toolkit, "Qt")
                                    ? TextOffsets::Utf16Units
                                    : TextOffsets::Characters;
    g_free(toolkit);

    // The program's window under the point, then the deepest element there.
    Ref found;
    const int windows = atspi_accessible_get_child_count(application.object, &error);
    dropError(error);
    for (int i = 0; i < windows && found.object == nullptr; ++i) {
        Ref window(atspi_accessible_get_child_at_index(application.object, i, &error));
        dropError(error);
        if (window.object != nullptr && contains(window.object, x, y)) {
            found.reset(static_cast<AtspiAccessible*>(g_object_ref(window.object)));
        }
    }
    if (found.object == nullptr) {
        return nullptr;
    }
    std::vector<AtspiAccessible*> path{static_cast<AtspiAccessible*>(g_object_ref(found.object))};
    for (int depth = 0; depth < kMaxDepth; ++depth) {
        AtspiAccessible* child = childAt(path.back(), x, y);
        if (child == nullptr || child == path.back()) {
            if (child != nullptr) {
                g_object_unref(child);
            }
            break;
        }
        path.push_back(child);
    }
    // The nearest element with a text: over a Qt text edit the descent ends on a filler
    // that has none.
    AtspiAccessible* chosen = path.back();
    for (auto it = path.rbegin(); it != path.rend(); ++it) {
        if (hasText(*it)) {
            chosen = *it;
            break;
        }
    }
    auto element = std::make_shared<AccessibleElementAtspi>(chosen, offsets);
    for (AtspiAccessible* step : path) {
        g_object_unref(step);
    }
    return element;
}

}  // namespace lexoria
