#include <gtest/gtest.h>

#include <map>

#include "AppHarness.h"

namespace lexoria {
namespace {

namespace k = keys;

// A controller whose foreground program copies its selection on the copy keystroke.
struct Keys : test::AppHarness {
    Keys() {
        defaults.values = test::kLaterStart;
        pasteboard.text = "old clipboard";
        keyboard.onCopy = [this] { pasteboard.text = selection; };
        started();
        loop.advance(0);
    }
    void choose(const std::string& title) { ui.choiseShortcuts.selectItemWithTitle(title); }

    std::string selection = "selected words";
};

class Shortcuts : public ::testing::Test, protected Keys {};

// A modifier key goes down or up `wait` seconds after the step before, with the gesture
// `choose` chosen just before when given; `triggers` counts the gestures fired so far.
struct Step {
    double wait;
    uint16_t key;
    bool down;
    std::size_t triggers;
    const char* choose = nullptr;
};

TEST_F(Shortcuts, GesturesFireOnTheirKeys) {
    constexpr auto fn = k::kFunction, rOpt = k::kRightOption, lOpt = k::kLeftOption,
                   ctrl = k::kLeftControl, shift = k::kLeftShift, lCmd = k::kLeftCommand,
                   rCmd = k::kRightCommand;
    const std::map<uint16_t, uint64_t> flagOf{{rOpt, k::kOptionFlag},  {lOpt, k::kOptionFlag},
                                              {lCmd, k::kCommandFlag}, {rCmd, k::kCommandFlag},
                                              {ctrl, k::kControlFlag}, {shift, 0x20000}};
    const struct {
        const char* name;
        const char* gesture;
        std::vector<Step> steps;
    } rows[] = {
        // clang-format off
        {"Fn on the release", "Fn", {{0, fn, true, 0}, {0, fn, false, 1}}},
        {"right Option on the press only", "ALT(RIGHT)",
         {{0, rOpt, true, 1}, {0, rOpt, false, 1}, {0, lOpt, true, 1}, {0, lOpt, false, 1},
          {0, rOpt, true, 2}}},
        {"Control and Option on every change while both are held", "CTRL+ALT",
         {{0, ctrl, true, 0}, {0, lOpt, true, 1}, {0, shift, true, 2}, {0, shift, false, 3},
          {0, lOpt, false, 3}}},
        // Command-C, then Command-V, counts the same.
        {"Command twice within half a second", "\u2318(#2)",
         {{0, lCmd, true, 0}, {0.15, lCmd, false, 0}, {0.15, rCmd, true, 0},
          {0.15, rCmd, false, 1}}},
        // The copy takes 0.3 s of the first window; a second gesture fits in the rest.
        {"the Command count starts again after a gesture", "\u2318(#2)",
         {{0, lCmd, true, 0}, {0.05, lCmd, false, 0}, {0.05, lCmd, true, 0},
          {0.05, lCmd, false, 1}, {0.01, lCmd, true, 1}, {0.01, lCmd, false, 1},
          {0.01, lCmd, true, 1}, {0.01, lCmd, false, 2}}},
        // The window ends half a second after the first press, whatever came after it.
        {"Command presses too far apart", "\u2318(#2)",
         {{0, lCmd, true, 0}, {0.4, lCmd, false, 0}, {0.2, lCmd, true, 0}, {0.1, lCmd, false, 0},
          {0.5, lCmd, true, 0}, {0.1, lCmd, false, 0}}},
        {"Select listens to nothing", "Select",
         {{0, fn, true, 0}, {0, fn, false, 0}, {0, rOpt, true, 0}, {0, rOpt, false, 0},
          {0, lCmd, true, 0}, {0, lCmd, false, 0}, {0, lCmd, true, 0}, {0, lCmd, false, 0},
          {0, ctrl, true, 0}, {0, lOpt, true, 0}}},
        {"only the chosen gesture listens", "Fn",
         {{0, ctrl, true, 0}, {0, lOpt, true, 0}, {0, lOpt, false, 0}, {0, ctrl, false, 0},
          {0, rOpt, true, 0}, {0, rOpt, false, 0}}},
        {"counters carry across a change of choice", "ALT(RIGHT)",
         {{0, rOpt, true, 1}, {0, rOpt, false, 1}, {0.2, fn, true, 2, "Fn"}, {0, fn, false, 2},
          {0.2, fn, true, 3}}},
        {"a right Option gesture starts the count again", "ALT(RIGHT)",
         {{0, rOpt, true, 1}, {0.2, fn, true, 1, "Fn"}}},
        // clang-format on
    };
    for (const auto& row : rows) {
        Keys each;
        each.choose(row.gesture);
        for (std::size_t i = 0; i < row.steps.size(); ++i) {
            const Step& step = row.steps[i];
            each.loop.advance(step.wait);
            if (step.choose) {
                each.choose(step.choose);
            }
            each.keyboard.modifier(step.key, step.down,
                                   flagOf.count(step.key) ? flagOf.at(step.key) : 0);
            // Every gesture that fired asked for one copy.
            EXPECT_EQ(std::size_t(each.keyboard.copies), step.triggers)
                << row.name << ", step " << i;
        }
    }
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
    // A capture of nothing still runs the flow.
    pasteboard.text.reset();
    choose("Fn");
    keyboard.modifier(k::kFunction, true);
    keyboard.modifier(k::kFunction, false);
    EXPECT_EQ(app().oldPasteboard(), std::nullopt);
    EXPECT_EQ(ui.hudtextView.text, "?\u00BF");
    EXPECT_EQ(serviceRequests(), 0u);
}

// With a trace, each step of a gesture's translation is written with its time.
TEST_F(Shortcuts, TheTraceTellsEachStepOfAGestureWithItsTime) {
    test::LogLines trace;
    host->trace = &trace;
    choose("ALT(RIGHT)");
    keyboard.modifier(k::kRightOption, true, k::kOptionFlag);
    keyboard.modifier(k::kRightOption, false);
    std::vector<std::string> steps;
    std::vector<double> times;
    for (const std::string& line : trace.lines) {
        char step[64] = {};
        double time = 0;
        ASSERT_EQ(std::sscanf(line.c_str(), "trace %lf %63[^\n]", &time, step), 2) << line;
        steps.emplace_back(step);
        times.push_back(time);
    }
    EXPECT_EQ(steps, (std::vector<std::string>{"key 61", "copy sent", "clipboard read",
                                               "request sent Google", "result shown", "key 61"}));
    ASSERT_EQ(times.size(), 6u);
    EXPECT_NEAR(times[2] - times[1], 0.3, 1e-6) << "the wait for the copy";
    host->trace = nullptr;
}

TEST_F(Shortcuts, TypingTranslatesTwoSecondsAfterTheLastKey) {
    constexpr uint16_t kH = 4, kI = 34;
    keyboard.type(kH);  // into an empty view: no timer
    ui.consoleTabTranslate.text = "h";
    EXPECT_EQ(loop.scheduledTimers(), 0u);
    keyboard.type(kI);
    ui.consoleTabTranslate.text = "hi";
    loop.advance(1.0);
    keyboard.type(k::kUnknown);  // a key without a code of ours restarts it like any other
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

TEST_F(Shortcuts, EscapeAndErasingStopAPendingTypingPause) {
    for (const bool escape : {true, false}) {
        ui.window.makeKeyAndOrderFront();
        ui.consoleTabTranslate.text = "typed";
        keyboard.type(4);
        loop.advance(1);
        if (escape) {
            keyboard.type(k::kEscape);
        } else {
            ui.eraseSourceButton.userActs();
        }
        loop.advance(3);
        EXPECT_EQ(serviceRequests(), 0u) << escape;
        EXPECT_EQ(pasteboard.text, "old clipboard") << escape;
        EXPECT_EQ(ui.window.isVisible(), !escape) << "the window stays as the user left it";
        EXPECT_EQ(application.hidden, escape);
        application.hidden = false;
    }
    // Escape closes only a visible window, and goes on to the window.
    ui.window.close();
    EXPECT_EQ(keyboard.type(k::kEscape).keyCode, k::kEscape);
    EXPECT_FALSE(application.hidden);
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
    alerts.answers = {kAlertClosed};  // closed without a button: as "Cancel"
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

TEST_F(Shortcuts, NothingOfADestroyedControllerRunsOn) {
    // Every kind of pending work at once: the clipboard watch, a Command window, a typing
    // pause, throttle timers, a PROMT poll and a Services request not yet completed.
    ui.autoClipboardTranslateBox.stateValue = 1;
    ui.autoClipboardTranslateBox.userActs();
    ui.lblIcon.stateValue = 1;
    ui.lblIcon.userActs();
    ASSERT_EQ(statusBar.items.size(), 1u);
    choose("\u2318(#2)");
    keyboard.modifier(k::kLeftCommand, true, k::kCommandFlag);
    ui.consoleTabTranslate.text = "typed";
    keyboard.type(4);
    ui.serviceSegment.segment = 3;
    app().segmentService();
    test::FakeServicePasteboard pboard;
    pboard.text = "asked for";
    services.ports.at("LX")(pboard);
    ASSERT_GT(loop.scheduledTimers(), 3u);
    const auto requests = serviceRequests();

    controller.reset();
    pasteboard.text = "new text";
    loop.advance(5);
    EXPECT_EQ(loop.scheduledTimers(), 0u);
    EXPECT_EQ(pasteboard.text, "new text") << "no Services text, no typed text";
    EXPECT_EQ(serviceRequests(), requests);
    EXPECT_TRUE(keyboard.flagsChanged.empty() && keyboard.keyDown.empty());
    EXPECT_TRUE(statusBar.items.empty());
    EXPECT_FALSE(services.ports.at("LX") || services.applicationProvider);
    EXPECT_FALSE(ui.serviceSegment.action || ui.closeView.action || ui.toolbar.action);
}

}  // namespace
}  // namespace lexoria
