#include "RunLoopVirtual.h"

#include <algorithm>
#include <cmath>

namespace lexoria::test {

std::shared_ptr<Timer> RunLoopVirtual::scheduleTimer(double interval, bool repeats,
                                                     std::function<void()> action) {
    return timers_.schedule(now_, interval, repeats, std::move(action));
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

bool RunLoopVirtual::fireNext(double limit) {
    const auto due = timers_.nextDue();
    if (!due || *due > limit + 1e-9) {
        return false;
    }
    now_ = std::max(now_, *due);
    if (const auto action = timers_.takeDue(now_)) {
        action();
    }
    return true;
}

void RunLoopVirtual::advance(double seconds) {
    const double target = now_ + seconds;
    for (;;) {
        runPosted();
        if (!fireNext(target)) {
            break;
        }
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
        if (!fireNext(INFINITY)) {
            return;  // nothing can ever happen again
        }
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
    return timers_.size();
}

}  // namespace lexoria::test
