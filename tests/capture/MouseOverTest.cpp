// The word under the pointer and the marked element under it, on a made-up desktop.
#include <gtest/gtest.h>

#include "capture/MouseOver.h"
#include "capture/UIRun.h"

#include "FakeAccessibility.h"
#include "RunLoopVirtual.h"
#include "capture/Utf16.h"

namespace lexoria {
namespace {

using test::FakeAccessibility;
using test::FakeElement;
using test::FakeEventTaps;
using test::FakePointer;
using test::FakeScreens;
using test::RunLoopVirtual;

const std::u16string kSample = u"foo-bar (baz) 😀word";

TEST(WordStep, GrowsTheWordAroundThePosition) {
    struct Row {
        const char* name;
        std::u16string text;
        int32_t position;
        std::optional<std::u16string> word;
    };
    const Row rows[] = {
        {"second letter of the first word", u"hello world", 1, u"hello"},
        {"last letter of the last word", u"hello world", 10, u"world"},
        {"on the space", u"hello world", 5, std::nullopt},
        {"on a tab", u"hello\tworld", 5, std::nullopt},
        {"on the hyphen", kSample, 3, u"foo-bar"},
        {"letter beside a hyphen", kSample, 4, u"bar"},
        {"opening parenthesis before a word", kSample, 8, u"(baz"},
        {"closing parenthesis after a word", kSample, 12, u"baz)"},
        {"mark alone between spaces", u"a , b", 2, std::nullopt},
        {"apostrophe inside a word", u"it's", 2, u"it's"},
        {"model number", u"buy X200b now", 6, u"X200b"},
        {"Cyrillic", u"Привет мир", 2, u"Привет"},
        {"Greek to the right", u"x αβγ", 2, u"αβγ"},
        {"word after an emoji, in UTF-16 units", kSample, 16, u"word"},
        {"on the emoji's first unit", kSample, 14, u"😀word"},
        {"on the emoji's second unit: never half of it", kSample, 15, u"😀word"},
        {"emoji alone", u"a 😀 b", 2, std::nullopt},
        {"emoji between letters", u"x😀y", 1, u"x😀y"},
        {"position at the end", kSample, 20, std::nullopt},
        {"position past the end", kSample, 25, std::nullopt},
        {"negative position", kSample, -1, std::nullopt},
        {"empty text", u"", 0, std::nullopt},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(wordAtPosition(row.text, row.position), row.word) << row.name;
    }
}

// What either delegate was handed.
class Recorder final : public RetrievedStringDelegate, public SendedStringDelegate {
  public:
    void retrivedString(const std::string& word) override { words.push_back(word); }
    void sendString(const std::string& text) override { words.push_back(text); }
    std::vector<std::string> words;
};

struct Desktop {
    Desktop() { accessibility.clock = &loop; }
    RunLoopVirtual loop;
    FakeScreens screens;
    FakePointer pointer;
    FakeAccessibility accessibility;
    std::shared_ptr<Recorder> recorder = std::make_shared<Recorder>();
};

class MouseOverTest : public ::testing::Test, protected Desktop {
  protected:
    MouseOverTest() { mouseOver.setDelegate(recorder); }

    std::shared_ptr<FakeElement> placeText(const std::u16string& text, long underPoint) {
        auto element = std::make_shared<FakeElement>("text");
        element->withRangeText(text, underPoint);
        accessibility.place({0, 0, 1920, 1080}, element);
        return element;
    }

    FakeEventTaps taps{loop};
    MouseOver mouseOver{{loop, screens, pointer, accessibility, taps}};
};

TEST_F(MouseOverTest, ReportsOnlyAWordThatDiffersFromTheLastOne) {
    const std::pair<std::u16string, int32_t> steps[] = {
        {u"foo bar", 0}, {u"foo bar", 2},  // the same word again
        {u" foo", 1},                      // the same word elsewhere
        {u"foo bar", 3},                   // a space: the last word stays
        {u"foo", 0},     {u"bar", 1},      // another word in between
        {u"foo", 2},
    };
    for (const auto& [text, position] : steps) {
        mouseOver.handleRetrievedString(text, position);
    }
    EXPECT_EQ(recorder->words, (std::vector<std::string>{"foo", "bar", "foo"}));
}

TEST_F(MouseOverTest, PollsBackToBackPacedBySeventyMillisecondsAfterTheFirstMove) {
    placeText(kSample, 16);
    mouseOver.enableMouseOver();
    loop.advance(5);
    EXPECT_TRUE(accessibility.queries.empty()) << "no poll before the pointer moves";

    taps.send(kMouseMovedEventType);
    taps.send(kMouseMovedEventType);  // a running timer is not doubled
    taps.send(1);                     // not a mouse movement
    const double start = loop.now();
    loop.advance(0.35);
    // A poll that falls due before the end still runs, past it.
    ASSERT_EQ(accessibility.queryTimes.size(), 6u);
    for (size_t i = 0; i < 6; ++i) {
        EXPECT_NEAR(accessibility.queryTimes[i] - start, 0.0001 + 0.07 * (i + 1), 1e-9) << i;
    }
    EXPECT_EQ(recorder->words, std::vector<std::string>{"word"});

    mouseOver.enableMouseOver();  // stops the polls and keeps the tap
    const auto polls = accessibility.queries.size();
    loop.advance(1);
    EXPECT_EQ(accessibility.queries.size(), polls);
    EXPECT_EQ(taps.tapsMade, 1);
    EXPECT_EQ(taps.sourcesAdded, 2);

    taps.send(kMouseMovedEventType);  // on its way while the feed is turned off
    mouseOver.disableMouseOver();
    taps.send(kMouseMovedEventType);
    loop.advance(1);
    EXPECT_EQ(accessibility.queries.size(), polls);
    mouseOver.enableMouseOver();
    taps.send(kMouseMovedEventType);
    loop.advance(0.0001);
    EXPECT_EQ(accessibility.queries.size(), polls + 1);
}

TEST_F(MouseOverTest, ReadsAWindowLeftOfThePointerAndLettersToItsRight) {
    const auto element = placeText(kSample, 16);
    pointer.at = Point{300, 200};
    mouseOver.mouseMoved();
    loop.advance(0.0001);  // one poll
    EXPECT_EQ(accessibility.queries, std::vector<Point>{(Point{300, 200})});
    EXPECT_EQ(element->pointsAsked, std::vector<Point>{(Point{300, 200})});
    // Up to the character under the pointer, then one unit at a time until "" past the end.
    EXPECT_EQ(element->rangeReads,
              (std::vector<TextRange>{{0, 17}, {17, 1}, {18, 1}, {19, 1}, {20, 1}}));
    EXPECT_EQ(recorder->words, std::vector<std::string>{"word"});
}

TEST_F(MouseOverTest, ALongWordIsCutTo128UnitsLeftAnd127Right) {
    const auto element = placeText(std::u16string(400, u'a'), 200);
    mouseOver.mouseMoved();
    loop.advance(0.0001);  // one poll
    ASSERT_EQ(element->rangeReads.size(), 128u);
    EXPECT_EQ(element->rangeReads.front(), (TextRange{73, 128}));
    EXPECT_EQ(element->rangeReads.back(), (TextRange{327, 1}));
    EXPECT_EQ(recorder->words, std::vector<std::string>{std::string(255, 'a')});
}

// Left of a text marker, else nothing when the element answers no text query.
TEST_F(MouseOverTest, TakesTheWordLeftOfATextMarker) {
    auto element = std::make_shared<FakeElement>();
    element->withLeftWord("hello ");
    accessibility.place({0, 0, 1920, 1080}, element);
    accessibility.place({0, 0, 100, 100}, std::make_shared<FakeElement>());
    mouseOver.mouseMoved();
    loop.advance(0.0001);         // one poll
    pointer.at = Point{-50, 10};  // on no monitor: asked at (0, 0), on the one without text
    mouseOver.mouseMoved();
    loop.advance(0.0001);
    EXPECT_EQ(accessibility.queries.front(), (Point{100, 100}));
    EXPECT_EQ(accessibility.queries.back(), (Point{0, 0}));
    EXPECT_EQ(recorder->words, std::vector<std::string>{"hello"});
}

TEST_F(MouseOverTest, ATapThatCannotBeMadeIsTriedAgainLater) {
    placeText(kSample, 0);
    taps.tapsFail = true;
    mouseOver.enableMouseOver();
    taps.send(kMouseMovedEventType);
    loop.advance(1);
    EXPECT_TRUE(accessibility.queries.empty());

    taps.tapsFail = false;
    mouseOver.enableMouseOver();
    taps.send(kMouseMovedEventType);
    loop.advance(0.0001);  // one poll
    EXPECT_EQ(taps.tapsMade, 1);
    EXPECT_EQ(recorder->words, std::vector<std::string>{"foo"});
}

TEST_F(MouseOverTest, IsOnePerProcess) {
    const MouseOverHost host{loop, screens, pointer, accessibility, taps};
    EXPECT_EQ(&MouseOver::instance(host), &MouseOver::instance(host));
}

class UIRunTest : public ::testing::Test, protected Desktop {
  protected:
    UIRunTest() {
        marked->with(ax::kRole, AXValue::ofText("AXMenuBarItem"))
            .with(ax::kTitle, AXValue::ofText("💡"));
        plain->with(ax::kRole, AXValue::ofText("AXButton")).with(ax::kTitle, AXValue::ofText("OK"));
        accessibility.place({0, 0, 100, 100}, marked);
        accessibility.place({200, 0, 100, 100}, plain);
        run->setDelegate(recorder);
    }

    // Puts the pointer at `x` (top row) and lets one poll run.
    void pointAt(double x) {
        pointer.at = Point{x, 10};
        loop.advance(0.1);
    }

    std::shared_ptr<FakeElement> marked = std::make_shared<FakeElement>("marked");
    std::shared_ptr<FakeElement> plain = std::make_shared<FakeElement>("plain");
    std::shared_ptr<UIRun> run =
        std::make_shared<UIRun>(UIRunHost{loop, screens, pointer, accessibility});
};

TEST_F(UIRunTest, PollsTenTimesASecondButAsksOnlyWhenThePointerMoved) {
    pointer.at = Point{500, 500};
    run->awakeFromNib();
    loop.advance(1.0);
    EXPECT_EQ(accessibility.queryTimes, std::vector<double>{0.0}) << "a resting pointer";
    for (int i = 1; i <= 3; ++i) {
        pointer.at = Point{500.0 + i, 500};
        loop.advance(0.1);
    }
    ASSERT_EQ(accessibility.queryTimes.size(), 4u);
    EXPECT_NEAR(accessibility.queryTimes[3] - accessibility.queryTimes[1], 0.2, 1e-9);
    EXPECT_EQ(loop.scheduledTimers(), 1u);
    EXPECT_EQ(run->currentUIElement(), nullptr) << "no element answers there";
}

TEST_F(UIRunTest, SendsTheMarkerOncePerArrivalOnAMarkedElement) {
    run->awakeFromNib();
    const double path[] = {50, 60, 250, 50, 210};  // on, within, off, back, off
    for (double x : path) {
        pointAt(x);
    }
    EXPECT_EQ(accessibility.queries.size(), 6u);
    EXPECT_EQ(recorder->words, (std::vector<std::string>{"💡", "💡"}));
    EXPECT_EQ(run->currentUIElement(), plain);
}

TEST_F(UIRunTest, AMarkedElementWithoutDelegateIsHarmless) {
    run->setDelegate(nullptr);
    run->awakeFromNib();
    pointAt(50);
    EXPECT_EQ(run->currentUIElement(), marked);
}

}  // namespace
}  // namespace lexoria
