#include "FakeAccessibility.h"

#include <algorithm>

#include "capture/Utf16.h"

namespace lexoria::test {

FakeElement& FakeElement::with(const std::string& attribute, AXValue value) {
    // An attribute set again takes the new value, as an element's attribute would.
    for (auto& [name, existing] : listed_) {
        if (name == attribute) {
            existing = std::move(value);
            return *this;
        }
    }
    listed_.emplace_back(attribute, std::move(value));
    return *this;
}

FakeElement& FakeElement::unlisted(const std::string& attribute, AXValue value) {
    unlisted_[attribute] = std::move(value);
    return *this;
}

FakeElement& FakeElement::withRangeText(const std::u16string& text, long characterUnderPoint) {
    rangeText_ = text;
    characterUnderPoint_ = characterUnderPoint;
    return *this;
}

FakeElement& FakeElement::withLeftWord(const std::string& word) {
    leftWord_ = word;
    return *this;
}

std::optional<std::vector<std::string>> FakeElement::attributeNames() const {
    if (namesFail_) {
        return std::nullopt;
    }
    std::vector<std::string> names;
    for (const auto& [name, value] : listed_) {
        names.push_back(name);
    }
    return names;
}

std::optional<AXValue> FakeElement::copyAttributeValue(const std::string& name) const {
    copied.push_back(name);
    for (const auto& [listedName, value] : listed_) {
        if (listedName == name) {
            return value;
        }
    }
    if (const auto it = unlisted_.find(name); it != unlisted_.end()) {
        return it->second;
    }
    return std::nullopt;
}

std::optional<long> FakeElement::attributeValueCount(const std::string& name) const {
    for (const auto& [listedName, value] : listed_) {
        if (listedName == name && value.kind == AXValue::Kind::List) {
            return static_cast<long>(value.list.size());
        }
    }
    return std::nullopt;
}

std::optional<bool> FakeElement::isAttributeSettable(const std::string& name) const {
    const auto names = attributeNames();
    if (!names || std::find(names->begin(), names->end(), name) == names->end()) {
        return std::nullopt;
    }
    return false;
}

std::optional<std::vector<std::string>> FakeElement::parameterizedAttributeNames() const {
    std::vector<std::string> names;
    if (rangeText_) {
        names = {ax::kRangeForPosition, ax::kStringForRange};
    } else if (leftWord_) {
        names = {ax::kTextMarkerForPosition, ax::kLeftWordTextMarkerRangeForTextMarker,
                 ax::kStringForTextMarkerRange};
    }
    return names;
}

std::optional<AXValue> FakeElement::copyParameterizedAttributeValue(
    const std::string& name, const AXValue& parameter) const {
    if (rangeText_ && name == ax::kRangeForPosition && parameter.kind == AXValue::Kind::Point) {
        pointsAsked.push_back(parameter.point);
        return AXValue::ofRange({characterUnderPoint_, 1});
    }
    if (rangeText_ && name == ax::kStringForRange && parameter.kind == AXValue::Kind::Range) {
        rangeReads.push_back(parameter.range);
        const auto [location, length] = parameter.range;
        if (location < 0 || length < 0) {
            return std::nullopt;
        }
        const auto size = static_cast<long>(rangeText_->size());
        const long start = std::min(location, size);
        const long end = std::min(location + length, size);
        return AXValue::ofText(utf8FromUtf16(
            std::u16string_view(*rangeText_)
                .substr(static_cast<size_t>(start), static_cast<size_t>(end - start))));
    }
    if (leftWord_ && name == ax::kTextMarkerForPosition) {
        pointsAsked.push_back(parameter.point);
        AXValue marker;
        marker.kind = AXValue::Kind::TextMarker;
        return marker;
    }
    if (leftWord_ && name == ax::kLeftWordTextMarkerRangeForTextMarker &&
        parameter.kind == AXValue::Kind::TextMarker) {
        AXValue range;
        range.kind = AXValue::Kind::TextMarkerRange;
        return range;
    }
    if (leftWord_ && name == ax::kStringForTextMarkerRange &&
        parameter.kind == AXValue::Kind::TextMarkerRange) {
        return AXValue::ofText(*leftWord_);
    }
    return std::nullopt;
}

std::shared_ptr<AccessibleElement> FakeAccessibility::elementAtPosition(float x, float y) {
    queries.push_back({x, y});
    if (clock != nullptr) {
        queryTimes.push_back(clock->now());
    }
    std::shared_ptr<AccessibleElement> found;
    for (const auto& [area, element] : areas_) {
        if (x >= area.x && x < area.x + area.width && y >= area.y && y < area.y + area.height) {
            found = element;
        }
    }
    return found;
}

struct FakeEventTaps::Tap final : EventTap, EventTapSource, std::enable_shared_from_this<Tap> {
    Tap(FakeEventTaps& owner, std::function<void(int)> callback)
        : owner(owner), callback(std::move(callback)) {}
    std::shared_ptr<EventTapSource> createRunLoopSource() override { return shared_from_this(); }
    void addToMainRunLoop() override {
        ++owner.sourcesAdded;
        delivering = true;
    }
    void removeFromMainRunLoop() override { delivering = false; }
    FakeEventTaps& owner;
    std::function<void(int)> callback;
    bool delivering = false;
};

std::shared_ptr<EventTap> FakeEventTaps::createMouseMovedTap(std::function<void(int)> callback) {
    if (tapsFail) {
        return nullptr;
    }
    ++tapsMade;
    auto tap = std::make_shared<Tap>(*this, std::move(callback));
    taps_.push_back(tap);
    return tap;
}

void FakeEventTaps::send(int type) {
    for (const auto& weak : taps_) {
        const auto tap = weak.lock();
        if (tap && tap->delivering) {
            loop_.post([weak, type] {
                if (const auto live = weak.lock(); live && live->delivering) {
                    live->callback(type);
                }
            });
        }
    }
}

}  // namespace lexoria::test
