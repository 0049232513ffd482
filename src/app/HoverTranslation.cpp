#include "app/HoverTranslation.h"

namespace lexoria {
namespace {

constexpr double kRestSeconds = 0.5;

// Whether the preference asks for a translation with the modifiers held now; absent when
// it is off altogether.
std::optional<bool> wanted(const std::optional<std::string>& preference, uint64_t held) {
    if (!preference || preference->empty()) {
        return std::nullopt;
    }
    if (*preference == "always") {
        return true;
    }
    uint64_t flag = 0;
    if (*preference == "CTRL") {
        flag = keys::kControlFlag;
    } else if (*preference == "ALT") {
        flag = keys::kOptionFlag;
    } else if (*preference == "CMD") {
        flag = keys::kCommandFlag;
    } else {
        return std::nullopt;  // a value this version does not know: off
    }
    return (held & flag) != 0;
}

}  // namespace

HoverTranslation::HoverTranslation(AppDelegate& app, MouseOver& mouseOver, RunLoop& runLoop,
                                   const Pointer& pointer, const KeyboardState& keyboard)
    : app_(app), mouseOver_(mouseOver), runLoop_(runLoop), pointer_(pointer), keyboard_(keyboard) {}

void HoverTranslation::start() {
    const bool on = wanted(app_.objectFromSettings(settings::kHoverTranslate), 0).has_value();
    if (on && !feeding_) {
        mouseOver_.setDelegate(weak_from_this());
        mouseOver_.enableMouseOver();
    } else if (!on && feeding_) {
        mouseOver_.disableMouseOver();
        if (rest_) {
            rest_->invalidate();
        }
    }
    feeding_ = on;
}

void HoverTranslation::retrivedString(const std::string& word) {
    if (rest_) {
        rest_->invalidate();
    }
    const auto where = pointer_.location();
    if (!where) {
        return;
    }
    rest_ =
        runLoop_.scheduleTimer(kRestSeconds, false, [weak = weak_from_this(), word, at = *where] {
            if (const auto self = weak.lock()) {
                self->rested(word, at);
            }
        });
}

void HoverTranslation::rested(const std::string& word, Point where) {
    // The pointer must still be where the word came: on a blank no new word arrives.
    if (pointer_.location() != where) {
        return;
    }
    if (wanted(app_.objectFromSettings(settings::kHoverTranslate), keyboard_.modifierFlags()) !=
        true) {
        return;
    }
    app_.emptyTranslations();
    app_.setOldPasteboard(word);
    app_.segmentService();
}

}  // namespace lexoria
