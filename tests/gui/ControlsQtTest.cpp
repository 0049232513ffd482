// The Qt controls against their ports: actions for what the user did only, text that
// reads back as it was set, pop-ups as Qt keeps them.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QPlainTextEdit>
#include <QSlider>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <algorithm>

#include "platform/linux/BundleDirectory.h"
#include "platform/linux/InterfaceLoaderQt.h"

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

TEST(TextViewQt, ReadsBackWhatWasSet) {
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
}

TEST(TextViewQt, KeepsTheFontSizeInPoints) {
    Loaded loaded;
    loaded.ui.hudtextView->setFont(Font{"DejaVu Sans", 17});
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

}  // namespace
}  // namespace lexoria
