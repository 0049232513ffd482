#include "RunLoopStd.h"

#include <algorithm>
#include <thread>

namespace lexoria {

class RunLoopStd::StdTimer final : public Timer {
  public:
    StdTimer(Clock::time_point due, Clock::duration interval, bool repeats,
             std::function<void()> action, unsigned long long order)
        : due(due), interval(interval), repeats(repeats), action(std::move(action)), order(order) {}

    void invalidate() override { valid = false; }
    bool isValid() const override { return valid; }

    Clock::time_point due;
    Clock::duration interval;
    bool repeats;
    std::function<void()> action;
    unsigned long long order;
    bool valid = true;
};

RunLoopStd::RunLoopStd() : start_(Clock::now()) {}

RunLoopStd::~RunLoopStd() = default;

double RunLoopStd::now() const {
    return std::chrono::duration<double>(Clock::now() - start_).count();
}

std::shared_ptr<Timer> RunLoopStd::scheduleTimer(double interval, bool repeats,
                                                 std::function<void()> action) {
    const auto step = std::chrono::duration_cast<Clock::duration>(
        std::chrono::duration<double>(std::max(interval, 0.0)));
    std::lock_guard lock(mutex_);
    auto timer = std::make_shared<StdTimer>(Clock::now() + step, step, repeats, std::move(action),
                                            sequence_++);
    timers_.push_back(timer);
    wake_.notify_all();
    return timer;
}

void RunLoopStd::post(std::function<void()> action) {
    std::lock_guard lock(mutex_);
    posted_.push_back(std::move(action));
    wake_.notify_all();
}

void RunLoopStd::sleep(double seconds) {
    std::this_thread::sleep_for(std::chrono::duration<double>(std::max(seconds, 0.0)));
}

std::function<void()> RunLoopStd::next(Clock::time_point deadline) {
    std::unique_lock lock(mutex_);
    for (;;) {
        timers_.erase(
            std::remove_if(timers_.begin(), timers_.end(), [](const auto& t) { return !t->valid; }),
            timers_.end());
        if (!posted_.empty()) {
            auto action = std::move(posted_.front());
            posted_.pop_front();
            return action;
        }
        const auto earliest =
            std::min_element(timers_.begin(), timers_.end(), [](const auto& a, const auto& b) {
                return a->due != b->due ? a->due < b->due : a->order < b->order;
            });
        const Clock::time_point now = Clock::now();
        if (earliest != timers_.end() && (*earliest)->due <= now) {
            std::shared_ptr<StdTimer> timer = *earliest;
            if (timer->repeats && timer->interval > Clock::duration::zero()) {
                // Missed firings are not made up: the next one is the first future slot.
                while (timer->due <= now) {
                    timer->due += timer->interval;
                }
            } else {
                timer->valid = false;
            }
            return [timer] { timer->action(); };
        }
        if (stopped_ || now >= deadline) {
            return {};
        }
        Clock::time_point wakeAt = deadline;
        if (earliest != timers_.end()) {
            wakeAt = std::min(wakeAt, (*earliest)->due);
        }
        wake_.wait_until(lock, wakeAt);
    }
}

void RunLoopStd::runOnce(double maxSeconds) {
    const auto deadline =
        Clock::now() + std::chrono::duration_cast<Clock::duration>(
                           std::chrono::duration<double>(std::max(maxSeconds, 0.0)));
    // Only what is ready: next() with a deadline of now never waits.
    while (Clock::now() < deadline) {
        auto action = next(Clock::now());
        if (!action) {
            return;
        }
        action();
    }
}

void RunLoopStd::run() {
    {
        std::lock_guard lock(mutex_);
        stopped_ = false;
    }
    for (;;) {
        if (auto action = next(Clock::now() + std::chrono::hours(1))) {
            action();
            continue;
        }
        std::lock_guard lock(mutex_);
        if (stopped_) {
            return;
        }
    }
}

void RunLoopStd::stop() {
    std::lock_guard lock(mutex_);
    stopped_ = true;
    wake_.notify_all();
}

}  // namespace lexoria
