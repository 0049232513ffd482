// The preferences: each choice applies at once and is written to the settings.
#include "AppDelegate.h"

namespace lexoria {

void AppDelegate::autoDetLanSave(const Button& sender) {
    const bool detect = ui_.autoDetectLang && ui_.autoDetectLang->state() == 1;
    for (Control* control :
         {static_cast<Control*>(ui_.leftLanButton), static_cast<Control*>(ui_.reloadBut)}) {
        if (control) {
            control->setHidden(detect);
        }
    }
    settings_.saveObjForSettings(int64_t{sender.state()}, settings::kAutoDetect);
}

void AppDelegate::wordBoxSave(const Button& sender) {
    settings_.saveObjForSettings(int64_t{sender.state()}, settings::kWordBox);
}

namespace {

// The hover pop-up's titles and what the setting stores for each.
constexpr std::array<std::pair<const char*, const char*>, 5> kHoverChoices = {
    {{"Off", ""}, {"Always", "always"}, {"CTRL", "CTRL"}, {"ALT", "ALT"}, {"Super", "CMD"}}};

}  // namespace

void AppDelegate::hoverTranslateSave() {
    const std::string title = ui_.hoverTranslate ? ui_.hoverTranslate->titleOfSelectedItem() : "";
    for (const auto& [shown, stored] : kHoverChoices) {
        if (title == shown) {
            saveObjForSettings(std::string(stored), settings::kHoverTranslate);
        }
    }
    if (hoverPreferenceChanged_) {
        hoverPreferenceChanged_();
    }
}

void AppDelegate::restoreHoverChoice() {
    if (!ui_.hoverTranslate) {
        return;
    }
    const std::string stored = objectFromSettings(settings::kHoverTranslate).value_or("");
    std::string selected = "Off";
    for (const auto& [shown, value] : kHoverChoices) {
        ui_.hoverTranslate->addItemsWithTitles({shown});
        if (stored == value) {
            selected = shown;
        }
    }
    ui_.hoverTranslate->selectItemWithTitle(selected);
}

void AppDelegate::ctrlSave(const Button& sender) {
    settings_.saveObjForSettings(int64_t{sender.state()}, settings::kCtrlBox);
}

void AppDelegate::autoClipbTraSave(const Button& sender) {
    settings_.saveObjForSettings(int64_t{sender.state()}, settings::kAutoClipboard);
    if (flagValue(objectFromSettings(settings::kAutoClipboard))) {
        startClipboardWatch();
    } else {
        stopClipboardWatch();
    }
}

void AppDelegate::labelsSave(const Button& sender) {
    if (sender.title() != "Icon") {
        return;
    }
    settings_.saveObjForSettings(int64_t{sender.state()}, settings::kIcon);
    if (sender.state() == 0) {
        if (statusItem_) {
            host_.statusBar.removeStatusItem(statusItem_);
            statusItem_.reset();
        }
    } else {
        if (statusItem_) {
            host_.statusBar.removeStatusItem(statusItem_);  // never two lights in the tray
        }
        createStatusItem();
    }
}

// Builds the font from the family pop-up and the size slider; a family that names no
// font leaves the views as they are.
void AppDelegate::applyFont() {
    if (!ui_.allFontStyleButFirst || !ui_.slider) {
        return;
    }
    const std::optional<Font> font = host_.fonts.fontWithName(
        ui_.allFontStyleButFirst->titleOfSelectedItem(), ui_.slider->integerValue());
    if (!font) {
        return;
    }
    firstFont_ = font;
    for (TextView* view : {ui_.hudtextView, ui_.consoleTabTranslate}) {
        if (view) {
            view->setFont(*font);
        }
    }
}

void AppDelegate::sliderChange() {
    applyFont();
    if (ui_.slider) {
        settings_.saveObjForSettings(int64_t{ui_.slider->integerValue()}, settings::kFontSize);
    }
}

void AppDelegate::selectStyleFirst() {
    applyFont();
    if (ui_.allFontStyleButFirst) {
        saveObjForSettings(ui_.allFontStyleButFirst->titleOfSelectedItem(), settings::kFontFamily);
    }
}

void AppDelegate::showPref() {
    if (ui_.prefPane) {
        ui_.prefPane->makeKeyAndOrderFront();
    }
}

void AppDelegate::showPrefPaneOnSet() {
    host_.application.activateIgnoringOtherApps();
    if (ui_.window) {
        ui_.window->setLevel(WindowLevel::floating);
        ui_.window->makeKeyAndOrderFront();
    }
}

}  // namespace lexoria
