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
// While the preference is off nothing watches the pointer at all.
class HoverTranslation final : public RetrievedStringDelegate,
                               public std::enable_shared_from_this<HoverTranslation> {
  public:
    HoverTranslation(AppDelegate& app, MouseOver& mouseOver, RunLoop& runLoop,
                     const KeyboardState& keyboard);

    // Joins the word feed when the preference is on and leaves it when it is off; call
    // again after the preference changes.
    void start();
    void retrivedString(const std::string& /*word*/) override {}
    void polledWord(const std::optional<std::string>& word) override;

  private:
    AppDelegate& app_;
    MouseOver& mouseOver_;
    RunLoop& runLoop_;
    const KeyboardState& keyboard_;
    bool feeding_ = false;
    std::optional<std::string> resting_;  // the word under the pointer since `since_`
    double since_ = 0;
    bool translated_ = false;
};

}  // namespace lexoria
