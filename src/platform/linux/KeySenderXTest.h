#pragma once

#include <functional>
#include <string>
#include <utility>

#include "ports/EventMonitors.h"

namespace lexoria {

class ModifierMonitorXInput2;

// The copy keystroke, sent through XTest to the program with the focus.
class KeySenderXTest final : public SyntheticKeys {
  public:
    // `copyOwnSelection` is given the X window that has the focus; when it is one of the
    // program's own, it copies from the program's views and says so: our own synthetic key
    // would not reach us while the run loop sleeps for the copy.
    KeySenderXTest(ModifierMonitorXInput2& keyboard,
                   std::function<bool(unsigned long focusedWindow)> copyOwnSelection);

    void postCopy() override;

    // The window class of the window with the focus ("" when none), for the copy key.
    std::pair<std::string, std::string> focusedWindowClass() const;

  private:
    ModifierMonitorXInput2& keyboard_;
    std::function<bool(unsigned long)> copyOwnSelection_;
};

}  // namespace lexoria
