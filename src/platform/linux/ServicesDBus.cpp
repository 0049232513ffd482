#include "ServicesDBus.h"

#include <QDBusConnectionInterface>
#include <QPointer>
#include <optional>
#include <utility>

namespace lexoria {

namespace {

// The request's text, and what the caller gets back when the provider sets nothing.
class ServicePasteboardDBus final : public ServicePasteboard {
  public:
    explicit ServicePasteboardDBus(std::string text) : text_(std::move(text)) {}
    bool hasString() const override { return true; }
    std::optional<std::string> string() const override { return text_; }
    void setString(const std::string& text) override { text_ = text; }

  private:
    std::string text_;
};

}  // namespace

ServicesDBus::ServicesDBus(QDBusConnection bus, Deliver deliver, std::function<void()> show)
    : bus_(std::move(bus)), deliver_(std::move(deliver)), show_(std::move(show)) {}

ServicesDBus::~ServicesDBus() {
    if (claimed_) {
        bus_.unregisterObject(kBusPath);
        bus_.unregisterService(kBusName);
    }
}

bool ServicesDBus::claim() {
    if (!bus_.isConnected() || !bus_.interface()) {
        return false;
    }
    // The object first, so that the first call after the name is taken finds it.
    if (!bus_.registerObject(kBusPath, this, QDBusConnection::ExportScriptableSlots)) {
        return false;
    }
    const auto reply =
        bus_.interface()->registerService(kBusName, QDBusConnectionInterface::DontQueueService,
                                          QDBusConnectionInterface::DontAllowReplacement);
    claimed_ = reply.isValid() && reply.value() == QDBusConnectionInterface::ServiceRegistered;
    if (!claimed_) {
        bus_.unregisterObject(kBusPath);
    }
    return claimed_;
}

void ServicesDBus::registerServicesProvider(const std::string&, Handler handler) {
    portProvider_ = std::move(handler);
}

void ServicesDBus::setServicesProvider(Handler handler) {
    appProvider_ = std::move(handler);
}

void ServicesDBus::answerCalls() {
    answering_ = true;
    std::vector<QDBusMessage> waiting;
    waiting.swap(waiting_);
    for (const QDBusMessage& call : waiting) {
        lexoria({}, call);
    }
    if (std::exchange(showWaiting_, false)) {
        show();
    }
}

QString ServicesDBus::lexoria(const QString&, const QDBusMessage& message) {
    // The answer goes out when the program gets to it, not from inside this slot.
    message.setDelayedReply(true);
    if (!answering_) {
        waiting_.push_back(message);
        return {};
    }
    deliver_([self = QPointer(this), message] {
        if (self) {
            self->answer(message);
        }
    });
    return {};
}

void ServicesDBus::show() {
    if (!answering_) {
        showWaiting_ = true;
        return;
    }
    deliver_([self = QPointer(this)] {
        if (self) {
            self->show_();
        }
    });
}

void ServicesDBus::answer(const QDBusMessage& call) {
    ServicePasteboardDBus pboard(call.arguments().value(0).toString().toStdString());
    if (!provider()) {
        bus_.send(
            call.createErrorReply(kBusError, QStringLiteral("Lexoria is not ready for texts.")));
        return;
    }
    const std::optional<std::string> error = provider()(pboard);
    if (error) {
        bus_.send(call.createErrorReply(kBusError, QString::fromStdString(*error)));
        return;
    }
    bus_.send(call.createReply(QString::fromStdString(pboard.string().value_or(std::string()))));
}

}  // namespace lexoria
