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
    // The pointer comes to `word` and stays there `seconds`.
    void restOn(const std::string& word, double seconds) {
        mouseOver.handleRetrievedString(std::u16string(word.begin(), word.end()), 0);
        loop.advance(seconds);
    }
    std::optional<std::string> lastTranslated() {
        const auto request = secure.lastRequest();
        return request ? std::optional(request->target) : std::nullopt;
    }

    test::FakeScreens screens;
    test::FakePointer pointer;
    test::FakeAccessibility accessibility;
    test::FakeEventTaps taps{loop};
    MouseOver mouseOver{{loop, screens, pointer, accessibility, taps}};
    std::shared_ptr<HoverTranslation> hover =
        std::make_shared<HoverTranslation>(app(), mouseOver, loop, pointer, keyboard);
};

TEST_F(Hover, AWordRestedOnForHalfASecondIsTranslated) {
    startWith("always");
    EXPECT_EQ(taps.tapsMade, 1);
    restOn("hello", 0.49);
    restOn("world", 0.49);  // the pointer moved on before half a second
    EXPECT_EQ(lastTranslated(), std::nullopt);
    loop.advance(0.01);
    EXPECT_EQ(lastTranslated(), "/?langpair=en%7Cde&text=world");
    EXPECT_EQ(app().oldPasteboard(), "world");
    EXPECT_EQ(ui.hudtextView.text, "Hallo");
}

TEST_F(Hover, APointerThatLeftTheWordTranslatesNothing) {
    startWith("always");
    mouseOver.handleRetrievedString(u"hello", 0);
    pointer.at = Point{300, 100};  // onto a blank: no new word comes
    loop.advance(1);
    EXPECT_EQ(lastTranslated(), std::nullopt);
}

TEST_F(Hover, TheChosenModifierMustBeHeld) {
    startWith("CTRL");
    keyboard.held = keys::kOptionFlag;
    restOn("hello", 0.5);
    EXPECT_EQ(lastTranslated(), std::nullopt);
    keyboard.held = keys::kControlFlag;
    restOn("again", 0.5);
    EXPECT_EQ(lastTranslated(), "/?langpair=en%7Cde&text=again");
}

TEST_F(Hover, OffByDefaultWatchesNothing) {
    startWith(std::nullopt);
    EXPECT_EQ(taps.tapsMade, 0);
    EXPECT_EQ(mouseOver.delegate(), nullptr);
}

TEST_F(Hover, SwitchedOffItStopsWatchingAndForgetsAWordAboutToBeTranslated) {
    accessibility.clock = &loop;
    startWith("always");
    mouseOver.handleRetrievedString(u"hello", 0);
    defaults.values[settings::kHoverTranslate] = "";
    hover->start();
    taps.send(kMouseMovedEventType);
    loop.advance(1);
    EXPECT_TRUE(accessibility.queries.empty());
    EXPECT_EQ(lastTranslated(), std::nullopt);
}

}  // namespace
}  // namespace lexoria
