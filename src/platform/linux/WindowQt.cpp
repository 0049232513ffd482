#include "WindowQt.h"

#include <QLayout>
#include <QWindow>

#include "ControlsQt.h"

namespace lexoria {

namespace {
QRect qrectOf(const Rect& rect) {
    return QRect(qRound(rect.x), qRound(rect.y), qRound(rect.width), qRound(rect.height));
}
}  // namespace

WindowQt::WindowQt(QWidget* window)
    : window_(window),
      mainWindow_(qobject_cast<QMainWindow*>(window)),
      blank_(new QWidget(window)),
      animation_(window, "geometry") {
    blank_->hide();
    animation_.setDuration(150);
    QObject::connect(&animation_, &QPropertyAnimation::finished, window_,
                     [this] { target_.reset(); });
}

QMargins WindowQt::frameMargins() const {
    const QRect outer = window_->frameGeometry();
    const QRect inner = window_->geometry();
    return QMargins(inner.left() - outer.left(), inner.top() - outer.top(),
                    outer.right() - inner.right(), outer.bottom() - inner.bottom());
}

Rect WindowQt::frame() const {
    if (target_) {
        return rectOf(target_->marginsAdded(frameMargins()));
    }
    return rectOf(window_->frameGeometry());
}

Rect WindowQt::contentRectForFrameRect(const Rect& frame) const {
    return rectOf(qrectOf(frame).marginsRemoved(frameMargins()));
}

Rect WindowQt::frameRectForContentRect(const Rect& content) const {
    return rectOf(qrectOf(content).marginsAdded(frameMargins()));
}

Rect WindowQt::contentViewFrame() const {
    // While an animation runs, the window is already taken to be the size it is heading for.
    const QSize size = target_ ? target_->size() : window_->size();
    QWidget* content = mainWindow_ ? mainWindow_->centralWidget() : nullptr;
    if (!content) {
        return Rect{0, 0, double(size.width()), double(size.height())};
    }
    // Qt lays a window out lazily; the toolbar's share must be known now.
    mainWindow_->layout()->activate();
    const int top = content->y();
    return Rect{0, double(top), double(size.width()), double(size.height() - top)};
}

void WindowQt::setContentView(View* view) {
    contentView_ = view;
    if (!mainWindow_) {
        return;
    }
    QWidget* page = blank_;
    if (const auto* backed = dynamic_cast<WidgetBacked*>(view)) {
        page = backed->widget();
    }
    if (QWidget* shown = mainWindow_->takeCentralWidget()) {
        // Kept, hidden, for the next switch; the window still owns it.
        shown->hide();
        shown->setParent(window_);
    }
    mainWindow_->setCentralWidget(page);
    page->show();
}

void WindowQt::setFrame(const Rect& frame, bool /*display*/, bool animate) {
    const QRect geometry = qrectOf(frame).marginsRemoved(frameMargins());
    animation_.stop();
    if (!animate || !window_->isVisible()) {
        target_.reset();
        window_->setGeometry(geometry);
        return;
    }
    target_ = geometry;
    animation_.setStartValue(window_->geometry());
    animation_.setEndValue(geometry);
    animation_.start();
}

void WindowQt::makeKeyAndOrderFront() {
    if (window_->isMinimized()) {
        window_->showNormal();
    }
    window_->show();
    window_->raise();
    window_->activateWindow();
}

void WindowQt::orderFront() {
    window_->show();
    window_->raise();
}

void WindowQt::setFlag(Qt::WindowType flag, bool on) {
    Qt::WindowFlags flags = window_->windowFlags();
    flags.setFlag(flag, on);
    if (flags == window_->windowFlags()) {
        return;
    }
    if (!window_->isVisible() || !window_->windowHandle()) {
        window_->setWindowFlags(flags);
        return;
    }
    // setWindowFlags on a shown widget hides it: change the native window instead.
    window_->overrideWindowFlags(flags);
    window_->windowHandle()->setFlags(flags);
}

void WindowQt::setLevel(WindowLevel level) {
    // X11 knows one layer above normal windows for a managed window; the levels above
    // floating all map onto it.
    setFlag(Qt::WindowStaysOnTopHint, level != WindowLevel::normal);
}

void WindowQt::setStyle(WindowStyle style) {
    setFlag(Qt::FramelessWindowHint, style == WindowStyle::borderlessResizable);
}

bool WindowQt::isVisible() const {
    return window_->isVisible() && !window_->isMinimized();
}

void WindowQt::miniaturize() {
    window_->showMinimized();
}

void WindowQt::close() {
    window_->hide();
}

}  // namespace lexoria
