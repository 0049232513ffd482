// The X11 keyboard adapters on a real X server: the user's keys arrive from a separate
// physical keyboard (the "Xvfb keyboard" device), ours from the XTEST device.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QProcess>
#include <string>
#include <vector>
// clang-format off
#include <X11/Xlib.h>
#include <X11/extensions/XInput.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
// clang-format on

#include "platform/linux/KeySenderXTest.h"
#include "platform/linux/ModifierMonitorXInput2.h"

namespace lexoria {
namespace {

// Runs the event loop until `done` holds, for at most `seconds`.
template <typename Predicate>
bool waitFor(Predicate done, double seconds = 10) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > seconds * 1000) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

// The program the user copies from, reporting the keys it receives.
class SelectionWindow {
  public:
    explicit SelectionWindow(QStringList arguments) {
        QObject::connect(&process_, &QProcess::readyReadStandardOutput, [this] {
            while (process_.canReadLine()) {
                lines_.push_back(process_.readLine().trimmed().toStdString());
            }
        });
        process_.start(LEXORIA_SELECTION_WINDOW, arguments);
        ready_ = waitFor([this] { return seen("ready"); });
    }
    ~SelectionWindow() {
        process_.kill();
        process_.waitForFinished(5000);
    }
    bool ready() const { return ready_; }
    bool seen(const std::string& line) const {
        return std::find(lines_.begin(), lines_.end(), line) != lines_.end();
    }
    std::vector<std::string> keys() const {
        std::vector<std::string> keys;
        for (const auto& line : lines_) {
            if (line.rfind("key ", 0) == 0) {
                keys.push_back(line);
            }
        }
        return keys;
    }

  private:
    QProcess process_;
    std::vector<std::string> lines_;
    bool ready_ = false;
};

class KeyboardX11 : public ::testing::Test {
  protected:
    void SetUp() override {
        driver_ = XOpenDisplay(nullptr);
        ASSERT_NE(driver_, nullptr);
        int count = 0;
        XDeviceInfo* devices = XListInputDevices(driver_, &count);
        for (int i = 0; i < count; ++i) {
            if (std::string(devices[i].name) == "Xvfb keyboard") {
                userKeyboard_ = XOpenDevice(driver_, devices[i].id);
            }
        }
        XFreeDeviceList(devices);
        ASSERT_NE(userKeyboard_, nullptr) << "no \"Xvfb keyboard\" device";
        monitor_.addHandler(1, [this](const KeyEvent& event) { events_.push_back(event); });
        ASSERT_TRUE(monitor_.isWatching());
    }
    void TearDown() override {
        if (userKeyboard_) {
            XCloseDevice(driver_, userKeyboard_);
        }
        XCloseDisplay(driver_);
    }

    // The user presses or releases a key on the physical keyboard.
    void user(KeySym keysym, bool down) {
        XTestFakeDeviceKeyEvent(driver_, userKeyboard_, XKeysymToKeycode(driver_, keysym), down,
                                nullptr, 0, CurrentTime);
        XFlush(driver_);
    }
    // A press and release of Shift that the monitor must report: everything sent before
    // it has been seen once it arrives.
    void roundTrip() {
        const std::size_t before = events_.size();
        user(XK_Shift_L, true);
        user(XK_Shift_L, false);
        ASSERT_TRUE(waitFor([&] { return events_.size() >= before + 2; }));
        events_.resize(before);
    }

    Display* driver_ = nullptr;
    XDevice* userKeyboard_ = nullptr;
    std::vector<KeyEvent> events_;
    ModifierMonitorXInput2 monitor_{nullptr, [](std::function<void()> action) { action(); }};
    KeySenderXTest sender_{monitor_, [](unsigned long) { return false; }};
};

TEST_F(KeyboardX11, HeldRightAltStaysOutOfTheCopyKeystroke) {
    SelectionWindow window({"selected words"});
    ASSERT_TRUE(window.ready());
    QApplication::clipboard()->setText("before");

    user(XK_Alt_R, true);
    ASSERT_TRUE(waitFor([&] { return !events_.empty(); }));
    EXPECT_EQ(events_[0].keyCode, keys::kRightOption);
    EXPECT_EQ(monitor_.modifierFlags(), keys::kOptionFlag);

    sender_.postCopy();
    ASSERT_TRUE(waitFor([&] { return window.seen("key c ctrl"); })) << window.keys().size();
    EXPECT_TRUE(waitFor([] { return QApplication::clipboard()->text() == "selected words"; }));
    // Our own keys are never the user's: no event, and the user still holds right Alt.
    roundTrip();
    EXPECT_EQ(events_.size(), 1u);
    EXPECT_EQ(monitor_.modifierFlags(), keys::kOptionFlag);

    user(XK_Alt_R, false);
    ASSERT_TRUE(waitFor([&] { return events_.size() == 2; }));
    EXPECT_EQ(events_[1].keyCode, keys::kRightOption);
    EXPECT_EQ(monitor_.modifierFlags(), 0u);
}

TEST_F(KeyboardX11, ControlAltHeldThroughACopyIsTwoChangesOnly) {
    SelectionWindow window({"text"});
    ASSERT_TRUE(window.ready());
    user(XK_Control_L, true);
    user(XK_Alt_L, true);
    ASSERT_TRUE(waitFor([&] { return events_.size() == 2; }));
    EXPECT_EQ(events_[1].modifierFlags, keys::kControlFlag | keys::kOptionFlag);

    sender_.postCopy();
    ASSERT_TRUE(waitFor([&] { return window.seen("key c ctrl"); }));
    roundTrip();
    // Released on our device, held on the user's: the state still says both are down.
    EXPECT_EQ(events_.size(), 2u);
    EXPECT_EQ(monitor_.modifierFlags(), keys::kControlFlag | keys::kOptionFlag);
    user(XK_Alt_L, false);
    user(XK_Control_L, false);
    ASSERT_TRUE(waitFor([&] { return events_.size() == 4; }));
}

TEST_F(KeyboardX11, TerminalsAreAskedWithControlShiftC) {
    SelectionWindow window({"-name", "xterm", "text"});
    ASSERT_TRUE(window.ready());
    EXPECT_EQ(sender_.focusedWindowClass().first, "xterm");
    sender_.postCopy();
    ASSERT_TRUE(waitFor([&] { return window.seen("key c ctrl+shift"); }));
    EXPECT_FALSE(window.seen("key c ctrl"));
}

}  // namespace
}  // namespace lexoria

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
