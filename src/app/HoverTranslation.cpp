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
                                   const KeyboardState& keyboard, EventMonitors& monitors)
    : app_(app),
      mouseOver_(mouseOver),
      runLoop_(runLoop),
      keyboard_(keyboard),
      monitors_(monitors) {}

HoverTranslation::~HoverTranslation() {
    if (monitor_) {
        monitors_.removeMonitor(*monitor_);
    }
}

void HoverTranslation::start() {
    const auto preference = app_.objectFromSettings(settings::kHoverTranslate);
    // With a key to hold, the pointer is watched only while it is held.
    const bool keyed = wanted(preference, 0) == false;
    if (keyed && !monitor_) {
        monitor_ = monitors_.addGlobalFlagsChangedMonitor(
            [weak = weak_from_this()](const KeyEvent& /*event*/) {
                if (const auto self = weak.lock()) {
                    self->follow();
                }
            });
    } else if (!keyed && monitor_) {
        monitors_.removeMonitor(*monitor_);
        monitor_.reset();
    }
    follow();
}

void HoverTranslation::follow() {
    const bool look = wanted(app_.objectFromSettings(settings::kHoverTranslate),
                             keyboard_.modifierFlags()) == true;
    if (look && !feeding_) {
        mouseOver_.setDelegate(weak_from_this());
        mouseOver_.enableMouseOver();
        mouseOver_.mouseMoved();  // the pointer may rest on a word already
    } else if (!look && feeding_) {
        mouseOver_.disableMouseOver();
        resting_.reset();
    }
    feeding_ = look;
}

void HoverTranslation::polledWord(const std::optional<std::string>& word) {
    if (!feeding_) {
        return;
    }
    if (word != resting_) {
        resting_ = word;
        since_ = runLoop_.now();
        translated_ = false;
        return;
    }
    // The modifier may come while the pointer rests: the next look translates then.
    if (!word || translated_ || runLoop_.now() - since_ < kRestSeconds ||
        wanted(app_.objectFromSettings(settings::kHoverTranslate), keyboard_.modifierFlags()) !=
            true) {
        return;
    }
    translated_ = true;
    app_.emptyTranslations();
    app_.setOldPasteboard(*word);
    app_.segmentService();
}

}  // namespace lexoria
