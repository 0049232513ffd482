#pragma once

#include <memory>
#include <optional>
#include <string>

#include "app/AppDelegate.h"
#include "capture/MouseOver.h"
#include "ports/EventMonitors.h"
#include "ports/RunLoop.h"
#include "ports/Screens.h"

namespace lexoria {

namespace settings {
// When the word under a resting pointer is translated: absent or "" never, "always", or
// while a modifier is held: "CTRL", "ALT" or "CMD" (the Super key).
inline constexpr const char* kHoverTranslate = "hoverTranslate";
}  // namespace settings

// Hover translation: the word the pointer rests on for half a second goes through the
// controller's translation as a gesture's text would. While the preference is off nothing
// watches the pointer at all.
class HoverTranslation final : public RetrievedStringDelegate,
                               public std::enable_shared_from_this<HoverTranslation> {
  public:
    HoverTranslation(AppDelegate& app, MouseOver& mouseOver, RunLoop& runLoop,
                     const Pointer& pointer, const KeyboardState& keyboard);

    // Joins the word feed when the preference is on and leaves it when it is off; call
    // again after the preference changes.
    void start();
    void retrivedString(const std::string& word) override;

  private:
    void rested(const std::string& word, Point where);

    AppDelegate& app_;
    MouseOver& mouseOver_;
    RunLoop& runLoop_;
    const Pointer& pointer_;
    const KeyboardState& keyboard_;
    bool feeding_ = false;
    std::shared_ptr<Timer> rest_;
};

}  // namespace lexoria
