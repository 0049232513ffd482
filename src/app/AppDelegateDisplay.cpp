// The result window, the status item, the popovers and the one alert.
#include "AppDelegate.h"

namespace lexoria {

namespace {

void togglePopover(Popover* popover, const Control* sender) {
    if (!popover) {
        return;
    }
    if (popover->isShown()) {
        popover->close();
        return;
    }
    popover->showRelativeTo(sender ? sender->bounds() : Rect{}, sender);
}

}  // namespace

void AppDelegate::StatusClicked() {
    if (ui_.window) {
        ui_.window->makeKeyAndOrderFront();
    }
    // A clipboard text taken while the window was hidden is translated now.
    if (ui_.window && ui_.window->isVisible() && ui_.autoClipboardTranslateBox &&
        ui_.autoClipboardTranslateBox->state() == 1) {
        segmentService();
    }
}

void AppDelegate::showMainWindow() {
    if (ui_.window) {
        ui_.window->makeKeyAndOrderFront();
    }
}

void AppDelegate::showPopoverForTranslate(const Control* sender) {
    togglePopover(ui_.translatePopover, sender);
}

void AppDelegate::showPopoverSettings(const Control* sender) {
    togglePopover(ui_.popover, sender);
}

void AppDelegate::varWindow() {
    if (!ui_.menuSegment || !ui_.window) {
        return;
    }
    switch (ui_.menuSegment->selectedSegment()) {
        case 0:
            ui_.window->miniaturize();
            host_.application.hide();
            break;
        case 1:
            host_.application.hide();
            ui_.window->close();
            break;
        default:
            break;
    }
}

void AppDelegate::close() {
    if (ui_.window) {
        ui_.window->close();
    }
    host_.application.hide();
}

void AppDelegate::closeApp() {
    host_.application.terminate();
}

void AppDelegate::eraseText() {
    if (ui_.consoleTabTranslate) {
        ui_.consoleTabTranslate->setString("");
    }
    stopTypingPause();  // nothing is left to translate
}

void AppDelegate::alert(const std::string& messageText, const std::string& informativeText) {
    host_.alerts.runModal(Alert{AlertStyle::informational, messageText, informativeText, {}});
}

}  // namespace lexoria
