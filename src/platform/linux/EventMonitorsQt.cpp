#include "EventMonitorsQt.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

#include "ModifierMonitorXInput2.h"

namespace lexoria {

uint64_t modifierFlagsOf(Qt::KeyboardModifiers modifiers) {
    uint64_t flags = 0;
    if (modifiers & Qt::ControlModifier) {
        flags |= keys::kControlFlag;
    }
    if (modifiers & Qt::AltModifier) {
        flags |= keys::kOptionFlag;
    }
    // Super, the key beside Alt that plays Command's part.
    if (modifiers & Qt::MetaModifier) {
        flags |= keys::kCommandFlag;
    }
    return flags;
}

uint16_t keyCodeOf(int qtKey) {
    switch (qtKey) {
        case Qt::Key_A:
            return keys::kA;
        case Qt::Key_C:
            return keys::kC;
        case Qt::Key_Escape:
            return keys::kEscape;
        default:
            return keys::kUnknown;
    }
}

EventMonitorsQt::EventMonitorsQt(RunLoopQt& runLoop, ModifierMonitorXInput2* desktopKeys)
    : runLoop_(runLoop), desktopKeys_(desktopKeys) {
    QApplication::instance()->installEventFilter(this);
}

EventMonitorsQt::~EventMonitorsQt() {
    if (QApplication::instance()) {
        QApplication::instance()->removeEventFilter(this);
    }
}

int EventMonitorsQt::addGlobalFlagsChangedMonitor(std::function<void(const KeyEvent&)> handler) {
    if (desktopKeys_) {
        desktopKeys_->addHandler(next_, std::move(handler));
    } else {
        global_[next_] = std::move(handler);
    }
    return next_++;
}

int EventMonitorsQt::addLocalKeyDownMonitor(std::function<KeyEvent(const KeyEvent&)> handler) {
    local_[next_] = std::move(handler);
    return next_++;
}

void EventMonitorsQt::removeMonitor(int monitor) {
    local_.erase(monitor);
    global_.erase(monitor);
    if (desktopKeys_) {
        desktopKeys_->removeHandler(monitor);
    }
}

bool EventMonitorsQt::eventFilter(QObject* watched, QEvent* event) {
    // A key reaches the widget with the focus once; the windows above it only see it
    // propagate. An alert's keys are the alert's, and it holds the loop.
    if (event->type() != QEvent::KeyPress || local_.empty() || runLoop_.isHeld() ||
        watched != QApplication::focusWidget()) {
        return false;
    }
    const auto* key = static_cast<QKeyEvent*>(event);
    switch (key->key()) {
        // Modifier keys alone are flag changes, not key presses.
        case Qt::Key_Shift:
        case Qt::Key_Control:
        case Qt::Key_Alt:
        case Qt::Key_AltGr:
        case Qt::Key_Meta:
        case Qt::Key_Super_L:
        case Qt::Key_Super_R:
        case Qt::Key_Hyper_L:
        case Qt::Key_Hyper_R:
        case Qt::Key_CapsLock:
            return false;
        default:
            break;
    }
    const KeyEvent seen{keyCodeOf(key->key()), modifierFlagsOf(key->modifiers())};
    // The handlers run before the key is handled, as the text view has not yet changed.
    const auto handlers = local_;
    for (const auto& [number, handler] : handlers) {
        handler(seen);
    }
    return false;
}

}  // namespace lexoria
