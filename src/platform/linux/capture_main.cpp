// lexoria-capture: prints each word the pointer comes to rest on, alone on its line, and
// "💡" each time the pointer arrives on an element marked with it.

#include <X11/Xlib.h>
#include <glib.h>
#include <signal.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>

#include "capture/MouseOver.h"
#include "capture/UIRun.h"
#include "platform/linux/AccessibilityAtspi.h"
#include "platform/linux/EventTapsXInput2.h"
#include "platform/linux/PointerX11.h"
#include "platform/linux/RunLoopStd.h"
#include "platform/linux/ScreensXRandR.h"

namespace {

class PrintLines final : public lexoria::RetrievedStringDelegate,
                         public lexoria::SendedStringDelegate {
  public:
    void retrivedString(const std::string& word) override { std::printf("%s\n", word.c_str()); }
    void sendString(const std::string& text) override { std::printf("%s\n", text.c_str()); }
};

// How often libatspi's D-Bus traffic is served while the pointer rests.
constexpr double kServeInterval = 0.05;

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1) {
        std::fprintf(stderr,
                     "usage: %s\nPrints the word under the resting pointer, one per line, and "
                     "\"💡\" when the pointer arrives on an element marked with it.\n",
                     argv[0]);
        return 2;
    }
    std::setvbuf(stdout, nullptr, _IOLBF, 0);

    // Termination signals are taken by a thread that ends the loop in order.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGHUP);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    XSetIOErrorHandler([](Display*) -> int {
        std::fprintf(stderr, "lexoria-capture: the X display went away\n");
        std::_Exit(1);
    });
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "lexoria-capture: cannot open the X display\n");
        return 1;
    }
    lexoria::RunLoopStd loop;
    lexoria::ScreensXRandR screens(display);
    lexoria::PointerX11 pointer(display);
    lexoria::AccessibilityAtspi accessibility(display);
    if (!accessibility.ready()) {
        std::fprintf(stderr, "lexoria-capture: the accessibility bus (AT-SPI) is not available\n");
        XCloseDisplay(display);
        return 1;
    }
    lexoria::EventTapsXInput2 taps(loop, DisplayString(display));

    // RunLoopStd knows nothing of GLib: libatspi's messages are served between queries too.
    const auto serve = loop.scheduleTimer(kServeInterval, true, [] {
        for (int i = 0; i < 100 && g_main_context_iteration(nullptr, FALSE); ++i) {
        }
    });

    const auto printer = std::make_shared<PrintLines>();
    auto& mouseOver = lexoria::MouseOver::instance({loop, screens, pointer, accessibility, taps});
    mouseOver.setDelegate(printer);
    mouseOver.enableMouseOver();
    const auto tracker =
        std::make_shared<lexoria::UIRun>(lexoria::UIRunHost{loop, screens, pointer, accessibility});
    tracker->setDelegate(printer);
    tracker->awakeFromNib();

    std::thread([&loop, &mouseOver, stopSignals] {
        int received = 0;
        sigwait(&stopSignals, &received);
        // The word polls follow each other without a gap, and each movement starts them
        // again: end both first, or the loop never comes round to stopping.
        loop.post([&loop, &mouseOver] {
            mouseOver.disableMouseOver();
            loop.stop();
        });
    }).detach();
    loop.run();
    serve->invalidate();
    mouseOver.stopMouseTimer();
    return 0;
}
