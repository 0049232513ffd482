#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>

#include "TimerQueue.h"
#include "ports/RunLoop.h"

namespace lexoria {

// A main run loop on the standard library alone, for the command-line program: posted
// actions and timers run on the thread that calls run() or runOnce().
class RunLoopStd final : public RunLoop {
  public:
    RunLoopStd();
    ~RunLoopStd() override;

    double now() const override;
    std::shared_ptr<Timer> scheduleTimer(double interval, bool repeats,
                                         std::function<void()> action) override;
    void post(std::function<void()> action) override;
    void sleep(double seconds) override;
    void runOnce(double maxSeconds) override;
    void run() override;
    void stop() override;

  private:
    using Clock = std::chrono::steady_clock;

    // Takes the next runnable action, waiting until `deadline` at most.
    std::function<void()> next(Clock::time_point deadline);

    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::function<void()>> posted_;
    TimerQueue timers_;
    bool stopped_ = false;
    Clock::time_point start_;
};

}  // namespace lexoria
