#include <gtest/gtest.h>

#include "AppHarness.h"

namespace lexoria {
namespace {

using test::AppHarness;
using test::CannedAnswer;

const std::string kDeclaration = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n";

class Flow : public ::testing::Test, protected AppHarness {
  protected:
    Flow() {
        defaults.values = test::kLaterStart;
        secure.answer("/api/v1.5/tr/translate",
                      {200, "text/xml; charset=utf-8",
                       kDeclaration + "<Translation><text>Hallo Welt</text></Translation>"});
        started();
        app().setOldPasteboard("Hello world");
    }
    void choose(int segment) { ui.serviceSegment.segment = segment; }
};

TEST_F(Flow, ATranslationIsShownOnTopAndCached) {
    ui.window.visible = false;
    app().segmentService();
    EXPECT_EQ(ui.hudtextView.text, "Hallo");
    EXPECT_TRUE(ui.hudtextView.scrolledToTop);
    EXPECT_TRUE(ui.window.visible);
    EXPECT_EQ(ui.window.level, WindowLevel::maximum);
    EXPECT_EQ(app().allTranslationsDic().at("Google"), "Hallo");
    EXPECT_EQ(secure.targets(), std::vector<std::string>{"/?langpair=en%7Cde&text=Hello%20world"});
    EXPECT_EQ(defaults.values.at("leftSim"), "en");
}

TEST_F(Flow, CallsWithinTwoTenthsOfASecondAreDropped) {
    const struct {
        std::vector<double> at;  // the calls, each for a new text
        std::size_t requests;
    } rows[] = {
        {{0, 0.1, 0.25}, 2},
        // The dropped call at 0.15 leaves a timer that fires at 0.35.
        {{0, 0.15, 0.25, 0.36}, 3},
    };
    for (const auto& row : rows) {
        loop.advance(10);
        const double start = loop.now();
        const auto before = secure.requests().size();
        for (const double at : row.at) {
            loop.advance(start + at - loop.now());
            app().emptyTranslations();
            app().setSegment(0);
        }
        EXPECT_EQ(secure.requests().size() - before, row.requests) << row.at.back();
    }
}

TEST_F(Flow, EachServiceIsAskedOncePerText) {
    plain.answer("/translate/babylon.php",
                 {200, "text/javascript", "cb('babylon', {\"translatedText\":\"Hallo\"}, 200);"});
    choose(0);
    app().segmentService();
    loop.advance(0.2);
    choose(2);
    app().segmentService();
    EXPECT_EQ(ui.hudtextView.text, "Hallo Welt");
    loop.advance(0.2);
    choose(0);
    ui.hudtextView.text.clear();
    app().segmentService();
    EXPECT_EQ(ui.hudtextView.text, "Hallo") << "from the cache";
    EXPECT_EQ(secure.requests().size(), 2u);
    EXPECT_EQ(app().tagSelService(), 0);
    for (int twice = 0; twice < 2; ++twice) {
        loop.advance(0.2);
        choose(4);
        app().segmentService();
    }
    EXPECT_EQ(plain.requests().size(), 1u) << "Babylon too";
}

// Answers written by whoever is on the path reach the result view without the control
// characters that could disguise or hide what they say.
TEST_F(Flow, TheResultViewGetsNoControlCharactersButLineFeedAndTab) {
    const std::string hostile("Hallo\x1B[8m\r\x07Welt\x00!\tja\nnein\x7F", 26);
    const std::string shown = "Hallo[8mWelt!\tja\nnein";
    secure.answer("/api/v1.5/tr/translate",
                  {200, "text/xml; charset=utf-8",
                   kDeclaration + "<Translation><text>" + hostile + "</text></Translation>"});
    choose(2);
    app().segmentService();
    EXPECT_EQ(ui.hudtextView.text, shown);

    // PROMT's answer arrives through the settings and the poll.
    plain.answer("/services/TranslationService.asmx/GetTranslateNew",
                 {200, "application/json",
                  R"({"d":{"resultNoTags":"Hallo\u001b[8m\r\u0007Welt!\tja\nnein\u007f"}})"});
    loop.advance(0.25);  // past the throttle
    choose(3);
    app().segmentService();
    while (async->running() > 0) {
        ASSERT_TRUE(loop.waitForPosted(std::chrono::seconds(10)));
    }
    loop.advance(0.5);
    EXPECT_EQ(ui.hudtextView.text, shown);
    EXPECT_EQ(defaults.values.count("promt_"), 0u) << "the poll took it";
}

// A new text is translated again, whichever way it came, not answered from the cache.
TEST(FlowNewText, IsTranslatedAgain) {
    const struct {
        const char* name;
        std::function<void(AppHarness&)> arrives;
        double wait;
    } rows[] = {
        {"a gesture",
         [](AppHarness& h) {
             h.ui.choiseShortcuts.selectItemWithTitle("Fn");
             h.keyboard.modifier(keys::kFunction, true, 0);
             h.keyboard.modifier(keys::kFunction, false, 0);
         },
         0.5},
        {"a typing pause",
         [](AppHarness& h) {
             h.ui.consoleTabTranslate.text = "typed words";
             h.app().waitBool();
         },
         0.2},
        {"a Services request",
         [](AppHarness& h) {
             test::FakeServicePasteboard pboard;
             pboard.text = "handed words";
             h.services.ports.at("LX")(pboard);
         },
         0},
    };
    for (const auto& row : rows) {
        AppHarness h;
        h.defaults.values = test::kLaterStart;
        h.keyboard.onCopy = [&h] { h.pasteboard.text = "selected words"; };
        h.started();
        h.loop.advance(0);
        h.app().setOldPasteboard("first words");
        h.app().segmentService();
        h.loop.advance(0.3);
        h.secure.answer("/", test::googlePage("Servus"));
        row.arrives(h);
        h.loop.advance(row.wait);
        EXPECT_EQ(h.ui.hudtextView.text, "Servus") << row.name;
    }
}

TEST_F(Flow, AllDigitSourceCodesAreBabylonNumbers) {
    defaults.values["leftSim"] = "8";
    app().setSegment(0);
    loop.advance(0.2);
    app().emptyTranslations();
    defaults.values["leftSim"] = "42";  // no such number: no source, so English
    app().setSegment(0);
    EXPECT_EQ(secure.targets(),
              (std::vector<std::string>{"/?langpair=ru%7Cde&text=Hello%20world",
                                        "/?langpair=en%7Cde&text=Hello%20world"}));
}

TEST_F(Flow, BabylonTakesItsOwnCodesFromThePopUps) {
    plain.answer(
        "/translate/babylon.php",
        {200, "text/javascript", "cb('babylon', {\"translatedText\":\"Hallo Welt\"}, 200);"});
    choose(4);
    app().segmentService();
    EXPECT_EQ(ui.hudtextView.text, "Hallo Welt");
    EXPECT_EQ(plain.targets(),
              std::vector<std::string>{"/translate/"
                                       "babylon.php?v=1.0&q=Hello%20world&langpair=0%7C6&callback="
                                       "callbackFn&context=babylon"});
    EXPECT_EQ(defaults.values.at("leftSim"), "en") << "untouched";
}

TEST_F(Flow, PromtAnswersArePolledWithOneTimer) {
    plain.answer("/services/TranslationService.asmx/GetTranslateNew",
                 {200, "application/json", R"({"d":{"resultNoTags":"Hallo, Welt"}})"});
    defaults.values["promt_"] = "Antwort auf einen anderen Text";
    choose(3);
    app().segmentService();
    EXPECT_EQ(ui.hudtextView.text, "") << "nothing yet";
    EXPECT_EQ(defaults.values.count("promt_"), 0u) << "an earlier text's answer is gone";
    loop.advance(0.25);
    app().segmentService();  // no answer cached yet: a second request
    loop.advance(0.2);
    EXPECT_EQ(loop.scheduledTimers(), 1u) << "one poll";
    while (async->running() > 0) {
        ASSERT_TRUE(loop.waitForPosted(std::chrono::seconds(10)));
    }
    EXPECT_EQ(plain.requests().size(), 2u);
    loop.advance(0.5);
    EXPECT_EQ(ui.hudtextView.text, "Hallo, Welt");
    EXPECT_EQ(app().allTranslationsDic().at("PROMT"), "Hallo, Welt");
    EXPECT_EQ(defaults.values.count("promt_"), 0u);
    EXPECT_EQ(loop.scheduledTimers(), 0u) << "the poll stopped";
}

TEST_F(Flow, APromtRequestThatBringsNoAnswerStopsThePoll) {
    plain.answer("/services/TranslationService.asmx/GetTranslateNew",
                 {500, "text/html", "<html>Server Error</html>"});
    choose(3);
    for (const std::string text : {"Hello", ""}) {  // failed, never sent
        app().setOldPasteboard(text);
        loop.advance(0.2);
        app().segmentService();
        while (async->running() > 0) {
            ASSERT_TRUE(loop.waitForPosted(std::chrono::seconds(10)));
        }
        loop.advance(0.5);
        EXPECT_EQ(loop.scheduledTimers(), 0u) << "\"" << text << "\"";
    }
    EXPECT_EQ(plain.requests().size(), 1u);
}

TEST_F(Flow, TheClipboardWatchTakesNewTextAndTranslatesInAVisibleWindow) {
    ui.autoClipboardTranslateBox.stateValue = 1;
    app().autoClipbTraSave(ui.autoClipboardTranslateBox);
    app().segmentService();
    loop.advance(0.3);  // past the throttle, so only the hidden window can hold it back
    pasteboard.text = "Good morning";
    ui.window.visible = false;
    loop.advance(0.3);
    EXPECT_EQ(app().oldPasteboard(), "Good morning");
    EXPECT_TRUE(app().allTranslationsDic().empty()) << "the old text's results are gone";
    EXPECT_EQ(secure.requests().size(), 1u) << "hidden: nothing requested";

    statusBar.shownItem()->click();
    EXPECT_TRUE(ui.window.visible);
    EXPECT_EQ(secure.requests().size(), 2u);
    EXPECT_EQ(secure.requests().back().target, "/?langpair=en%7Cde&text=Good%20morning");

    loop.advance(0.2);
    pasteboard.text = "Good night";
    loop.advance(0.1);
    EXPECT_EQ(secure.requests().size(), 3u) << "visible: translated at once";
    pasteboard.text = "";
    loop.advance(0.3);
    EXPECT_EQ(app().oldPasteboard(), "Good night") << "an empty clipboard is no new text";

    ui.copyResultButton.userActs();
    loop.advance(0.3);
    EXPECT_EQ(pasteboard.text, "Hallo");
    EXPECT_EQ(app().oldPasteboard(), "Good night") << "the copied translation is no new text";
    EXPECT_EQ(secure.requests().size(), 3u);
    pasteboard.text = "Good evening";
    loop.advance(0.1);
    EXPECT_EQ(secure.requests().size(), 4u) << "the watch goes on";
}

TEST_F(Flow, TheSwapExchangesThePairAndKeepsTheCache) {
    app().segmentService();
    ui.reloadBut.stateValue = 1;
    app().reloadLangPair();
    EXPECT_EQ(ui.leftLanButton.titleOfSelectedItem(), "German");
    EXPECT_EQ(ui.rightLanButton.titleOfSelectedItem(), "English");
    EXPECT_EQ(defaults.values.at("leftLangKey"), "German");
    EXPECT_EQ(defaults.values.at("rightLangKey"), "English");
    EXPECT_EQ(defaults.values.at("leftSim"), "de");
    EXPECT_EQ(defaults.values.at("rightSim"), "en");
    EXPECT_EQ(ui.reloadBut.stateValue, 0);
    EXPECT_EQ(app().allTranslationsDic().count("Google"), 1u);
}

TEST_F(Flow, TheLanguagePopUpsStoreNameAndGoogleCode) {
    choose(2);
    app().segmentService();
    ui.leftLanButton.selectItemWithTitle("French");
    app().langsButns(ui.leftLanButton);
    ui.rightLanButton.selectItemWithTitle("Japanese");
    app().langsButns(ui.rightLanButton);
    EXPECT_EQ(defaults.values.at("leftLangKey"), "French");
    EXPECT_EQ(defaults.values.at("leftSim"), "fr");
    EXPECT_EQ(defaults.values.at("rightLangKey"), "Japanese");
    EXPECT_EQ(defaults.values.at("rightSim"), "ja") << "the Google code whatever the service";
    EXPECT_EQ(app().allTranslationsDic().count("Yandex"), 1u) << "nothing emptied";
}

TEST_F(Flow, TranslateWaitsTwoTenthsOfASecond) {
    app().translate();
    loop.advance(0.19);
    EXPECT_EQ(secure.requests().size(), 0u);
    loop.advance(0.01);
    EXPECT_EQ(secure.requests().size(), 1u);
}

}  // namespace
}  // namespace lexoria
