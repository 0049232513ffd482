// Prints one start-up on the fakes against the loopback site: the log lines, the
// requests that left the program, and the controls' state afterwards.
#include <iostream>

#include "AppHarness.h"

int main() {
    using namespace lexoria;
    test::AppHarness harness;
    harness.started();
    const auto& ui = harness.ui;
    std::cout << "log:\n";
    for (const auto& line : harness.log.lines) {
        std::cout << "  \"" << line << "\"\n";
    }
    std::cout << "requests to the site (" << harness.site.hostPort() << "):\n";
    for (const auto& request : harness.site.requests()) {
        std::cout << "  " << request.method << " " << request.target
                  << "  User-Agent: " << request.header("User-Agent").value_or("-") << "\n";
    }
    std::cout << "requests to the services: " << harness.serviceRequests() << "\n";
    std::cout << "settings written:\n";
    for (const auto& [key, value] : harness.defaults.values) {
        std::cout << "  " << key << " = \"" << value << "\"\n";
    }
    const char* levels[] = {"normal", "floating", "maximum", "above the screen saver"};
    std::cout << "window: " << (ui.window.visible ? "visible" : "hidden") << ", level "
              << levels[static_cast<int>(ui.window.level)] << ", "
              << (ui.window.style == WindowStyle::borderlessResizable ? "borderless" : "titled")
              << "\n"
              << "tray: " << harness.statusBar.items.size() << " item(s), title \""
              << (harness.statusBar.shownItem() ? harness.statusBar.shownItem()->title : "")
              << "\"\n"
              << "service segment: " << ui.serviceSegment.segment << "\n"
              << "language pop-ups: " << ui.leftLanButton.items.size() << " names, left \""
              << ui.leftLanButton.titleOfSelectedItem() << "\" (hidden: " << ui.leftLanButton.hidden
              << "), right \"" << ui.rightLanButton.titleOfSelectedItem() << "\"\n"
              << "detect language: " << ui.autoDetectLang.stateValue << " \""
              << ui.autoDetectLang.titleValue
              << "\"; clipboard: " << ui.autoClipboardTranslateBox.stateValue << " \""
              << ui.autoClipboardTranslateBox.titleValue << "\"; icon: " << ui.lblIcon.stateValue
              << "\n"
              << "shortcut: \"" << ui.choiseShortcuts.titleOfSelectedItem() << "\"\n"
              << "font: \"" << ui.allFontStyleButFirst.titleOfSelectedItem() << "\" "
              << ui.slider.value << " pt; result view font "
              << (ui.hudtextView.fontValue ? ui.hudtextView.fontValue->family : "-") << " "
              << (ui.hudtextView.fontValue ? ui.hudtextView.fontValue->size : 0) << " pt\n"
              << "labels: \"" << ui.labelFont.text << "\" \"" << ui.labelFontSize.text << "\" \""
              << ui.butMail.titleValue << "\" \"" << ui.butItWork.titleValue << "\"\n"
              << "reviews: \"" << ui.reviewTView.text << "\"\n"
              << "removal list: " << harness.app().arrItemsGoogle().size() << " fragments\n"
              << "timers running: " << harness.loop.scheduledTimers() << "\n";
}
