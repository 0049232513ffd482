#include "WindowAdditions.h"

namespace lexoria {

namespace {

class BlankView final : public View {
  public:
    std::string identifier() const override { return "blankView"; }
    Rect frame() const override { return {}; }
};

}  // namespace

double toolbarHeight(const WindowGeometry& window) {
    return window.contentRectForFrameRect(window.frame()).height - window.contentViewFrame().height;
}

void resizeToSize(WindowGeometry& window, double width, double height) {
    const double contentHeight = height + toolbarHeight(window);
    Rect content = window.contentRectForFrameRect(window.frame());
    // y is the top edge here, so keeping it keeps the window's top where it was.
    content.height = contentHeight;
    content.width = width;
    window.setFrame(window.frameRectForContentRect(content), true, true);
}

void switchView(WindowGeometry& window, View& view) {
    if (window.contentView() == &view) {
        return;
    }
    // Measured with the blank view in place, so the old view's size plays no part.
    window.setContentView(&blankView());
    const Rect size = view.frame();
    resizeToSize(window, size.width, size.height);
    window.setContentView(&view);
}

View& blankView() {
    static BlankView shared;
    return shared;
}

}  // namespace lexoria
