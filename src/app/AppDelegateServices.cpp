// The Services entry: another program hands over its selection, gets it back as tidy XML
// when it is XML, and the text is translated once the request has been answered.
#include "AppDelegate.h"
#include "PrettyXml.h"

namespace lexoria {

namespace {

constexpr const char* kNoTextError = "Error: couldn't encrypt text.";
constexpr double kServiceRetrySeconds = 0.2;  // the translation throttle

}  // namespace

void AppDelegate::registerServices() {
    // Either provider only stores the request; the main controller completes it once the
    // calling program has its answer.
    const auto handlerOf = [this](AppDelegate& provider) {
        return [this, &provider](ServicePasteboard& pboard) {
            std::optional<std::string> error = provider.lexoria(pboard);
            post([this] { service(); });
            return error;
        };
    };
    servicesProvider_ = std::make_unique<AppDelegate>(host_, Interface{});
    host_.servicesRegistry.registerServicesProvider("LX", handlerOf(*servicesProvider_));
    registeredServices_ = true;
    // Requests that were waiting for the program are taken in here.
    host_.runLoop.runOnce(30.0);
    host_.servicesRegistry.setServicesProvider(handlerOf(*this));
}

std::optional<std::string> AppDelegate::lexoria(ServicePasteboard& pboard) {
    if (!pboard.hasString()) {
        return std::string(kNoTextError);
    }
    const std::optional<std::string> text = pboard.string();
    saveObjForSettings(text, settings::kServicesText);
    saveObjForSettings(std::string("1"), settings::kServicesPending);
    if (!text) {
        return std::string(kNoTextError);
    }
    std::string error;
    if (const std::optional<std::string> pretty = convertToPrettiedPrint(*text, error)) {
        pboard.setString(*pretty);
        return std::nullopt;
    }
    return error;
}

std::optional<std::string> AppDelegate::convertToPrettiedPrint(const std::string& text,
                                                               std::string& error) {
    return prettyPrintedXml(text, error);
}

void AppDelegate::service() {
    if (!flagValue(objectFromSettings(settings::kServicesPending))) {
        return;
    }
    if (!isRequest_) {
        // The throttle would drop the request, and nothing else would bring it back: it
        // waits, still pending, until the throttle lets a translation through.
        schedule(kServiceRetrySeconds, false, [this] { service(); });
        return;
    }
    allTranslationsDic_.clear();
    oldPasteboard_ = objectFromSettings(settings::kServicesText);
    host_.pasteboard.setString(oldPasteboard_.value_or(std::string()));
    segmentService();
    saveObjForSettings(std::nullopt, settings::kServicesPending);
}

}  // namespace lexoria
