// Starts a program on the current X display and reports, on one line:
//   "shown MS rss KIB"
// MS: milliseconds from just before exec to the first top-level window of at least
// 50x50 pixels mapped; KIB: the program's resident memory SECONDS after exec. Without a
// window manager every top-level window is a child of the root, so watching the root's
// map events sees it without polling.
//   startup_probe SECONDS COMMAND [ARGUMENTS...]
#include <X11/Xlib.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>

namespace {

long residentKib(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) {
            return std::strtol(line.c_str() + 6, nullptr, 10);
        }
    }
    return -1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: startup_probe SECONDS COMMAND [ARGUMENTS...]\n");
        return 2;
    }
    const double settle = std::strtod(argv[1], nullptr);
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "startup_probe: no X display\n");
        return 1;
    }
    const Window root = DefaultRootWindow(display);
    XSelectInput(display, root, SubstructureNotifyMask);
    XSync(display, False);

    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    const pid_t child = fork();
    if (child == 0) {
        execvp(argv[2], argv + 2);
        _exit(127);
    }
    double shownMs = -1;
    const int fd = ConnectionNumber(display);
    while (shownMs < 0 && Clock::now() - start < std::chrono::seconds(30)) {
        while (XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type != MapNotify || event.xmap.event != root) {
                continue;
            }
            XWindowAttributes attributes;
            if (XGetWindowAttributes(display, event.xmap.window, &attributes) != 0 &&
                attributes.width >= 50 && attributes.height >= 50) {
                shownMs = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
                break;
            }
        }
        if (shownMs < 0) {
            fd_set readable;
            FD_ZERO(&readable);
            FD_SET(fd, &readable);
            timeval wait{0, 100000};
            select(fd + 1, &readable, nullptr, nullptr, &wait);
        }
    }
    std::this_thread::sleep_until(start + std::chrono::duration<double>(settle));
    const long rss = residentKib(child);
    kill(child, SIGTERM);
    int status = 0;
    waitpid(child, &status, 0);
    std::printf("shown %.1f rss %ld\n", shownMs, rss);
    XCloseDisplay(display);
    return shownMs < 0 ? 1 : 0;
}
