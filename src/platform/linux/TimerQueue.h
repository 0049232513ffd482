#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "ports/RunLoop.h"

namespace lexoria {

// The timers of a run loop, on that loop's clock in seconds. Timers due at the same
// moment come out in scheduling order; a repeating timer that fell behind fires once
// and then keeps its rhythm (missed firings are not made up). Not thread-safe: its loop
// guards it.
class TimerQueue {
  public:
    std::shared_ptr<Timer> schedule(double now, double interval, bool repeats,
                                    std::function<void()> action);
    // The action of the earliest timer due at `now`, with the timer already moved on to
    // its next firing or retired; empty when none is due.
    std::function<void()> takeDue(double now);
    // When the earliest live timer falls due; absent when none is scheduled.
    std::optional<double> nextDue();
    std::size_t size();

  private:
    class QueuedTimer;
    void dropInvalid();

    std::vector<std::shared_ptr<QueuedTimer>> timers_;
    unsigned long long sequence_ = 0;
};

}  // namespace lexoria
