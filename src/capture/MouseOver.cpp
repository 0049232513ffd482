#include "capture/MouseOver.h"

#include <unicode/uchar.h>
#include <unicode/utf16.h>

#include <algorithm>
#include <vector>

#include "capture/ScreenCoordinates.h"
#include "capture/Utf16.h"

namespace lexoria {
namespace {

constexpr double kPollPause = 0.07;
// The window read to the left of the pointer, and the reads to its right.
constexpr long kWindow = 128;
constexpr long kRightReads = 127;
// A repeating timer needs a positive interval; 0 asks for the shortest there is.
constexpr double kShortestInterval = 0.0001;

bool lists(const std::vector<std::string>& names, const char* name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

bool isText(const std::optional<AXValue>& value) {
    return value && value->kind == AXValue::Kind::Text;
}

}  // namespace

bool isSpace(char16_t unit) {
    return unit == u'\t' || u_charType(unit) == U_SPACE_SEPARATOR;
}

bool isNumericOrLetter(char16_t unit) {
    return (U_GET_GC_MASK(unit) & (U_GC_ND_MASK | U_GC_L_MASK | U_GC_M_MASK)) != 0;
}

std::optional<std::u16string> wordAtPosition(std::u16string_view text, int32_t position) {
    const auto length = static_cast<int64_t>(text.size());
    if (text.empty() || position < 0 || position > length - 1) {
        return std::nullopt;
    }
    auto p = static_cast<size_t>(position);
    // A position inside a character of two units means the whole character: cutting it
    // would hand on half of it.
    if (p > 0 && U16_IS_TRAIL(text[p]) && U16_IS_LEAD(text[p - 1])) {
        --p;
    }
    if (isSpace(text[p])) {
        return std::nullopt;
    }
    size_t start = p;
    while (start > 0 && isNumericOrLetter(text[start - 1])) {
        --start;
    }
    const size_t after =
        p + (U16_IS_LEAD(text[p]) && p + 1 < text.size() && U16_IS_TRAIL(text[p + 1]) ? 2 : 1);
    size_t end = after;
    while (end < text.size() && isNumericOrLetter(text[end])) {
        ++end;
    }
    if (!isNumericOrLetter(text[p]) && start == p && end == after) {
        return std::nullopt;  // a mark standing alone
    }
    return std::u16string(text.substr(start, end - start));
}

MouseOver& MouseOver::instance(const MouseOverHost& host) {
    static std::mutex classLock;
    static std::unique_ptr<MouseOver> shared;
    std::lock_guard guard(classLock);
    if (!shared) {
        shared = std::make_unique<MouseOver>(host);
    }
    return *shared;
}

MouseOver::MouseOver(const MouseOverHost& host)
    : runLoop_(host.runLoop),
      screens_(host.screens),
      pointer_(host.pointer),
      elementSystemWide(host.accessibility),
      eventTaps_(host.eventTaps) {}

MouseOver::~MouseOver() {
    stopMouseTimer();
}

void eventCallback(int eventType, MouseOver* userInfo) {
    if (eventType == kMouseMovedEventType) {
        userInfo->mouseMoved();
    }
}

void MouseOver::enableMouseOver() {
    stopMouseTimer();
    if (!tapRef) {
        tapRef = eventTaps_.createMouseMovedTap([this](int type) { eventCallback(type, this); });
        if (!tapRef) {
            return;
        }
    }
    if (!loop) {
        loop = tapRef->createRunLoopSource();
        if (!loop) {
            return;
        }
    }
    loop->addToMainRunLoop();
}

void MouseOver::disableMouseOver() {
    if (loop) {
        loop->removeFromMainRunLoop();
    }
    stopMouseTimer();
}

void MouseOver::mouseMoved() {
    startMouseTimerWithInterval(0);
}

void MouseOver::startMouseTimerWithInterval(int32_t interval) {
    if (mouseTimer) {
        return;
    }
    mouseTimer = runLoop_.scheduleTimer(std::max<double>(interval, kShortestInterval), true,
                                        [this] { onTick(); });
}

void MouseOver::stopMouseTimer() {
    if (mouseTimer && mouseTimer->isValid()) {
        mouseTimer->invalidate();
    }
    mouseTimer.reset();
}

void MouseOver::onTick() {
    handlePosition();
}

void MouseOver::handlePosition() {
    runLoop_.sleep(kPollPause);
    std::lock_guard guard(lock_);
    std::optional<std::u16string> word;
    if (const auto found = textUnderPointer()) {
        word = wordAtPosition(found->text, found->position);
        handleRetrievedString(found->text, found->position);
    }
    if (const auto receiver = delegate_.lock()) {
        receiver->polledWord(word ? std::optional(utf8FromUtf16(*word)) : std::nullopt);
    }
}

std::optional<MouseOver::TextAtPointer> MouseOver::textUnderPointer() {
    const auto location = pointer_.location();
    if (!location) {
        return std::nullopt;
    }
    const auto screens = screens_.screens();
    const Point query = topLeftFromBottomLeft(bottomLeftFromTopLeft(*location, screens), screens);
    const auto element = elementSystemWide.elementAtPosition(static_cast<float>(query.x),
                                                             static_cast<float>(query.y));
    if (!element) {
        return std::nullopt;
    }
    const AXValue point = AXValue::ofPoint(query);
    const auto names = element->parameterizedAttributeNames();
    if (!names) {
        return std::nullopt;
    }
    if (lists(*names, ax::kRangeForPosition)) {
        const auto range = element->copyParameterizedAttributeValue(ax::kRangeForPosition, point);
        if (!range || range->kind != AXValue::Kind::Range) {
            return std::nullopt;
        }
        const long location = range->range.location;
        const long start = std::max(location - (kWindow - 1), 0L);
        const auto window = element->copyParameterizedAttributeValue(
            ax::kStringForRange, AXValue::ofRange({start, location - start + 1}));
        if (!isText(window)) {
            return std::nullopt;
        }
        std::u16string text = utf16FromUtf8(window->text);
        for (long i = 1; i <= kRightReads; ++i) {
            const auto next = element->copyParameterizedAttributeValue(
                ax::kStringForRange, AXValue::ofRange({location + i, 1}));
            if (!isText(next) || next->text.empty()) {
                break;
            }
            const char16_t unit = utf16FromUtf8(next->text).front();
            if (!isNumericOrLetter(unit)) {
                break;
            }
            text += unit;
        }
        return TextAtPointer{std::move(text), static_cast<int32_t>(location - start)};
    }
    if (lists(*names, ax::kTextMarkerForPosition)) {
        const auto marker =
            element->copyParameterizedAttributeValue(ax::kTextMarkerForPosition, point);
        if (!marker) {
            return std::nullopt;
        }
        const auto wordRange = element->copyParameterizedAttributeValue(
            ax::kLeftWordTextMarkerRangeForTextMarker, *marker);
        if (!wordRange) {
            return std::nullopt;
        }
        const auto word =
            element->copyParameterizedAttributeValue(ax::kStringForTextMarkerRange, *wordRange);
        if (!isText(word)) {
            return std::nullopt;
        }
        return TextAtPointer{utf16FromUtf8(word->text), 0};
    }
    return std::nullopt;
}

void MouseOver::handleRetrievedString(std::u16string_view text, int32_t position) {
    std::lock_guard guard(lock_);
    auto word = wordAtPosition(text, position);
    if (!word) {
        return;
    }
    if (word != oldWord) {
        if (const auto receiver = delegate_.lock()) {
            receiver->retrivedString(utf8FromUtf16(*word));
        }
    }
    oldWord = std::move(word);
}

}  // namespace lexoria
