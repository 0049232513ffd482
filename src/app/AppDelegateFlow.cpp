// The translation flow: the service and language pop-ups, the throttle and the cache,
// the PROMT poll and the clipboard watch.
#include "AppDelegate.h"
#include "engine/AsyncHttp.h"
#include "engine/TextTools.h"

namespace lexoria {

namespace {

constexpr double kThrottleSeconds = 0.2;
constexpr double kPromtPollSeconds = 0.5;
constexpr double kClipboardWatchSeconds = 0.1;

std::optional<std::string> lookUp(const std::map<std::string, std::string>& table,
                                  const std::string& key) {
    const auto it = table.find(key);
    return it == table.end() ? std::nullopt : std::optional<std::string>(it->second);
}

}  // namespace

const AppDelegate::LanguageTable* AppDelegate::tableOfService(int index) const {
    switch (index) {
        case 0:
            return &allLangGoogle_;
        case 1:
            return &allLangMicrosoft_;
        case 2:
            return &allLangYandex_;
        case 3:
            return &allLangPromt_;
        case 4:
            return &allLangBabylon_;
        case 5:
            return &allLangOffline_;
        default:
            return nullptr;
    }
}

const std::vector<std::string>* AppDelegate::namesOfService(int index) const {
    switch (index) {
        case 0:
            return &arrayLangGoogle_;
        case 1:
            return &arrayLangMicrosoft_;
        case 2:
            return &arrayLangYandex_;
        case 3:
            return &arrayLangPromt_;
        case 4:
            return &arrayLangBabylon_;
        case 5:
            return &arrayLangOffline_;
        default:
            return nullptr;
    }
}

std::optional<std::string> AppDelegate::googleCode(const std::string& name) const {
    return lookUp(allLangGoogle_, name);
}

void AppDelegate::segmentService() {
    const int selected = ui_.serviceSegment ? ui_.serviceSegment->selectedSegment() : 0;
    tagSelService_ = selected;
    refresh();
    setSegment(selected);
}

void AppDelegate::refresh() {
    if (const std::vector<std::string>* names = namesOfService(tagSelService_)) {
        selectItems(*names);
    }
}

void AppDelegate::selectItems(const std::vector<std::string>& names) {
    for (PopUpButton* popUp : {ui_.leftLanButton, ui_.rightLanButton}) {
        if (popUp) {
            popUp->removeAllItems();
            popUp->addItemsWithTitles(names);
        }
    }
    if (const auto left = objectFromSettings(settings::kLeftName); left && ui_.leftLanButton) {
        ui_.leftLanButton->selectItemWithTitle(*left);
    }
    if (const auto right = objectFromSettings(settings::kRightName); right && ui_.rightLanButton) {
        ui_.rightLanButton->selectItemWithTitle(*right);
    }
}

void AppDelegate::setSegment(int index) {
    // Every call, refused or not, lets the next one through 0.2 s later.
    schedule(kThrottleSeconds, false, [this] { isRequest_ = true; });
    if (!isRequest_) {
        return;
    }
    isRequest_ = false;

    const std::string rightTitle =
        ui_.rightLanButton ? ui_.rightLanButton->titleOfSelectedItem() : "";
    std::optional<std::string> leftCode = objectFromSettings(settings::kLeftCode);
    const LanguageTable* table = tableOfService(index);
    const std::optional<std::string> rightCode = table ? lookUp(*table, rightTitle) : std::nullopt;
    if (index >= 0 && index <= 3 && leftCode && isDecimalInteger(*leftCode)) {
        // A Babylon number left behind in the settings: its language code.
        leftCode = lookUp(dicBabylonNumeretic_, *leftCode);
    }

    std::string result;
    const std::string title =
        index >= 0 && index < int(kServiceTitles.size()) ? kServiceTitles[index] : "";
    if (const auto cached = allTranslationsDic_.find(title);
        !title.empty() && cached != allTranslationsDic_.end()) {
        result = cached->second;
    } else if (title == "Google" || title == "Microsoft" || title == "Yandex") {
        result = translateWith(title, leftCode, rightCode, 1, oldPasteboard_);
        allTranslationsDic_[title] = result;
    } else if (title == "PROMT") {
        // An answer left from an earlier text must not be shown and cached for this one.
        if (objectFromSettings(settings::kPromtAnswer)) {
            removeObjForSettings(settings::kPromtAnswer);
        }
        translateWith(title, leftCode, rightCode, 1, oldPasteboard_);
        if (promtTmr_) {
            promtTmr_->invalidate();
        }
        promtTmr_ = schedule(kPromtPollSeconds, true, [this] { look(); });
    } else if (title == "Babylon") {
        const std::string leftTitle =
            ui_.leftLanButton ? ui_.leftLanButton->titleOfSelectedItem() : "";
        result = translateWith(title, lookUp(allLangBabylon_, leftTitle),
                               lookUp(allLangBabylon_, rightTitle), 1, oldPasteboard_);
        allTranslationsDic_[title] = result;
    } else if (title == "Offline") {
        // The source as the pop-up shows it: the engine may know languages Google does not.
        const std::string leftTitle =
            ui_.leftLanButton ? ui_.leftLanButton->titleOfSelectedItem() : "";
        result =
            translateWith(title, lookUp(allLangOffline_, leftTitle), rightCode, 1, oldPasteboard_);
        allTranslationsDic_[title] = result;
    }

    if (ui_.hudtextView) {
        ui_.hudtextView->setString(withoutControls(result));
        ui_.hudtextView->scrollToTop();
        traceStep("result shown");
    }
    if (ui_.window) {
        ui_.window->makeKeyAndOrderFront();
        ui_.window->setLevel(WindowLevel::maximum);
    }
}

void AppDelegate::look() {
    const std::optional<std::string> answer = objectFromSettings(settings::kPromtAnswer);
    if (!answer) {
        // A request that failed, or was never sent (no text, the same language twice),
        // brings no answer: the poll would run for ever.
        if (promtTmr_ && (!host_.asyncHttp || host_.asyncHttp->running() == 0)) {
            promtTmr_->invalidate();
        }
        return;
    }
    if (ui_.hudtextView) {
        ui_.hudtextView->setString(withoutControls(*answer));
    }
    allTranslationsDic_["PROMT"] = *answer;
    if (promtTmr_) {
        promtTmr_->invalidate();
    }
    removeObjForSettings(settings::kPromtAnswer);
}

void AppDelegate::langsButns(const PopUpButton& sender) {
    const std::string title = sender.titleOfSelectedItem();
    if (sender.tag() % 2 != 0) {
        saveObjForSettings(title, settings::kLeftName);
        saveObjForSettings(googleCode(title), settings::kLeftCode);
    } else {
        saveObjForSettings(title, settings::kRightName);
        saveObjForSettings(googleCode(title), settings::kRightCode);
    }
}

void AppDelegate::reloadLangPair() {
    if (!ui_.leftLanButton || !ui_.rightLanButton) {
        return;
    }
    const std::string left = ui_.leftLanButton->titleOfSelectedItem();
    const std::string right = ui_.rightLanButton->titleOfSelectedItem();
    ui_.leftLanButton->setTitle(right);
    ui_.rightLanButton->setTitle(left);
    saveObjForSettings(ui_.rightLanButton->titleOfSelectedItem(), settings::kRightName);
    saveObjForSettings(ui_.leftLanButton->titleOfSelectedItem(), settings::kLeftName);
    refresh();
    saveObjForSettings(googleCode(ui_.rightLanButton->titleOfSelectedItem()), settings::kRightCode);
    saveObjForSettings(googleCode(ui_.leftLanButton->titleOfSelectedItem()), settings::kLeftCode);
    if (ui_.reloadBut) {
        ui_.reloadBut->setState(0);
    }
}

void AppDelegate::translate() {
    schedule(kThrottleSeconds, false, [this] { segmentService(); });
}

void AppDelegate::run() {
    const auto clipboardOn = [this] {
        return ui_.autoClipboardTranslateBox && ui_.autoClipboardTranslateBox->state() == 1;
    };
    if (!clipboardOn()) {
        return;
    }
    const std::optional<std::string> text = host_.pasteboard.string();
    if (copiedResult_) {
        if (text == copiedResult_) {
            return;  // the translation the user copied is no new source text
        }
        copiedResult_.reset();
    }
    if (!text || text->empty() || text == oldPasteboard_ || !clipboardOn()) {
        return;
    }
    allTranslationsDic_.clear();
    oldPasteboard_ = text;
    // With the window hidden the text waits for the next trigger.
    if (ui_.window && ui_.window->isVisible()) {
        segmentService();
    }
}

void AppDelegate::transMenuItem() {
    if (ui_.window) {
        ui_.window->makeKeyAndOrderFront();
    }
    host_.application.activateIgnoringOtherApps();
    if (ui_.window) {
        ui_.window->setLevel(WindowLevel::maximum);
    }
    if (ui_.window && ui_.window->isVisible() && ui_.autoClipboardTranslateBox &&
        ui_.autoClipboardTranslateBox->state() == 1) {
        segmentService();
    }
}

void AppDelegate::startClipboardWatch() {
    if (runTmr_) {
        runTmr_->invalidate();
    }
    runTmr_ = schedule(kClipboardWatchSeconds, true, [this] { run(); });
}

void AppDelegate::stopClipboardWatch() {
    if (runTmr_) {
        runTmr_->invalidate();
        runTmr_.reset();
    }
}

}  // namespace lexoria
