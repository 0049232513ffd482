#include "PrimarySelectionX11.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <poll.h>

#include <chrono>
#include <climits>

namespace lexoria {

namespace {

// As long as Qt lets a selection's owner take to answer.
constexpr std::chrono::milliseconds kSelectionTimeout{5000};

using Deadline = std::chrono::steady_clock::time_point;

// Waits for the next event of `type` for `window`; false once `deadline` has passed.
bool nextEvent(Display* display, Window window, int type, Deadline deadline, XEvent& event) {
    while (!XCheckTypedWindowEvent(display, window, type, &event)) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            return false;
        }
        pollfd connection{ConnectionNumber(display), POLLIN, 0};
        ::poll(&connection, 1, static_cast<int>(left.count()));
    }
    return true;
}

// Takes the property off `window`: its type and bytes.
Atom takeProperty(Display* display, Window window, Atom property, std::string& bytes) {
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display, window, property, 0, LONG_MAX / 4, True, AnyPropertyType, &type,
                           &format, &count, &after, &data) != Success) {
        return None;
    }
    if (data) {
        bytes.assign(reinterpret_cast<const char*>(data), count * (format / 8));
        XFree(data);
    }
    return type;
}

std::string utf8OfLatin1(const std::string& latin1) {
    std::string utf8;
    for (const unsigned char c : latin1) {
        if (c < 0x80) {
            utf8 += static_cast<char>(c);
        } else {
            utf8 += static_cast<char>(0xC0 | (c >> 6));
            utf8 += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return utf8;
}

std::optional<std::string> primarySelection(Display* display, std::size_t maxBytes) {
    if (XGetSelectionOwner(display, XA_PRIMARY) == None) {
        return std::string();
    }
    const Window window =
        XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1, 1, 0, 0, 0);
    XSelectInput(display, window, PropertyChangeMask);
    const Atom property = XInternAtom(display, "LEXORIA_SELECTION", False);
    const Atom incremental = XInternAtom(display, "INCR", False);
    const Deadline deadline = std::chrono::steady_clock::now() + kSelectionTimeout;
    std::optional<std::string> text;
    for (const Atom target : {XInternAtom(display, "UTF8_STRING", False), XA_STRING}) {
        XConvertSelection(display, XA_PRIMARY, target, property, window, CurrentTime);
        XEvent event;
        if (!nextEvent(display, window, SelectionNotify, deadline, event)) {
            break;
        }
        if (event.xselection.property == None) {
            continue;  // not in this form
        }
        std::string bytes;
        Atom type = takeProperty(display, window, property, bytes);
        if (type == incremental) {
            // Big selections come in pieces, each after we took the one before; an
            // empty piece ends them.
            bytes.clear();
            for (std::string piece;;) {
                if (!nextEvent(display, window, PropertyNotify, deadline, event)) {
                    bytes.clear();
                    break;
                }
                if (event.xproperty.atom != property || event.xproperty.state != PropertyNewValue) {
                    continue;
                }
                piece.clear();
                const Atom pieceType = takeProperty(display, window, property, piece);
                if (pieceType == None) {
                    continue;  // the owner's announcement, taken already: no piece
                }
                type = pieceType;
                if (piece.empty()) {
                    text = std::move(bytes);
                    break;
                }
                bytes += piece;
                if (bytes.size() > maxBytes) {
                    text = std::move(bytes);  // too long to send: refused as such
                    break;
                }
            }
        } else {
            text = std::move(bytes);
        }
        // What came counts, not what was asked for: some owners answer every request
        // with the one form they have.
        if (text && type == XA_STRING) {
            text = utf8OfLatin1(*text);
        }
        break;
    }
    XDestroyWindow(display, window);
    return text;
}

}  // namespace

std::optional<std::string> primarySelectionX11(std::size_t maxBytes, std::string& error) {
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        error = "cannot open the display to read the selection from";
        return std::nullopt;
    }
    std::optional<std::string> text = primarySelection(display, maxBytes);
    XCloseDisplay(display);
    if (!text) {
        error = "the program that holds the selection did not hand it over";
    }
    return text;
}

}  // namespace lexoria
