#include "platform/linux/EventTapsXInput2.h"

#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>
#include <poll.h>
#include <unistd.h>

#include <atomic>
#include <thread>

namespace lexoria {
namespace {

// What the run loop's posted actions see: gone once the tap is.
struct Delivery {
    std::function<void(int)> callback;
    std::atomic<bool> pending{false};
    std::atomic<bool> on{false};
};

class TapXInput2 final : public EventTap,
                         public EventTapSource,
                         public std::enable_shared_from_this<TapXInput2> {
  public:
    TapXInput2(RunLoop& loop, Display* display, int wake[2], std::function<void(int)> callback)
        : loop_(loop), display_(display), delivery_(std::make_shared<Delivery>()) {
        wakeRead_ = wake[0];
        wakeWrite_ = wake[1];
        delivery_->callback = std::move(callback);
    }

    ~TapXInput2() override {
        if (reader_.joinable() && reader_.get_id() == std::this_thread::get_id()) {
            // Xlib ends the process from this thread when the display goes away.
            reader_.detach();
        } else if (reader_.joinable()) {
            const char stop = 0;
            [[maybe_unused]] const auto written = write(wakeWrite_, &stop, 1);
            reader_.join();
        }
        close(wakeRead_);
        close(wakeWrite_);
        XCloseDisplay(display_);
    }

    std::shared_ptr<EventTapSource> createRunLoopSource() override { return shared_from_this(); }

    // The connection stays open: adding the source again needs no new one.
    void removeFromMainRunLoop() override { delivery_->on = false; }

    void addToMainRunLoop() override {
        delivery_->on = true;
        if (!reader_.joinable()) {
            reader_ = std::thread([this] { read(); });
        }
    }

  private:
    void read() {
        pollfd watched[2] = {{ConnectionNumber(display_), POLLIN, 0}, {wakeRead_, POLLIN, 0}};
        for (;;) {
            while (XPending(display_) > 0) {
                XEvent event;
                XNextEvent(display_, &event);
                if (event.type == GenericEvent && event.xcookie.evtype == XI_RawMotion) {
                    deliver();
                }
            }
            if (poll(watched, 2, -1) < 0 || (watched[1].revents & POLLIN) != 0) {
                return;
            }
        }
    }

    void deliver() {
        if (!delivery_->on || delivery_->pending.exchange(true)) {
            return;
        }
        loop_.post([weak = std::weak_ptr<Delivery>(delivery_)] {
            if (const auto delivery = weak.lock()) {
                delivery->pending = false;
                if (delivery->on) {
                    delivery->callback(kMouseMovedEventType);
                }
            }
        });
    }

    RunLoop& loop_;
    Display* display_;
    int wakeRead_ = -1;
    int wakeWrite_ = -1;
    std::shared_ptr<Delivery> delivery_;
    std::thread reader_;
};

}  // namespace

std::shared_ptr<EventTap> EventTapsXInput2::createMouseMovedTap(std::function<void(int)> callback) {
    Display* display = XOpenDisplay(displayName_.empty() ? nullptr : displayName_.c_str());
    if (display == nullptr) {
        return nullptr;
    }
    int opcode = 0;
    int event = 0;
    int error = 0;
    int major = 2;
    int minor = 0;
    if (!XQueryExtension(display, "XInputExtension", &opcode, &event, &error) ||
        XIQueryVersion(display, &major, &minor) != Success) {
        XCloseDisplay(display);
        return nullptr;
    }
    unsigned char bits[XIMaskLen(XI_LASTEVENT)] = {};
    XISetMask(bits, XI_RawMotion);
    XIEventMask mask{XIAllMasterDevices, sizeof bits, bits};
    XISelectEvents(display, DefaultRootWindow(display), &mask, 1);
    XFlush(display);
    int wake[2];
    if (pipe(wake) != 0) {
        XCloseDisplay(display);
        return nullptr;
    }
    return std::make_shared<TapXInput2>(loop_, display, wake, std::move(callback));
}

}  // namespace lexoria
