// The Qt interface against its ports: actions for what the user did only, text that
// reads back as it was set, pop-ups as Qt keeps them; the preferences window fitted to
// each view below its toolbar, frames that change without hiding the window, the close
// control's one tracking area, and the alerts' answers.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QSlider>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <algorithm>
#include <fstream>

#include "platform/linux/AlertsQt.h"
#include "platform/linux/ApplicationQt.h"
#include "platform/linux/BundleDirectory.h"
#include "platform/linux/CloseViewWidget.h"
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

    template <typename Widget>
    Widget* find(const char* name) const {
        for (QWidget* top : {loader.mainWindow(), static_cast<QWidget*>(loader.preferencesWindow()),
                             loader.settingsPopover(), loader.translatePopover()}) {
            if (auto* widget = top->findChild<Widget*>(QString::fromLatin1(name))) {
                return widget;
            }
        }
        return nullptr;
    }
};

struct UserActionCase {
    const char* name;
    Control* (*control)(const Interface&);
    // A change the program makes, then one the user makes; `seen` tells what the control
    // showed when its action ran.
    void (*byProgram)(const Interface&);
    void (*byUser)(const Loaded&);
    std::string (*seen)(const Interface&);
    std::string expected;
};

const UserActionCase kUserActionCases[] = {
    {"check box", [](const Interface& ui) -> Control* { return ui.autoDetectLang; },
     [](const Interface& ui) { ui.autoDetectLang->setState(1); },
     [](const Loaded& l) {
         QTest::mouseClick(l.find<QAbstractButton>("autoDetectLang"), Qt::LeftButton);
     },
     [](const Interface& ui) { return std::to_string(ui.autoDetectLang->state()); }, "0"},
    {"language pop-up", [](const Interface& ui) -> Control* { return ui.rightLanButton; },
     [](const Interface& ui) { ui.rightLanButton->selectItemWithTitle("French"); },
     [](const Loaded& l) { QTest::keyClick(l.find<QComboBox>("rightLanButton"), Qt::Key_Down); },
     [](const Interface& ui) { return ui.rightLanButton->titleOfSelectedItem(); }, "German"},
    {"service control", [](const Interface& ui) -> Control* { return ui.serviceSegment; },
     [](const Interface& ui) { ui.serviceSegment->setSelectedSegment(4); },
     [](const Loaded& l) {
         QTest::mouseClick(l.find<QAbstractButton>("serviceYandex"), Qt::LeftButton);
     },
     [](const Interface& ui) { return std::to_string(ui.serviceSegment->selectedSegment()); }, "2"},
    {"font size slider", [](const Interface& ui) -> Control* { return ui.slider; },
     [](const Interface& ui) { ui.slider->setIntegerValue(20); },
     [](const Loaded& l) { QTest::keyClick(l.find<QSlider>("slider"), Qt::Key_Right); },
     [](const Interface& ui) { return std::to_string(ui.slider->integerValue()); }, "21"},
    {"source text", [](const Interface& ui) -> Control* { return ui.consoleTabTranslate; },
     [](const Interface& ui) { ui.consoleTabTranslate->setString("set"); },
     [](const Loaded& l) { QTest::keyClicks(l.find<QPlainTextEdit>("consoleTabTranslate"), "!"); },
     [](const Interface& ui) { return ui.consoleTabTranslate->string(); }, "!set"},
};

void PrintTo(const UserActionCase& row, std::ostream* out) {
    *out << row.name;
}

class UserActions : public ::testing::TestWithParam<UserActionCase> {};

TEST_P(UserActions, RunOnlyForWhatTheUserDid) {
    const UserActionCase& row = GetParam();
    Loaded loaded;
    Interface& ui = loaded.ui;
    ui.rightLanButton->addItemsWithTitles({"English", "French", "German"});
    std::vector<std::string> seen;
    row.control(ui)->setAction([&] { seen.push_back(row.seen(ui)); });
    row.byProgram(ui);
    loaded.loop.runOnce(0.05);
    EXPECT_TRUE(seen.empty()) << "an action ran for the program's own change";
    row.byUser(loaded);
    loaded.loop.runOnce(0.05);
    EXPECT_EQ(seen, std::vector<std::string>{row.expected});
}

INSTANTIATE_TEST_SUITE_P(Qt, UserActions, ::testing::ValuesIn(kUserActionCases),
                         [](const auto& info) {
                             std::string name = info.param.name;
                             std::replace(name.begin(), name.end(), ' ', '_');
                             std::erase(name, '-');
                             return name;
                         });

TEST(ToolbarQt, TellsTheTagOfTheItemTheUserChose) {
    Loaded loaded;
    std::vector<int> tags;
    loaded.ui.toolbar->setAction([&](int tag) { tags.push_back(tag); });
    auto* toolbar = loaded.find<QToolBar>("toolbar");
    for (int index : {2, 0, 1}) {
        QTest::mouseClick(toolbar->widgetForAction(toolbar->actions()[index]), Qt::LeftButton);
    }
    EXPECT_EQ(tags, (std::vector<int>{2, 0, 1}));
}

TEST(TextViewQt, ReadsBackWhatWasSetAndItsFont) {
    Loaded loaded;
    const struct {
        const char* name;
        std::string set;
        std::string readBack;
    } rows[] = {
        {"no-break spaces", "10\u00a0km\u202fh", "10\u00a0km\u202fh"},
        {"line feeds, blank and trailing lines", "a\n\nb\n", "a\n\nb\n"},
        {"CR LF", "a\r\nb", "a\nb"},
        {"tab and emoji", "\t\U0001F4A1 x", "\t\U0001F4A1 x"},
        {"empty", "", ""},
    };
    for (const auto& row : rows) {
        loaded.ui.hudtextView->setString(row.set);
        EXPECT_EQ(loaded.ui.hudtextView->string(), row.readBack) << row.name;
    }
    loaded.ui.hudtextView->setFont(Font{"DejaVu Sans", 17});  // in points
    EXPECT_EQ(loaded.ui.hudtextView->font(), (Font{"DejaVu Sans", 17}));
}

TEST(PopUpButtonQt, KeepsDuplicateTitlesAndSelectsTheFirst) {
    Loaded loaded;
    PopUpButton& popUp = *loaded.ui.leftLanButton;
    popUp.addItemsWithTitles({"Serbian", "Auto", "Serbian"});
    popUp.selectItemWithTitle("Serbian");
    EXPECT_EQ(popUp.itemTitles(), (std::vector<std::string>{"Serbian", "Auto", "Serbian"}));
    EXPECT_EQ(loaded.find<QComboBox>("leftLanButton")->currentIndex(), 0);
    popUp.selectItemWithTitle("serbian");
    EXPECT_EQ(popUp.titleOfSelectedItem(), "");
    popUp.setTitle("Welsh");
    EXPECT_EQ(popUp.itemTitles().back(), "Welsh");
    EXPECT_EQ(popUp.titleOfSelectedItem(), "Welsh");
}

TEST(InterfaceLoaderQt, NamesEveryControlForScreenReaders) {
    Loaded loaded;
    const std::pair<const char*, const char*> names[] = {
        {"hudtextView", "Translation"},
        {"consoleTabTranslate", "Source text"},
        {"serviceSegment", "Service"},
        {"leftLanBox", "Source language"},
        {"rightLanBox", "Target language"},
        {"reloadBut", "Swap languages"},
        {"closeView", "Close"},
    };
    for (const auto& [object, name] : names) {
        const QWidget* widget = loaded.find<QWidget>(object);
        ASSERT_NE(widget, nullptr) << object;
        EXPECT_EQ(widget->accessibleName().toStdString(), name) << object;
    }
    EXPECT_EQ(loaded.ui.leftLanButton->tag() % 2, 1);
    EXPECT_EQ(loaded.ui.rightLanButton->tag() % 2, 0);
}

bool imagePluginOpen() {
    std::ifstream maps("/proc/self/maps");
    std::string line;
    while (std::getline(maps, line)) {
        if (line.find("/imageformats/") != std::string::npos) {
            return true;
        }
    }
    return false;
}

// Qt asks every image plugin about an image it reads without being told the format,
// which opens them all: building the windows opens none, and the close control still
// gets its pattern.
TEST(InterfaceLoaderQt, BuildsTheWindowsWithoutOpeningAnImagePlugin) {
    if (imagePluginOpen()) {
        GTEST_SKIP() << "an earlier test of this process opened one";
    }
    Loaded loaded;
    EXPECT_FALSE(imagePluginOpen());
    const auto* close = loaded.find<CloseViewWidget>("closeView");
    ASSERT_NE(close, nullptr);
    EXPECT_EQ(close->pattern().size(), QSize(16, 16));
}

TEST(ApplicationQt, HidesAllItsWindowsAndShowsThemAgainOnActivation) {
    Loaded loaded;
    const Interface& ui = loaded.ui;
    ApplicationQt application;
    ui.window->makeKeyAndOrderFront();
    ui.prefPane->makeKeyAndOrderFront();
    application.hide();
    EXPECT_FALSE(ui.window->isVisible());
    EXPECT_FALSE(ui.prefPane->isVisible());
    application.activateIgnoringOtherApps();
    EXPECT_TRUE(ui.window->isVisible());
    EXPECT_TRUE(ui.prefPane->isVisible());
    ui.window->miniaturize();
    EXPECT_FALSE(ui.window->isVisible()) << "a minimised window counts as not visible";
}

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
