#pragma once

#include <QPixmap>
#include <QWidget>
#include <functional>

namespace lexoria {

// The close control of the borderless main window as the interface file places it: an
// image tiled over its area, and hooks for the click and every change of size.
class CloseViewWidget final : public QWidget {
  public:
    explicit CloseViewWidget(QWidget* parent = nullptr) : QWidget(parent) {}
    void setPattern(const QPixmap& pattern);
    const QPixmap& pattern() const { return pattern_; }
    std::function<void()> onClick;
    std::function<void()> onResize;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    QPixmap pattern_;
};

}  // namespace lexoria
