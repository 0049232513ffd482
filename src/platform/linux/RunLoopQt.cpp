#include "RunLoopQt.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <algorithm>
#include <chrono>
#include <cmath>

namespace lexoria {

RunLoopQt::RunLoopQt() {
    wakeTimer_.setSingleShot(true);
    // Coarse timers may fire 5 % late, which would stretch every pause of the program.
    wakeTimer_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&wakeTimer_, &QTimer::timeout, &context_, [this] { drain(); });
}

RunLoopQt::~RunLoopQt() = default;

double RunLoopQt::now() const {
    // The system's monotonic clock itself: the trace's times then compare with other
    // programs' (a bench pressing keys, a server answering).
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

std::shared_ptr<Timer> RunLoopQt::scheduleTimer(double interval, bool repeats,
                                                std::function<void()> action) {
    auto timer = timers_.schedule(now(), interval, repeats, std::move(action));
    arm();
    return timer;
}

void RunLoopQt::post(std::function<void()> action) {
    {
        std::lock_guard lock(postedMutex_);
        posted_.push_back(std::move(action));
    }
    wake();
}

void RunLoopQt::deliver(std::function<void()> action) {
    if (isHeld()) {
        post(std::move(action));
    } else {
        action();
    }
}

void RunLoopQt::wake() {
    // A queued call runs on the loop's thread whichever thread asks.
    QMetaObject::invokeMethod(
        &context_, [this] { drain(); }, Qt::QueuedConnection);
}

void RunLoopQt::hold() {
    ++holds_;
}

void RunLoopQt::release() {
    if (holds_ > 0 && --holds_ == 0) {
        wake();
    }
}

void RunLoopQt::sleep(double seconds) {
    hold();
    const double deadline = now() + std::max(seconds, 0.0);
    // Keep serving the display: an X11 clipboard owner rejects a request that waited
    // behind a blocked loop, so a read after a plain sleep finds nothing.
    for (double left = deadline - now(); left > 0; left = deadline - now()) {
        QEventLoop nested;
        QTimer::singleShot(static_cast<int>(std::ceil(left * 1000)), Qt::PreciseTimer, &nested,
                           &QEventLoop::quit);
        nested.exec(QEventLoop::ExcludeUserInputEvents);
    }
    release();
}

std::function<void()> RunLoopQt::takePosted() {
    std::lock_guard lock(postedMutex_);
    if (posted_.empty()) {
        return {};
    }
    auto action = std::move(posted_.front());
    posted_.pop_front();
    return action;
}

void RunLoopQt::drain() {
    // What is ready now and no more: a timer due again at once, or an action that posts
    // another, waits for the next turn of the event loop. Otherwise the display would go
    // unserved and a stop() would never get through.
    const double start = now();
    std::size_t posted = 0;
    {
        std::lock_guard lock(postedMutex_);
        posted = posted_.size();
    }
    while (!isHeld() && !stopping_) {
        std::function<void()> action;
        if (posted > 0) {
            --posted;
            action = takePosted();
        }
        if (!action) {
            action = timers_.takeDue(start);
        }
        if (!action) {
            arm();
            return;
        }
        action();
    }
    // Held or stopping: release() or the next run() wakes the loop again.
    wakeTimer_.stop();
}

void RunLoopQt::arm() {
    const auto due = timers_.nextDue();
    if (!due) {
        wakeTimer_.stop();
        return;
    }
    const double wait = std::max(*due - now(), 0.0);
    wakeTimer_.start(static_cast<int>(std::ceil(wait * 1000)));
}

void RunLoopQt::runOnce(double maxSeconds) {
    QCoreApplication::processEvents(QEventLoop::AllEvents,
                                    static_cast<int>(std::max(maxSeconds, 0.0) * 1000));
    drain();
}

void RunLoopQt::run() {
    wake();  // what fell due since a stop waits for this
    QCoreApplication::exec();
    stopping_ = false;
}

void RunLoopQt::stop() {
    // Nothing more of the program's work runs in this run(), however much is due.
    stopping_ = true;
    // Queued, so that a stop before the loop runs still ends it.
    QMetaObject::invokeMethod(QCoreApplication::instance(), &QCoreApplication::quit,
                              Qt::QueuedConnection);
}

}  // namespace lexoria
