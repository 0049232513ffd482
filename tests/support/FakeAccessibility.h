#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ports/Accessibility.h"
#include "ports/LanguageGuesser.h"
#include "ports/MouseMovedTap.h"
#include "ports/RunLoop.h"
#include "ports/Screens.h"

namespace lexoria::test {

// An element of a made-up program. Like the AT-SPI adapter it answers text queries in
// UTF-16 units, gives "" past the end of the text and U+FFFD for half a character.
class FakeElement final : public AccessibleElement {
  public:
    explicit FakeElement(std::string name = "element") : name_(std::move(name)) {}

    // Listed attributes, in order.
    FakeElement& with(const std::string& attribute, AXValue value);
    // An attribute a direct read answers but the name list leaves out.
    FakeElement& unlisted(const std::string& attribute, AXValue value);
    // A text read with the range queries; `characterUnderPoint` is what any point hits.
    FakeElement& withRangeText(const std::u16string& text, long characterUnderPoint);
    // A text read with the word-marker queries: the word left of any point.
    FakeElement& withLeftWord(const std::string& word);
    FakeElement& failingNames() {
        namesFail_ = true;
        return *this;
    }

    bool equals(const AccessibleElement& other) const override { return &other == this; }
    std::optional<int32_t> processIdentifier() const override { return std::nullopt; }
    std::optional<std::vector<std::string>> attributeNames() const override;
    std::optional<AXValue> copyAttributeValue(const std::string& name) const override;
    std::optional<long> attributeValueCount(const std::string& name) const override;
    std::optional<bool> isAttributeSettable(const std::string& name) const override;
    // Nothing to set and no actions, as for most text elements.
    std::optional<std::vector<std::string>> actionNames() const override {
        return std::vector<std::string>{};
    }
    std::optional<std::string> actionDescription(const std::string&) const override {
        return std::nullopt;
    }
    void performAction(const std::string&) override {}
    std::optional<std::vector<std::string>> parameterizedAttributeNames() const override;
    std::optional<AXValue> copyParameterizedAttributeValue(const std::string& name,
                                                           const AXValue& parameter) const override;
    std::string description() const override { return "<FakeElement " + name_ + ">"; }

    mutable std::vector<std::string> copied;    // attributes read directly, in order
    mutable std::vector<TextRange> rangeReads;  // AXStringForRange arguments
    mutable std::vector<Point> pointsAsked;

  private:
    std::string name_;
    bool namesFail_ = false;
    std::vector<std::pair<std::string, AXValue>> listed_;
    std::map<std::string, AXValue> unlisted_;
    std::optional<std::u16string> rangeText_;
    long characterUnderPoint_ = 0;
    std::optional<std::string> leftWord_;
};

// The desktop's elements: the last area containing a point answers for it.
class FakeAccessibility final : public Accessibility {
  public:
    void place(ScreenRect area, std::shared_ptr<AccessibleElement> element) {
        areas_.push_back({area, std::move(element)});
    }
    std::shared_ptr<AccessibleElement> elementAtPosition(float x, float y) override;

    std::vector<Point> queries;
    std::vector<double> queryTimes;  // on `clock`, when one is given
    const RunLoop* clock = nullptr;

  private:
    std::vector<std::pair<ScreenRect, std::shared_ptr<AccessibleElement>>> areas_;
};

class FakeScreens final : public Screens {
  public:
    std::vector<Screen> screens() const override { return list; }
    std::vector<Screen> list{{{0, 0, 1920, 1080}, 1.0}};
};

class FakePointer final : public Pointer {
  public:
    std::optional<Point> location() const override { return at; }
    std::optional<Point> at = Point{100, 100};
};

// Mouse-moved taps whose events the test sends; like the X adapter, a tap only delivers
// while its source is on the run loop, and delivers there.
class FakeEventTaps final : public EventTaps {
  public:
    explicit FakeEventTaps(RunLoop& loop) : loop_(loop) {}
    std::shared_ptr<EventTap> createMouseMovedTap(std::function<void(int)> callback) override;
    // Sends an event of `type` through every delivering tap.
    void send(int type);

    bool tapsFail = false;
    int tapsMade = 0;
    int sourcesAdded = 0;

  private:
    struct Tap;
    RunLoop& loop_;
    std::vector<std::weak_ptr<Tap>> taps_;  // a tap lives as long as its maker keeps it
};

// A guesser that says what it was asked.
class FakeLanguageGuesser final : public LanguageGuesser {
  public:
    std::optional<std::string> languageOf(const std::string& text) const override {
        asked.push_back(text);
        return answer;
    }
    std::optional<std::string> answer = "en";
    mutable std::vector<std::string> asked;
};

}  // namespace lexoria::test
