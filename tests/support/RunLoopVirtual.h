#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <vector>

#include "platform/linux/TimerQueue.h"
#include "ports/RunLoop.h"

namespace lexoria::test {

// A run loop on a virtual clock. Nothing happens until the test moves time with
// advance(); a blocking sleep() moves the clock without firing anything, so timers that
// fell due meanwhile fire at the next advance(), in time order.
class RunLoopVirtual final : public RunLoop {
  public:
    double now() const override { return now_; }
    std::shared_ptr<Timer> scheduleTimer(double interval, bool repeats,
                                         std::function<void()> action) override;
    void post(std::function<void()> action) override;
    void sleep(double seconds) override { now_ += seconds; }
    void runOnce(double maxSeconds) override;
    void run() override;
    void stop() override { stopped_ = true; }

    // Moves the clock by `seconds`, running posted actions and firing every timer that
    // falls due on the way, each at its own moment.
    void advance(double seconds);
    // Waits in real time (at most `timeout`) until some thread has posted an action,
    // then runs the posted actions. False when nothing arrived.
    bool waitForPosted(std::chrono::milliseconds timeout);
    // Timers that are still scheduled.
    std::size_t scheduledTimers() const;

  private:
    bool runPosted();
    // Fires the earliest timer due by `limit`, moving the clock to its moment; false when
    // none is.
    bool fireNext(double limit);

    double now_ = 0.0;
    bool stopped_ = false;
    mutable TimerQueue timers_;
    std::mutex postedMutex_;
    std::condition_variable postedArrived_;
    std::deque<std::function<void()>> posted_;
};

}  // namespace lexoria::test
