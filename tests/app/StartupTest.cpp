#include <gtest/gtest.h>

#include "AppHarness.h"

namespace lexoria {
namespace {

using test::AppHarness;

class Startup : public ::testing::Test, protected AppHarness {};

TEST_F(Startup, FirstStartWritesTheDefaultsOfTheRegion) {
    started();
    const std::map<std::string, std::string> expected = {
        {"rirstrun", "(null)"}, {"autoDetectLang", "1"},    {"autoClipboardTranslateBox", "0"},
        {"Icon", "1"},          {"rightLangKey", "German"}, {"rightSim", "de"}};
    EXPECT_EQ(defaults.values, expected);
    EXPECT_EQ(ui.rightLanButton.titleOfSelectedItem(), "German");
    EXPECT_EQ(ui.leftLanButton.items, ui.rightLanButton.items);
    EXPECT_EQ(ui.rightLanButton.items.front(), "Afrikaans") << "names sorted for display";
    EXPECT_EQ(loop.scheduledTimers(), 0u) << "the clipboard watch was stopped again";

    // A region without a Google language, then none at all.
    defaults.values.clear();
    locale.region = "XK";
    app().applicationDidFinishLaunching();
    EXPECT_EQ(defaults.values.at("rightSim"), "xk");
    EXPECT_EQ(defaults.values.at("rightLangKey"), "(null)");
    locale.region = std::nullopt;
    defaults.values.clear();
    app().applicationDidFinishLaunching();
    EXPECT_EQ(defaults.values.at("rightSim"), "(null)");
    EXPECT_EQ(defaults.values.at("rightLangKey"), "(null)");
}

TEST_F(Startup, SecondStartWritesNoDefaults) {
    defaults.values = {
        {"rirstrun", "(null)"}, {"autoDetectLang", "0"},    {"autoClipboardTranslateBox", "1"},
        {"Icon", "1"},          {"rightLangKey", "French"}, {"leftLangKey", "English"}};
    started();
    EXPECT_EQ(defaults.writes, 0);
    EXPECT_EQ(ui.rightLanButton.titleOfSelectedItem(), "French");
    EXPECT_EQ(ui.leftLanButton.titleOfSelectedItem(), "English");
    EXPECT_EQ(ui.autoDetectLang.state(), 0);
    EXPECT_FALSE(ui.leftLanButton.isHidden());
    EXPECT_EQ(ui.autoClipboardTranslateBox.state(), 1);
    EXPECT_EQ(loop.scheduledTimers(), 1u) << "the clipboard watch runs";
}

TEST_F(Startup, RestoresTheControlsFromTheSettings) {
    defaults.values = {{"rirstrun", "(null)"},
                       {"autoDetectLang", "1"},
                       {"Icon", "0"},
                       {"choiseIntShortcuts", "ALT(RIGHT)"}};
    started();
    EXPECT_TRUE(ui.leftLanButton.isHidden());
    EXPECT_TRUE(ui.reloadBut.isHidden());
    EXPECT_EQ(ui.autoDetectLang.state(), 1);
    EXPECT_EQ(statusBar.created, 1);
    EXPECT_TRUE(statusBar.items.empty()) << "made and removed again";
    EXPECT_EQ(ui.lblIcon.state(), 0);
    EXPECT_EQ(ui.choiseShortcuts.items,
              (std::vector<std::string>{"Select", "Fn", "ALT(RIGHT)", "CTRL+ALT", "\u2318(#2)"}));
    EXPECT_EQ(ui.choiseShortcuts.titleOfSelectedItem(), "ALT(RIGHT)");
    EXPECT_TRUE(ui.popclipBtn.isHidden());
}

TEST_F(Startup, RaisesTheWindowAboveAllAndShowsTheLight) {
    started();
    EXPECT_EQ(loop.now(), 0.0) << "nothing waited for: start-up takes no time of its own";
    EXPECT_TRUE(ui.window.visible);
    EXPECT_EQ(ui.window.level, WindowLevel::maximum);
    EXPECT_EQ(ui.window.style, WindowStyle::borderlessResizable);
    EXPECT_EQ(application.activations, 1);
    ASSERT_NE(statusBar.shownItem(), nullptr);
    EXPECT_EQ(statusBar.shownItem()->title, "\U0001F4A1");
    EXPECT_EQ(ui.choiseShortcuts.titleOfSelectedItem(), "Select");
    EXPECT_EQ(ui.lblIcon.state(), 1);
}

TEST_F(Startup, TakesTheRemovalListAndTheReviewsFromTheManifest) {
    started();
    ASSERT_FALSE(app().arrItemsGoogle().empty());
    EXPECT_EQ(app().arrItemsGoogle().front(), "Google Translate");
    EXPECT_NE(ui.reviewTView.text.find("Lexoria"), std::string::npos) << ui.reviewTView.text;
    AppHarness nowhere;
    nowhere.locale.region = "AQ";
    nowhere.started();
    EXPECT_EQ(nowhere.ui.reviewTView.text, "");
}

TEST_F(Startup, LabelsComeInTheFirstOrSecondPreferredLanguage) {
    started();
    EXPECT_EQ(ui.butMail.title(), "Hilfe");
    EXPECT_EQ(ui.labelFont.text, "Schrift:");

    AppHarness russian;
    russian.locale.languages = {"en-GB", "ru"};
    russian.defaults.values["langru"] = "y";
    russian.started();
    EXPECT_EQ(russian.ui.butMail.title(), "\u0421\u043F\u0440\u0430\u0432\u043A\u0430");

    AppHarness english;
    english.locale.languages = {"en"};
    english.defaults.values["langru"] = "y";
    english.started();
    EXPECT_EQ(english.ui.butMail.title(), "Help") << "no entry: the interface's own text";

    AppHarness austrian;
    austrian.locale.languages = {"de-AT"};
    austrian.started();
    EXPECT_EQ(austrian.ui.butMail.title(), "Hilfe") << "the region's language without its region";
}

TEST_F(Startup, FontsComeFromTheSettingsElseTheSystemsStandInForHelvetica) {
    fonts.substitutes["Helvetica"] = "Liberation Serif";
    started();
    EXPECT_EQ(ui.slider.value, 13);
    EXPECT_EQ(ui.hudtextView.fontValue, (Font{"Liberation Serif", 13}));
    EXPECT_EQ(ui.consoleTabTranslate.fontValue, (Font{"Liberation Serif", 13}));
    EXPECT_TRUE(ui.hudtextView.textIsBlack);
    EXPECT_EQ(ui.allFontStyleButFirst.titleOfSelectedItem(), "Liberation Serif");
    EXPECT_EQ(ui.allFontStyleButFirst.items, fonts.families);

    AppHarness chosen;
    chosen.defaults.values = {
        {"rirstrun", "(null)"}, {"slider", "18"}, {"allFontStyleButFirst", "DejaVu Sans"}};
    chosen.started();
    EXPECT_EQ(chosen.ui.hudtextView.fontValue, (Font{"DejaVu Sans", 18}));
    EXPECT_EQ(chosen.ui.consoleTabTranslate.fontValue, (Font{"DejaVu Sans", 18}));
    EXPECT_EQ(chosen.ui.allFontStyleButFirst.titleOfSelectedItem(), "DejaVu Sans");

    AppHarness gone;
    gone.defaults.values = {
        {"rirstrun", "(null)"}, {"slider", "18"}, {"allFontStyleButFirst", "Uninstalled Sans"}};
    gone.started();
    const std::string standIn = gone.fonts.substituteFamily("Helvetica");
    EXPECT_EQ(gone.ui.hudtextView.fontValue, (Font{standIn, 15})) << "the views keep their font";
    EXPECT_EQ(gone.ui.allFontStyleButFirst.titleOfSelectedItem(), standIn);
}

TEST_F(Startup, AMissingLanguageTableLeavesEmptyPopUpsAndGoesOn) {
    test::TempDir empty;
    BundleDirectory nothing({empty.path()});
    auto host = std::make_unique<Host>(Host{
        defaults, loop, locale, nothing, log, pasteboard, alerts, workspace, fonts, application,
        statusBar, keyboard, keyboard, keyboard, services, files, addresses, http});
    AppDelegate bare(*host, ui.loadInterface());
    bare.applicationDidFinishLaunching();
    EXPECT_TRUE(ui.rightLanButton.items.empty());
    EXPECT_EQ(defaults.values.at("rightLangKey"), "(null)");
    EXPECT_EQ(defaults.values.at("rightSim"), "de");
    EXPECT_TRUE(ui.window.visible);
}

}  // namespace
}  // namespace lexoria
