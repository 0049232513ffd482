#include "FakeDesktop.h"

#include <algorithm>

namespace lexoria::test {

void FakePopUpButton::addItemsWithTitles(const std::vector<std::string>& titles) {
    for (const std::string& title : titles) {
        // A pop-up holds each title once, as the real one does.
        if (std::find(items.begin(), items.end(), title) == items.end()) {
            items.push_back(title);
        }
    }
    if (selected < 0 && !items.empty()) {
        selected = 0;
    }
}

void FakePopUpButton::selectItemWithTitle(const std::string& title) {
    const auto it = std::find(items.begin(), items.end(), title);
    selected = it == items.end() ? -1 : static_cast<int>(it - items.begin());
}

void FakePopUpButton::setTitle(const std::string& title) {
    if (std::find(items.begin(), items.end(), title) == items.end()) {
        items.push_back(title);
    }
    selectItemWithTitle(title);
}

void FakeToolbar::removeItemAtIndex(std::size_t index) {
    if (index < items.size()) {
        items.erase(items.begin() + static_cast<long>(index));
    }
}

std::shared_ptr<StatusItem> FakeStatusBar::statusItemWithLength(double) {
    auto item = std::make_shared<FakeStatusItem>();
    items.push_back(item);
    ++created;
    return item;
}

void FakeStatusBar::removeStatusItem(const std::shared_ptr<StatusItem>& item) {
    items.erase(std::remove_if(items.begin(), items.end(),
                               [&](const auto& shown) { return shown.get() == item.get(); }),
                items.end());
}

FakeStatusItem* FakeStatusBar::shownItem() const {
    return items.size() == 1 ? items.front().get() : nullptr;
}

int FakeAlerts::runModal(const Alert& alert) {
    shown.push_back(alert);
    if (answers.empty()) {
        return 0;
    }
    const int answer = answers.front();
    answers.pop_front();
    return answer;
}

std::optional<Font> FakeFonts::fontWithName(const std::string& name, double size) const {
    if (std::find(families.begin(), families.end(), name) == families.end()) {
        return std::nullopt;
    }
    return Font{name, size};
}

std::string FakeFonts::substituteFamily(const std::string& family) const {
    if (std::find(families.begin(), families.end(), family) != families.end()) {
        return family;
    }
    return family == "Helvetica" ? helveticaStandIn : families.front();
}

void FakeKeyboard::postKeyEvent(uint16_t keyCode, std::optional<uint64_t> flags, bool down) {
    posted.push_back(Posted{keyCode, flags, down});
    if (keyCode == keys::kC && !down && onCopy) {
        onCopy();
    }
}

void FakeKeyboard::modifier(uint16_t keyCode, bool down, uint64_t flag) {
    held = down ? (held | flag) : (held & ~flag);
    const KeyEvent event{keyCode, held};
    for (const auto& handler : flagsChanged) {
        handler(event);
    }
}

KeyEvent FakeKeyboard::type(uint16_t keyCode) {
    KeyEvent event{keyCode, held};
    for (const auto& handler : keyDown) {
        event = handler(event);
    }
    return event;
}

void FakeServicesRegistry::registerServicesProvider(const std::string& portName, Handler handler) {
    ports[portName] = std::move(handler);
}

bool FakeFiles::createDirectories(const std::string& path) {
    if (confined) {
        return false;
    }
    for (std::size_t slash = path.find('/', 1); slash != std::string::npos;
         slash = path.find('/', slash + 1)) {
        folders.insert(path.substr(0, slash));
    }
    folders.insert(path);
    return true;
}

bool FakeFiles::writeFile(const std::string& path, const std::string& contents) {
    // As on a real disk: no file without its folder.
    if (confined || folders.count(path.substr(0, path.rfind('/'))) == 0) {
        return false;
    }
    files[path] = contents;
    written.push_back(path);
    return true;
}

FakeInterface::FakeInterface() {
    leftLanButton.tagValue = 1;
    rightLanButton.tagValue = 2;
}

Interface FakeInterface::loadInterface() {
    Interface ui;
    ui.window = &window;
    ui.prefPane = &prefPane;
    ui.toolbar = &toolbar;
    ui.popover = &popover;
    ui.translatePopover = &translatePopover;
    ui.hudtextView = &hudtextView;
    ui.consoleTabTranslate = &consoleTabTranslate;
    ui.reviewTView = &reviewTView;
    ui.serviceSegment = &serviceSegment;
    ui.menuSegment = &menuSegment;
    ui.leftLanButton = &leftLanButton;
    ui.rightLanButton = &rightLanButton;
    ui.reloadBut = &reloadBut;
    ui.autoDetectLang = &autoDetectLang;
    ui.autoClipboardTranslateBox = &autoClipboardTranslateBox;
    ui.lblIcon = &lblIcon;
    ui.choiseShortcuts = &choiseShortcuts;
    ui.slider = &slider;
    ui.allFontStyleButFirst = &allFontStyleButFirst;
    ui.labelFont = &labelFont;
    ui.labelFontSize = &labelFontSize;
    ui.butMail = &butMail;
    ui.butItWork = &butItWork;
    ui.guideBtn = &guideBtn;
    ui.popclipBtn = &popclipBtn;
    return ui;
}

}  // namespace lexoria::test
