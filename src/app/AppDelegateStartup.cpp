// Start-up: the language tables, first-start defaults, the update check, restoring the
// settings into the controls, the status item, labels and fonts.
#include <unicode/coll.h>
#include <unicode/locid.h>

#include <algorithm>
#include <memory>

#include "AppDelegate.h"
#include "engine/OfflineLanguages.h"
#include "engine/TextTools.h"

namespace lexoria {

namespace {

// Sorts names as the user's language orders them, ignoring case.
void sortForDisplay(std::vector<std::string>& names, const Locale& locale) {
    const std::vector<std::string> languages = locale.preferredLanguages();
    UErrorCode status = U_ZERO_ERROR;
    icu::Locale where = icu::Locale::getRoot();
    if (!languages.empty()) {
        where = icu::Locale::forLanguageTag(languages.front(), status);
        if (U_FAILURE(status)) {
            where = icu::Locale::getRoot();
            status = U_ZERO_ERROR;
        }
    }
    std::unique_ptr<icu::Collator> collator(icu::Collator::createInstance(where, status));
    if (U_FAILURE(status) || !collator) {
        std::sort(names.begin(), names.end());
        return;
    }
    collator->setStrength(icu::Collator::SECONDARY);
    std::stable_sort(names.begin(), names.end(), [&](const std::string& a, const std::string& b) {
        UErrorCode error = U_ZERO_ERROR;
        return collator->compareUTF8(a, b, error) == UCOL_LESS;
    });
}

std::vector<std::string> keysOf(const std::map<std::string, std::string>& table) {
    std::vector<std::string> keys;
    keys.reserve(table.size());
    for (const auto& entry : table) {
        keys.push_back(entry.first);
    }
    return keys;
}

}  // namespace

void AppDelegate::applicationDidFinishLaunching() {
    const std::optional<std::string> region = host_.locale.regionCode();
    allTranslationsDic_.clear();
    loadLanguageTables();
    refresh();
    if (!objectFromSettings(settings::kFirstRun)) {
        writeFirstStartDefaults(region);
    }
    refresh();
    if (!updateCheckFirstHalf()) {
        return;
    }
    isRequest_ = true;
    if (!updateCheckSecondHalf()) {
        return;
    }
    registerServices();

    removeItemsGoogle_.clear();
    if (mainDict_) {
        if (const PlistValue* list = mainDict_->member("removeItemsGoogle");
            list && list->array()) {
            for (const PlistValue& item : *list->array()) {
                if (const std::string* text = item.text()) {
                    removeItemsGoogle_.push_back(*text);
                }
            }
        }
    }
    restoreSettings();

    createStatusItem();
    host_.application.activateIgnoringOtherApps();
    if (ui_.window) {
        // The style first: a desktop may hide a shown window to change its frame.
        ui_.window->setStyle(WindowStyle::borderlessResizable);
        ui_.window->setLevel(WindowLevel::maximum);
        ui_.window->makeKeyAndOrderFront();
    }
    const bool showIcon = flagValue(objectFromSettings(settings::kIcon));
    if (ui_.lblIcon) {
        ui_.lblIcon->setState(showIcon ? 1 : 0);
    }
    if (!showIcon && statusItem_) {
        host_.statusBar.removeStatusItem(statusItem_);
        statusItem_.reset();
    }

    const std::optional<std::string> savedService = objectFromSettings(settings::kService);
    tagSelService_ = 0;
    if (savedService) {
        const int64_t index = numberValue(savedService);
        tagSelService_ = (index >= 0 && index < 4) || index == 5 ? static_cast<int32_t>(index) : 0;
    }

    if (ui_.choiseShortcuts) {
        ui_.choiseShortcuts->addItemsWithTitles(
            {"Select", "Fn", "ALT(RIGHT)", "CTRL+ALT", "\u2318(#2)"});
        ui_.choiseShortcuts->selectItemWithTitle(
            objectFromSettings(settings::kShortcut).value_or("Select"));
    }
    restoreHoverChoice();
    monitors_.push_back(host_.eventMonitors.addGlobalFlagsChangedMonitor(
        [this](const KeyEvent& event) { flagsChanged(event); }));
    monitors_.push_back(host_.eventMonitors.addLocalKeyDownMonitor(
        [this](const KeyEvent& event) { return keyDown(event); }));
    if (ui_.reloadBut) {
        ui_.reloadBut->setState(0);
    }

    if (mainDict_ && region && ui_.reviewTView) {
        if (const PlistValue* reviews = mainDict_->member("reviews")) {
            if (const PlistValue* text = reviews->member(*region); text && text->text()) {
                ui_.reviewTView->setString(*text->text());
            }
        }
    }
    applyLabels();
    applyFonts();
    if (ui_.popclipBtn) {
        ui_.popclipBtn->setHidden(true);
    }
    // A Services request stored before the program last ended is completed now.
    post([this] { service(); });
}

void AppDelegate::loadLanguageTables() {
    allLangDict_.reset();
    if (const auto path = host_.bundle.pathForResource("lang", "plist")) {
        allLangDict_ = readPropertyList(*path);
    }
    const PlistValue* root = allLangDict_ ? &*allLangDict_ : nullptr;
    const auto table = [&](const char* name) {
        return textDictionary(root ? root->member(name) : nullptr);
    };
    dicBabylonNumeretic_ = table("bab_det");
    allLangGoogle_ = table("google");
    allLangYandex_ = table("yandex");
    allLangMicrosoft_ = table("microsoft");
    allLangPromt_ = table("promt");
    allLangBabylon_ = table("babylon");

    googleNameOfCode_.clear();
    for (const auto& [name, code] : allLangGoogle_) {
        googleNameOfCode_.emplace(code, name);
    }
    const std::pair<std::vector<std::string>*, const LanguageTable*> lists[] = {
        {&arrayLangGoogle_, &allLangGoogle_},
        {&arrayLangYandex_, &allLangYandex_},
        {&arrayLangMicrosoft_, &allLangMicrosoft_},
        {&arrayLangPromt_, &allLangPromt_},
        {&arrayLangBabylon_, &allLangBabylon_}};
    for (const auto& [names, source] : lists) {
        *names = keysOf(*source);
        sortForDisplay(*names, host_.locale);
    }
    // Built from what is installed: a pair installed since the last start appears now.
    allLangOffline_ =
        host_.offline ? offlineLanguageTable(host_.offline->pairs()) : LanguageTable{};
    arrayLangOffline_ = keysOf(allLangOffline_);
    sortForDisplay(arrayLangOffline_, host_.locale);
}

void AppDelegate::writeFirstStartDefaults(const std::optional<std::string>& region) {
    const std::optional<std::string> code =
        region ? std::optional<std::string>(lowercased(*region)) : std::nullopt;
    saveObjForSettings(std::nullopt, settings::kFirstRun);
    saveObjForSettings(std::string("1"), settings::kAutoDetect);
    saveObjForSettings(std::string("0"), settings::kAutoClipboard);
    settings_.saveObjForSettings(int64_t{1}, settings::kIcon);
    std::optional<std::string> name;
    if (code) {
        if (const auto it = googleNameOfCode_.find(*code); it != googleNameOfCode_.end()) {
            name = it->second;
        }
    }
    saveObjForSettings(name, settings::kRightName);
    saveObjForSettings(code, settings::kRightCode);
    // The watch runs until the restored flag (just written off) stops it again.
    startClipboardWatch();
}

void AppDelegate::restoreSettings() {
    if (flagValue(objectFromSettings(settings::kAutoDetect))) {
        if (ui_.autoDetectLang) {
            ui_.autoDetectLang->setState(1);
        }
        if (ui_.leftLanButton) {
            ui_.leftLanButton->setHidden(true);
        }
        if (ui_.reloadBut) {
            ui_.reloadBut->setHidden(true);
        }
    } else if (ui_.autoDetectLang) {
        ui_.autoDetectLang->setState(0);
    }
    if (flagValue(objectFromSettings(settings::kAutoClipboard))) {
        if (ui_.autoClipboardTranslateBox) {
            ui_.autoClipboardTranslateBox->setState(1);
        }
        startClipboardWatch();
    } else {
        stopClipboardWatch();
        if (ui_.autoClipboardTranslateBox) {
            ui_.autoClipboardTranslateBox->setState(0);
        }
    }
}

void AppDelegate::createStatusItem() {
    statusItem_ = host_.statusBar.statusItemWithLength(-1);
    statusItem_->setTitle("\U0001F4A1");
    statusItem_->setAction([this] { StatusClicked(); });
}

void AppDelegate::applyLabels() {
    const std::vector<std::string> languages = host_.locale.preferredLanguages();
    if (languages.empty()) {
        return;
    }
    // With only one preferred language, "the second" is the first.
    const bool second =
        objectFromSettings(settings::kSecondLanguage) == "y" && languages.size() > 1;
    const std::string& language = languages[second ? 1 : 0];
    const auto path = host_.bundle.pathForResource("lxlocal", "plist");
    const std::optional<PlistValue> table = path ? readPropertyList(*path) : std::nullopt;
    if (!table) {
        return;
    }
    const PlistValue* entry = table->member(language);
    if (!entry) {
        // "de-AT" reads the labels of "de" when it has none of its own.
        entry = table->member(language.substr(0, language.find('-')));
    }
    const std::map<std::string, std::string> labels = textDictionary(entry);
    const auto label = [&](const char* key) -> const std::string* {
        const auto it = labels.find(key);
        return it == labels.end() ? nullptr : &it->second;
    };
    const std::pair<const char*, Button*> buttons[] = {
        {"auto_det", ui_.autoDetectLang},
        {"autocliptrans", ui_.autoClipboardTranslateBox},
        {"help", ui_.butMail},
        {"site", ui_.butItWork},
        {"guide", ui_.guideBtn},
        {"popext", ui_.popclipBtn}};
    for (const auto& [key, button] : buttons) {
        if (button && label(key)) {
            button->setTitle(*label(key));
        }
    }
    const std::pair<const char*, TextField*> fields[] = {{"font", ui_.labelFont},
                                                         {"textsize", ui_.labelFontSize}};
    for (const auto& [key, field] : fields) {
        if (field && label(key)) {
            field->setStringValue(*label(key));
        }
    }
}

void AppDelegate::applyFonts() {
    // Where the system has no Helvetica, its stand-in is shown and used, so the family
    // pop-up never starts blank.
    const std::string helvetica = host_.fonts.substituteFamily("Helvetica");
    if (ui_.serviceSegment) {
        ui_.serviceSegment->setSelectedSegment(0);
    }
    if (ui_.slider) {
        ui_.slider->setIntegerValue(13);
    }
    const std::optional<Font> standard = host_.fonts.fontWithName(helvetica, 15);
    for (TextView* view : {ui_.consoleTabTranslate, ui_.hudtextView}) {
        if (view) {
            if (standard) {
                view->setFont(*standard);
            }
            view->setTextColorBlack();
        }
    }
    if (ui_.allFontStyleButFirst) {
        ui_.allFontStyleButFirst->addItemsWithTitles(host_.fonts.familyNames());
        ui_.allFontStyleButFirst->selectItemWithTitle(helvetica);
    }
    if (const auto size = objectFromSettings(settings::kFontSize); size && ui_.slider) {
        ui_.slider->setIntegerValue(
            static_cast<int>(std::clamp<int64_t>(numberValue(size), 0, 1000)));
    }
    const double points = ui_.slider ? ui_.slider->integerValue() : 13;
    const std::optional<std::string> family = objectFromSettings(settings::kFontFamily);
    firstFont_ = host_.fonts.fontWithName(family.value_or(helvetica), points);
    if (firstFont_) {
        for (TextView* view : {ui_.hudtextView, ui_.consoleTabTranslate}) {
            if (view) {
                view->setFont(*firstFont_);
            }
        }
    }
    // A saved family that is no longer installed leaves the stand-in selected.
    if (family && firstFont_ && ui_.allFontStyleButFirst) {
        ui_.allFontStyleButFirst->selectItemWithTitle(*family);
    }
}

}  // namespace lexoria
