#pragma once

#include "ports/Controls.h"

namespace lexoria {

// The controls of the main window, the settings popover and the preferences window, as
// the interface description makes them, wired to nothing: the controller connects every
// action. A controller made without an interface has none of them; a missing control is
// nullptr.
struct Interface {
    // The main window: borderless, result above, source text below.
    Window* window = nullptr;
    TextView* hudtextView = nullptr;             // the translation
    TextView* consoleTabTranslate = nullptr;     // the source text the user types
    SegmentedControl* serviceSegment = nullptr;  // the five services
    SegmentedControl* menuSegment = nullptr;     // 0 minimise, 1 close
    PopUpButton* leftLanButton = nullptr;        // source language; odd tag
    PopUpButton* rightLanButton = nullptr;       // target language; even tag
    Button* reloadBut = nullptr;                 // swap the languages
    CloseViewControl* closeView = nullptr;       // hides the application
    Button* copyResultButton = nullptr;          // the translation to the clipboard
    Button* eraseSourceButton = nullptr;         // empties the source text
    Button* settingsPopoverButton = nullptr;     // opens and closes `popover`
    Button* translatePopoverButton = nullptr;    // opens and closes `translatePopover`

    // The settings popover.
    Popover* popover = nullptr;
    Popover* translatePopover = nullptr;
    Button* autoDetectLang = nullptr;             // check box
    Button* autoClipboardTranslateBox = nullptr;  // check box
    Button* preferencesButton = nullptr;          // shows the preferences window
    Button* quitButton = nullptr;                 // ends the program

    // The preferences window: a toolbar of three items (tags 0, 1, 2) over three views.
    Window* prefPane = nullptr;
    Toolbar* toolbar = nullptr;
    View* generalView = nullptr;
    View* infoView = nullptr;
    View* reviewersView = nullptr;
    TextView* reviewTView = nullptr;
    Button* lblIcon = nullptr;  // check box titled "Icon"
    Button* wordBox = nullptr;  // check box, stored only
    Button* ctrlBox = nullptr;  // check box, stored only
    PopUpButton* choiseShortcuts = nullptr;
    PopUpButton* hoverTranslate = nullptr;  // when the word under the pointer is translated
    SliderControl* slider = nullptr;        // font size
    PopUpButton* allFontStyleButFirst = nullptr;
    TextField* labelFont = nullptr;
    TextField* labelFontSize = nullptr;
    Button* butMail = nullptr;     // report a problem by mail
    Button* butItWork = nullptr;   // the web site
    Button* guideBtn = nullptr;    // the shortcut guide
    Button* popclipBtn = nullptr;  // the PopClip extension
};

}  // namespace lexoria
