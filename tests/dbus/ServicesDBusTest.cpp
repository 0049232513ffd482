// The session-bus adapter against a real bus (the test runs under dbus-run-session): the
// client in a thread of its own, the program's side on this thread's event loop.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDBusConnectionInterface>
#include <QDBusPendingCall>
#include <QDeadlineTimer>
#include <atomic>
#include <deque>
#include <sstream>
#include <thread>

#include "platform/linux/ServicesDBus.h"
#include "platform/linux/SessionClientDBus.h"

namespace lexoria {
namespace {

struct ClientRun {
    int code = -1;
    std::string out;
    std::string err;
};

class ServicesDBusTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        static int argc = 1;
        static char name[] = "dbus_tests";
        static char* argv[] = {name, nullptr};
        static QCoreApplication app(argc, argv);
    }

    void TearDown() override { services_.reset(); }

    // The program's side: answers through a loop that runs deliveries only when the
    // test lets it.
    ServicesDBus& program() {
        services_ = std::make_unique<ServicesDBus>(
            QDBusConnection::sessionBus(),
            [this](std::function<void()> action) { delivered_.push_back(std::move(action)); },
            [this] { ++shown_; });
        return *services_;
    }

    void runDeliveries() {
        while (!delivered_.empty()) {
            auto action = std::move(delivered_.front());
            delivered_.pop_front();
            action();
        }
    }

    // Spins this thread's loop until `done` or ten seconds, running deliveries when
    // `serve` says so.
    template <typename Done>
    void spinUntil(Done done, bool serve = true) {
        const QDeadlineTimer deadline(10000);
        while (!done() && !deadline.hasExpired()) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            if (serve) {
                runDeliveries();
            }
        }
    }

    template <typename Client>
    std::thread startClient(Client client) {
        return std::thread([client, this] {
            const QString name = QStringLiteral("client%1").arg(++clients_);
            {
                QDBusConnection bus =
                    QDBusConnection::connectToBus(QDBusConnection::SessionBus, name);
                client(bus);
            }
            QDBusConnection::disconnectFromBus(name);
        });
    }

    ClientRun send(const std::string& input) {
        ClientRun run;
        std::atomic<bool> done = false;
        std::thread thread = startClient([&](QDBusConnection& bus) {
            std::istringstream in(input);
            std::ostringstream out, err;
            run.code = sendToRunningInstance(bus, in, out, err);
            run.out = out.str();
            run.err = err.str();
            done = true;
        });
        spinUntil([&] { return done.load(); });
        thread.join();
        return run;
    }

    std::unique_ptr<ServicesDBus> services_;
    std::deque<std::function<void()>> delivered_;
    int shown_ = 0;
    std::atomic<int> clients_ = 0;
};

// Stands in for the controller's provider: XML comes back as given, anything else is
// refused with its error text.
ServicesRegistry::Handler provider(std::vector<std::string>& seen) {
    return [&seen](ServicePasteboard& pboard) -> std::optional<std::string> {
        seen.push_back(pboard.string().value_or("(none)"));
        if (seen.back().rfind("<", 0) != 0) {
            return "Error on line 1: not XML";
        }
        pboard.setString(seen.back() + "\n");
        return std::nullopt;
    };
}

TEST_F(ServicesDBusTest, SendHandsTheTextOverAndPrintsTheAnswerOrTheError) {
    ASSERT_TRUE(program().claim());
    std::vector<std::string> seen;
    services_->setServicesProvider(provider(seen));
    services_->answerCalls();
    const struct {
        std::string input;
        ClientRun expected;
    } rows[] = {
        {"<a>Grüße  \u00A0 \n</a>", {0, "<a>Grüße  \u00A0 \n</a>\n", ""}},
        {"plain prose\n", {1, "", "Error on line 1: not XML\n"}},
        {"", {1, "", "Error on line 1: not XML\n"}},
    };
    for (const auto& row : rows) {
        const ClientRun run = send(row.input);
        EXPECT_EQ(run.code, row.expected.code) << row.input;
        EXPECT_EQ(run.out, row.expected.out) << row.input;
        EXPECT_EQ(run.err, row.expected.err) << row.input;
        ASSERT_FALSE(seen.empty());
        EXPECT_EQ(seen.back(), row.input) << "the provider sees the text unchanged";
    }
}

TEST_F(ServicesDBusTest, TheProgramAnswersOnlyWhenItsLoopDeliversTheCall) {
    ASSERT_TRUE(program().claim());
    std::vector<std::string> seen;
    services_->registerServicesProvider("LX", provider(seen));
    services_->answerCalls();
    ClientRun run;
    std::atomic<bool> done = false;
    std::thread thread = startClient([&](QDBusConnection& bus) {
        std::istringstream in("<x/>");
        std::ostringstream out, err;
        run.code = sendToRunningInstance(bus, in, out, err);
        done = true;
    });
    spinUntil([&] { return !delivered_.empty(); }, false);
    EXPECT_TRUE(seen.empty()) << "the call ran past the program's loop";
    EXPECT_FALSE(done.load());
    spinUntil([&] { return done.load(); });
    thread.join();
    EXPECT_EQ(run.code, 0);
    EXPECT_EQ(seen, std::vector<std::string>{"<x/>"});
}

// Start-up takes its time, and a call that comes meanwhile waits for its end: the client
// sends the text, then asks for the window; once that second call is back, the first one
// has reached the program too.
TEST_F(ServicesDBusTest, CallsDuringStartUpWaitForItsEnd) {
    ASSERT_TRUE(program().claim());
    std::vector<std::string> seen;
    std::atomic<bool> arrived = false;
    std::atomic<bool> answered = false;
    std::thread thread = startClient([&](QDBusConnection& bus) {
        QDBusMessage text = QDBusMessage::createMethodCall(kBusName, kBusPath, kBusInterface,
                                                           QStringLiteral("lexoria"));
        text << QStringLiteral("<early/>");
        QDBusPendingCall pending = bus.asyncCall(text, 20000);
        bus.call(QDBusMessage::createMethodCall(kBusName, kBusPath, kBusInterface,
                                                QStringLiteral("show")));
        arrived = true;
        pending.waitForFinished();
        answered = !pending.isError();
    });
    spinUntil([&] { return arrived.load(); });
    EXPECT_TRUE(seen.empty());
    EXPECT_EQ(shown_, 0);
    services_->registerServicesProvider("LX", provider(seen));
    services_->setServicesProvider(provider(seen));
    EXPECT_TRUE(delivered_.empty()) << "answered before start-up was done";

    services_->answerCalls();
    spinUntil([&] { return answered.load(); });
    thread.join();
    EXPECT_EQ(seen, std::vector<std::string>{"<early/>"});
    EXPECT_EQ(shown_, 1);
}

TEST_F(ServicesDBusTest, InputThatCannotBeSentOrWithoutAProgramIsRefused) {
    const ClientRun alone = send("<a/>");
    EXPECT_EQ(alone.code, 1);
    EXPECT_EQ(alone.out, "");
    EXPECT_NE(alone.err.find("not running"), std::string::npos) << alone.err;

    ASSERT_TRUE(program().claim());
    std::vector<std::string> seen;
    services_->setServicesProvider(provider(seen));
    services_->answerCalls();
    for (const std::string& input :
         {std::string("<a>\0</a>", 8), std::string((8u << 20) + 1, 'a')}) {
        const ClientRun run = send(input);
        EXPECT_EQ(run.code, 1);
        EXPECT_EQ(run.out, "");
        EXPECT_NE(run.err.find("nothing was sent"), std::string::npos) << run.err;
    }
    EXPECT_TRUE(seen.empty());
}

TEST_F(ServicesDBusTest, ASecondInstanceCannotClaimAndShowsTheFirst) {
    ASSERT_TRUE(program().claim());
    services_->answerCalls();
    std::atomic<int> claimed = -1;
    std::atomic<int> showed = -1;
    std::thread second = startClient([&](QDBusConnection& bus) {
        ServicesDBus other(
            bus, [](std::function<void()> action) { action(); }, [] {});
        claimed = other.claim();
        showed = showRunningInstance(bus);
    });
    spinUntil([&] { return showed.load() != -1; });
    second.join();
    EXPECT_EQ(claimed.load(), 0);
    EXPECT_EQ(showed.load(), 1);
    EXPECT_EQ(shown_, 1);
    // The name goes with the first instance, and the next start takes it.
    services_.reset();
    EXPECT_TRUE(program().claim());
}

}  // namespace
}  // namespace lexoria
