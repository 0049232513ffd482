#include <X11/keysym.h>
#include <gtest/gtest.h>

#include "platform/linux/KeyMapX11.h"
#include "ports/EventMonitors.h"

namespace lexoria {
namespace {

struct KeyRow {
    const char* name;
    unsigned long keysym;
    uint16_t keyCode;
    uint64_t flag;
    bool modifier;
};

TEST(KeyMapX11, KeysymsMapToTheControllersKeysAndFlags) {
    const KeyRow rows[] = {
        {"Super_L", XK_Super_L, keys::kLeftCommand, keys::kCommandFlag, true},
        {"Super_R", XK_Super_R, keys::kRightCommand, keys::kCommandFlag, true},
        {"Alt_R", XK_Alt_R, keys::kRightOption, keys::kOptionFlag, true},
        // AltGr: Mod5 on many layouts, still the right Option key for the gestures.
        {"ISO_Level3_Shift", XK_ISO_Level3_Shift, keys::kRightOption, keys::kOptionFlag, true},
        {"Alt_L", XK_Alt_L, keys::kLeftOption, keys::kOptionFlag, true},
        {"Control_L", XK_Control_L, keys::kLeftControl, keys::kControlFlag, true},
        {"Control_R", XK_Control_R, keys::kRightControl, keys::kControlFlag, true},
        {"Shift_L", XK_Shift_L, keys::kLeftShift, 0, true},
        {"Shift_R", XK_Shift_R, keys::kRightShift, 0, true},
        {"Fn", kFnKeysym, keys::kFunction, 0, true},
        {"Escape", XK_Escape, keys::kEscape, 0, false},
        {"c", XK_c, keys::kC, 0, false},
        {"a", XK_a, keys::kA, 0, false},
        {"unmapped b", XK_b, keys::kUnknown, 0, false},
        {"unmapped F5", XK_F5, keys::kUnknown, 0, false},
    };
    for (const KeyRow& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(mapKeysym(row.keysym), (MappedKey{row.keyCode, row.flag}));
        EXPECT_EQ(isModifierKeysym(row.keysym), row.modifier);
    }
}

TEST(KeyMapX11, TerminalsGetControlShiftCAndEmacsAltW) {
    const struct {
        const char* instance;
        const char* klass;
        CopyKeystroke keystroke;
    } rows[] = {
        {"xterm", "XTerm", CopyKeystroke::controlShiftC},
        {"urxvt", "URxvt", CopyKeystroke::controlShiftC},
        {"gnome-terminal-server", "Gnome-terminal", CopyKeystroke::controlShiftC},
        {"konsole", "konsole", CopyKeystroke::controlShiftC},
        {"xfce4-terminal", "Xfce4-terminal", CopyKeystroke::controlShiftC},
        {"tilix", "Tilix", CopyKeystroke::controlShiftC},
        {"terminator", "Terminator", CopyKeystroke::controlShiftC},
        {"kitty", "kitty", CopyKeystroke::controlShiftC},
        {"Alacritty", "Alacritty", CopyKeystroke::controlShiftC},
        {"org.wezfurlong.wezterm", "org.wezfurlong.wezterm", CopyKeystroke::controlShiftC},
        {"st-256color", "st-256color", CopyKeystroke::controlShiftC},
        {"emacs", "Emacs", CopyKeystroke::altW},
        {"gedit", "Gedit", CopyKeystroke::controlC},
        {"", "", CopyKeystroke::controlC},
        // A name that merely contains a terminal's name is no terminal.
        {"sterm-notes", "Notes", CopyKeystroke::controlC},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.instance);
        EXPECT_EQ(copyKeystrokeFor(row.instance, row.klass), row.keystroke);
    }
}

}  // namespace
}  // namespace lexoria
