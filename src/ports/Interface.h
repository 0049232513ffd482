#pragma once

#include "ports/Controls.h"

namespace lexoria {

// The controls of the main window, the settings popover and the preferences window, as
// the interface description makes them. A controller made without an interface has
// none of them; a missing control is nullptr.
struct Interface {
    Window* window = nullptr;
    Window* prefPane = nullptr;
    Toolbar* toolbar = nullptr;
    Popover* popover = nullptr;
    Popover* translatePopover = nullptr;
    TextView* hudtextView = nullptr;
    TextView* consoleTabTranslate = nullptr;
    TextView* reviewTView = nullptr;
    SegmentedControl* serviceSegment = nullptr;
    SegmentedControl* menuSegment = nullptr;
    PopUpButton* leftLanButton = nullptr;   // odd tag
    PopUpButton* rightLanButton = nullptr;  // even tag
    Button* reloadBut = nullptr;
    Button* autoDetectLang = nullptr;
    Button* autoClipboardTranslateBox = nullptr;
    Button* lblIcon = nullptr;
    PopUpButton* choiseShortcuts = nullptr;
    Slider* slider = nullptr;
    PopUpButton* allFontStyleButFirst = nullptr;
    TextField* labelFont = nullptr;
    TextField* labelFontSize = nullptr;
    Button* butMail = nullptr;
    Button* butItWork = nullptr;
    Button* guideBtn = nullptr;
    Button* popclipBtn = nullptr;
};

}  // namespace lexoria
