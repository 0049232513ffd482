// The result window, the tray light, the popovers and the preferences.
#include <gtest/gtest.h>

#include "AppHarness.h"

namespace lexoria {
namespace {

using test::AppHarness;

class Display : public ::testing::Test, protected AppHarness {
  protected:
    Display() {
        defaults.values = {{"rirstrun", "(null)"},
                           {"autoDetectLang", "0"},
                           {"Icon", "1"},
                           {"leftSim", "en"},
                           {"rightLangKey", "German"}};
        started();
        app().setOldPasteboard("Hello");
    }
};

TEST_F(Display, TheLightRaisesTheWindowAndTranslatesOnlyWithTheClipboardWatch) {
    ui.window.visible = false;
    statusBar.shownItem()->click();
    EXPECT_TRUE(ui.window.visible);
    EXPECT_EQ(serviceRequests(), 0u);

    ui.autoClipboardTranslateBox.stateValue = 1;
    app().segmentService();
    loop.advance(0.2);
    ui.hudtextView.text.clear();
    statusBar.shownItem()->click();
    EXPECT_EQ(ui.hudtextView.text, "Hallo") << "the cached result";
    EXPECT_EQ(serviceRequests(), 1u);
}

TEST_F(Display, PopoversToggleNextToTheirSender) {
    app().showPopoverSettings(&ui.reloadBut);
    EXPECT_TRUE(ui.popover.shown);
    EXPECT_EQ(ui.popover.shownBy, &ui.reloadBut);
    EXPECT_EQ(ui.popover.shownAt.width, 80);
    app().showPopoverSettings(&ui.reloadBut);
    EXPECT_FALSE(ui.popover.shown);
    app().showPopoverForTranslate(nullptr);
    EXPECT_TRUE(ui.translatePopover.shown);
    EXPECT_EQ(ui.translatePopover.shownAt.width, 0) << "no sender: an empty rectangle";
    EXPECT_FALSE(ui.popover.shown);
}

TEST_F(Display, TheWindowMenuMinimisesOrCloses) {
    ui.menuSegment.segment = 0;
    app().varWindow();
    EXPECT_TRUE(ui.window.miniaturized);
    EXPECT_TRUE(application.hidden);
    application.activateIgnoringOtherApps();
    pasteboard.text = "Copied while minimised";
    ui.autoClipboardTranslateBox.stateValue = 1;
    app().run();
    EXPECT_EQ(serviceRequests(), 0u) << "a minimised window counts as hidden";
    ui.autoClipboardTranslateBox.stateValue = 0;

    ui.window.makeKeyAndOrderFront();
    application.hidden = false;
    ui.menuSegment.segment = 1;
    app().varWindow();
    EXPECT_FALSE(ui.window.visible);
    EXPECT_FALSE(ui.window.miniaturized);
    EXPECT_TRUE(application.hidden);

    ui.window.makeKeyAndOrderFront();
    application.hidden = false;
    ui.menuSegment.segment = 5;
    app().varWindow();
    EXPECT_TRUE(ui.window.visible);
    EXPECT_FALSE(application.hidden);
}

TEST_F(Display, CloseEraseAndQuit) {
    app().close();
    EXPECT_FALSE(ui.window.visible);
    EXPECT_TRUE(application.hidden);
    ui.consoleTabTranslate.text = "typed";
    app().eraseText();
    EXPECT_EQ(ui.consoleTabTranslate.text, "");
    EXPECT_FALSE(application.terminated);
    app().closeApp();
    EXPECT_TRUE(application.terminated);
}

TEST_F(Display, TheMenuItemRaisesTheWindowAboveAll) {
    ui.window.visible = false;
    ui.window.level = WindowLevel::normal;
    const int activations = application.activations;
    app().transMenuItem();
    EXPECT_EQ(application.activations, activations + 1);
    EXPECT_TRUE(ui.window.visible);
    EXPECT_EQ(ui.window.level, WindowLevel::maximum);
    EXPECT_EQ(serviceRequests(), 0u) << "without the clipboard watch nothing is translated";
    ui.autoClipboardTranslateBox.stateValue = 1;
    app().transMenuItem();
    EXPECT_EQ(ui.hudtextView.text, "Hallo");
    EXPECT_EQ(serviceRequests(), 1u);
}

TEST_F(Display, DetectionHidesTheSourceLanguageAndTheSwap) {
    ui.autoDetectLang.stateValue = 1;
    app().autoDetLanSave(ui.autoDetectLang);
    EXPECT_TRUE(ui.leftLanButton.isHidden());
    EXPECT_TRUE(ui.reloadBut.isHidden());
    EXPECT_EQ(defaults.values.at("autoDetectLang"), "1");
    ui.autoDetectLang.stateValue = 0;
    app().autoDetLanSave(ui.autoDetectLang);
    EXPECT_FALSE(ui.leftLanButton.isHidden());
    EXPECT_EQ(defaults.values.at("autoDetectLang"), "0");
}

TEST_F(Display, TheClipboardSwitchStartsAndStopsTheWatch) {
    EXPECT_EQ(loop.scheduledTimers(), 0u);
    ui.autoClipboardTranslateBox.stateValue = 1;
    app().autoClipbTraSave(ui.autoClipboardTranslateBox);
    EXPECT_EQ(loop.scheduledTimers(), 1u);
    EXPECT_EQ(defaults.values.at("autoClipboardTranslateBox"), "1");
    ui.autoClipboardTranslateBox.stateValue = 0;
    app().autoClipbTraSave(ui.autoClipboardTranslateBox);
    EXPECT_EQ(loop.scheduledTimers(), 0u);
}

TEST_F(Display, TheIconSwitchRemovesAndAddsTheLight) {
    ui.lblIcon.stateValue = 0;
    app().labelsSave(ui.lblIcon);
    EXPECT_TRUE(statusBar.items.empty());
    EXPECT_EQ(defaults.values.at("Icon"), "0");
    ui.lblIcon.stateValue = 1;
    app().labelsSave(ui.lblIcon);
    app().labelsSave(ui.lblIcon);
    ASSERT_NE(statusBar.shownItem(), nullptr) << "one light, however often it is turned on";
    EXPECT_EQ(statusBar.shownItem()->title, "\U0001F4A1");
    ui.window.visible = false;
    statusBar.shownItem()->click();
    EXPECT_TRUE(ui.window.visible);

    test::FakeButton other("Words");
    other.stateValue = 0;
    app().labelsSave(other);
    EXPECT_NE(statusBar.shownItem(), nullptr) << "only the Icon box counts";
}

TEST_F(Display, FontChoicesApplyAtOnceAndPersist) {
    ui.slider.value = 20;
    app().sliderChange();
    EXPECT_EQ(ui.hudtextView.fontValue, (Font{fonts.substituteFamily("Helvetica"), 20}));
    EXPECT_EQ(defaults.values.at("slider"), "20");
    ui.allFontStyleButFirst.selectItemWithTitle("DejaVu Sans");
    app().selectStyleFirst();
    EXPECT_EQ(ui.consoleTabTranslate.fontValue, (Font{"DejaVu Sans", 20}));
    EXPECT_EQ(defaults.values.at("allFontStyleButFirst"), "DejaVu Sans");
    EXPECT_EQ(app().firstFont(), (Font{"DejaVu Sans", 20}));

    ui.allFontStyleButFirst.items.push_back("Removed Family");
    ui.allFontStyleButFirst.selectItemWithTitle("Removed Family");
    app().selectStyleFirst();
    EXPECT_EQ(ui.hudtextView.fontValue, (Font{"DejaVu Sans", 20})) << "unknown family: unchanged";
}

TEST_F(Display, StoredOnlyChoicesAndThePreferenceWindows) {
    test::FakeButton box;
    box.stateValue = 1;
    app().wordBoxSave(box);
    app().ctrlSave(box);
    EXPECT_EQ(defaults.values.at("wordBox"), "1");
    EXPECT_EQ(defaults.values.at("ctrlBox"), "1");
    app().showPref();
    EXPECT_TRUE(ui.prefPane.visible);
    app().showPrefPaneOnSet();
    EXPECT_EQ(ui.window.level, WindowLevel::floating);
    bool ticked = false;
    loop.scheduleTimer(0.5, false, [&] { ticked = true; });
    alerts.secondsUp = 2;
    app().alert("Lexoria", "Done");
    EXPECT_EQ(alerts.shown.back().style, AlertStyle::informational);
    EXPECT_FALSE(ticked) << "nothing of the program runs under an alert";
    loop.advance(0);
    EXPECT_TRUE(ticked) << "but right after it";
}

TEST_F(Display, EveryControlOfTheInterfaceIsConnected) {
    const std::string site = "http://" + addresses.site;
    struct Row {
        const char* control;
        std::function<void()> userActs;
        std::function<bool()> done;
    };
    const Row rows[] = {
        {"service",
         [&] {
             ui.serviceSegment.segment = 2;
             ui.serviceSegment.userActs();
         },
         [&] { return app().tagSelService() == 2; }},
        {"source language",
         [&] {
             ui.leftLanButton.selectItemWithTitle("French");
             ui.leftLanButton.userActs();
         },
         [&] { return defaults.values["leftLangKey"] == "French"; }},
        {"target language",
         [&] {
             ui.rightLanButton.selectItemWithTitle("Japanese");
             ui.rightLanButton.userActs();
         },
         [&] { return defaults.values["rightLangKey"] == "Japanese"; }},
        {"swap", [&] { ui.reloadBut.userActs(); },
         [&] { return defaults.values["leftLangKey"] == "Japanese"; }},
        {"copy", [&] { ui.hudtextView.text = "Result", ui.copyResultButton.userActs(); },
         [&] { return pasteboard.text == "Result"; }},
        {"erase", [&] { ui.consoleTabTranslate.text = "typed", ui.eraseSourceButton.userActs(); },
         [&] { return ui.consoleTabTranslate.text.empty(); }},
        {"settings popover", [&] { ui.settingsPopoverButton.userActs(); },
         [&] { return ui.popover.shown && ui.popover.shownBy == &ui.settingsPopoverButton; }},
        {"translate popover", [&] { ui.translatePopoverButton.userActs(); },
         [&] { return ui.translatePopover.shownBy == &ui.translatePopoverButton; }},
        {"detect language", [&] { ui.autoDetectLang.stateValue = 1, ui.autoDetectLang.userActs(); },
         [&] { return defaults.values["autoDetectLang"] == "1" && ui.leftLanButton.hidden; }},
        {"clipboard watch",
         [&] {
             ui.autoClipboardTranslateBox.stateValue = 1, ui.autoClipboardTranslateBox.userActs();
         },
         [&] { return loop.scheduledTimers() > 0; }},
        {"icon", [&] { ui.lblIcon.stateValue = 0, ui.lblIcon.userActs(); },
         [&] { return statusBar.items.empty(); }},
        {"word box", [&] { ui.wordBox.stateValue = 1, ui.wordBox.userActs(); },
         [&] { return defaults.values["wordBox"] == "1"; }},
        {"control box", [&] { ui.ctrlBox.stateValue = 1, ui.ctrlBox.userActs(); },
         [&] { return defaults.values["ctrlBox"] == "1"; }},
        {"font size", [&] { ui.slider.value = 21, ui.slider.userActs(); },
         [&] { return defaults.values["slider"] == "21"; }},
        {"font family",
         [&] {
             ui.allFontStyleButFirst.selectItemWithTitle("DejaVu Sans");
             ui.allFontStyleButFirst.userActs();
         },
         [&] { return defaults.values["allFontStyleButFirst"] == "DejaVu Sans"; }},
        {"gesture",
         [&] {
             ui.choiseShortcuts.selectItemWithTitle("Fn");
             ui.choiseShortcuts.userActs();
         },
         [&] { return defaults.values["choiseIntShortcuts"] == "Fn"; }},
        {"preferences", [&] { ui.preferencesButton.userActs(); },
         [&] { return ui.prefPane.isVisible(); }},
        {"preferences page", [&] { ui.toolbar.choose(2); },
         [&] { return ui.prefPane.contentView() == &ui.reviewersView; }},
        {"report a problem", [&] { ui.butMail.userActs(); },
         [&] {
             return workspace.opened.back() == "mailto:support@lexoria.org?Subject=Lexoria&body=";
         }},
        {"web site", [&] { ui.butItWork.userActs(); },
         [&] { return workspace.opened.back() == site + "/"; }},
        {"guide", [&] { ui.guideBtn.userActs(); },
         [&] { return workspace.opened.back() == site + "/shortcuts.mov"; }},
        {"PopClip", [&] { ui.popclipBtn.userActs(); },
         [&] {
             return workspace.opened.back().find("PopClip_Extention.dmg") != std::string::npos;
         }},
        {"window menu", [&] { ui.menuSegment.segment = 0, ui.menuSegment.userActs(); },
         [&] { return ui.window.miniaturized; }},
        {"close", [&] { ui.window.makeKeyAndOrderFront(), ui.closeView.userActs(); },
         [&] { return application.hidden && !ui.window.isVisible(); }},
        {"quit", [&] { ui.quitButton.userActs(); }, [&] { return application.terminated; }},
    };
    EXPECT_EQ(ui.prefPane.contentView(), &ui.generalView) << "the first page";
    for (const Row& row : rows) {
        loop.advance(0.3);
        row.userActs();
        EXPECT_TRUE(row.done()) << row.control;
    }
}

TEST_F(Display, LinksKeepTheSiteAddressAsGiven) {
    for (const std::string site : {"[::1]:8080", "[fe80::1]", "www.example.org:81"}) {
        host->addresses.site = site;
        ui.guideBtn.userActs();
        EXPECT_EQ(workspace.opened.back(), "http://" + site + "/shortcuts.mov");
    }
}

}  // namespace
}  // namespace lexoria
