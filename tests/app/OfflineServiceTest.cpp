// The sixth service on Apertium, driven through the controller. The pairs are made-up
// mode files whose one stage puts "Hello" into Spanish, so each run is quick and exact.
#include <gtest/gtest.h>

#include "AppHarness.h"
#include "platform/linux/LanguageGuesserCld2.h"
#include "platform/linux/OfflineTranslatorApertium.h"

namespace lexoria {
namespace {

constexpr int kOffline = 5;

struct OfflineHarness : test::AppHarness {
    OfflineHarness() {
        for (const char* pair : {"eng-spa", "spa-eng", "eng-cat"}) {
            test::writeFile(modes.path() / (std::string(pair) + ".mode"), "sed -u s/Hello/Hola/\n");
        }
        defaults.values = test::kLaterStart;
        defaults.values["rightLangKey"] = "Spanish";
        defaults.values["rightSim"] = "es";
        defaults.values["tagSelService"] = "5";
        offline.emplace(modes.path());
    }
    void start() {
        app();
        host->offline = &*offline;
        host->guesser = &guesser;
        started();
    }
    std::string translate(const std::string& text) {
        ui.serviceSegment.segment = kOffline;
        app().emptyTranslations();
        app().setOldPasteboard(text);
        loop.advance(0.25);
        app().segmentService();
        return ui.hudtextView.text;
    }

    test::TempDir modes;
    std::optional<OfflineTranslatorApertium> offline;
    LanguageGuesserCld2 guesser;
};

class OfflineService : public ::testing::Test, protected OfflineHarness {};

TEST_F(OfflineService, TranslatesWithTheInstalledPairsAndCachesTheResult) {
    start();
    EXPECT_EQ(app().tagSelService(), kOffline);
    EXPECT_EQ(translate("Hello <b> & x\n\n\nend"), "Hola <b> & x\n\n\nend");
    EXPECT_EQ(ui.leftLanButton.items, (std::vector<std::string>{"Catalan", "English", "Spanish"}));
    EXPECT_EQ(ui.rightLanButton.titleOfSelectedItem(), "Spanish");
    EXPECT_EQ(serviceRequests(), 0u);

    host->offline = nullptr;  // the cached text needs no engine
    loop.advance(0.25);
    app().segmentService();
    EXPECT_EQ(ui.hudtextView.text, "Hola <b> & x\n\n\nend");
    EXPECT_EQ(app().allTranslationsDic().at("Offline"), "Hola <b> & x\n\n\nend");
}

TEST_F(OfflineService, APairThatIsNotInstalledGivesNoText) {
    defaults.values["leftLangKey"] = "Catalan";  // eng-cat is installed, cat-spa is not
    start();
    EXPECT_EQ(translate("Hello"), "?\u00BF");
}

// Babylon (4) is not restored; the segments show the first service whatever was restored.
TEST(OfflineServiceIndex, IsRestoredFromTheSettingsAndTheFirstSegmentSelected) {
    const std::pair<std::optional<std::string>, int> rows[] = {
        {"3", 3}, {"5", kOffline}, {"4", 0}, {"6", 0}, {"7", 0}, {"-1", 0}, {"x", 0}, {{}, 0}};
    for (const auto& [stored, expected] : rows) {
        OfflineHarness harness;
        harness.defaults.values.erase("tagSelService");
        if (stored) {
            harness.defaults.values["tagSelService"] = *stored;
        }
        harness.ui.serviceSegment.segment = 2;
        harness.start();
        EXPECT_EQ(harness.app().tagSelService(), expected) << stored.value_or("absent");
        EXPECT_EQ(harness.ui.serviceSegment.segment, 0);
    }
}

TEST_F(OfflineService, DetectionFallsBackToTheGuessOnThisMachine) {
    defaults.values["autoDetectLang"] = "1";
    secure.answer("/api/v1.5/tr/detect", {403, "text/xml", "<Error code=\"403\"/>"});
    plain.answer("/v2/Http.svc/Detect", {400, "text/html", ""});
    defaults.values["leftLangKey"] = "Catalan";  // no pair from Catalan: the guess decides
    start();
    EXPECT_EQ(translate("Hello, this is a sentence in English, long enough for a sure guess."),
              "Hola, this is a sentence in English, long enough for a sure guess.");
    EXPECT_EQ(defaults.values.at("leftSim"), "en");
    EXPECT_EQ(serviceRequests(), 2u) << "online detection asked first";
}

}  // namespace
}  // namespace lexoria
