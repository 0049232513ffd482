#include <gtest/gtest.h>

#include "AppHarness.h"

namespace lexoria {
namespace {

using test::AppHarness;
namespace k = keys;

class Shortcuts : public ::testing::Test, protected AppHarness {
  protected:
    Shortcuts() {
        defaults.values = {{"rirstrun", "(null)"},
                           {"autoDetectLang", "0"},
                           {"leftSim", "en"},
                           {"rightLangKey", "German"}};
        pasteboard.text = "old clipboard";
        keyboard.onCopy = [this] { pasteboard.text = selection; };
        started();
        loop.advance(0);
    }
    void choose(const std::string& title) { ui.choiseShortcuts.selectItemWithTitle(title); }
    // Every gesture that fired asked for one copy.
    std::size_t triggers() const { return static_cast<std::size_t>(keyboard.copies); }
    void press(uint16_t key, uint64_t flag = 0) { keyboard.modifier(key, true, flag); }
    void release(uint16_t key, uint64_t flag = 0) { keyboard.modifier(key, false, flag); }

    std::string selection = "selected words";
};

TEST_F(Shortcuts, FnFiresOnTheRelease) {
    choose("Fn");
    press(k::kFunction);
    EXPECT_EQ(triggers(), 0u);
    release(k::kFunction);
    EXPECT_EQ(triggers(), 1u);
    EXPECT_EQ(app().oldPasteboard(), "selected words");
    EXPECT_EQ(secure.lastRequest()->target, "/?langpair=en%7Cde&text=selected%20words");
    EXPECT_EQ(ui.hudtextView.text, "Hallo");
}

TEST_F(Shortcuts, RightOptionFiresOnThePressOnly) {
    choose("ALT(RIGHT)");
    press(k::kRightOption, k::kOptionFlag);
    EXPECT_EQ(triggers(), 1u);
    release(k::kRightOption, k::kOptionFlag);
    press(k::kLeftOption, k::kOptionFlag);
    release(k::kLeftOption, k::kOptionFlag);
    EXPECT_EQ(triggers(), 1u);
    press(k::kRightOption, k::kOptionFlag);
    EXPECT_EQ(triggers(), 2u);
}

TEST_F(Shortcuts, ControlAndOptionFireOnEveryChangeWhileHeld) {
    choose("CTRL+ALT");
    constexpr uint16_t kControl = 59, kShift = 56;
    press(kControl, k::kControlFlag);
    EXPECT_EQ(triggers(), 0u);
    press(k::kLeftOption, k::kOptionFlag);
    EXPECT_EQ(triggers(), 1u);
    press(kShift, 0x20000);
    release(kShift, 0x20000);
    EXPECT_EQ(triggers(), 3u) << "Shift down and up while both are held";
    release(k::kLeftOption, k::kOptionFlag);
    EXPECT_EQ(triggers(), 3u);
}

TEST_F(Shortcuts, CommandTwiceWithinHalfASecond) {
    choose("\u2318(#2)");
    press(k::kLeftCommand, k::kCommandFlag);
    loop.advance(0.1);
    release(k::kLeftCommand, k::kCommandFlag);
    loop.advance(0.1);
    press(k::kRightCommand, k::kCommandFlag);  // Command-C, then Command-V, counts the same
    loop.advance(0.1);
    release(k::kRightCommand, k::kCommandFlag);
    EXPECT_EQ(triggers(), 1u);
    EXPECT_EQ(app().commandKeyInt(), 0);
}

TEST_F(Shortcuts, CommandPressesTooFarApartDoNotFire) {
    choose("\u2318(#2)");
    press(k::kLeftCommand, k::kCommandFlag);
    loop.advance(0.4);
    release(k::kLeftCommand, k::kCommandFlag);  // its window ends 0.5 s after the press
    loop.advance(0.2);
    press(k::kLeftCommand, k::kCommandFlag);
    loop.advance(0.1);
    release(k::kLeftCommand, k::kCommandFlag);
    EXPECT_EQ(triggers(), 0u);
    EXPECT_EQ(app().commandKeyInt(), 2);
    loop.advance(0.5);
    EXPECT_EQ(app().commandKeyInt(), 0);
}

TEST_F(Shortcuts, SelectListensToNothing) {
    for (const uint16_t key : {k::kFunction, k::kRightOption, k::kLeftCommand}) {
        press(key);
        release(key);
        press(key);
        release(key);
    }
    press(59, k::kControlFlag);
    press(k::kLeftOption, k::kOptionFlag);
    release(k::kLeftOption, k::kOptionFlag);
    EXPECT_EQ(triggers(), 0u);
}

TEST_F(Shortcuts, EachGestureListensOnlyWhenChosen) {
    choose("Fn");
    press(59, k::kControlFlag);
    press(k::kLeftOption, k::kOptionFlag);  // Control and Option held, but Fn is chosen
    release(k::kLeftOption, k::kOptionFlag);
    release(59, k::kControlFlag);
    press(k::kRightOption, k::kOptionFlag);
    release(k::kRightOption, k::kOptionFlag);
    EXPECT_EQ(triggers(), 0u);
}

TEST_F(Shortcuts, CountersCarryAcrossAChangeOfChoice) {
    choose("ALT(RIGHT)");
    press(k::kRightOption, k::kOptionFlag);
    release(k::kRightOption, k::kOptionFlag);
    EXPECT_EQ(app().changeFlagInt(), 1);
    choose("Fn");
    loop.advance(0.2);
    press(k::kFunction);
    EXPECT_EQ(triggers(), 2u) << "Fn now fires on the press";
    release(k::kFunction);
    loop.advance(0.2);
    press(k::kFunction);
    EXPECT_EQ(triggers(), 3u);
}

TEST_F(Shortcuts, TheCaptureCopiesWaitsAndTakesTheClipboard) {
    bool timerFired = false;
    loop.scheduleTimer(0.1, false, [&] { timerFired = true; });
    const double before = loop.now();
    keyboard.copyDelay = 0.25;  // a slow program: the copy lands late, yet within the wait
    app().copyIt();
    EXPECT_EQ(keyboard.copies, 1);
    EXPECT_EQ(app().oldPasteboard(), "selected words");
    EXPECT_NEAR(loop.now() - before, 0.3, 1e-9);
    EXPECT_FALSE(timerFired) << "nothing runs during the wait";
    loop.advance(0);
    EXPECT_TRUE(timerFired);

    keyboard.onCopy = nullptr;  // no selection: the clipboard keeps what it had
    pasteboard.text = "earlier text";
    app().copyIt();
    EXPECT_EQ(app().oldPasteboard(), "earlier text");
    pasteboard.text.reset();
    app().copyIt();
    EXPECT_EQ(app().oldPasteboard(), std::nullopt);
}

TEST_F(Shortcuts, ACaptureOfNothingStillRunsTheFlow) {
    keyboard.onCopy = [this] { pasteboard.text.reset(); };
    choose("Fn");
    press(k::kFunction);
    release(k::kFunction);
    EXPECT_EQ(ui.hudtextView.text, "?\u00BF");
    EXPECT_EQ(serviceRequests(), 0u);
}

TEST_F(Shortcuts, TypingTranslatesTwoSecondsAfterTheLastKey) {
    constexpr uint16_t kH = 4, kI = 34;
    keyboard.type(kH);  // into an empty view: no timer
    ui.consoleTabTranslate.text = "h";
    EXPECT_EQ(loop.scheduledTimers(), 0u);
    keyboard.type(kI);
    ui.consoleTabTranslate.text = "hi";
    loop.advance(1.0);
    keyboard.type(kI);
    ui.consoleTabTranslate.text = "hii";
    loop.advance(1.0);
    keyboard.type(k::kA);  // the A key position does not restart the pause
    ui.consoleTabTranslate.text = "hiia";
    loop.advance(1.19);
    EXPECT_EQ(serviceRequests(), 0u);
    loop.advance(0.01);
    EXPECT_EQ(pasteboard.text, "hiia") << "the typed text went through the clipboard";
    EXPECT_EQ(app().oldPasteboard(), "hiia");
    EXPECT_EQ(serviceRequests(), 1u);
    EXPECT_EQ(secure.lastRequest()->target, "/?langpair=en%7Cde&text=hiia");
}

TEST_F(Shortcuts, EscapeClosesOnlyAVisibleWindow) {
    const KeyEvent passed = keyboard.type(k::kEscape);
    EXPECT_EQ(passed.keyCode, k::kEscape) << "the event goes on";
    EXPECT_FALSE(ui.window.visible);
    EXPECT_TRUE(application.hidden);
    application.hidden = false;
    keyboard.type(k::kEscape);
    EXPECT_FALSE(application.hidden);
}

TEST_F(Shortcuts, CopyTextPutsTheResultOnTheClipboard) {
    ui.hudtextView.text = "Hallo Welt";
    app().copyText();
    EXPECT_EQ(pasteboard.text, "Hallo Welt");
}

TEST_F(Shortcuts, ChoosingAGestureChecksForAConfinementFirst) {
    choose("Fn");
    const double before = loop.now();
    app().choiseShortAction();
    EXPECT_TRUE(alerts.shown.empty());
    EXPECT_EQ(defaults.values.at("choiseIntShortcuts"), "Fn");
    EXPECT_EQ(files.written,
              std::vector<std::string>{"/home/user/.local/share/lexoria/testsandbox.txt"});
    EXPECT_TRUE(files.files.empty()) << "the test file is removed";
    EXPECT_NEAR(loop.now() - before, 0.5, 1e-9) << "the test write waits half a second";

    files.confined = true;
    choose("ALT(RIGHT)");
    alerts.answers = {1};
    app().choiseShortAction();
    ASSERT_EQ(alerts.shown.size(), 1u);
    EXPECT_EQ(alerts.shown[0].informativeText, "Sandboxed app !");
    EXPECT_EQ(alerts.shown[0].buttons,
              (std::vector<std::string>{"Clean version without sandbox ( Download )", "Cancel"}));
    EXPECT_EQ(ui.choiseShortcuts.titleOfSelectedItem(), "Select");
    EXPECT_EQ(defaults.values.at("choiseIntShortcuts"), "Select");
    EXPECT_FALSE(application.terminated);

    choose("Fn");
    alerts.answers = {0};
    app().choiseShortAction();
    EXPECT_EQ(workspace.opened,
              std::vector<std::string>{"http://" + site.hostPort() +
                                       "/data/uploads/lexoriasource/fixlxsandbox.dmg"});
    EXPECT_TRUE(application.terminated);
    EXPECT_EQ(defaults.values.at("choiseIntShortcuts"), "Select");
}

}  // namespace
}  // namespace lexoria
