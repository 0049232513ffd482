#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QObject>
#include <QString>
#include <functional>
#include <vector>

#include "ports/Services.h"

namespace lexoria {

// The bus name, object and interface under which the program serves its session.
inline constexpr const char* kBusName = "org.lexoria.Lexoria";
inline constexpr const char* kBusPath = "/org/lexoria/Lexoria";
inline constexpr const char* kBusInterface = "org.lexoria.Lexoria";
// The error name of a request the provider refused; its message is the provider's text.
inline constexpr const char* kBusError = "org.lexoria.Lexoria.Error";

// The Services entry and the single instance on the session bus. Method "lexoria" takes
// the text and answers with what the provider puts back, or with an error carrying the
// provider's error text; method "show" brings the running program's windows forward.
class ServicesDBus final : public QObject, public ServicesRegistry {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.lexoria.Lexoria")

  public:
    // Hands an action to the program's loop: every call reaches the program through it.
    using Deliver = std::function<void(std::function<void()>)>;

    ServicesDBus(QDBusConnection bus, Deliver deliver, std::function<void()> show);
    ~ServicesDBus() override;
    ServicesDBus(const ServicesDBus&) = delete;
    ServicesDBus& operator=(const ServicesDBus&) = delete;

    // Exports the object and takes the bus name at once, before the slow part of
    // start-up: a caller that started us through the bus waits only 25 s for the name.
    // False when another instance owns it (or there is no bus).
    bool claim();

    // Start-up is done: calls are answered from now on, those that waited first. Until
    // then they wait, so that start-up runs as it would without them.
    void answerCalls();

    void registerServicesProvider(const std::string& portName, Handler handler) override;
    void setServicesProvider(Handler handler) override;

  public slots:
    Q_SCRIPTABLE QString lexoria(const QString& text, const QDBusMessage& message);
    Q_SCRIPTABLE void show();

  private:
    void answer(const QDBusMessage& call);
    const Handler& provider() const { return appProvider_ ? appProvider_ : portProvider_; }

    QDBusConnection bus_;
    Deliver deliver_;
    std::function<void()> show_;
    Handler portProvider_;
    Handler appProvider_;
    std::vector<QDBusMessage> waiting_;
    bool showWaiting_ = false;
    bool answering_ = false;
    bool claimed_ = false;
};

}  // namespace lexoria
