#include "ApplicationQt.h"

#include <QApplication>

namespace lexoria {

ApplicationQt::ApplicationQt() {
    // Closing an alert or the main window must not end a program that lives in the tray.
    QApplication::setQuitOnLastWindowClosed(false);
}

void ApplicationQt::activateIgnoringOtherApps() {
    QWidget* front = nullptr;
    for (const QPointer<QWidget>& window : hidden_) {
        if (window) {
            window->show();
            front = window;
        }
    }
    hidden_.clear();
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (!front && window->isVisible() && window->isWindow()) {
            front = window;
        }
    }
    if (front) {
        front->raise();
        front->activateWindow();
    }
}

void ApplicationQt::hide() {
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->isVisible()) {
            hidden_.emplace_back(window);
            window->hide();
        }
    }
}

void ApplicationQt::terminate() {
    // Queued: a quit before the event loop runs would be lost, and terminate can come
    // during start-up.
    QMetaObject::invokeMethod(QCoreApplication::instance(), &QCoreApplication::quit,
                              Qt::QueuedConnection);
}

}  // namespace lexoria
