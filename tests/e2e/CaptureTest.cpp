// The capture code on a real X server with real Qt and GTK programs over AT-SPI. Runs
// under run-on-xvfb, which provides the display, the D-Bus session and the AT-SPI bus.

// Google Test and Qt before Xlib, whose macros (None, Bool) would break them.
#include <gtest/gtest.h>
#include <QApplication>
#include <QLineEdit>
// clang-format off
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <atspi/atspi.h>
// clang-format on
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "capture/MouseOver.h"
#include "capture/UIRun.h"
#include "platform/linux/AccessibilityAtspi.h"
#include "platform/linux/EventTapsXInput2.h"
#include "platform/linux/PointerX11.h"
#include "platform/linux/RunLoopStd.h"
#include "platform/linux/ScreensXRandR.h"

extern char** environ;

namespace lexoria {
namespace {

using Clock = std::chrono::steady_clock;
const char* const kSample = "foo-bar (baz) 😀word";
constexpr auto kBound = std::chrono::seconds(30);

pid_t spawn(std::vector<std::string> command, int output = -1) {
    std::vector<char*> argv;
    for (auto& part : command) {
        argv.push_back(part.data());
    }
    argv.push_back(nullptr);
    std::vector<std::string> environment{"QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1"};
    for (char** entry = environ; *entry != nullptr; ++entry) {
        environment.emplace_back(*entry);
    }
    std::vector<char*> envp;
    for (auto& entry : environment) {
        envp.push_back(entry.data());
    }
    envp.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (output >= 0) {
        posix_spawn_file_actions_adddup2(&actions, output, STDOUT_FILENO);
    }
    pid_t pid = 0;
    const int failed = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    return failed == 0 ? pid : -1;
}

// Serves libatspi's traffic until `done` holds or the bound passes.
bool waitFor(const std::function<bool()>& done, RunLoop* loop = nullptr) {
    const auto deadline = Clock::now() + kBound;
    while (Clock::now() < deadline) {
        while (g_main_context_iteration(nullptr, FALSE)) {
        }
        if (done()) {
            return true;
        }
        if (loop != nullptr) {
            loop->runOnce(0.02);
        } else {
            usleep(20000);
        }
    }
    return done();
}

AtspiAccessible* applicationOf(pid_t pid) {
    AtspiAccessible* desktop = atspi_get_desktop(0);
    AtspiAccessible* found = nullptr;
    const int count = atspi_accessible_get_child_count(desktop, nullptr);
    for (int i = 0; i < count && found == nullptr; ++i) {
        AtspiAccessible* app = atspi_accessible_get_child_at_index(desktop, i, nullptr);
        if (app != nullptr &&
            static_cast<pid_t>(atspi_accessible_get_process_id(app, nullptr)) == pid) {
            found = app;
        } else if (app != nullptr) {
            g_object_unref(app);
        }
    }
    g_object_unref(desktop);
    return found;
}

// The first element below `root` that `match` accepts (a reference the caller drops).
AtspiAccessible* findBelow(AtspiAccessible* root,
                           const std::function<bool(AtspiAccessible*)>& match, int depth = 0) {
    if (match(root)) {
        return static_cast<AtspiAccessible*>(g_object_ref(root));
    }
    const int count = depth > 12 ? 0 : atspi_accessible_get_child_count(root, nullptr);
    for (int i = 0; i < count; ++i) {
        AtspiAccessible* child = atspi_accessible_get_child_at_index(root, i, nullptr);
        if (child == nullptr) {
            continue;
        }
        AtspiAccessible* found = findBelow(child, match, depth + 1);
        g_object_unref(child);
        if (found != nullptr) {
            return found;
        }
    }
    return nullptr;
}

bool showsSample(AtspiAccessible* accessible) {
    AtspiText* text = atspi_accessible_get_text_iface(accessible);
    if (text == nullptr) {
        return false;
    }
    gchar* content = atspi_text_get_text(text, 0, -1, nullptr);
    const bool same = content != nullptr && std::string(content) == kSample;
    g_free(content);
    g_object_unref(text);
    return same;
}

bool namedMarker(AtspiAccessible* accessible) {
    gchar* name = atspi_accessible_get_name(accessible, nullptr);
    const bool marked = name != nullptr && std::string(name) == "💡";
    g_free(name);
    return marked;
}

Point centre(AtspiRect* rect) {
    const Point point{rect->x + rect->width / 2.0, rect->y + rect->height / 2.0};
    g_free(rect);
    return point;
}

// Where a program shows its sample text and its marked label.
struct TestWindow {
    const char* toolkit;
    std::vector<std::string> command;
    pid_t pid = -1;
    AtspiAccessible* text = nullptr;
    AtspiAccessible* marker = nullptr;

    // The middle of the character at `offset`, counted the program's way.
    Point character(int offset) const {
        AtspiText* iface = atspi_accessible_get_text_iface(text);
        const Point point = centre(
            atspi_text_get_character_extents(iface, offset, ATSPI_COORD_TYPE_SCREEN, nullptr));
        g_object_unref(iface);
        return point;
    }
    Point markerCentre() const {
        AtspiComponent* component = atspi_accessible_get_component_iface(marker);
        const Point point =
            centre(atspi_component_get_extents(component, ATSPI_COORD_TYPE_SCREEN, nullptr));
        g_object_unref(component);
        return point;
    }
};

class Words final : public RetrievedStringDelegate {
  public:
    void retrivedString(const std::string& word) override { words.push_back(word); }
    std::vector<std::string> words;
};

class Markers final : public SendedStringDelegate {
  public:
    void sendString(const std::string& text) override { sent.push_back(text); }
    std::vector<std::string> sent;
};

// Counts the element queries the tracker makes.
class CountingAccessibility final : public Accessibility {
  public:
    explicit CountingAccessibility(Accessibility& real) : real_(real) {}
    std::shared_ptr<AccessibleElement> elementAtPosition(float x, float y) override {
        ++queries;
        return real_.elementAtPosition(x, y);
    }
    int queries = 0;

  private:
    Accessibility& real_;
};

class CaptureOnTheDesktop : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        display = XOpenDisplay(nullptr);
        ASSERT_NE(display, nullptr) << "run this under run-on-xvfb";
        ASSERT_LE(atspi_init(), 1);
        for (auto* window : {&qt, &gtk}) {
            window->pid = spawn(window->command);
            ASSERT_GT(window->pid, 0) << window->toolkit;
        }
        for (auto* window : {&qt, &gtk}) {
            ASSERT_TRUE(waitFor([window] {
                AtspiAccessible* app = applicationOf(window->pid);
                if (app == nullptr) {
                    return false;
                }
                if (window->text == nullptr) {
                    window->text = findBelow(app, showsSample);
                }
                if (window->marker == nullptr) {
                    window->marker = findBelow(app, namedMarker);
                }
                g_object_unref(app);
                return window->text != nullptr && window->marker != nullptr;
            })) << window->toolkit
                << " window never showed its text over AT-SPI";
        }
    }

    static void TearDownTestSuite() {
        for (auto* window : {&qt, &gtk}) {
            if (window->pid > 0) {
                kill(window->pid, SIGTERM);
                waitpid(window->pid, nullptr, 0);
            }
        }
    }

    void movePointer(Point to) {
        XTestFakeMotionEvent(display, -1, static_cast<int>(to.x), static_cast<int>(to.y), 0);
        XFlush(display);
    }

    static Display* display;
    static TestWindow qt;
    static TestWindow gtk;

    RunLoopStd loop;
    ScreensXRandR screens{display};
    PointerX11 pointer{display};
    AccessibilityAtspi accessibility{display, 2000};
    EventTapsXInput2 taps{loop, DisplayString(display)};
};

Display* CaptureOnTheDesktop::display = nullptr;
TestWindow CaptureOnTheDesktop::qt{"Qt", {CAPTURE_WINDOW_QT, "0", "0"}};
TestWindow CaptureOnTheDesktop::gtk{"GTK", {GI_PYTHON, CAPTURE_WINDOW_GTK, "0", "400"}};

TEST_F(CaptureOnTheDesktop, ThePointerOnAWordDeliversItWithItsUtf16Position) {
    struct Row {
        TestWindow* window;
        int offset;  // the program's own count
        long units;
        const char* word;
    };
    const Row rows[] = {
        {&qt, 16, 16, "word"},  {&qt, 3, 3, "foo-bar"},  {&qt, 8, 8, "(baz"},
        {&gtk, 15, 16, "word"}, {&gtk, 3, 3, "foo-bar"}, {&gtk, 8, 8, "(baz"},
    };
    MouseOver mouseOver({loop, screens, pointer, accessibility, taps});
    const auto words = std::make_shared<Words>();
    mouseOver.setDelegate(words);
    mouseOver.enableMouseOver();
    for (const auto& row : rows) {
        const Point at = row.window->character(row.offset);
        movePointer(at);
        EXPECT_TRUE(waitFor(
            [&] { return !words->words.empty() && words->words.back() == row.word; }, &loop))
            << row.window->toolkit << " " << row.word << ": last word "
            << (words->words.empty() ? "(none)" : words->words.back());
        const auto element = accessibility.elementAtPosition(float(at.x), float(at.y));
        ASSERT_NE(element, nullptr) << row.window->toolkit;
        const auto range =
            element->copyParameterizedAttributeValue(ax::kRangeForPosition, AXValue::ofPoint(at));
        ASSERT_TRUE(range.has_value()) << row.window->toolkit;
        EXPECT_EQ(range->range.location, row.units) << row.window->toolkit << " " << row.word;
        std::printf("%s: pointer at (%.0f, %.0f) -> \"%s\" at UTF-16 position %ld\n",
                    row.window->toolkit, at.x, at.y,
                    words->words.empty() ? "" : words->words.back().c_str(), range->range.location);
    }
}

TEST_F(CaptureOnTheDesktop, ThePointerArrivingOnTheMarkedLabelSendsTheMarkerOnce) {
    // One count per tracker: a tracker polls as long as the loop lives.
    CountingAccessibility countings[] = {CountingAccessibility(accessibility),
                                         CountingAccessibility(accessibility)};
    for (auto* window : {&qt, &gtk}) {
        auto& counting = countings[window == &qt ? 0 : 1];
        const auto run = std::make_shared<UIRun>(UIRunHost{loop, screens, pointer, counting});
        const auto markers = std::make_shared<Markers>();
        run->setDelegate(markers);
        movePointer(window->character(0));
        run->awakeFromNib();

        const Point marker = window->markerCentre();
        movePointer(marker);
        EXPECT_TRUE(waitFor([&] { return markers->sent.size() == 1; }, &loop)) << window->toolkit;
        // Moving within the label asks again and sends nothing more: a notice would come
        // in the same poll.
        movePointer({marker.x + 1, marker.y});
        const int asked = counting.queries;
        EXPECT_TRUE(waitFor([&] { return counting.queries >= asked + 1; }, &loop));
        EXPECT_EQ(markers->sent, std::vector<std::string>{"💡"}) << window->toolkit;
        // Off and back on: one more.
        movePointer(window->character(0));
        EXPECT_TRUE(waitFor([&] { return counting.queries >= asked + 2; }, &loop));
        movePointer(marker);
        EXPECT_TRUE(waitFor([&] { return markers->sent.size() == 2; }, &loop)) << window->toolkit;
        std::printf("%s: marker notices %zu after on, within, off, on\n", window->toolkit,
                    markers->sent.size());
        run->setDelegate(nullptr);
    }
}

TEST_F(CaptureOnTheDesktop, TheCommandPrintsEachWordAndMarkerOnItsOwnLine) {
    int pipeEnds[2];
    ASSERT_EQ(pipe(pipeEnds), 0);
    const pid_t command = spawn({LEXORIA_CAPTURE}, pipeEnds[1]);
    close(pipeEnds[1]);
    ASSERT_GT(command, 0);

    std::string output;
    std::vector<std::string> lines;
    // Jiggles the pointer within the target (the command may not watch yet) until a line
    // arrives; each line must come as soon as it is printed.
    const auto lineAfterMovingTo = [&](Point target) {
        int step = 0;
        const size_t before = lines.size();
        const bool arrived = waitFor([&] {
            movePointer({target.x + (step++ % 2), target.y});
            pollfd readable{pipeEnds[0], POLLIN, 0};
            if (poll(&readable, 1, 100) > 0) {
                char buffer[256];
                const ssize_t got = read(pipeEnds[0], buffer, sizeof buffer);
                output.append(buffer, got > 0 ? static_cast<size_t>(got) : 0);
                for (size_t end; (end = output.find('\n')) != std::string::npos;) {
                    lines.push_back(output.substr(0, end));
                    output.erase(0, end + 1);
                }
            }
            return lines.size() > before;
        });
        return arrived ? lines.back() : std::string("(nothing)");
    };
    EXPECT_EQ(lineAfterMovingTo(gtk.character(15)), "word");
    EXPECT_EQ(lineAfterMovingTo(qt.character(3)), "foo-bar");
    EXPECT_EQ(lineAfterMovingTo(qt.markerCentre()), "💡");
    kill(command, SIGTERM);
    int status = 0;
    // The pointer keeps moving: each movement would start the word polls again.
    int step = 0;
    const bool ended = waitFor([&] {
        movePointer({100.0 + (step++ % 20), 300});
        return waitpid(command, &status, WNOHANG) == command;
    });
    if (!ended) {
        kill(command, SIGKILL);
        waitpid(command, &status, 0);
    }
    close(pipeEnds[0]);
    EXPECT_TRUE(ended && WIFEXITED(status) && WEXITSTATUS(status) == 0) << "ends on SIGTERM";
    for (const auto& line : lines) {
        std::printf("lexoria-capture printed: %s\n", line.c_str());
    }
}

// Last: the process stays on the accessibility bus after its window has gone.
TEST_F(CaptureOnTheDesktop, OurOwnWindowIsAnsweredAtOnce) {
    // A Qt window of this process, on the accessibility bus like any other program's.
    setenv("QT_LINUX_ACCESSIBILITY_ALWAYS_ON", "1", 1);
    int argc = 1;
    char name[] = "capture_e2e_tests";
    char* argv[] = {name, nullptr};
    QApplication application(argc, argv);
    QLineEdit own(QString::fromUtf8(kSample));
    own.setGeometry(600, 0, 300, 100);
    own.show();
    ASSERT_TRUE(waitFor([&] {
        QCoreApplication::processEvents();
        Window child = None;
        int x = 0;
        int y = 0;
        XTranslateCoordinates(display, DefaultRootWindow(display), DefaultRootWindow(display), 700,
                              50, &x, &y, &child);
        AtspiAccessible* registered = child == None ? nullptr : applicationOf(getpid());
        if (registered != nullptr) {
            g_object_unref(registered);
        }
        return registered != nullptr;
    })) << "our window never showed on the accessibility bus";

    const auto start = Clock::now();
    EXPECT_EQ(accessibility.elementAtPosition(700, 50), nullptr);
    const auto took = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    EXPECT_LT(took, 50.0);
    std::printf("own window answered in %.2f ms\n", took);
}

}  // namespace
}  // namespace lexoria
