#include "app/HoverTranslation.h"

#include <gtest/gtest.h>

#include "AppHarness.h"
#include "FakeAccessibility.h"

namespace lexoria {
namespace {

using test::AppHarness;

class Hover : public ::testing::Test, protected AppHarness {
  protected:
    Hover() {
        defaults.values = {{"rirstrun", "(null)"},
                           {"autoDetectLang", "0"},
                           {"leftSim", "en"},
                           {"rightLangKey", "German"}};
        accessibility.clock = &loop;
        accessibility.place({0, 0, 1920, 1080}, text);
        app().onHoverPreferenceChanged([this] { hover->start(); });
    }
    // Starts the controller and hover translation with the preference `preference`.
    void startWith(std::optional<std::string> preference) {
        if (preference) {
            defaults.values[settings::kHoverTranslate] = *preference;
        }
        started();
        loop.advance(0);
        hover->start();
    }
    // The pointer moves onto character `at` of `line`, and the polls begin.
    void pointAt(const std::u16string& line, long at) {
        text->withRangeText(line, at);
        taps.send(kMouseMovedEventType);
    }
    // As pointAt(), and when the first poll after it ran.
    double arriveAt(const std::u16string& line, long at) {
        const auto before = accessibility.queryTimes.size();
        pointAt(line, at);
        loop.advance(0.1);
        return accessibility.queryTimes.at(before);
    }
    std::optional<std::string> lastTranslated() {
        const auto request = secure.lastRequest();
        return request ? std::optional(request->target) : std::nullopt;
    }

    test::FakeScreens screens;
    test::FakePointer pointer;
    test::FakeAccessibility accessibility;
    std::shared_ptr<test::FakeElement> text = std::make_shared<test::FakeElement>("text");
    test::FakeEventTaps taps{loop};
    MouseOver mouseOver{{loop, screens, pointer, accessibility, taps}};
    std::shared_ptr<HoverTranslation> hover =
        std::make_shared<HoverTranslation>(app(), mouseOver, loop, keyboard, keyboard);
};

TEST_F(Hover, AWordRestedOnForHalfASecondIsTranslatedOnce) {
    startWith("always");
    pointAt(u"hello world", 1);
    loop.advance(0.4);
    // moved on to the next word before half a second
    const double arrived = arriveAt(u"hello world", 8);
    while (app().oldPasteboard() != "world" && loop.now() < arrived + 2) {
        loop.advance(0.001);
    }
    // Taken by the first poll half a second after the word came.
    const auto& polls = accessibility.queryTimes;
    EXPECT_LT(polls[polls.size() - 2] - arrived, 0.5);
    EXPECT_GE(polls.back() - arrived, 0.5);
    loop.advance(0.1);
    EXPECT_EQ(lastTranslated(), "/?langpair=en%7Cde&text=world");
    EXPECT_EQ(ui.hudtextView.text, "Hallo");
    pointAt(u"hello world", 10);  // still on it: no second request
    loop.advance(2);
    EXPECT_EQ(secure.requests().size(), 1U);
}

TEST_F(Hover, ABlankOrALeftWordTranslatesNothing) {
    startWith("always");
    pointAt(u"hello world", 1);
    loop.advance(0.3);
    pointAt(u"hello world", 5);  // the space between the words
    loop.advance(1);
    accessibility.place({0, 0, 1920, 1080}, nullptr);  // no text under the pointer at all
    pointAt(u"hello world", 1);
    loop.advance(1);
    EXPECT_EQ(lastTranslated(), std::nullopt);
}

// With a key to hold, nothing watches the pointer until it is held: then the word already
// under the pointer counts from that moment, and letting go ends the watch.
TEST_F(Hover, WithAKeyToHoldThePointerIsWatchedOnlyWhileItIsHeld) {
    startWith("CTRL");
    pointAt(u"hello again", 1);
    keyboard.modifier(keys::kLeftOption, true, keys::kOptionFlag);
    loop.advance(1);
    EXPECT_EQ(taps.tapsMade, 0);
    EXPECT_TRUE(accessibility.queries.empty());
    keyboard.modifier(keys::kLeftControl, true, keys::kControlFlag);
    loop.advance(0.45);
    EXPECT_EQ(lastTranslated(), std::nullopt);
    loop.advance(0.2);
    EXPECT_EQ(lastTranslated(), "/?langpair=en%7Cde&text=hello");
    keyboard.modifier(keys::kLeftControl, false, keys::kControlFlag);
    const auto looks = accessibility.queries.size();
    taps.send(kMouseMovedEventType);
    loop.advance(1);
    EXPECT_EQ(accessibility.queries.size(), looks) << "let go: the watch ended";
}

// The preferences' pop-up shows the stored choice, stores what the user picks and tells
// the word feed, which follows at once; off, nothing watches the pointer.
TEST_F(Hover, ThePreferencePopUpStoresTheChoiceAndSwitchesTheFeed) {
    startWith(std::nullopt);
    EXPECT_EQ(taps.tapsMade, 0);
    EXPECT_EQ(mouseOver.delegate(), nullptr);
    EXPECT_EQ(ui.hoverTranslate.itemTitles(),
              (std::vector<std::string>{"Off", "Always", "CTRL", "ALT", "Super"}));
    EXPECT_EQ(ui.hoverTranslate.titleOfSelectedItem(), "Off");

    ui.hoverTranslate.selectItemWithTitle("Super");
    ui.hoverTranslate.userActs();
    EXPECT_EQ(defaults.values.at(settings::kHoverTranslate), "CMD");
    EXPECT_EQ(taps.tapsMade, 0) << "Super is not held";
    ui.hoverTranslate.selectItemWithTitle("Always");
    ui.hoverTranslate.userActs();
    EXPECT_EQ(defaults.values.at(settings::kHoverTranslate), "always");
    pointAt(u"hello", 1);
    loop.advance(0.3);
    ui.hoverTranslate.selectItemWithTitle("Off");
    ui.hoverTranslate.userActs();
    EXPECT_EQ(defaults.values.at(settings::kHoverTranslate), "");
    const auto polls = accessibility.queries.size();
    taps.send(kMouseMovedEventType);
    loop.advance(1);
    EXPECT_EQ(accessibility.queries.size(), polls) << "off: the polls ended";
    EXPECT_EQ(lastTranslated(), std::nullopt) << "off: the word about to be translated is not";
}

TEST_F(Hover, TheStoredChoiceIsShownAtStart) {
    startWith("ALT");
    EXPECT_EQ(ui.hoverTranslate.titleOfSelectedItem(), "ALT");
}

}  // namespace
}  // namespace lexoria
