#pragma once

#include <QObject>
#include <QTimer>
#include <deque>
#include <mutex>

#include "TimerQueue.h"
#include "ports/RunLoop.h"

namespace lexoria {

// The main run loop on Qt's event loop. One precise QTimer wakes the loop for the
// earliest of its own timers, so the program's timers keep time and fire in scheduling
// order whatever Qt does with its own.
//
// While the loop sleeps or is held (an alert is up), the program's own work waits: its
// timers, posted actions and every callback the adapters deliver. The display is still
// served meanwhile, so other programs can read our clipboard and windows repaint.
class RunLoopQt final : public RunLoop {
  public:
    // Needs the QApplication to exist already.
    RunLoopQt();
    ~RunLoopQt() override;
    RunLoopQt(const RunLoopQt&) = delete;
    RunLoopQt& operator=(const RunLoopQt&) = delete;

    double now() const override;
    std::shared_ptr<Timer> scheduleTimer(double interval, bool repeats,
                                         std::function<void()> action) override;
    void post(std::function<void()> action) override;
    void sleep(double seconds) override;
    void runOnce(double maxSeconds) override;
    void run() override;
    void stop() override;

    // How every adapter hands an event of the desktop to the program: at once, or after
    // the sleep or hold that is on now ends, in arrival order.
    void deliver(std::function<void()> action);

    // Keeps the program's own work waiting until the matching release(); holds nest.
    void hold();
    void release();
    bool isHeld() const { return holds_ > 0; }

  private:
    // Runs what is ready, in order: posted and delivered actions first, then due timers.
    void drain();
    std::function<void()> takePosted();
    // Arms the one QTimer for the earliest timer still to come.
    void arm();
    // Runs drain() from the event loop soon, from any thread.
    void wake();

    QObject context_;
    QTimer wakeTimer_;
    TimerQueue timers_;
    std::mutex postedMutex_;
    std::deque<std::function<void()>> posted_;
    int holds_ = 0;
    bool stopping_ = false;
};

}  // namespace lexoria
