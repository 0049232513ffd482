#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <vector>

#include "ports/EventMonitors.h"

class QSocketNotifier;
typedef struct _XDisplay Display;  // NOLINT(bugprone-reserved-identifier): Xlib names it so

namespace lexoria {

// The keyboard as the whole desktop sees it, from XInput2 raw key events on a private X
// connection: modifier changes in any program, and which modifiers are held.
//
// The program's own synthetic keys come from the XTEST device and are dropped, so that
// our copy keystroke never looks like a gesture. The held state is kept from the raw
// events rather than asked of the server: once we release a held modifier on the XTEST
// device, the server reports it up although the user still holds it.
class ModifierMonitorXInput2 final : public KeyboardState {
  public:
    using Deliver = std::function<void(std::function<void()>)>;

    // `deliver` hands each event to the main loop's delivery. Without a usable X display
    // or XInput 2.2 the monitor stays silent and says so through isWatching().
    ModifierMonitorXInput2(const char* displayName, Deliver deliver);
    ~ModifierMonitorXInput2() override;
    ModifierMonitorXInput2(const ModifierMonitorXInput2&) = delete;
    ModifierMonitorXInput2& operator=(const ModifierMonitorXInput2&) = delete;

    bool isWatching() const { return notifier_ != nullptr; }
    void addHandler(int id, std::function<void(const KeyEvent&)> handler);
    void removeHandler(int id);

    uint64_t modifierFlags() const override;
    // The X key codes of the modifiers the user holds now.
    std::vector<int> heldModifierKeycodes() const;

    Display* display() const { return display_; }
    // Reads what the server has sent; also called by the notifier.
    void drain();

  private:
    void keyChanged(int keycode, bool down);

    Display* display_ = nullptr;
    int xiOpcode_ = 0;
    std::set<int> xtestDevices_;
    std::map<int, unsigned long> held_;  // X key code -> keysym
    std::unique_ptr<QSocketNotifier> notifier_;
    std::map<int, std::function<void(const KeyEvent&)>> handlers_;
    Deliver deliver_;
};

}  // namespace lexoria
