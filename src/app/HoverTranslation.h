#pragma once

#include <memory>
#include <optional>
#include <string>

#include "app/AppDelegate.h"
#include "capture/MouseOver.h"
#include "ports/EventMonitors.h"
#include "ports/RunLoop.h"

namespace lexoria {

// Hover translation: a word the pointer rests on for half a second goes through the
// controller's translation as a gesture's text would, once until the pointer leaves it.
// While the preference is off, or its key is not held, nothing watches the pointer.
class HoverTranslation final : public RetrievedStringDelegate,
                               public std::enable_shared_from_this<HoverTranslation> {
  public:
    HoverTranslation(AppDelegate& app, MouseOver& mouseOver, RunLoop& runLoop,
                     const KeyboardState& keyboard, EventMonitors& monitors);
    ~HoverTranslation() override;
    HoverTranslation(const HoverTranslation&) = delete;
    HoverTranslation& operator=(const HoverTranslation&) = delete;

    // Follows the preference: joins the word feed when it is "always", watches the chosen
    // key when it names one (the feed is joined only while the key is held), and leaves
    // both when it is off. Call again after the preference changes.
    void start();
    void retrivedString(const std::string& /*word*/) override {}
    void polledWord(const std::optional<std::string>& word) override;

  private:
    // Joins or leaves the word feed as the preference and the keys held now ask.
    void follow();

    AppDelegate& app_;
    MouseOver& mouseOver_;
    RunLoop& runLoop_;
    const KeyboardState& keyboard_;
    EventMonitors& monitors_;
    std::optional<int> monitor_;  // of the modifier keys, while a key is to be held
    bool feeding_ = false;
    std::optional<std::string> resting_;  // the word under the pointer since `since_`
    double since_ = 0;
    bool translated_ = false;
};

}  // namespace lexoria
