#pragma once

#include <cstdint>
#include <string>

namespace lexoria {

// A key as the controller knows it: its key code and the modifier flag it holds down
// (0 for a key that is no modifier).
struct MappedKey {
    uint16_t keyCode;
    uint64_t flag;
    bool operator==(const MappedKey&) const = default;
};

// XF86XK_Fn: <X11/XF86keysym.h> undefines the macro it is written with, so the value is
// spelled out. Only keyboards whose keymap exposes Fn send it.
inline constexpr unsigned long kFnKeysym = 0x10081000 + 0x1D0;

// The controller's key for an X keysym. Modifiers map by what they are, not by the
// modifier bit the layout gives them (AltGr is Mod5 on many layouts); a key the
// controller has no code for maps to the unknown-key sentinel.
MappedKey mapKeysym(unsigned long keysym);

// True for the keys whose press or release is a change of the modifier state.
bool isModifierKeysym(unsigned long keysym);

// How the program with the focus copies its selection, chosen by its window class:
// Control+C would interrupt what runs in a terminal, and starts a key sequence in Emacs.
enum class CopyKeystroke { controlC, controlShiftC, altW };
CopyKeystroke copyKeystrokeFor(const std::string& instanceName, const std::string& className);

}  // namespace lexoria
