#include "KeyMapX11.h"

#include <X11/keysym.h>

#include <algorithm>
#include <array>
#include <string_view>

#include "ports/EventMonitors.h"

namespace lexoria {

namespace {

struct KeysymRow {
    unsigned long keysym;
    MappedKey key;
};

// Shift carries no flag: no gesture looks at it, but its presses are flag changes all the
// same ("CTRL+ALT" fires again for each).
constexpr std::array<KeysymRow, 15> kKeysyms = {{
    {XK_Super_L, {keys::kLeftCommand, keys::kCommandFlag}},
    {XK_Super_R, {keys::kRightCommand, keys::kCommandFlag}},
    {XK_Alt_R, {keys::kRightOption, keys::kOptionFlag}},
    {XK_ISO_Level3_Shift, {keys::kRightOption, keys::kOptionFlag}},
    {XK_Alt_L, {keys::kLeftOption, keys::kOptionFlag}},
    {XK_Control_L, {keys::kLeftControl, keys::kControlFlag}},
    {XK_Control_R, {keys::kRightControl, keys::kControlFlag}},
    {XK_Shift_L, {keys::kLeftShift, 0}},
    {XK_Shift_R, {keys::kRightShift, 0}},
    {kFnKeysym, {keys::kFunction, 0}},
    {XK_Escape, {keys::kEscape, 0}},
    {XK_c, {keys::kC, 0}},
    {XK_C, {keys::kC, 0}},
    {XK_a, {keys::kA, 0}},
    {XK_A, {keys::kA, 0}},
}};

std::string lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

bool isTerminal(const std::string& name) {
    static constexpr std::array<std::string_view, 19> kTerminals = {"xterm",
                                                                    "uxterm",
                                                                    "urxvt",
                                                                    "rxvt",
                                                                    "rxvt-unicode",
                                                                    "gnome-terminal",
                                                                    "gnome-terminal-server",
                                                                    "konsole",
                                                                    "xfce4-terminal",
                                                                    "tilix",
                                                                    "com.gexperts.tilix",
                                                                    "terminator",
                                                                    "kitty",
                                                                    "alacritty",
                                                                    "wezterm",
                                                                    "org.wezfurlong.wezterm",
                                                                    "st",
                                                                    "st-256color",
                                                                    "x-terminal-emulator"};
    return std::find(kTerminals.begin(), kTerminals.end(), name) != kTerminals.end();
}

}  // namespace

MappedKey mapKeysym(unsigned long keysym) {
    for (const KeysymRow& row : kKeysyms) {
        if (row.keysym == keysym) {
            return row.key;
        }
    }
    return {keys::kUnknown, 0};
}

bool isModifierKeysym(unsigned long keysym) {
    const MappedKey key = mapKeysym(keysym);
    return key.flag != 0 || key.keyCode == keys::kFunction || key.keyCode == keys::kLeftShift ||
           key.keyCode == keys::kRightShift;
}

CopyKeystroke copyKeystrokeFor(const std::string& instanceName, const std::string& className) {
    const std::string instance = lower(instanceName), klass = lower(className);
    if (isTerminal(instance) || isTerminal(klass)) {
        return CopyKeystroke::controlShiftC;
    }
    if (instance == "emacs" || klass == "emacs") {
        return CopyKeystroke::altW;
    }
    return CopyKeystroke::controlC;
}

}  // namespace lexoria
