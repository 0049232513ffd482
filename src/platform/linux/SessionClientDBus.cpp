#include "SessionClientDBus.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QDBusError>
#include <QDBusMessage>
#include <QGuiApplication>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <sstream>
#include <string>

#include "PrimarySelectionX11.h"
#include "ServicesDBus.h"

namespace lexoria {

namespace {

// Start-up answers calls only after its fetches, each of which may take up to a minute,
// and an alert may be waiting for the user: a request waits that long, not the bus's
// default 25 s.
constexpr int kSendTimeoutMs = 5 * 60 * 1000;
// The bus refuses bigger messages; nothing a selection holds is near this.
constexpr std::size_t kMaxTextBytes = std::size_t{8} << 20;

// Ends a client once its answer is out. Tearing Qt down while its bus thread still
// dispatches a late message (seen after a refused text) warns on standard error, where a
// client's reader expects only its errors; there is nothing a client must clean up.
[[noreturn]] void endClient(int code) {
    std::cout.flush();
    std::cerr.flush();
    std::fflush(nullptr);
    std::_Exit(code);
}

}  // namespace

int sendToRunningInstance(const QDBusConnection& bus, std::istream& in, std::ostream& out,
                          std::ostream& err, bool answer) {
    std::string text;
    char buffer[65536];
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
        text.append(buffer, static_cast<std::size_t>(in.gcount()));
        if (text.size() > kMaxTextBytes) {
            err << "lexoria: the text is longer than " << (kMaxTextBytes >> 20)
                << " MiB; nothing was sent" << std::endl;
            return 1;
        }
    }
    if (text.find('\0') != std::string::npos) {
        err << "lexoria: the input holds a NUL byte, which is not text; nothing was sent"
            << std::endl;
        return 1;
    }
    if (!bus.isConnected()) {
        err << "lexoria: no session bus to reach Lexoria through: "
            << bus.lastError().message().toStdString() << std::endl;
        return 1;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(kBusName, kBusPath, kBusInterface,
                                                       QStringLiteral("lexoria"));
    call << QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    const QDBusMessage reply = bus.call(call, QDBus::Block, kSendTimeoutMs);
    if (!answer && (reply.type() == QDBusMessage::ReplyMessage ||
                    reply.errorName() == QLatin1String(kBusError))) {
        return 0;
    }
    if (reply.type() == QDBusMessage::ReplyMessage) {
        out << reply.arguments().value(0).toString().toStdString();
        out.flush();
        return out ? 0 : 1;
    }
    if (reply.errorName() == QLatin1String(kBusError)) {
        err << reply.errorMessage().toStdString() << std::endl;
    } else if (reply.errorName() == QLatin1String("org.freedesktop.DBus.Error.ServiceUnknown")) {
        err << "lexoria: Lexoria is not running in this session and the bus cannot start it;"
               " start lexoria first"
            << std::endl;
    } else {
        err << "lexoria: Lexoria did not answer: " << reply.errorMessage().toStdString()
            << std::endl;
    }
    return 1;
}

std::optional<int> runAsClient(int argc, char** argv) {
    const std::string command = argc == 2 ? argv[1] : "";
    if (command == "--send") {
        QCoreApplication app(argc, argv);
        endClient(
            sendToRunningInstance(QDBusConnection::sessionBus(), std::cin, std::cout, std::cerr));
    }
    if (command != "--send-selection" && command != "--translate-selection") {
        return std::nullopt;
    }
    const char* x11 = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    if ((!x11 || !*x11) && (!wayland || !*wayland)) {
        std::cerr << "lexoria: no display to read the selection from" << std::endl;
        return 1;
    }
    // On X11 plain Xlib reads it; Wayland alone gives it to the Qt clipboard only.
    if (x11 && *x11) {
        std::string error;
        const std::optional<std::string> selection = primarySelectionX11(kMaxTextBytes, error);
        if (!selection) {
            std::cerr << "lexoria: " << error << std::endl;
            return 1;
        }
        QCoreApplication app(argc, argv);
        std::istringstream in(*selection);
        endClient(sendToRunningInstance(QDBusConnection::sessionBus(), in, std::cout, std::cerr,
                                        command == "--send-selection"));
    }
    QGuiApplication app(argc, argv);
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard->supportsSelection()) {
        std::cerr << "lexoria: this desktop gives no selection to other programs; pipe the"
                     " text into lexoria --send"
                  << std::endl;
        return 1;
    }
    std::istringstream in(clipboard->text(QClipboard::Selection).toStdString());
    endClient(sendToRunningInstance(QDBusConnection::sessionBus(), in, std::cout, std::cerr,
                                    command == "--send-selection"));
}

bool showRunningInstance(const QDBusConnection& bus) {
    QDBusMessage call =
        QDBusMessage::createMethodCall(kBusName, kBusPath, kBusInterface, QStringLiteral("show"));
    // Never start a program here: the caller is the program.
    call.setAutoStartService(false);
    const QDBusMessage reply = bus.call(call, QDBus::Block, kSendTimeoutMs);
    return reply.type() == QDBusMessage::ReplyMessage;
}

}  // namespace lexoria
