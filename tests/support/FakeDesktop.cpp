#include "FakeDesktop.h"

#include <algorithm>

namespace lexoria::test {

Rect FakeWindow::contentRectForFrameRect(const Rect& frame) const {
    const double bar = style == WindowStyle::borderlessResizable ? 0 : titleBarHeight;
    return {frame.x, frame.y + bar, frame.width, frame.height - bar};
}

Rect FakeWindow::frameRectForContentRect(const Rect& content) const {
    const double bar = style == WindowStyle::borderlessResizable ? 0 : titleBarHeight;
    return {content.x, content.y - bar, content.width, content.height + bar};
}

Rect FakeWindow::contentViewFrame() const {
    const Rect inside = contentRectForFrameRect(frameValue);
    const double toolbar = toolbarShown ? toolbarHeight : 0;
    return {0, toolbar, inside.width, inside.height - toolbar};
}

void FakePopUpButton::addItemsWithTitles(const std::vector<std::string>& titles) {
    // Duplicates stay, as in the desktop's pop-ups.
    items.insert(items.end(), titles.begin(), titles.end());
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

void FakePasteboard::settle() const {
    while (!pending.empty() && pending.begin()->first <= clock.now() + 1e-9) {
        const auto write = std::move(pending.begin()->second);
        pending.erase(pending.begin());
        if (write) {
            write();
        }
    }
}

int FakeAlerts::runModal(const Alert& alert) {
    shown.push_back(alert);
    loop.sleep(secondsUp);
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
    const auto substitute = substitutes.find(family);
    return substitute != substitutes.end() ? substitute->second : families.front();
}

void FakeApplication::activateIgnoringOtherApps() {
    ++activations;
    hidden = false;
    for (FakeWindow* window : windows) {
        window->hiddenWithApplication = false;
    }
}

void FakeApplication::hide() {
    hidden = true;
    for (FakeWindow* window : windows) {
        window->hiddenWithApplication = true;
    }
}

void FakeKeyboard::postCopy() {
    ++copies;
    pasteboard.writeLater(pasteboard.clock.now() + copyDelay, onCopy);
}

void FakeKeyboard::modifier(uint16_t keyCode, bool down, uint64_t flag) {
    held = down ? (held | flag) : (held & ~flag);
    const KeyEvent event{keyCode, held};
    // A copy: a handler may remove monitors.
    const auto handlers = flagsChanged;
    for (const auto& [number, handler] : handlers) {
        handler(event);
    }
}

KeyEvent FakeKeyboard::type(uint16_t keyCode) {
    KeyEvent event{keyCode, held};
    const auto handlers = keyDown;
    for (const auto& [number, handler] : handlers) {
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
    prefPane.toolbarHeight = 56;
}

Interface FakeInterface::loadInterface() {
    return {.window = &window,
            .hudtextView = &hudtextView,
            .consoleTabTranslate = &consoleTabTranslate,
            .serviceSegment = &serviceSegment,
            .menuSegment = &menuSegment,
            .leftLanButton = &leftLanButton,
            .rightLanButton = &rightLanButton,
            .reloadBut = &reloadBut,
            .closeView = &closeView,
            .copyResultButton = &copyResultButton,
            .eraseSourceButton = &eraseSourceButton,
            .settingsPopoverButton = &settingsPopoverButton,
            .translatePopoverButton = &translatePopoverButton,
            .popover = &popover,
            .translatePopover = &translatePopover,
            .autoDetectLang = &autoDetectLang,
            .autoClipboardTranslateBox = &autoClipboardTranslateBox,
            .preferencesButton = &preferencesButton,
            .quitButton = &quitButton,
            .prefPane = &prefPane,
            .toolbar = &toolbar,
            .generalView = &generalView,
            .infoView = &infoView,
            .reviewersView = &reviewersView,
            .reviewTView = &reviewTView,
            .lblIcon = &lblIcon,
            .wordBox = &wordBox,
            .ctrlBox = &ctrlBox,
            .choiseShortcuts = &choiseShortcuts,
            .hoverTranslate = &hoverTranslate,
            .slider = &slider,
            .allFontStyleButFirst = &allFontStyleButFirst,
            .labelFont = &labelFont,
            .labelFontSize = &labelFontSize,
            .butMail = &butMail,
            .butItWork = &butItWork,
            .guideBtn = &guideBtn,
            .popclipBtn = &popclipBtn};
}

}  // namespace lexoria::test
