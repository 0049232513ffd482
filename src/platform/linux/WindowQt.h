#pragma once

#include <QMainWindow>
#include <QPropertyAnimation>
#include <QWidget>
#include <optional>

#include "ports/Controls.h"

namespace lexoria {

// A top-level window. A QMainWindow shows its content view below its toolbar; any other
// widget is all content.
class WindowQt final : public Window {
  public:
    explicit WindowQt(QWidget* window);

    Rect frame() const override;
    Rect contentRectForFrameRect(const Rect& frame) const override;
    Rect frameRectForContentRect(const Rect& content) const override;
    View* contentView() const override { return contentView_; }
    Rect contentViewFrame() const override;
    void setContentView(View* view) override;
    void setFrame(const Rect& frame, bool display, bool animate) override;

    void makeKeyAndOrderFront() override;
    void orderFront() override;
    void setLevel(WindowLevel level) override;
    void setStyle(WindowStyle style) override;
    bool isVisible() const override;
    void miniaturize() override;
    void close() override;

  private:
    // The desktop's frame around the window: left, top, right, bottom.
    QMargins frameMargins() const;
    void setFlag(Qt::WindowType flag, bool on);

    QWidget* window_;
    QMainWindow* mainWindow_;
    View* contentView_ = nullptr;
    // Stands in for views of no widget of their own (the blank view).
    QWidget* blank_;
    QPropertyAnimation animation_;
    std::optional<QRect> target_;
};

}  // namespace lexoria
