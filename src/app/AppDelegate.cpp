#include "AppDelegate.h"

#include <cstdio>

#include "engine/SelfTranslators.h"
#include "engine/TextTools.h"

namespace lexoria {

AppDelegate::AppDelegate(Host& host, Interface interface)
    : host_(host), ui_(interface), settings_(host.defaults) {
    connectActions();
}

AppDelegate::~AppDelegate() {
    disconnectActions();
    for (const int monitor : monitors_) {
        host_.eventMonitors.removeMonitor(monitor);
    }
    for (const auto& timer : timers_) {
        timer->invalidate();
    }
    if (statusItem_) {
        statusItem_->setAction({});
        host_.statusBar.removeStatusItem(statusItem_);
    }
    if (registeredServices_) {
        host_.servicesRegistry.registerServicesProvider("LX", {});
        host_.servicesRegistry.setServicesProvider({});
    }
}

std::shared_ptr<Timer> AppDelegate::schedule(double interval, bool repeats,
                                             std::function<void()> action) {
    std::erase_if(timers_, [](const auto& timer) { return !timer->isValid(); });
    timers_.push_back(host_.runLoop.scheduleTimer(interval, repeats, std::move(action)));
    return timers_.back();
}

void AppDelegate::post(std::function<void()> action) {
    // A posted action cannot be taken back; it finds the controller gone instead.
    host_.runLoop.post([alive = std::weak_ptr<bool>(alive_), action = std::move(action)] {
        if (alive.lock()) {
            action();
        }
    });
}

void AppDelegate::connectActions() {
    const auto connect = [this](Control* control, std::function<void()> action) {
        if (control) {
            control->setAction(std::move(action));
            connected_.push_back(control);
        }
    };
    connect(ui_.serviceSegment, [this] { segmentService(); });
    connect(ui_.leftLanButton, [this] { langsButns(*ui_.leftLanButton); });
    connect(ui_.rightLanButton, [this] { langsButns(*ui_.rightLanButton); });
    connect(ui_.reloadBut, [this] { reloadLangPair(); });
    connect(ui_.menuSegment, [this] { varWindow(); });
    connect(ui_.copyResultButton, [this] { copyText(); });
    connect(ui_.eraseSourceButton, [this] { eraseText(); });
    connect(ui_.settingsPopoverButton, [this] { showPopoverSettings(ui_.settingsPopoverButton); });
    connect(ui_.translatePopoverButton,
            [this] { showPopoverForTranslate(ui_.translatePopoverButton); });
    connect(ui_.quitButton, [this] { closeApp(); });
    connect(ui_.autoDetectLang, [this] { autoDetLanSave(*ui_.autoDetectLang); });
    connect(ui_.autoClipboardTranslateBox,
            [this] { autoClipbTraSave(*ui_.autoClipboardTranslateBox); });
    connect(ui_.lblIcon, [this] { labelsSave(*ui_.lblIcon); });
    connect(ui_.wordBox, [this] { wordBoxSave(*ui_.wordBox); });
    connect(ui_.ctrlBox, [this] { ctrlSave(*ui_.ctrlBox); });
    connect(ui_.slider, [this] { sliderChange(); });
    connect(ui_.allFontStyleButFirst, [this] { selectStyleFirst(); });
    connect(ui_.choiseShortcuts, [this] { choiseShortAction(); });
    connect(ui_.hoverTranslate, [this] { hoverTranslateSave(); });
    if (ui_.closeView) {
        closeView_ = std::make_unique<CloseView>(*ui_.closeView, host_.application);
    }

    if (!ui_.prefPane) {
        connect(ui_.preferencesButton, [this] { showPref(); });
        return;
    }
    const std::optional<PlistValue> info = infoDictionary();
    const PlistValue* mail = info ? info->member("LXSupportMail") : nullptr;
    preferences_ = std::make_unique<Slider>(
        *ui_.prefPane, Slider::Views{ui_.generalView, ui_.infoView, ui_.reviewersView},
        host_.workspace, [this](const std::string& path) { return siteAddress(path); },
        mail && mail->text() ? *mail->text() : std::string());
    Slider& slider = *preferences_;
    connect(ui_.preferencesButton, [&slider] { slider.showPreferences(); });
    connect(ui_.butMail, [&slider] { slider.reportaBug(); });
    connect(ui_.butItWork, [&slider] { slider.openHowItWork(); });
    connect(ui_.guideBtn, [&slider] { slider.watchGuideShortcuts(); });
    connect(ui_.popclipBtn, [&slider] { slider.downloadPopClipExt(); });
    if (ui_.toolbar) {
        ui_.toolbar->setAction([&slider](int tag) { slider.changeView(tag); });
    }
    slider.awakeFromNib();
}

void AppDelegate::disconnectActions() {
    for (Control* control : connected_) {
        control->setAction({});
    }
    if (ui_.toolbar) {
        ui_.toolbar->setAction({});
    }
    closeView_.reset();
}

void AppDelegate::saveObjForSettings(const std::optional<std::string>& value,
                                     const std::string& key) {
    settings_.saveObjForSettings(value, key);
}

std::optional<std::string> AppDelegate::objectFromSettings(const std::string& key) {
    return settings_.objectFromSettings(key);
}

void AppDelegate::removeObjForSettings(const std::string& key) {
    settings_.removeObjForSettings(key);
}

EngineContext AppDelegate::engineContext() {
    return EngineContext{host_.defaults, host_.locale,    host_.addresses, host_.http,
                         &host_.bundle,  host_.asyncHttp, &host_.log};
}

std::string AppDelegate::translateWith(const std::string& service,
                                       const std::optional<std::string>& leftLang,
                                       const std::optional<std::string>& rightLang,
                                       int32_t keyMicrosoft,
                                       const std::optional<std::string>& text) {
    traceStep("request sent " + service);
    EngineContext context = engineContext();
    context.offline = host_.offline;
    context.guesser = host_.guesser;
    return SelfTranslators(context).setService(service, text.value_or(std::string()), leftLang,
                                               rightLang, removeItemsGoogle_, keyMicrosoft);
}

void AppDelegate::traceStep(const std::string& step) {
    if (host_.trace) {
        char seconds[32];
        std::snprintf(seconds, sizeof seconds, "%.6f", host_.runLoop.now());
        host_.trace->line(std::string("trace ") + seconds + " " + step);
    }
}

std::string AppDelegate::siteAddress(const std::string& path) const {
    return host_.addresses.siteAddress(path);
}

}  // namespace lexoria
