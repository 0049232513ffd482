#pragma once

#include <cstdint>
#include <functional>
#include <optional>

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
// A key the controller has no code for.
inline constexpr uint16_t kUnknown = 0xFFFF;
inline constexpr uint64_t kControlFlag = 0x40000;
inline constexpr uint64_t kOptionFlag = 0x80000;
inline constexpr uint64_t kCommandFlag = 0x100000;
}  // namespace keys

struct KeyEvent {
    uint16_t keyCode = 0;
    uint64_t modifierFlags = 0;
};

// Watches the keyboard. Handlers run on the main thread and stay installed for the life
// of the program.
class EventMonitors {
  public:
    virtual ~EventMonitors() = default;
    // Every change of the modifier keys, whichever application has the focus.
    virtual void addGlobalFlagsChangedMonitor(std::function<void(const KeyEvent&)> handler) = 0;
    // Key presses in the program's own windows; the event the handler returns is then
    // handled as usual.
    virtual void addLocalKeyDownMonitor(std::function<KeyEvent(const KeyEvent&)> handler) = 0;
};

// The modifier keys held down on the keyboard right now.
class KeyboardState {
  public:
    virtual ~KeyboardState() = default;
    virtual uint64_t modifierFlags() const = 0;
};

// Key events made up by the program, delivered to the application with the focus.
class SyntheticKeys {
  public:
    virtual ~SyntheticKeys() = default;
    // `flags` absent: the keyboard's own modifier state.
    virtual void postKeyEvent(uint16_t keyCode, std::optional<uint64_t> flags, bool down) = 0;
};

}  // namespace lexoria
