// The desktop services on Qt: the clipboard, the keys typed into the program's windows,
// the tray light and the Trash.
#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QTest>

#include "../support/TempDir.h"
#include "platform/linux/ApplicationQt.h"
#include "platform/linux/EventMonitorsQt.h"
#include "platform/linux/PasteboardQt.h"
#include "platform/linux/StatusBarQt.h"
#include "platform/linux/TrashFolderQt.h"

namespace lexoria {
namespace {

TEST(PasteboardQt, ReadsBackItsTextAndTellsNoTextFromEmptyText) {
    PasteboardQt pasteboard;
    QGuiApplication::clipboard()->clear(QClipboard::Clipboard);
    EXPECT_EQ(pasteboard.string(), std::nullopt);
    for (const std::string text : {"Hallo\u00a0Welt\n", ""}) {
        pasteboard.setString(text);
        EXPECT_EQ(pasteboard.string(), text);
    }
}

TEST(EventMonitorsQt, TellKeysInTheProgramsCodesBeforeTheyAreHandled) {
    RunLoopQt loop;
    EventMonitorsQt monitors(loop);
    QPlainTextEdit edit;
    edit.show();
    edit.setFocus();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&edit));
    std::vector<std::pair<KeyEvent, std::string>> seen;
    const int monitor = monitors.addLocalKeyDownMonitor([&](const KeyEvent& event) {
        seen.emplace_back(event, edit.toPlainText().toStdString());
        return event;
    });
    const struct {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        uint16_t code;
        uint64_t flags;
    } rows[] = {
        {Qt::Key_A, Qt::NoModifier, keys::kA, 0},
        {Qt::Key_X, Qt::NoModifier, keys::kUnknown, 0},
        {Qt::Key_C, Qt::ControlModifier, keys::kC, keys::kControlFlag},
        {Qt::Key_Escape, Qt::NoModifier, keys::kEscape, 0},
        {Qt::Key_Z, Qt::AltModifier | Qt::MetaModifier, keys::kUnknown,
         keys::kOptionFlag | keys::kCommandFlag},
    };
    for (const auto& row : rows) {
        seen.clear();
        const std::string before = edit.toPlainText().toStdString();
        QTest::keyClick(&edit, row.key, row.modifiers);
        ASSERT_EQ(seen.size(), 1u) << row.code;
        EXPECT_EQ(seen[0].first.keyCode, row.code);
        EXPECT_EQ(seen[0].first.modifierFlags, row.flags) << row.code;
        EXPECT_EQ(seen[0].second, before) << "the monitor ran after the key was handled";
    }
    seen.clear();
    loop.hold();
    QTest::keyClick(&edit, Qt::Key_A);
    loop.release();
    monitors.removeMonitor(monitor);
    QTest::keyClick(&edit, Qt::Key_A);
    EXPECT_TRUE(seen.empty());
}

// The tray light is the title drawn in colour: a title read in the wrong encoding, or no
// colour emoji font, draws grey marks or nothing.
TEST(StatusItemQt, DrawsItsTitleInColour) {
    const QImage image = iconOfTitle("\U0001F4A1").pixmap(64, 64).toImage();
    int coloured = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            coloured += pixel.alpha() > 0 && pixel.saturation() > 100;
        }
    }
    EXPECT_GT(coloured, 200);
}

TEST(TrashFolderQt, MovesIntoTheUsersTrashEvenBeforeItsFolderExists) {
    test::TempDir dir;
    const std::filesystem::path data = dir.path() / "no data yet";
    const char* saved = std::getenv("XDG_DATA_HOME");
    const std::string before = saved ? saved : "";
    ::setenv("XDG_DATA_HOME", data.c_str(), 1);
    test::writeFile(dir.path() / "Lexoria.app/bin/lexoria", "old");
    const std::filesystem::path here = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());

    EXPECT_FALSE(TrashFolderQt().moveToTrash("Lexoria.app")) << "a relative path";
    EXPECT_TRUE(std::filesystem::exists(dir.path() / "Lexoria.app/bin/lexoria"));
    EXPECT_TRUE(TrashFolderQt().moveToTrash((dir.path() / "Lexoria.app").string()));
    std::filesystem::current_path(here);
    saved ? ::setenv("XDG_DATA_HOME", before.c_str(), 1) : ::unsetenv("XDG_DATA_HOME");

    EXPECT_FALSE(std::filesystem::exists(dir.path() / "Lexoria.app"));
    EXPECT_TRUE(std::filesystem::exists(data / "Trash/files/Lexoria.app/bin/lexoria"));
    EXPECT_TRUE(std::filesystem::exists(data / "Trash/info/Lexoria.app.trashinfo"));
    EXPECT_FALSE(TrashFolderQt().moveToTrash((dir.path() / "Lexoria.app").string())) << "gone";
}

}  // namespace
}  // namespace lexoria
