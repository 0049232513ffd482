#pragma once

#include <functional>
#include <memory>

namespace lexoria {

// A scheduled action of the main run loop. The loop keeps a timer alive until it is
// invalidated (a repeating one) or has fired (a one-shot one); dropping the handle does
// not stop it.
class Timer {
  public:
    virtual ~Timer() = default;

    virtual void invalidate() = 0;
    virtual bool isValid() const = 0;
};

// The main thread's event loop. Everything but post() is called on the main thread.
class RunLoop {
  public:
    virtual ~RunLoop() = default;

    // Seconds on this loop's clock (only differences mean anything).
    virtual double now() const = 0;

    // Fires `action` on the loop after `interval` seconds, and every `interval` seconds
    // after that while `repeats`. Timers due at the same moment fire in scheduling order.
    virtual std::shared_ptr<Timer> scheduleTimer(double interval, bool repeats,
                                                 std::function<void()> action) = 0;

    // Runs `action` on the loop as soon as it gets there. Safe to call from any thread.
    virtual void post(std::function<void()> action) = 0;

    // Blocks the program's own work: none of its timers, posted actions or monitor and
    // control callbacks runs meanwhile (those that fall due run afterwards, in time order),
    // while the desktop connection goes on being served (other programs can still read the
    // clipboard the program owns).
    virtual void sleep(double seconds) = 0;

    // Handles the posted actions and due timers that are ready now, for at most
    // `maxSeconds`; an idle loop returns at once rather than wait for input.
    virtual void runOnce(double maxSeconds) = 0;

    // Runs until stop() is called.
    virtual void run() = 0;
    virtual void stop() = 0;
};

}  // namespace lexoria
