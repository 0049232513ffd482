#pragma once

#include <optional>

#include "ports/Application.h"
#include "ports/Controls.h"

namespace lexoria {

// The close control of the borderless main window: a click hides the whole application
// (its timers go on), and one area that follows the pointer always covers its bounds.
class CloseView {
  public:
    // Entered-and-exited events, always active.
    static constexpr unsigned kTrackingOptions = 129;

    CloseView(CloseViewControl& view, Application& application);
    ~CloseView();
    CloseView(const CloseView&) = delete;
    CloseView& operator=(const CloseView&) = delete;

    void mouseDown();
    // Replaces the installed area by one over the view's current bounds.
    void updateTrackingAreas();

  private:
    CloseViewControl& view_;
    Application& application_;
    std::optional<int> trackingArea_;
};

}  // namespace lexoria
