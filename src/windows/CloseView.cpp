#include "CloseView.h"

namespace lexoria {

CloseView::CloseView(CloseViewControl& view, Application& application)
    : view_(view), application_(application) {
    view_.setAction([this] { mouseDown(); });
    view_.setResizeAction([this] { updateTrackingAreas(); });
}

CloseView::~CloseView() {
    view_.setAction({});
    view_.setResizeAction({});
}

void CloseView::mouseDown() {
    application_.hide();
}

void CloseView::updateTrackingAreas() {
    if (trackingArea_) {
        view_.removeTrackingArea(*trackingArea_);
    }
    trackingArea_ = view_.addTrackingArea(view_.bounds(), kTrackingOptions);
}

}  // namespace lexoria
