#pragma once

#include <map>

#include "CloseViewWidget.h"
#include "ControlsQt.h"

namespace lexoria {

// The close control. Qt sends enter and leave events for a widget's whole rectangle
// while it is hovered, so an area over the bounds needs no native counterpart; the areas
// are kept as the program installs them.
class CloseViewQt final : public ControlQt<CloseViewControl> {
  public:
    CloseViewQt(CloseViewWidget* view, RunLoopQt& runLoop);
    void setResizeAction(std::function<void()> action) override;
    int addTrackingArea(const Rect& rect, unsigned options) override;
    void removeTrackingArea(int area) override;

    struct Area {
        Rect rect;
        unsigned options = 0;
    };
    const std::map<int, Area>& trackingAreas() const { return areas_; }

  private:
    CloseViewWidget* view_;
    std::map<int, Area> areas_;
    int nextArea_ = 1;
};

}  // namespace lexoria
