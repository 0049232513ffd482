#include "CloseViewQt.h"

namespace lexoria {

CloseViewQt::CloseViewQt(CloseViewWidget* view, RunLoopQt& runLoop)
    : ControlQt(view, runLoop), view_(view) {
    view_->onClick = [this] { userActed(); };
}

void CloseViewQt::setResizeAction(std::function<void()> action) {
    if (!action) {
        view_->onResize = nullptr;
        return;
    }
    // Qt also sends a resize before the view is first shown.
    view_->onResize = [this, action] { runLoop_.deliver(action); };
}

int CloseViewQt::addTrackingArea(const Rect& rect, unsigned options) {
    areas_[nextArea_] = Area{rect, options};
    view_->setAttribute(Qt::WA_Hover, true);
    return nextArea_++;
}

void CloseViewQt::removeTrackingArea(int area) {
    areas_.erase(area);
    view_->setAttribute(Qt::WA_Hover, !areas_.empty());
}

}  // namespace lexoria
