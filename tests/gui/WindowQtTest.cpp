// Windows on Qt: the preferences window fitted to each view below its toolbar, frames
// that change without hiding the window, the close control's one tracking area.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QTest>
#include <QToolBar>

#include "platform/linux/AlertsQt.h"
#include "platform/linux/ApplicationQt.h"
#include "platform/linux/BundleDirectory.h"
#include "platform/linux/InterfaceLoaderQt.h"
#include "windows/CloseView.h"
#include "windows/WindowAdditions.h"

namespace lexoria {
namespace {

struct Loaded {
    RunLoopQt loop;
    BundleDirectory bundle{{LEXORIA_RESOURCES}};
    InterfaceLoaderQt loader{loop, bundle};
    Interface ui = loader.loadInterface();
};

// Waits for an animated resize to arrive where the window said it would.
bool settled(const Window& window, const QWidget* widget) {
    return QTest::qWaitFor([&] { return rectOf(widget->frameGeometry()) == window.frame(); }, 3000);
}

TEST(WindowQt, SwitchingViewsFitsEachBelowTheToolbarAndKeepsTheTopEdge) {
    Loaded loaded;
    Window& window = *loaded.ui.prefPane;
    window.setFrame(Rect{100, 80, 500, 400}, true, false);
    window.makeKeyAndOrderFront();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(loaded.loader.preferencesWindow()));
    const double top = window.frame().y;
    const double toolbar = toolbarHeight(window);
    EXPECT_GT(toolbar, 10);
    QMainWindow* widget = loaded.loader.preferencesWindow();
    for (View* view : {loaded.ui.reviewersView, loaded.ui.infoView, loaded.ui.generalView}) {
        switchView(window, *view);
        // Told at once, while the animation runs.
        const Rect content = window.contentRectForFrameRect(window.frame());
        EXPECT_EQ(window.frame().y, top) << view->identifier();
        EXPECT_EQ(content.width, view->frame().width) << view->identifier();
        EXPECT_EQ(content.height, view->frame().height + toolbar) << view->identifier();
        EXPECT_EQ(window.contentView(), view);
        // And so it is once it is over.
        ASSERT_TRUE(settled(window, widget)) << view->identifier();
        const QRect shown = widget->centralWidget()->geometry();
        EXPECT_EQ(rectOf(shown), (Rect{0, toolbar, view->frame().width, view->frame().height}))
            << view->identifier();
    }
    loaded.loader.preferencesWindow()->findChild<QToolBar*>("toolbar")->hide();
    EXPECT_EQ(toolbarHeight(window), 0);
}

TEST(WindowQt, ChangingStyleAndLevelKeepsAShownWindowShown) {
    Loaded loaded;
    Window& window = *loaded.ui.window;
    window.makeKeyAndOrderFront();
    window.setStyle(WindowStyle::borderlessResizable);
    window.setLevel(WindowLevel::maximum);
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(loaded.loader.mainWindow()->windowFlags() & Qt::FramelessWindowHint);
    EXPECT_TRUE(loaded.loader.mainWindow()->windowFlags() & Qt::WindowStaysOnTopHint);
    window.setLevel(WindowLevel::normal);
    EXPECT_TRUE(window.isVisible());
    EXPECT_FALSE(loaded.loader.mainWindow()->windowFlags() & Qt::WindowStaysOnTopHint);
}

TEST(CloseViewQt, KeepsOneTrackingAreaOverItsBoundsAfterEachResize) {
    Loaded loaded;
    auto& adapter = static_cast<CloseViewQt&>(*loaded.ui.closeView);
    ApplicationQt application;
    CloseView closeView(adapter, application);
    QWidget* widget = loaded.loader.mainWindow()->findChild<QWidget*>("closeView");
    // Qt tells a hidden widget of its size when it is shown.
    loaded.ui.window->makeKeyAndOrderFront();
    for (const QSize size : {QSize(16, 16), QSize(40, 24)}) {
        widget->setFixedSize(size);
        widget->resize(size);
        loaded.loop.runOnce(0.05);
        ASSERT_EQ(adapter.trackingAreas().size(), 1u);
        EXPECT_EQ(adapter.trackingAreas().begin()->second.rect,
                  (Rect{0, 0, double(size.width()), double(size.height())}));
    }
}

struct AlertCase {
    const char* name;
    std::vector<std::string> buttons;
    void (*answer)(QMessageBox&);
    int expected;
};

const AlertCase kAlertCases[] = {
    {"second button",
     {"Download", "Cancel"},
     [](QMessageBox& box) { box.buttons()[1]->click(); },
     1},
    {"Escape with one button",
     {},
     [](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Escape); },
     kAlertClosed},
    {"Escape with two buttons",
     {"Download", "Cancel"},
     [](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Escape); },
     kAlertClosed},
    {"the window's close", {"OK"}, [](QMessageBox& box) { box.close(); }, kAlertClosed},
};

void PrintTo(const AlertCase& row, std::ostream* out) {
    *out << row.name;
}

class AlertsQtAnswers : public ::testing::TestWithParam<AlertCase> {};

TEST_P(AlertsQtAnswers, AreTheButtonPressedOrClosed) {
    const AlertCase& row = GetParam();
    RunLoopQt loop;
    AlertsQt alerts(loop);
    QObject timers;  // ends the timers with the test
    QTimer::singleShot(50, &timers, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            row.answer(*box);
        }
    });
    // A box the answer left open would hold the test for ever.
    QTimer::singleShot(3000, &timers, [] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            box->done(0);
        }
    });
    EXPECT_EQ(alerts.runModal(Alert{AlertStyle::warning, "Lexoria", "", row.buttons}),
              row.expected);
}

INSTANTIATE_TEST_SUITE_P(Qt, AlertsQtAnswers, ::testing::ValuesIn(kAlertCases),
                         [](const auto& info) {
                             std::string name = info.param.name;
                             std::replace(name.begin(), name.end(), ' ', '_');
                             std::erase(name, '\'');
                             return name;
                         });

}  // namespace
}  // namespace lexoria
