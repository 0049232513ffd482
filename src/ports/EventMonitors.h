#pragma once

#include <cstdint>
#include <functional>

namespace lexoria {

// Key codes and modifier bits as the controller knows them; the desktop adapter
// translates its own keys into these.
namespace keys {
inline constexpr uint16_t kA = 0;
inline constexpr uint16_t kC = 8;
inline constexpr uint16_t kEscape = 53;
inline constexpr uint16_t kRightCommand = 54;
inline constexpr uint16_t kLeftCommand = 55;
inline constexpr uint16_t kLeftShift = 56;
inline constexpr uint16_t kLeftOption = 58;
inline constexpr uint16_t kLeftControl = 59;
inline constexpr uint16_t kRightShift = 60;
inline constexpr uint16_t kRightOption = 61;
inline constexpr uint16_t kRightControl = 62;
inline constexpr uint16_t kFunction = 63;
// A key the program has no code for: not 0, which is the A key.
inline constexpr uint16_t kUnknown = 0xFFFF;
inline constexpr uint64_t kControlFlag = 0x40000;
inline constexpr uint64_t kOptionFlag = 0x80000;
inline constexpr uint64_t kCommandFlag = 0x100000;
}  // namespace keys

struct KeyEvent {
    uint16_t keyCode = keys::kUnknown;
    uint64_t modifierFlags = 0;
};

// Watches the keyboard. Handlers run on the main thread, never while an alert is up or the
// run loop sleeps (they run afterwards, in order), and stay installed until removed. The
// program's own synthetic keys (postCopy) are never reported.
class EventMonitors {
  public:
    virtual ~EventMonitors() = default;
    // Every change of the modifier keys, whichever application has the focus. Returns the
    // monitor's number for removeMonitor.
    virtual int addGlobalFlagsChangedMonitor(std::function<void(const KeyEvent&)> handler) = 0;
    // Key presses in the program's own windows; the event the handler returns is then
    // handled as usual. Returns the monitor's number for removeMonitor.
    virtual int addLocalKeyDownMonitor(std::function<KeyEvent(const KeyEvent&)> handler) = 0;
    // Drops that monitor; its handler never runs again. An unknown number does nothing.
    virtual void removeMonitor(int monitor) = 0;
};

// The modifier keys held down on the keyboard right now.
class KeyboardState {
  public:
    virtual ~KeyboardState() = default;
    virtual uint64_t modifierFlags() const = 0;
};

// Keys made up by the program, delivered to the program with the focus.
class SyntheticKeys {
  public:
    virtual ~SyntheticKeys() = default;
    // Asks the program with the focus to copy its selection to the clipboard, with the
    // keystroke that copies on this desktop and in that program, whatever modifiers the
    // user still holds. Returns at once: the copy lands on the clipboard in the other
    // program's own time. These keys are never reported to the program's own monitors.
    virtual void postCopy() = 0;
};

}  // namespace lexoria
