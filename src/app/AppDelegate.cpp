#include "AppDelegate.h"

#include "engine/SelfTranslators.h"
#include "engine/TextTools.h"

namespace lexoria {

AppDelegate::AppDelegate(Host& host, Interface interface)
    : host_(host), ui_(interface), settings_(host.defaults) {}

AppDelegate::~AppDelegate() {
    for (const auto& timer : {runTmr_, promtTmr_, timeForCMDType_, timerTranslate_}) {
        if (timer) {
            timer->invalidate();
        }
    }
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
    EngineContext context = engineContext();
    context.offline = host_.offline;
    context.guesser = host_.guesser;
    return SelfTranslators(context).setService(service, text.value_or(std::string()), leftLang,
                                               rightLang, removeItemsGoogle_, keyMicrosoft);
}

std::string AppDelegate::siteAddress(const std::string& path) const {
    return percentEncode("http://" + host_.addresses.site + path);
}

}  // namespace lexoria
