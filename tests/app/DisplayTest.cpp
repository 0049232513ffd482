// The result window, the tray light, the popovers and the preferences.
#include <gtest/gtest.h>

#include "AppHarness.h"

namespace lexoria {
namespace {

using test::AppHarness;

class Display : public ::testing::Test, protected AppHarness {
  protected:
    Display() {
        defaults.values = test::kLaterStart;
        started();
        app().setOldPasteboard("Hello");
    }
};

// One user acting in turn, each row on what the rows before left: an action, then what
// the user sees.
TEST_F(Display, EachActionShowsItsResult) {
    const std::string site = "http://" + addresses.site;
    struct Row {
        const char* action;
        std::function<void()> userActs;
        std::function<bool()> sees;
    };
    int activations = 0;
    bool ticked = false;
    test::FakeButton otherBox("Words");
    const Row rows[] = {
        {"the light without the clipboard watch",
         [&] { ui.window.visible = false, statusBar.shownItem()->click(); },
         [&] { return ui.window.visible && ui.hudtextView.text.empty(); }},
        {"the light with the clipboard watch",
         [&] {
             ui.autoClipboardTranslateBox.stateValue = 1;
             statusBar.shownItem()->click();
         },
         [&] { return ui.hudtextView.text == "Hallo"; }},
        {"the menu item without the clipboard watch",
         [&] {
             ui.autoClipboardTranslateBox.stateValue = 0, ui.hudtextView.text.clear();
             ui.window.visible = false, ui.window.level = WindowLevel::normal;
             activations = application.activations;
             app().transMenuItem();
         },
         [&] {
             return application.activations == activations + 1 && ui.window.visible &&
                    ui.window.level == WindowLevel::maximum && ui.hudtextView.text.empty();
         }},
        {"the menu item with the clipboard watch",
         [&] { ui.autoClipboardTranslateBox.stateValue = 1, app().transMenuItem(); },
         [&] { return ui.hudtextView.text == "Hallo"; }},
        {"settings popover", [&] { ui.settingsPopoverButton.userActs(); },
         [&] {
             return ui.popover.shown && ui.popover.shownBy == &ui.settingsPopoverButton &&
                    ui.popover.shownAt.width == 80;
         }},
        {"translate popover without a sender", [&] { app().showPopoverForTranslate(nullptr); },
         [&] { return ui.translatePopover.shown && ui.translatePopover.shownAt.width == 0; }},
        {"both popovers again",
         [&] { ui.settingsPopoverButton.userActs(), ui.translatePopoverButton.userActs(); },
         [&] { return !ui.popover.shown && !ui.translatePopover.shown; }},
        {"window menu: minimise", [&] { ui.menuSegment.segment = 0, app().varWindow(); },
         [&] { return ui.window.miniaturized && application.hidden; }},
        {"the clipboard watch while minimised",
         [&] {
             application.activateIgnoringOtherApps(), ui.hudtextView.text.clear();
             pasteboard.text = "Copied while minimised";
             ui.autoClipboardTranslateBox.stateValue = 1, app().run();
         },
         [&] { return ui.hudtextView.text.empty(); }},
        {"window menu: close",
         [&] {
             ui.window.makeKeyAndOrderFront(), application.hidden = false;
             ui.menuSegment.segment = 1, app().varWindow();
         },
         [&] { return !ui.window.visible && !ui.window.miniaturized && application.hidden; }},
        {"window menu: any other item",
         [&] {
             ui.window.makeKeyAndOrderFront(), application.hidden = false;
             ui.menuSegment.segment = 5, app().varWindow();
         },
         [&] { return ui.window.visible && !application.hidden; }},
        {"detection on", [&] { ui.autoDetectLang.stateValue = 1, ui.autoDetectLang.userActs(); },
         [&] {
             return ui.leftLanButton.isHidden() && ui.reloadBut.isHidden() &&
                    defaults.values.at("autoDetectLang") == "1";
         }},
        {"detection off", [&] { ui.autoDetectLang.stateValue = 0, ui.autoDetectLang.userActs(); },
         [&] {
             return !ui.leftLanButton.isHidden() && defaults.values.at("autoDetectLang") == "0";
         }},
        {"clipboard watch on",
         [&] {
             ui.autoClipboardTranslateBox.stateValue = 1, ui.autoClipboardTranslateBox.userActs();
         },
         [&] {
             return loop.scheduledTimers() == 1 &&
                    defaults.values.at("autoClipboardTranslateBox") == "1";
         }},
        {"clipboard watch off",
         [&] {
             ui.autoClipboardTranslateBox.stateValue = 0, ui.autoClipboardTranslateBox.userActs();
         },
         [&] { return loop.scheduledTimers() == 0; }},
        {"icon off", [&] { ui.lblIcon.stateValue = 0, ui.lblIcon.userActs(); },
         [&] { return statusBar.items.empty() && defaults.values.at("Icon") == "0"; }},
        {"icon on, twice",
         [&] { ui.lblIcon.stateValue = 1, ui.lblIcon.userActs(), ui.lblIcon.userActs(); },
         [&] { return statusBar.shownItem() && statusBar.shownItem()->title == "\U0001F4A1"; }},
        {"the new light", [&] { ui.window.visible = false, statusBar.shownItem()->click(); },
         [&] { return ui.window.visible; }},
        {"another box off", [&] { app().labelsSave(otherBox); },
         [&] { return statusBar.shownItem() != nullptr; }},
        {"font size", [&] { ui.slider.value = 20, ui.slider.userActs(); },
         [&] {
             return ui.hudtextView.fontValue == Font{fonts.substituteFamily("Helvetica"), 20} &&
                    defaults.values.at("slider") == "20";
         }},
        {"font family",
         [&] {
             ui.allFontStyleButFirst.selectItemWithTitle("DejaVu Sans");
             ui.allFontStyleButFirst.userActs();
         },
         [&] {
             return ui.consoleTabTranslate.fontValue == Font{"DejaVu Sans", 20} &&
                    defaults.values.at("allFontStyleButFirst") == "DejaVu Sans" &&
                    app().firstFont() == Font{"DejaVu Sans", 20};
         }},
        {"a family no longer installed",
         [&] {
             ui.allFontStyleButFirst.items.push_back("Removed Family");
             ui.allFontStyleButFirst.selectItemWithTitle("Removed Family");
             ui.allFontStyleButFirst.userActs();
         },
         [&] {
             return ui.hudtextView.fontValue == Font{"DejaVu Sans", 20};
         }},
        {"the preferences over the window", [&] { app().showPrefPaneOnSet(); },
         [&] { return ui.window.level == WindowLevel::floating; }},
        // Nothing of the program runs under an alert, but right after it.
        {"an alert",
         [&] {
             loop.scheduleTimer(0.5, false, [&] { ticked = true; });
             alerts.secondsUp = 2;
             app().alert("Lexoria", "Done");
         },
         [&] { return alerts.shown.back().style == AlertStyle::informational && !ticked; }},
        {"after the alert", [&] { loop.advance(0); }, [&] { return ticked; }},
        {"the first page", [] {}, [&] { return ui.prefPane.contentView() == &ui.generalView; }},
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
        {"erase", [&] { ui.consoleTabTranslate.text = "typed", ui.eraseSourceButton.userActs(); },
         [&] { return ui.consoleTabTranslate.text.empty(); }},
        {"word box", [&] { ui.wordBox.stateValue = 1, ui.wordBox.userActs(); },
         [&] { return defaults.values["wordBox"] == "1"; }},
        {"control box", [&] { ui.ctrlBox.stateValue = 1, ui.ctrlBox.userActs(); },
         [&] { return defaults.values["ctrlBox"] == "1"; }},
        {"gesture",
         [&] {
             ui.choiseShortcuts.selectItemWithTitle("Fn");
             ui.choiseShortcuts.userActs();
         },
         [&] { return defaults.values["choiseIntShortcuts"] == "Fn"; }},
        {"preferences", [&] { ui.preferencesButton.userActs(); },
         [&] {
             return ui.prefPane.isVisible() && ui.prefPane.level == WindowLevel::aboveScreenSaver;
         }},
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
             return workspace.opened.back() ==
                    site + "/data/uploads/lexoriasource/PopClip_Extention.dmg";
         }},
        {"window menu", [&] { ui.menuSegment.segment = 0, ui.menuSegment.userActs(); },
         [&] { return ui.window.miniaturized; }},
        {"close", [&] { ui.window.makeKeyAndOrderFront(), ui.closeView.userActs(); },
         [&] { return application.hidden && !ui.window.isVisible(); }},
        {"guide, site address with brackets",
         [&] { host->addresses.site = "[::1]:8080", ui.guideBtn.userActs(); },
         [&] { return workspace.opened.back() == "http://[::1]:8080/shortcuts.mov"; }},
        {"quit", [&] { ui.quitButton.userActs(); }, [&] { return application.terminated; }},
    };
    for (const Row& row : rows) {
        loop.advance(0.3);
        row.userActs();
        ASSERT_TRUE(row.sees()) << row.action;  // the rows after build on this one
    }
}

}  // namespace
}  // namespace lexoria
