#include "RunLoopStd.h"

#include <algorithm>
#include <thread>

namespace lexoria {

namespace {
using Clock = std::chrono::steady_clock;
Clock::duration toDuration(double seconds) {
    return std::chrono::duration_cast<Clock::duration>(
        std::chrono::duration<double>(std::max(seconds, 0.0)));
}
}  // namespace

RunLoopStd::RunLoopStd() : start_(Clock::now()) {}

RunLoopStd::~RunLoopStd() = default;

double RunLoopStd::now() const {
    return std::chrono::duration<double>(Clock::now() - start_).count();
}

std::shared_ptr<Timer> RunLoopStd::scheduleTimer(double interval, bool repeats,
                                                 std::function<void()> action) {
    std::lock_guard lock(mutex_);
    auto timer = timers_.schedule(now(), interval, repeats, std::move(action));
    wake_.notify_all();
    return timer;
}

void RunLoopStd::post(std::function<void()> action) {
    std::lock_guard lock(mutex_);
    posted_.push_back(std::move(action));
    wake_.notify_all();
}

void RunLoopStd::sleep(double seconds) {
    std::this_thread::sleep_for(toDuration(seconds));
}

std::function<void()> RunLoopStd::next(Clock::time_point deadline) {
    std::unique_lock lock(mutex_);
    for (;;) {
        if (!posted_.empty()) {
            auto action = std::move(posted_.front());
            posted_.pop_front();
            return action;
        }
        if (auto action = timers_.takeDue(now())) {
            return action;
        }
        const Clock::time_point current = Clock::now();
        if (stopped_ || current >= deadline) {
            return {};
        }
        Clock::time_point wakeAt = deadline;
        if (const auto due = timers_.nextDue()) {
            wakeAt = std::min(wakeAt, start_ + toDuration(*due));
        }
        wake_.wait_until(lock, wakeAt);
    }
}

void RunLoopStd::runOnce(double maxSeconds) {
    const auto deadline = Clock::now() + toDuration(maxSeconds);
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
        {
            // Before every action: a timer that is always due must not hide a stop().
            std::lock_guard lock(mutex_);
            if (stopped_) {
                return;
            }
        }
        if (auto action = next(Clock::now() + std::chrono::hours(1))) {
            action();
        }
    }
}

void RunLoopStd::stop() {
    std::lock_guard lock(mutex_);
    stopped_ = true;
    wake_.notify_all();
}

}  // namespace lexoria
