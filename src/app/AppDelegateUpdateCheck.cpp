// The update check of every start: the version manifest of the maker's site, the
// reachability of the site, and the notice that ends an unsupported version.
#include "AppDelegate.h"
#include "engine/HttpFetch.h"

namespace lexoria {

namespace {

constexpr const char* kBuiltInVersion = "3.0.2";
constexpr const char* kNotice = " This version of Lexoria is no longer supported . Please update .";
constexpr const char* kDownloadPath = "/data/uploads/lexoriasource/translator.dmg";

bool isAscii(const std::string& text) {
    for (const unsigned char c : text) {
        if (c >= 0x80) {
            return false;
        }
    }
    return true;
}

std::optional<std::string> textMember(const std::optional<PlistValue>& dictionary,
                                      const char* key) {
    if (!dictionary) {
        return std::nullopt;
    }
    const PlistValue* member = dictionary->member(key);
    return member && member->text() ? std::optional<std::string>(*member->text()) : std::nullopt;
}

}  // namespace

std::optional<PlistValue> AppDelegate::fetchManifest() {
    const auto answer =
        httpGet("http://" + host_.addresses.site + "/lx.plist", host_.http, defaultUserAgent());
    if (!answer) {
        return std::nullopt;
    }
    std::optional<PlistValue> manifest = parsePropertyList(answer->body);
    if (!manifest || !manifest->dictionary()) {
        return std::nullopt;
    }
    return manifest;
}

std::optional<PlistValue> AppDelegate::infoDictionary() const {
    const auto path = host_.bundle.pathForResource("Info", "plist");
    return path ? readPropertyList(*path) : std::nullopt;
}

bool AppDelegate::connectedToWeb() {
    const auto answer =
        httpGet("http://" + host_.addresses.site + "/", host_.http, defaultUserAgent());
    return answer && isAscii(answer->body);
}

// False when the program ends here.
bool AppDelegate::updateCheckFirstHalf() {
    mainDict_ = fetchManifest();
    const std::optional<PlistValue> info = infoDictionary();
    if (flagValue(textMember(info, "fromsite"))) {
        if (ui_.toolbar && ui_.toolbar->itemCount() > 2) {
            ui_.toolbar->removeItemAtIndex(2);
        }
        const std::optional<std::string> own = textMember(info, "CFBundleShortVersionString");
        const std::optional<std::string> site = textMember(mainDict_, "siteversion");
        if (!own || !site || *own != *site) {
            runUpdateAlert();
            return false;
        }
        host_.log.line("Site version ");
    } else {
        host_.log.line("MAC version ");
    }
    return true;
}

// False when the program ends here.
bool AppDelegate::updateCheckSecondHalf() {
    if (!connectedToWeb()) {
        alert("Lexoria", "No connection !");
        host_.application.terminate();
        return false;
    }
    host_.log.line("?");
    if (textMember(fetchManifest(), "version") != kBuiltInVersion) {
        runUpdateAlert();
        return false;
    }
    return true;
}

void AppDelegate::runUpdateAlert() {
    std::string notice = kNotice;
    if (objectFromSettings(settings::kRightCode) != "en") {
        // The removal list is still empty at this point of start-up.
        notice = translateWith("Microsoft", objectFromSettings(settings::kLeftCode),
                               objectFromSettings(settings::kRightCode), 2, notice);
    }
    const Alert update{AlertStyle::warning, "Lexoria", notice, {"Download new version", "Cancel"}};
    int pressed = host_.alerts.runModal(update);
    if (pressed == kAlertClosed) {
        // Closing the notice declines it like its last button; never the download.
        pressed = static_cast<int>(update.buttons.size()) - 1;
    }
    if (pressed == 0) {
        host_.workspace.openURL(siteAddress(kDownloadPath));
    }
    host_.application.terminate();
}

}  // namespace lexoria
