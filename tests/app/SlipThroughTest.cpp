// Faults no other controller test caught: the cache across new texts and Babylon, and
// the labels of a regional language.
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

}  // namespace
}  // namespace lexoria
