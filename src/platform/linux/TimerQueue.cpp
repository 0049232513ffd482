#include "TimerQueue.h"

#include <algorithm>
#include <cmath>

namespace lexoria {

class TimerQueue::QueuedTimer final : public Timer {
  public:
    QueuedTimer(double due, double interval, bool repeats, std::function<void()> action,
                unsigned long long order)
        : due(due), interval(interval), repeats(repeats), action(std::move(action)), order(order) {}

    void invalidate() override { valid = false; }
    bool isValid() const override { return valid; }

    double due;
    double interval;
    bool repeats;
    std::function<void()> action;
    unsigned long long order;
    bool valid = true;
};

std::shared_ptr<Timer> TimerQueue::schedule(double now, double interval, bool repeats,
                                            std::function<void()> action) {
    interval = std::max(interval, 0.0);
    auto timer = std::make_shared<QueuedTimer>(now + interval, interval, repeats, std::move(action),
                                               sequence_++);
    timers_.push_back(timer);
    return timer;
}

void TimerQueue::dropInvalid() {
    std::erase_if(timers_, [](const auto& timer) { return !timer->valid; });
}

std::function<void()> TimerQueue::takeDue(double now) {
    dropInvalid();
    const auto earliest =
        std::min_element(timers_.begin(), timers_.end(), [](const auto& a, const auto& b) {
            return a->due != b->due ? a->due < b->due : a->order < b->order;
        });
    // A clock summed from steps lands a hair off the moment it was aimed at: a nanosecond
    // counts as on time.
    constexpr double kSlack = 1e-9;
    if (earliest == timers_.end() || (*earliest)->due > now + kSlack) {
        return {};
    }
    std::shared_ptr<QueuedTimer> timer = *earliest;
    if (timer->repeats && timer->interval > 0) {
        // The next firing is the first slot after now.
        const double missed = std::floor((now - timer->due) / timer->interval + kSlack);
        timer->due += (std::max(missed, 0.0) + 1) * timer->interval;
    } else {
        timer->valid = false;
    }
    // The timer stays alive while its action runs, even if the action drops the last
    // handle to it.
    return [timer] { timer->action(); };
}

std::optional<double> TimerQueue::nextDue() {
    dropInvalid();
    std::optional<double> due;
    for (const auto& timer : timers_) {
        if (!due || timer->due < *due) {
            due = timer->due;
        }
    }
    return due;
}

std::size_t TimerQueue::size() {
    dropInvalid();
    return timers_.size();
}

}  // namespace lexoria
