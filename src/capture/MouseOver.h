#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

#include "ports/Accessibility.h"
#include "ports/MouseMovedTap.h"
#include "ports/RunLoop.h"
#include "ports/Screens.h"

namespace lexoria {

class RetrievedStringDelegate {
  public:
    virtual ~RetrievedStringDelegate() = default;
    virtual void retrivedString(const std::string& word) = 0;
    // After every look under the pointer: the word found there, the same one again while
    // the pointer stays on it, or nothing (a blank, no text, one of our own windows).
    virtual void polledWord(const std::optional<std::string>& /*word*/) {}
};

// What MouseOver needs of the desktop.
struct MouseOverHost {
    RunLoop& runLoop;
    Screens& screens;
    Pointer& pointer;
    Accessibility& accessibility;
    EventTaps& eventTaps;
};

bool isSpace(char16_t unit);
bool isNumericOrLetter(char16_t unit);

// The word around position `position` (UTF-16 units) of `text`, as the pointer would pick
// it: absent on a space, on a mark standing alone, or outside the text.
std::optional<std::u16string> wordAtPosition(std::u16string_view text, int32_t position);

// Tells its delegate each new word that comes to lie under the mouse pointer, in any
// program. One per process: instance() makes it on the first call, with that call's host.
class MouseOver {
  public:
    static MouseOver& instance(const MouseOverHost& host);

    explicit MouseOver(const MouseOverHost& host);
    ~MouseOver();
    MouseOver(const MouseOver&) = delete;
    MouseOver& operator=(const MouseOver&) = delete;

    void enableMouseOver();
    // Stops the polls and the watch of the pointer until enableMouseOver() is called again:
    // the feed costs nothing while nobody wants it, and a loop can be stopped.
    void disableMouseOver();
    void mouseMoved();
    void startMouseTimerWithInterval(int32_t interval);
    void stopMouseTimer();
    void onTick();
    void handlePosition();
    void handleRetrievedString(std::u16string_view text, int32_t position);

    std::shared_ptr<RetrievedStringDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(std::weak_ptr<RetrievedStringDelegate> delegate) {
        delegate_ = std::move(delegate);
    }

  private:
    struct TextAtPointer {
        std::u16string text;
        int32_t position = 0;  // of the pointer in `text`, in UTF-16 units
    };
    std::optional<TextAtPointer> textUnderPointer();

    RunLoop& runLoop_;
    Screens& screens_;
    Pointer& pointer_;
    Accessibility& elementSystemWide;
    EventTaps& eventTaps_;

    std::optional<std::u16string> oldWord;
    std::shared_ptr<Timer> mouseTimer;
    std::shared_ptr<EventTap> tapRef;
    std::shared_ptr<EventTapSource> loop;
    std::weak_ptr<RetrievedStringDelegate> delegate_;
    // Held for a whole poll, the delegate's call included, which may come back in.
    std::recursive_mutex lock_;
};

// The tap's callback: mouse-moved events go to the MouseOver that made the tap.
void eventCallback(int eventType, MouseOver* userInfo);

}  // namespace lexoria
