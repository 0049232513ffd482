#include "RunLoopVirtual.h"

#include <algorithm>
#include <cmath>

namespace lexoria::test {

class RunLoopVirtual::VirtualTimer final : public Timer {
  public:
    VirtualTimer(double due, double interval, bool repeats, std::function<void()> action,
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

std::shared_ptr<Timer> RunLoopVirtual::scheduleTimer(double interval, bool repeats,
                                                     std::function<void()> action) {
    auto timer = std::make_shared<VirtualTimer>(now_ + std::max(interval, 0.0), interval, repeats,
                                                std::move(action), sequence_++);
    timers_.push_back(timer);
    return timer;
}

void RunLoopVirtual::post(std::function<void()> action) {
    std::lock_guard lock(postedMutex_);
    posted_.push_back(std::move(action));
    postedArrived_.notify_all();
}

bool RunLoopVirtual::runPosted() {
    bool ran = false;
    for (;;) {
        std::function<void()> action;
        {
            std::lock_guard lock(postedMutex_);
            if (posted_.empty()) {
                return ran;
            }
            action = std::move(posted_.front());
            posted_.pop_front();
        }
        action();
        ran = true;
    }
}

std::shared_ptr<RunLoopVirtual::VirtualTimer> RunLoopVirtual::earliestDue(double limit) const {
    std::shared_ptr<VirtualTimer> best;
    for (const auto& timer : timers_) {
        if (!timer->valid || timer->due > limit + 1e-9) {
            continue;
        }
        if (!best || timer->due < best->due ||
            (timer->due == best->due && timer->order < best->order)) {
            best = timer;
        }
    }
    return best;
}

void RunLoopVirtual::fire(const std::shared_ptr<VirtualTimer>& timer) {
    now_ = std::max(now_, timer->due);
    if (timer->repeats && timer->interval > 0) {
        // Firings missed while the clock jumped are not made up.
        const double missed = std::floor((now_ - timer->due) / timer->interval + 1e-9);
        timer->due += (missed + 1) * timer->interval;
    } else {
        timer->valid = false;
    }
    timer->action();
    timers_.erase(
        std::remove_if(timers_.begin(), timers_.end(), [](const auto& t) { return !t->valid; }),
        timers_.end());
}

void RunLoopVirtual::advance(double seconds) {
    const double target = now_ + seconds;
    for (;;) {
        runPosted();
        const auto timer = earliestDue(target);
        if (!timer) {
            break;
        }
        fire(timer);
    }
    now_ = std::max(now_, target);
    runPosted();
}

void RunLoopVirtual::runOnce(double /*maxSeconds*/) {
    // What is ready now; the clock does not move.
    advance(0);
}

void RunLoopVirtual::run() {
    stopped_ = false;
    // One action at a time, each after a look at stop(), as the real loops do.
    while (!stopped_) {
        std::function<void()> action;
        {
            std::lock_guard lock(postedMutex_);
            if (!posted_.empty()) {
                action = std::move(posted_.front());
                posted_.pop_front();
            }
        }
        if (action) {
            action();
            continue;
        }
        const auto timer = earliestDue(INFINITY);
        if (!timer) {
            return;  // nothing can ever happen again
        }
        fire(timer);
    }
}

bool RunLoopVirtual::waitForPosted(std::chrono::milliseconds timeout) {
    {
        std::unique_lock lock(postedMutex_);
        if (!postedArrived_.wait_for(lock, timeout, [this] { return !posted_.empty(); })) {
            return false;
        }
    }
    return runPosted();
}

std::size_t RunLoopVirtual::scheduledTimers() const {
    return static_cast<std::size_t>(
        std::count_if(timers_.begin(), timers_.end(), [](const auto& t) { return t->valid; }));
}

}  // namespace lexoria::test
