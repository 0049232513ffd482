#include "StatusBarQt.h"

#include <QFontDatabase>
#include <QPainter>

namespace lexoria {

QIcon iconOfTitle(const std::string& title) {
    QPixmap pixmap(64, 64);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    QFont font(QStringLiteral("Noto Color Emoji"));
    font.setPixelSize(52);
    painter.setFont(font);
    painter.drawText(pixmap.rect(), Qt::AlignCenter, QString::fromStdString(title));
    painter.end();
    return QIcon(pixmap);
}

StatusItemQt::StatusItemQt(RunLoopQt& runLoop, Application& application) : runLoop_(runLoop) {
    QObject::connect(menu_.addAction(QStringLiteral("Show")), &QAction::triggered, &menu_,
                     [this] { clicked(); });
    QObject::connect(
        menu_.addAction(QStringLiteral("Quit")), &QAction::triggered, &menu_,
        [this, &application] { runLoop_.deliver([&application] { application.terminate(); }); });
    icon_.setContextMenu(&menu_);
    QObject::connect(&icon_, &QSystemTrayIcon::activated, &menu_,
                     [this](QSystemTrayIcon::ActivationReason reason) {
                         if (reason == QSystemTrayIcon::Trigger) {
                             clicked();
                         }
                     });
}

void StatusItemQt::setTitle(const std::string& title) {
    icon_.setToolTip(QStringLiteral("Lexoria"));
    // Without a tray the program works from its window; showing would only warn, and
    // drawing the icon would load the colour emoji font for nothing.
    if (QSystemTrayIcon::isSystemTrayAvailable()) {
        icon_.setIcon(iconOfTitle(title));
        icon_.show();
    }
}

void StatusItemQt::clicked() {
    if (action_) {
        runLoop_.deliver([action = action_] { action(); });
    }
}

void StatusItemQt::remove() {
    icon_.hide();
}

std::shared_ptr<StatusItem> StatusBarQt::statusItemWithLength(double /*length*/) {
    return std::make_shared<StatusItemQt>(runLoop_, application_);
}

void StatusBarQt::removeStatusItem(const std::shared_ptr<StatusItem>& item) {
    if (auto* shown = dynamic_cast<StatusItemQt*>(item.get())) {
        shown->remove();
    }
}

}  // namespace lexoria
