#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/EngineContext.h"
#include "engine/PropertyList.h"
#include "engine/SettingsStore.h"
#include "ports/Alerts.h"
#include "ports/Application.h"
#include "ports/Bundle.h"
#include "ports/Defaults.h"
#include "ports/EventMonitors.h"
#include "ports/FileOperations.h"
#include "ports/Fonts.h"
#include "ports/Interface.h"
#include "ports/Locale.h"
#include "ports/Log.h"
#include "ports/Pasteboard.h"
#include "ports/RunLoop.h"
#include "ports/Services.h"
#include "ports/StatusBar.h"
#include "ports/Workspace.h"
#include "windows/CloseView.h"
#include "windows/Slider.h"

namespace lexoria {

class AsyncHttp;

// Everything of the host that the controller uses.
struct Host {
    Defaults& defaults;
    RunLoop& runLoop;
    const Locale& locale;
    const Bundle& bundle;
    Log& log;
    Pasteboard& pasteboard;
    Alerts& alerts;
    Workspace& workspace;
    const Fonts& fonts;
    Application& application;
    StatusBar& statusBar;
    EventMonitors& eventMonitors;
    const KeyboardState& keyboardState;
    SyntheticKeys& syntheticKeys;
    ServicesRegistry& servicesRegistry;
    FileOperations& files;
    ServiceAddresses addresses;
    HttpOptions http;
    AsyncHttp* asyncHttp = nullptr;
    OfflineTranslator* offline = nullptr;      // the service "Offline"; none: no pairs
    const LanguageGuesser* guesser = nullptr;  // guesses when online detection cannot
    // Where the steps of a translation are written with their times, for measuring; none:
    // not written (the usual case).
    Log* trace = nullptr;
};

// The application controller: start-up, the translation flow with its cache and
// throttle, the result window, preferences and the update check. It lives as long as
// the program and runs on the main thread only.
class AppDelegate {
  public:
    static constexpr std::array<const char*, 6> kServiceTitles = {"Google", "Microsoft", "Yandex",
                                                                  "PROMT",  "Babylon",   "Offline"};

    // Connects every action of the interface's controls to the controller.
    AppDelegate(Host& host, Interface interface);
    ~AppDelegate();
    AppDelegate(const AppDelegate&) = delete;
    AppDelegate& operator=(const AppDelegate&) = delete;

    // Start-up; returns when it is over, also when the update check ended the program.
    void applicationDidFinishLaunching();

    // Settings.
    void saveObjForSettings(const std::optional<std::string>& value, const std::string& key);
    std::optional<std::string> objectFromSettings(const std::string& key);
    void removeObjForSettings(const std::string& key);

    // Translation flow.
    void setSegment(int index);
    void segmentService();
    void refresh();
    void selectItems(const std::vector<std::string>& names);
    void langsButns(const PopUpButton& sender);
    void reloadLangPair();
    void look();
    void translate();
    void run();
    void transMenuItem();
    const std::vector<std::string>& arrItemsGoogle() const { return removeItemsGoogle_; }

    // Result display.
    void StatusClicked();
    void showMainWindow();
    void showPopoverForTranslate(const Control* sender);
    void showPopoverSettings(const Control* sender);
    void varWindow();
    void close();
    void closeApp();
    void eraseText();
    void alert(const std::string& messageText, const std::string& informativeText);

    // Preferences.
    void autoDetLanSave(const Button& sender);
    void wordBoxSave(const Button& sender);
    void ctrlSave(const Button& sender);
    // The hover-translation pop-up: stores the choice and tells whoever watches the word
    // under the pointer.
    void hoverTranslateSave();
    void onHoverPreferenceChanged(std::function<void()> listener) {
        hoverPreferenceChanged_ = std::move(listener);
    }
    void autoClipbTraSave(const Button& sender);
    void labelsSave(const Button& sender);
    void sliderChange();
    void selectStyleFirst();
    void showPref();
    void showPrefPaneOnSet();

    // Update check.
    bool connectedToWeb();

    // Shortcuts and selection capture.
    void flagsChanged(const KeyEvent& event);
    KeyEvent keyDown(const KeyEvent& event);
    void copyIt();
    void waitCMD();
    void waitBoolean();
    void insideTranslate();
    void waitBool();
    void copyText();
    void choiseShortAction();
    bool detectSandbox();
    // Where detectSandbox writes: a file that an unconfined user can always write and a
    // Flatpak or Snap confinement cannot reach.
    std::string sandboxTestPath() const;

    // Services.
    std::optional<std::string> lexoria(ServicePasteboard& pboard);
    std::optional<std::string> convertToPrettiedPrint(const std::string& text, std::string& error);
    void service();

    // State, for those who drive the controller (the shortcuts, the Services provider).
    const std::optional<std::string>& oldPasteboard() const { return oldPasteboard_; }
    void setOldPasteboard(std::optional<std::string> text) { oldPasteboard_ = std::move(text); }
    const std::map<std::string, std::string>& allTranslationsDic() const {
        return allTranslationsDic_;
    }
    void emptyTranslations() { allTranslationsDic_.clear(); }
    int32_t tagSelService() const { return tagSelService_; }
    bool isRequest() const { return isRequest_; }
    const std::optional<PlistValue>& mainDict() const { return mainDict_; }
    const std::shared_ptr<StatusItem>& statusItem() const { return statusItem_; }
    const std::optional<Font>& firstFont() const { return firstFont_; }
    const Interface& interface() const { return ui_; }
    // The preferences window's switcher; nullptr without a preferences window.
    Slider* preferences() const { return preferences_.get(); }
    int32_t changeFlagInt() const { return changeFlagInt_; }
    int32_t commandKeyInt() const { return commandKeyInt_; }

  private:
    using LanguageTable = std::map<std::string, std::string>;

    void connectActions();
    void disconnectActions();
    // The run loop's timers and posted actions, stopped or made void when the controller
    // goes: none of them runs on a destroyed controller.
    std::shared_ptr<Timer> schedule(double interval, bool repeats, std::function<void()> action);
    void post(std::function<void()> action);

    // Start-up pieces.
    void loadLanguageTables();
    void writeFirstStartDefaults(const std::optional<std::string>& region);
    bool updateCheckFirstHalf();
    bool updateCheckSecondHalf();
    void runUpdateAlert();
    std::optional<PlistValue> fetchManifest();
    std::optional<PlistValue> infoDictionary() const;
    void restoreSettings();
    void createStatusItem();
    void applyLabels();
    void restoreHoverChoice();
    void applyFonts();

    // Flow pieces.
    const LanguageTable* tableOfService(int index) const;
    const std::vector<std::string>* namesOfService(int index) const;
    std::string translateWith(const std::string& service,
                              const std::optional<std::string>& leftLang,
                              const std::optional<std::string>& rightLang, int32_t keyMicrosoft,
                              const std::optional<std::string>& text);
    std::optional<std::string> googleCode(const std::string& name) const;
    void startClipboardWatch();
    void stopClipboardWatch();
    void applyFont();
    void trigger();
    // A line "trace <seconds on the loop's clock> <step>" in the trace, when there is one.
    void traceStep(const std::string& step);
    void stopTypingPause();
    void registerServices();
    std::string siteAddress(const std::string& path) const;
    EngineContext engineContext();

    Host& host_;
    Interface ui_;
    SettingsStore settings_;

    std::optional<PlistValue> allLangDict_;
    LanguageTable allLangGoogle_, allLangYandex_, allLangMicrosoft_, allLangPromt_, allLangBabylon_;
    std::map<std::string, std::string> googleNameOfCode_;
    std::vector<std::string> arrayLangGoogle_, arrayLangYandex_, arrayLangMicrosoft_,
        arrayLangPromt_, arrayLangBabylon_;
    std::map<std::string, std::string> dicBabylonNumeretic_;
    LanguageTable allLangOffline_;  // the installed pairs' languages
    std::vector<std::string> arrayLangOffline_;

    std::map<std::string, std::string> allTranslationsDic_;
    std::optional<std::string> oldPasteboard_;
    // The result last put on the clipboard by copyText, until the clipboard moves on.
    std::optional<std::string> copiedResult_;
    int32_t tagSelService_ = 0;
    bool isRequest_ = false;
    std::optional<PlistValue> mainDict_;
    std::vector<std::string> removeItemsGoogle_;

    std::shared_ptr<Timer> runTmr_;
    std::shared_ptr<Timer> promtTmr_;
    std::shared_ptr<StatusItem> statusItem_;
    std::optional<Font> firstFont_;

    std::function<void()> hoverPreferenceChanged_;
    int32_t changeFlagInt_ = 0;
    int32_t kolClickModKeyInt_ = 0;
    int32_t commandKeyInt_ = 0;
    std::shared_ptr<Timer> timeForCMDType_;
    std::shared_ptr<Timer> timerTranslate_;
    // The controller without interface that answers the Services port "LX".
    std::unique_ptr<AppDelegate> servicesProvider_;
    std::vector<int> monitors_;
    std::vector<std::shared_ptr<Timer>> timers_;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
    bool registeredServices_ = false;
    std::vector<Control*> connected_;
    std::unique_ptr<Slider> preferences_;
    std::unique_ptr<CloseView> closeView_;
};

// The settings keys the controller reads and writes, with what they mean.
namespace settings {
inline constexpr const char* kFirstRun = "rirstrun";          // present after the first start
inline constexpr const char* kAutoDetect = "autoDetectLang";  // flag
inline constexpr const char* kAutoClipboard = "autoClipboardTranslateBox";  // flag
inline constexpr const char* kIcon = "Icon";                    // flag: show the status item
inline constexpr const char* kRightName = "rightLangKey";       // target language name
inline constexpr const char* kRightCode = "rightSim";           // target language code
inline constexpr const char* kLeftName = "leftLangKey";         // source language name
inline constexpr const char* kLeftCode = "leftSim";             // source language code
inline constexpr const char* kService = "tagSelService";        // index of the service
inline constexpr const char* kShortcut = "choiseIntShortcuts";  // title of the gesture
inline constexpr const char* kFontSize = "slider";              // points
inline constexpr const char* kFontFamily = "allFontStyleButFirst";
inline constexpr const char* kWordBox = "wordBox";            // stored only
inline constexpr const char* kCtrlBox = "ctrlBox";            // stored only
inline constexpr const char* kSecondLanguage = "langru";      // "y": labels in the second language
inline constexpr const char* kPromtAnswer = "promt_";         // PROMT answer to collect
inline constexpr const char* kServicesText = "pboardString";  // text of a Services request
inline constexpr const char* kServicesPending = "servicego";  // flag: a Services text waits
// When the word under a resting pointer is translated: absent or "" never, "always", or
// while a modifier is held: "CTRL", "ALT" or "CMD" (the Super key).
inline constexpr const char* kHoverTranslate = "hoverTranslate";
}  // namespace settings

}  // namespace lexoria
