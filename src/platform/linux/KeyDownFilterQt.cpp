#include "KeyDownFilterQt.h"

#include <QApplication>
#include <QKeyEvent>

#include "KeyMapX11.h"

namespace lexoria {

KeyDownFilterQt::KeyDownFilterQt() {
    QCoreApplication::instance()->installEventFilter(this);
}

KeyDownFilterQt::~KeyDownFilterQt() {
    if (QCoreApplication::instance()) {
        QCoreApplication::instance()->removeEventFilter(this);
    }
}

void KeyDownFilterQt::addHandler(int id, std::function<KeyEvent(const KeyEvent&)> handler) {
    handlers_[id] = std::move(handler);
}

void KeyDownFilterQt::removeHandler(int id) {
    handlers_.erase(id);
}

bool KeyDownFilterQt::eventFilter(QObject* receiver, QEvent* event) {
    // Qt hands one key to the window, then to each widget up the tree: the window's copy
    // is the one key the user pressed. Keys meant for an alert are the alert's.
    if (event->type() != QEvent::KeyPress || !receiver->isWindowType() ||
        QApplication::activeModalWidget()) {
        return false;
    }
    const auto* key = static_cast<const QKeyEvent*>(event);
    // On X11 the native virtual key is the keysym of the key as pressed.
    KeyEvent mapped{mapKeysym(key->nativeVirtualKey()).keyCode, 0};
    // A copy: a handler may remove monitors.
    const auto handlers = handlers_;
    for (const auto& entry : handlers) {
        mapped = entry.second(mapped);
    }
    return false;
}

}  // namespace lexoria
