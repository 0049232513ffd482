#pragma once

// One controller on the fakes, with the maker's site and the services on loopback
// servers and time on the virtual clock.

#include <memory>

#include "DefaultsMemory.h"
#include "FakeDesktop.h"
#include "LocaleFixed.h"
#include "LoopbackServer.h"
#include "RunLoopVirtual.h"
#include "TempDir.h"
#include "app/AppDelegate.h"
#include "engine/AsyncHttp.h"
#include "platform/linux/BundleDirectory.h"

namespace lexoria::test {

// A Google page whose translation is `text`.
inline CannedAnswer googlePage(const std::string& text) {
    return {200, "text/html; charset=UTF-8",
            "<span onmouseout=\"this.style.backgroundColor='#fff'\">" + text +
                "</span><textarea name=gtrans>"};
}

// The settings of a later start: English to German, no detection, the light shown.
inline const std::map<std::string, std::string> kLaterStart = {
    {"rirstrun", "(null)"},     {"autoDetectLang", "0"}, {"Icon", "1"},
    {"leftLangKey", "English"}, {"leftSim", "en"},       {"rightLangKey", "German"},
    {"rightSim", "de"}};

struct AppHarness {
    AppHarness() {
        site.answer("/lx.plist",
                    {200, "application/xml", readFile(std::string(LEXORIA_SITE) + "/lx.plist")});
        site.answer("/", {200, "text/html", readFile(std::string(LEXORIA_SITE) + "/index.html")});
        secure.answer("/", googlePage("Hallo"));
        addresses.site = site.hostPort();
        addresses.google = secure.hostPort();
        addresses.yandexTranslate = secure.hostPort();
        addresses.yandexDictionary = secure.hostPort();
        addresses.microsoft = plain.hostPort();
        addresses.babylon = plain.hostPort();
        addresses.promt = plain.hostPort();
        http.caFile = secure.caFile();
        locale.region = "DE";
        locale.languages = {"de"};
        application.windows = {&ui.window, &ui.prefPane};
    }

    // The controller, made on first use so a test can arrange the host before.
    AppDelegate& app() {
        if (!controller) {
            async = std::make_unique<AsyncHttp>(loop, http);
            host = std::make_unique<Host>(Host{defaults, loop, locale, bundle, log, pasteboard,
                                               alerts, workspace, fonts, application, statusBar,
                                               keyboard, keyboard, keyboard, services, files,
                                               addresses, http, async.get()});
            controller = std::make_unique<AppDelegate>(*host, ui.loadInterface());
        }
        return *controller;
    }
    AppDelegate& started() {
        app().applicationDidFinishLaunching();
        return app();
    }
    // Writes a resource that takes precedence over the shipped ones.
    void overrideResource(const std::string& name, const std::string& text) {
        writeFile(overrides.path() / name, text);
    }
    std::size_t serviceRequests() const {
        return secure.requests().size() + plain.requests().size();
    }

    LoopbackServer site;
    LoopbackServer secure{LoopbackServer::Scheme::https};
    LoopbackServer plain;
    ServiceAddresses addresses;
    HttpOptions http;
    DefaultsMemory defaults;
    RunLoopVirtual loop;
    LocaleFixed locale;
    TempDir overrides;
    BundleDirectory bundle{{overrides.path(), LEXORIA_RESOURCES}};
    LogLines log;
    FakePasteboard pasteboard{loop};
    FakeAlerts alerts{loop};
    FakeWorkspace workspace;
    FakeFonts fonts;
    FakeApplication application;
    FakeStatusBar statusBar;
    FakeKeyboard keyboard{pasteboard};
    FakeServicesRegistry services;
    FakeFiles files;
    FakeInterface ui;
    std::unique_ptr<AsyncHttp> async;
    std::unique_ptr<Host> host;
    std::unique_ptr<AppDelegate> controller;
};

}  // namespace lexoria::test
