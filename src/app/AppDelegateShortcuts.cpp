// The modifier-key gestures, the capture of the selection, typing in the main window and
// the choice of the gesture.
#include "AppDelegate.h"

namespace lexoria {

namespace {

constexpr double kCommandWindowSeconds = 0.5;
constexpr double kTypingPauseSeconds = 2.0;
constexpr double kCopyWaitSeconds = 0.3;
constexpr double kSandboxTestWaitSeconds = 0.5;
constexpr const char* kSandboxDownloadPath = "/data/uploads/lexoriasource/fixlxsandbox.dmg";

}  // namespace

void AppDelegate::flagsChanged(const KeyEvent& event) {
    traceStep("key " + std::to_string(event.keyCode));
    const std::string choice =
        ui_.choiseShortcuts ? ui_.choiseShortcuts->titleOfSelectedItem() : "";
    constexpr uint64_t kControlAndOption = keys::kControlFlag | keys::kOptionFlag;

    if ((host_.keyboardState.modifierFlags() & kControlAndOption) == kControlAndOption &&
        choice == "CTRL+ALT") {
        trigger();
    }
    if ((event.keyCode == keys::kLeftCommand || event.keyCode == keys::kRightCommand) &&
        choice == "\u2318(#2)") {
        // The timer replaced here is not stopped: whichever window closes first resets
        // the count.
        timeForCMDType_ = schedule(kCommandWindowSeconds, false, [this] { waitCMD(); });
        if (++commandKeyInt_ == 4) {
            trigger();
            commandKeyInt_ = 0;
        }
    }
    if (event.keyCode == keys::kRightOption && choice == "ALT(RIGHT)") {
        ++changeFlagInt_;
        if (++kolClickModKeyInt_ == 1) {
            trigger();
            changeFlagInt_ = 0;
        }
        if (kolClickModKeyInt_ == 2) {
            kolClickModKeyInt_ = 0;
        }
    }
    if (event.keyCode == keys::kFunction && choice == "Fn") {
        if (++changeFlagInt_ >= 2) {
            trigger();
            changeFlagInt_ = 0;
        }
    }
}

void AppDelegate::waitCMD() {
    commandKeyInt_ = 0;
    if (timeForCMDType_) {
        timeForCMDType_->invalidate();
    }
}

void AppDelegate::trigger() {
    allTranslationsDic_.clear();
    copyIt();
    segmentService();
}

void AppDelegate::copyIt() {
    host_.syntheticKeys.postCopy();
    traceStep("copy sent");
    // The other program copies in its own time; this is all the waiting there is.
    host_.runLoop.sleep(kCopyWaitSeconds);
    oldPasteboard_ = host_.pasteboard.string();
    traceStep("clipboard read");
}

KeyEvent AppDelegate::keyDown(const KeyEvent& event) {
    if (event.keyCode == keys::kA) {
        return event;
    }
    if (event.keyCode == keys::kEscape) {
        // The user is done with the window: a pending pause would bring it back and
        // overwrite the clipboard.
        stopTypingPause();
        if (ui_.window && ui_.window->isVisible()) {
            close();
        }
        return event;
    }
    if (ui_.consoleTabTranslate && !ui_.consoleTabTranslate->string().empty()) {
        stopTypingPause();
        timerTranslate_ = schedule(kTypingPauseSeconds, false, [this] { waitBoolean(); });
    }
    return event;
}

void AppDelegate::stopTypingPause() {
    if (timerTranslate_) {
        timerTranslate_->invalidate();
        timerTranslate_.reset();
    }
}

void AppDelegate::waitBoolean() {
    insideTranslate();
}

void AppDelegate::insideTranslate() {
    schedule(0.0, false, [this] { waitBool(); });
}

void AppDelegate::waitBool() {
    // The typed text goes through the clipboard, so the clipboard watch finds nothing new.
    host_.pasteboard.setString(ui_.consoleTabTranslate ? ui_.consoleTabTranslate->string() : "");
    oldPasteboard_ = host_.pasteboard.string();
    allTranslationsDic_.clear();
    translate();
}

void AppDelegate::copyText() {
    copiedResult_ = ui_.hudtextView ? ui_.hudtextView->string() : "";
    host_.pasteboard.setString(*copiedResult_);
}

std::string AppDelegate::sandboxTestPath() const {
    return host_.files.homeDirectory() + "/.local/share/lexoria/testsandbox.txt";
}

bool AppDelegate::detectSandbox() {
    const std::string path = sandboxTestPath();
    host_.files.createDirectories(path.substr(0, path.rfind('/')));
    host_.files.writeFile(path, "!");
    host_.runLoop.sleep(kSandboxTestWaitSeconds);
    const bool written = host_.files.fileExists(path);
    host_.files.removeFile(path);
    return !written;
}

void AppDelegate::choiseShortAction() {
    if (!ui_.choiseShortcuts) {
        return;
    }
    if (detectSandbox()) {
        ui_.choiseShortcuts->selectItemWithTitle("Select");
        const int pressed =
            host_.alerts.runModal(Alert{AlertStyle::warning,
                                        "Lexoria",
                                        "Sandboxed app !",
                                        {"Clean version without sandbox ( Download )", "Cancel"}});
        if (pressed == 0) {  // closing the notice is its "Cancel"
            host_.workspace.openURL(siteAddress(kSandboxDownloadPath));
            host_.application.terminate();
            return;
        }
    }
    const std::string title = ui_.choiseShortcuts->titleOfSelectedItem();
    for (const char* known : {"Select", "CTRL+ALT", "ALT(RIGHT)", "Fn", "\u2318(#2)"}) {
        if (title == known) {
            saveObjForSettings(title, settings::kShortcut);
            return;
        }
    }
}

}  // namespace lexoria
