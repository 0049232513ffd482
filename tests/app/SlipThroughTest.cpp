// Faults no other controller test caught: the cache across new texts and Babylon, the
// labels of a regional language, the XML declaration of a Services answer, and a
// "fromsite" build whose manifest is missing.
#include <gtest/gtest.h>

#include "AppHarness.h"

namespace lexoria {
namespace {

using test::AppHarness;
using test::googlePage;

class NewText : public ::testing::Test, protected AppHarness {
  protected:
    NewText() {
        defaults.values = test::kLaterStart;
        keyboard.onCopy = [this] { pasteboard.text = "selected words"; };
        started();
        loop.advance(0);
        app().setOldPasteboard("first words");
        app().segmentService();
        loop.advance(0.3);
        secure.answer("/", googlePage("Servus"));
    }
};

TEST_F(NewText, AGestureIsTranslatedAgain) {
    ui.choiseShortcuts.selectItemWithTitle("Fn");
    keyboard.modifier(keys::kFunction, true, 0);
    keyboard.modifier(keys::kFunction, false, 0);
    loop.advance(0.5);
    EXPECT_EQ(ui.hudtextView.text, "Servus");
}

TEST_F(NewText, TypedTextIsTranslatedAgain) {
    ui.consoleTabTranslate.text = "typed words";
    app().waitBool();
    loop.advance(0.2);
    EXPECT_EQ(ui.hudtextView.text, "Servus");
}

TEST_F(NewText, AServicesTextIsTranslatedAgain) {
    test::FakeServicePasteboard pboard;
    pboard.text = "handed words";
    services.ports.at("LX")(pboard);
    loop.advance(0);
    EXPECT_EQ(ui.hudtextView.text, "Servus");
}

TEST_F(NewText, BabylonIsAskedOncePerText) {
    plain.answer("/translate/babylon.php",
                 {200, "text/javascript", "cb('babylon', {\"translatedText\":\"Hallo\"}, 200);"});
    ui.serviceSegment.segment = 4;
    app().segmentService();
    loop.advance(0.3);
    app().segmentService();
    EXPECT_EQ(ui.hudtextView.text, "Hallo");
    EXPECT_EQ(plain.requests().size(), 1u);
}

TEST(Labels, ARegionalLanguageFallsBackToItsLanguage) {
    AppHarness austrian;
    austrian.locale.languages = {"de-AT"};
    austrian.started();
    EXPECT_EQ(austrian.ui.butMail.title(), "Hilfe");
}

TEST(ServicesXml, ADeclarationIsKept) {
    AppHarness harness;
    harness.defaults.values = {{"rirstrun", "(null)"}, {"autoDetectLang", "0"}};
    harness.started();
    test::FakeServicePasteboard pboard;
    pboard.text = "<?xml version=\"1.0\"?><note><to>Tove</to></note>";
    harness.services.ports.at("LX")(pboard);
    EXPECT_EQ(pboard.returned,
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<note>\n  <to>Tove</to>\n</note>");
}

TEST(SiteBuild, WithoutManifestEndsAtTheNotice) {
    AppHarness harness;
    harness.overrideResource("Info.plist",
                             "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">"
                             "<dict><key>fromsite</key><true/><key>CFBundleShortVersionString</"
                             "key><string>3.0.2</string></dict></plist>");
    harness.site.answer("/lx.plist", {404, "text/html", "not found"});
    harness.defaults.values = {{"rirstrun", "(null)"}, {"rightSim", "en"}};
    harness.alerts.answers = {1};
    harness.started();
    ASSERT_EQ(harness.alerts.shown.size(), 1u);
    EXPECT_EQ(harness.alerts.shown[0].informativeText,
              " This version of Lexoria is no longer supported . Please update .");
    EXPECT_TRUE(harness.application.terminated);
    EXPECT_EQ(harness.site.targets(), std::vector<std::string>{"/lx.plist"})
        << "before the connectivity test";
}

}  // namespace
}  // namespace lexoria
