#include "CloseViewWidget.h"

#include <QMouseEvent>
#include <QPainter>

namespace lexoria {

void CloseViewWidget::setPattern(const QPixmap& pattern) {
    pattern_ = pattern;
    update();
}

void CloseViewWidget::paintEvent(QPaintEvent* event) {
    // Not scaled: a view the image's size shows it once, a larger one tiles it.
    QPainter painter(this);
    if (!pattern_.isNull()) {
        painter.drawTiledPixmap(event->rect(), pattern_, event->rect().topLeft());
    }
    QWidget::paintEvent(event);
}

void CloseViewWidget::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && onClick) {
        onClick();
        return;
    }
    QWidget::mousePressEvent(event);
}

void CloseViewWidget::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (onResize) {
        onResize();
    }
}

}  // namespace lexoria
