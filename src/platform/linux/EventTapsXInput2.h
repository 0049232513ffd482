#pragma once

#include <string>

#include "ports/MouseMovedTap.h"
#include "ports/RunLoop.h"

namespace lexoria {

// Pointer movements anywhere on the X display, from XInput2 raw motion: they arrive
// whichever window has the pointer or a grab. Each tap reads its own connection on a
// thread of its own and hands the events to the main run loop, several movements that
// arrive before the loop gets to them as one.
class EventTapsXInput2 final : public EventTaps {
  public:
    EventTapsXInput2(RunLoop& loop, std::string displayName)
        : loop_(loop), displayName_(std::move(displayName)) {}
    std::shared_ptr<EventTap> createMouseMovedTap(std::function<void(int)> callback) override;

  private:
    RunLoop& loop_;
    std::string displayName_;
};

}  // namespace lexoria
