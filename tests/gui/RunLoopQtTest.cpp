// The run loop on Qt: the contract of every loop, and what it owes the display.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <thread>

#include "../unit/RunLoopContract.h"
#include "platform/linux/AlertsQt.h"
#include "platform/linux/ApplicationQt.h"
#include "platform/linux/RunLoopQt.h"

namespace lexoria {
namespace {

struct QtLoop {
    RunLoopQt loop;
    void runFor(double seconds) {
        loop.scheduleTimer(seconds, false, [this] { loop.stop(); });
        loop.run();
    }
};

using Kinds = ::testing::Types<QtLoop>;
INSTANTIATE_TYPED_TEST_SUITE_P(Qt, RunLoopContract, Kinds);

// Runs `action` from Qt's own event loop after `ms`, outside the program's work.
void fromTheToolkit(int ms, std::function<void()> action) {
    QTimer::singleShot(ms, Qt::PreciseTimer, QApplication::instance(), std::move(action));
}

TEST(RunLoopQt, ASleepServesTheDisplayButHoldsWhatIsDelivered) {
    RunLoopQt loop;
    std::vector<std::string> happened;
    fromTheToolkit(10, [&] {
        happened.push_back("display served");
        loop.deliver([&] { happened.push_back("delivered"); });
    });
    loop.sleep(0.1);
    EXPECT_EQ(happened, std::vector<std::string>{"display served"});
    loop.runOnce(0.1);
    EXPECT_EQ(happened, (std::vector<std::string>{"display served", "delivered"}));
    loop.deliver([&] { happened.push_back("at once"); });
    EXPECT_EQ(happened.back(), "at once") << "outside a sleep";
}

TEST(RunLoopQt, AnAlertHoldsTimersAndPostedActionsUntilAnswered) {
    RunLoopQt loop;
    AlertsQt alerts(loop);
    std::vector<std::string> happened;
    loop.scheduleTimer(0.01, false, [&] { happened.push_back("timer"); });
    loop.post([&] { happened.push_back("posted"); });
    fromTheToolkit(150, [&] {
        happened.push_back("answered");
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            box->buttons().front()->click();
        }
    });
    EXPECT_EQ(alerts.runModal(Alert{AlertStyle::warning, "Lexoria", "", {"OK"}}), 0);
    loop.runOnce(0.1);
    EXPECT_EQ(happened, (std::vector<std::string>{"answered", "posted", "timer"}));
}

TEST(RunLoopQt, TerminateBeforeTheLoopRunsStillEndsIt) {
    RunLoopQt loop;
    ApplicationQt application;
    application.terminate();
    bool gaveUp = false;
    fromTheToolkit(3000, [&] {
        gaveUp = true;
        QApplication::quit();
    });
    loop.run();
    EXPECT_FALSE(gaveUp);
}

}  // namespace
}  // namespace lexoria
