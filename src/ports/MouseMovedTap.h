#pragma once

#include <functional>
#include <memory>

namespace lexoria {

// Event types as the capture code knows them.
inline constexpr int kMouseMovedEventType = 5;

// Where the events of a tap reach the main run loop.
class EventTapSource {
  public:
    virtual ~EventTapSource() = default;
    // Starts delivering the tap's events to the main run loop; adding it again changes
    // nothing.
    virtual void addToMainRunLoop() = 0;
    // Stops delivering, events already on their way included.
    virtual void removeFromMainRunLoop() = 0;
};

// A listen-only watch of the pointer's movements anywhere on the desktop. It never alters
// or swallows an event.
class EventTap {
  public:
    virtual ~EventTap() = default;
    // Null when the desktop cannot deliver the events.
    virtual std::shared_ptr<EventTapSource> createRunLoopSource() = 0;
};

class EventTaps {
  public:
    virtual ~EventTaps() = default;
    // `callback` gets the event type of each event, on the main run loop once the source
    // is added. Null when the tap cannot be made.
    virtual std::shared_ptr<EventTap> createMouseMovedTap(std::function<void(int)> callback) = 0;
};

}  // namespace lexoria
