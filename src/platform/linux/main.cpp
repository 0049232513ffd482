// lexoria: the desktop translator. Builds the Qt desktop's adapters of every port, hands
// them to the controller and runs the event loop.
#include <unistd.h>

#include <QApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QTimer>
#include <cstdlib>
#include <iostream>
#include <memory>

#include "AlertsQt.h"
#include "ApplicationQt.h"
#include "AuthorizationPkexec.h"
#include "BundleDirectory.h"
#include "CurlOnDemand.h"
#include "DefaultsPlistFile.h"
#include "EventMonitorsQt.h"
#include "FileOperationsPosix.h"
#include "FileSystemPosix.h"
#include "FontsQt.h"
#include "HostPathsLinux.h"
#include "HoverX11.h"
#include "InterfaceLoaderQt.h"
#include "KeySenderXTest.h"
#include "LanguageGuesserCld2.h"
#include "LocalePosix.h"
#include "LogStderr.h"
#include "ModifierMonitorXInput2.h"
#include "MountTableProc.h"
#include "OfflineTranslatorApertium.h"
#include "PasteboardQt.h"
#include "ProcessesPosix.h"
#include "RunLoopQt.h"
#include "ServicesDBus.h"
#include "SessionClientDBus.h"
#include "SiteLocation.h"
#include "StatusBarQt.h"
#include "TrashFolderQt.h"
#include "WorkspaceQt.h"
#include "app/AppDelegate.h"
#include "engine/AsyncHttp.h"
#include "relocation/PFMoveApplication.h"

namespace lexoria {
namespace {

constexpr const char* kBundleIdentifier = "org.lexoria.Lexoria";

std::optional<std::string> environment(const char* name) {
    const char* value = std::getenv(name);
    return value && *value ? std::optional<std::string>(value) : std::nullopt;
}

// A gesture made while one of our own views has the focus copies from it directly: our
// own synthetic key would wait in the queue until after the capture has read the
// clipboard.
bool copyFromOwnWindow(unsigned long focusedWindow) {
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (!window->isVisible() || window->winId() != focusedWindow) {
            continue;
        }
        QWidget* focus = window->focusWidget();
        if (auto* edit = qobject_cast<QPlainTextEdit*>(focus)) {
            edit->copy();
        } else if (auto* rich = qobject_cast<QTextEdit*>(focus)) {
            rich->copy();
        } else if (auto* line = qobject_cast<QLineEdit*>(focus)) {
            line->copy();
        }
        return true;
    }
    return false;
}

// The program's side of the desktop: one adapter per port, made once the QApplication
// exists and dropped after the controller.
struct DesktopQt {
    explicit DesktopQt(ServiceAddresses addresses, HttpOptions http)
        : defaults(DefaultsPlistFile::standardPath(kBundleIdentifier), std::cerr,
                   // The writes of one turn go out together when it ends: each replacement
                   // of the file waits for the disk (first start writes six settings). A
                   // zero timer also runs under an alert or a sleep, so nothing waits long.
                   [](std::function<void()> flush) {
                       QTimer::singleShot(0, QCoreApplication::instance(), std::move(flush));
                   }),
          bundle(BundleDirectory::forThisProgram()),
          alerts(runLoop),
          statusBar(runLoop, application),
          eventMonitors(runLoop, &desktopKeys),
          asyncHttp(runLoop, http),
          host{defaults,
               runLoop,
               locale,
               bundle,
               log,
               pasteboard,
               alerts,
               workspace,
               fonts,
               application,
               statusBar,
               eventMonitors,
               desktopKeys,
               copyKeys,
               services,
               files,
               std::move(addresses),
               std::move(http),
               &asyncHttp} {
        host.offline = &offline;
        host.guesser = &guesser;
    }

    RunLoopQt runLoop;
    DefaultsPlistFile defaults;
    LocalePosix locale;
    BundleDirectory bundle;
    LogStderr log;
    PasteboardQt pasteboard;
    AlertsQt alerts;
    WorkspaceQt workspace;
    FontsQt fonts;
    ApplicationQt application;
    StatusBarQt statusBar;
    // The keys of the whole desktop, on a connection of their own to the X server (on
    // Wayland, XWayland's; it reports keys only while an X program has the focus).
    ModifierMonitorXInput2 desktopKeys{
        nullptr, [this](std::function<void()> action) { runLoop.deliver(std::move(action)); }};
    EventMonitorsQt eventMonitors;
    KeySenderXTest copyKeys{desktopKeys, copyFromOwnWindow};
    // What a call on the session bus does to the window, once there is a controller.
    std::function<void()> showWindow;
    ServicesDBus services{
        QDBusConnection::sessionBus(),
        [this](std::function<void()> action) { runLoop.deliver(std::move(action)); },
        [this] {
            if (showWindow) {
                showWindow();
            }
        }};
    FileOperationsPosix files;
    OfflineTranslatorApertium offline;
    LanguageGuesserCld2 guesser;
    AsyncHttp asyncHttp;
    Host host;
};

// A copy started outside an Applications folder offers to move there before anything else
// starts; the move ends this process and starts the copy.
void moveToApplicationsFolderIfNecessary(DesktopQt& desktop) {
    HostPathsLinux paths = HostPathsLinux::forThisProcess();
    FileSystemPosix files;
    MountTableProc mounts;
    ProcessesPosix processes;
    AuthorizationPkexec authorization;
    TrashFolderQt trash;
    PFMoveToApplicationsFolderIfNecessary({desktop.defaults, desktop.bundle, desktop.locale, paths,
                                           files, mounts, processes, authorization, trash,
                                           desktop.alerts, desktop.application, desktop.log});
}

bool hasDisplay() {
    return environment("DISPLAY") || environment("WAYLAND_DISPLAY") ||
           environment("QT_QPA_PLATFORM");
}

}  // namespace
}  // namespace lexoria

int main(int argc, char** argv) {
    using namespace lexoria;
    if (const std::optional<int> exitCode = runAsClient(argc, argv)) {
        return *exitCode;
    }
    if (!hasDisplay()) {
        std::cerr << "lexoria: no display to open a window on (neither DISPLAY nor "
                     "WAYLAND_DISPLAY is set).\nStart it from a desktop session, or on a "
                     "virtual display: xvfb-run -a lexoria\n";
        return 1;
    }
    ServiceAddresses addresses;
    useBuiltInSite(addresses);
    std::vector<std::string> errors;
    addresses.applyEnvironment(environment, errors);
    HttpOptions http;
    // Requests that cannot be sent say why.
    static LogStderr httpLog;
    http.log = &httpLog;
    if (const auto caFile = environment("LEXORIA_CA_FILE")) {
        if (::access(caFile->c_str(), R_OK) != 0) {
            errors.push_back("LEXORIA_CA_FILE names no readable file: \"" + *caFile + "\"");
        }
        http.caFile = *caFile;
    }
    for (const std::string& error : errors) {
        std::cerr << "lexoria: " << error << "\n";
    }
    if (!errors.empty()) {
        return 2;
    }

    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Lexoria"));
    QApplication::setDesktopFileName(QString::fromLatin1(kBundleIdentifier));

    DesktopQt desktop(std::move(addresses), std::move(http));
    // libcurl loads on a thread of its own while the windows are built, which is work of
    // this process alone. Sooner, Qt's plugins would wait for the dynamic loader, and on
    // two cores the X server's answers to the adapters above would wait for the loading.
    startOpeningCurl();
    InterfaceLoaderQt interface(desktop.runLoop, desktop.bundle);
    // LEXORIA_TRACE=1: the steps of each translation with their times, on standard error.
    if (environment("LEXORIA_TRACE")) {
        desktop.host.trace = &desktop.log;
    }
    if (!desktop.desktopKeys.isWatching()) {
        std::cerr << "lexoria: the keys of other programs cannot be watched here (no X11 "
                     "display with XInput 2.2): the gestures do nothing; bind a desktop "
                     "shortcut to `lexoria --translate-selection` instead\n";
    }
    if (!desktop.services.claim()) {
        QDBusConnection bus = QDBusConnection::sessionBus();
        if (bus.isConnected() && bus.interface()->isServiceRegistered(kBusName)) {
            // One program per session: the running one shows itself instead.
            showRunningInstance(bus);
            return 0;
        }
        std::cerr << "lexoria: no session bus name (" << bus.lastError().message().toStdString()
                  << "); lexoria --send and the single instance do not work\n";
    }
    // Started from outside an applications folder: offer the move before anything else.
    moveToApplicationsFolderIfNecessary(desktop);
    {
        AppDelegate controller(desktop.host, interface.loadInterface());
        desktop.showWindow = [&controller] { controller.showMainWindow(); };
        controller.applicationDidFinishLaunching();
        desktop.services.answerCalls();
        HoverX11 hover(controller, desktop.runLoop, desktop.desktopKeys, desktop.eventMonitors,
                       desktop.log);
        controller.onHoverPreferenceChanged([&hover] { hover.preferenceChanged(); });
        hover.preferenceChanged();
        desktop.runLoop.run();
        desktop.showWindow = nullptr;
    }
    return 0;
}
