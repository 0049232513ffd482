#include <gtest/gtest.h>
#include <pwd.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <random>
#include <sstream>

#include "RunLoopVirtual.h"
#include "TempDir.h"
#include "platform/linux/DefaultsPlistFile.h"

namespace lexoria {
namespace {

namespace fs = std::filesystem;
using test::corruptCopies;
using test::readFile;
using test::writeFile;

class DefaultsPlistFileTest : public ::testing::Test {
  protected:
    test::TempDir dir;
    fs::path file = dir.path() / "lexoria" / "org.lexoria.Lexoria.plist";
    std::ostringstream log;
};

// Whatever the settings port is handed comes back exactly, from this instance and from
// a new one reading the file.
TEST_F(DefaultsPlistFileTest, KeepsAnyTextExactlyInAnXmlDictionaryThatANewInstanceReads) {
    const std::string texts[] = {
        "(null)",
        "",
        "<plist>&amp;</string>]]>",
        " leading and trailing  ",
        "line\nbreaks\r\nand\ttabs",
        "\x01\x0b control",
        "\u041F\u0440\u0438\u0432\u0435\u0442 \U0001F4A1 \u2714\uFE0E",
        std::string(100000, 'x'),
    };
    {
        DefaultsPlistFile defaults(file, log);
        EXPECT_EQ(defaults.objectForKey("key<&>0"), std::nullopt);
        defaults.setObject("overwritten", "key<&>0");
        for (std::size_t i = 0; i < std::size(texts); ++i) {
            defaults.setObject(texts[i], "key<&>" + std::to_string(i));
            EXPECT_EQ(defaults.objectForKey("key<&>" + std::to_string(i)), texts[i]) << i;
        }
        defaults.setObject("x", "removed");
        defaults.removeObject("removed");
        defaults.removeObject("never written");
    }
    const std::string xml = readFile(file);
    EXPECT_NE(xml.find("<!DOCTYPE plist"), std::string::npos) << xml;
    EXPECT_NE(xml.find("<string>(null)</string>"), std::string::npos) << xml;
    DefaultsPlistFile reopened(file, log);
    for (std::size_t i = 0; i < std::size(texts); ++i) {
        EXPECT_EQ(reopened.objectForKey("key<&>" + std::to_string(i)), texts[i]) << i;
    }
    EXPECT_EQ(reopened.objectForKey("removed"), std::nullopt);
    EXPECT_EQ(log.str(), "");
}

TEST_F(DefaultsPlistFileTest, WritersInTwoProcessesKeepEachOthersKeys) {
    DefaultsPlistFile desktop(file, log);
    DefaultsPlistFile commandLine(file, log);
    desktop.setObject("1", "autoDetectLang");
    commandLine.setObject("fr", "leftSim");
    desktop.setObject("de", "rightSim");
    EXPECT_EQ(desktop.objectForKey("leftSim"), "fr") << "reads see the other writer";
    commandLine.removeObject("autoDetectLang");
    EXPECT_EQ(desktop.objectForKey("autoDetectLang"), std::nullopt);
    DefaultsPlistFile fresh(file, log);
    EXPECT_EQ(fresh.objectForKey("leftSim"), "fr");
    EXPECT_EQ(fresh.objectForKey("rightSim"), "de");
}

TEST_F(DefaultsPlistFileTest, UnreadableFilesAreMovedAsideNeverOverwritten) {
    const std::string cases[] = {
        "this is not a property list",
        "<?xml version=\"1.0\"?><plist><dict><key>a</key><string>b</dict>",
        "<?xml version=\"1.0\"?><plist version=\"1.0\"><array><string>a</string></array></plist>",
        "<?xml version=\"1.0\"?><plist version=\"1.0\"><dict><key>a</key><dict/></dict></plist>",
        "<?xml version=\"1.0\"?><plist "
        "version=\"1.0\"><dict><key>a</key><string>\xff</string></dict></plist>",
    };
    for (const std::string& bytes : cases) {
        SCOPED_TRACE(bytes);
        writeFile(file, bytes);
        log.str("");
        DefaultsPlistFile defaults(file, log);
        EXPECT_EQ(defaults.objectForKey("a"), std::nullopt);
        const auto copies = corruptCopies(file);
        ASSERT_EQ(copies.size(), 1u);
        EXPECT_EQ(readFile(copies[0]), bytes) << "the old file is kept byte for byte";
        EXPECT_NE(log.str().find("moved it to " + copies[0].string()), std::string::npos)
            << log.str();
        defaults.setObject("v", "k");
        EXPECT_EQ(DefaultsPlistFile(file, log).objectForKey("k"), "v");
        fs::remove(copies[0]);
    }
}

TEST_F(DefaultsPlistFileTest, ScalarValuesOfOtherTypesReadAsText) {
    writeFile(file,
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>"
              "<key>slider</key><integer>15</integer><key>Icon</key><true/>"
              "<key>empty</key><string></string></dict></plist>");
    DefaultsPlistFile defaults(file, log);
    EXPECT_EQ(defaults.objectForKey("slider"), "15");
    EXPECT_EQ(defaults.objectForKey("Icon"), "1");
    EXPECT_EQ(defaults.objectForKey("empty"), "");
    EXPECT_TRUE(corruptCopies(file).empty());
}

TEST_F(DefaultsPlistFileTest, TextItCannotKeepBecomesReplacementCharacters) {
    DefaultsPlistFile defaults(file, log);
    defaults.setObject(std::string("a\0b", 3), "nul");
    defaults.setObject("\xC3(\xFF", "bad\xFE");
    EXPECT_EQ(defaults.objectForKey("bad\xFE"), "\uFFFD(\uFFFD");
    EXPECT_EQ(DefaultsPlistFile(file, log).objectForKey("nul"),
              "a\uFFFD"
              "b");
}

TEST_F(DefaultsPlistFileTest, AFailedWriteIsReportedAndKeepsTheValueForThisRun) {
    writeFile(dir.path() / "blocker", "a file where the directory should be");
    DefaultsPlistFile defaults(dir.path() / "blocker" / "x.plist", log);
    defaults.setObject("en", "leftSim");
    EXPECT_EQ(defaults.objectForKey("leftSim"), "en");
    EXPECT_NE(log.str().find("cannot save"), std::string::npos) << log.str();
}

// A writer killed at any moment leaves either the old or the new file, never a broken one.
TEST_F(DefaultsPlistFileTest, AKillDuringAWriteLeavesAWholeFile) {
    std::mt19937 random(20261206);
    for (int round = 0; round < 12; ++round) {
        int progress[2];
        ASSERT_EQ(::pipe(progress), 0);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::close(progress[0]);
            std::ostringstream quiet;
            DefaultsPlistFile defaults(file, quiet);
            for (int i = 0;; ++i) {
                // Large values make each write long enough to be cut in the middle.
                defaults.setObject(std::to_string(i) + std::string(200000, 'x'), "counter");
                const char tick = 1;
                if (::write(progress[1], &tick, 1) != 1) {
                    ::_exit(0);
                }
            }
        }
        ::close(progress[1]);
        const int writesBeforeKill = 1 + static_cast<int>(random() % 4);
        char tick;
        for (int seen = 0; seen < writesBeforeKill;) {
            seen += static_cast<int>(::read(progress[0], &tick, 1) == 1);
        }
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        ::close(progress[0]);

        std::ostringstream reopenLog;
        DefaultsPlistFile reopened(file, reopenLog);
        const auto value = reopened.objectForKey("counter");
        ASSERT_TRUE(value.has_value()) << "round " << round;
        EXPECT_GE(std::stoi(*value), writesBeforeKill - 1);
        EXPECT_EQ(value->size() - value->find('x'), 200000u);
        EXPECT_EQ(reopenLog.str(), "");
        EXPECT_TRUE(corruptCopies(file).empty());
    }
}

// The identity of the file on disk: a replacement gives it a new one.
std::pair<ino_t, long long> identity(const fs::path& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        return {0, 0};
    }
    return {st.st_ino, st.st_mtim.tv_sec * 1000000000LL + st.st_mtim.tv_nsec};
}

// The writes of one turn of the run loop replace the file once, when the turn ends; the
// run reads them at once, meanwhile another process's key survives, and a store that ends
// before its turn does (the program quits) still writes what waits.
TEST_F(DefaultsPlistFileTest, TheWritesOfOneTurnReplaceTheFileOnceWhenItEnds) {
    test::RunLoopVirtual loop;
    const auto later = [&loop](std::function<void()> action) { loop.post(std::move(action)); };
    {
        DefaultsPlistFile desktop(file, log, later);
        desktop.setObject("1", "autoDetectLang");
        loop.advance(0);
        const auto before = identity(file);
        ASSERT_NE(before.first, 0u);

        desktop.setObject("de", "rightSim");
        desktop.setObject("German", "rightLangKey");
        desktop.removeObject("autoDetectLang");
        DefaultsPlistFile(file, log).setObject("fr", "leftSim");  // another process
        EXPECT_EQ(desktop.objectForKey("rightSim"), "de") << "its own writes, at once";
        EXPECT_EQ(desktop.objectForKey("autoDetectLang"), std::nullopt);
        EXPECT_EQ(DefaultsPlistFile(file, log).objectForKey("rightSim"), std::nullopt)
            << "nothing written before the turn ends";
        const auto written = identity(file);
        loop.advance(0);
        EXPECT_NE(identity(file), written);
        DefaultsPlistFile reader(file, log);
        EXPECT_EQ(reader.objectForKey("rightSim"), "de");
        EXPECT_EQ(reader.objectForKey("rightLangKey"), "German");
        EXPECT_EQ(reader.objectForKey("autoDetectLang"), std::nullopt);
        EXPECT_EQ(reader.objectForKey("leftSim"), "fr");

        // The same values again change nothing: the file is not replaced.
        const auto settled = identity(file);
        desktop.setObject("de", "rightSim");
        loop.advance(0);
        EXPECT_EQ(identity(file), settled);

        desktop.setObject("2", "tagSelService");
    }
    EXPECT_EQ(DefaultsPlistFile(file, log).objectForKey("tagSelService"), "2");
    loop.advance(0);  // the flush it had asked for finds the store gone
    EXPECT_EQ(log.str(), "");
}

// Each kill inside a write leaves the writer's temporary file; the next write clears them
// and nothing else.
TEST_F(DefaultsPlistFileTest, TheNextWriteRemovesTheTemporaryFilesOfKilledWriters) {
    const fs::path folder = file.parent_path();
    const struct {
        std::string name;
        bool removed;
    } cases[] = {
        {".org.lexoria.Lexoria.plist.a1B2c3", true},
        {".org.lexoria.Lexoria.plist.ZZZZZZ", true},
        {".org.lexoria.Lexoria.plist.lock", false},
        {".org.lexoria.Lexoria.plist.a1B2c3d", false},
        {".org.lexoria.Lexoria.plist.a1-2c3", false},
        {".org.other.App.plist.a1B2c3", false},
        {"org.lexoria.Lexoria.plist.corrupt-20260101T000000Z", false},
    };
    for (const auto& c : cases) {
        writeFile(folder / c.name, "left over");
    }
    fs::create_symlink("org.lexoria.Lexoria.plist", folder / ".org.lexoria.Lexoria.plist.L1nk00");
    DefaultsPlistFile(file, log).setObject("en", "leftSim");
    for (const auto& c : cases) {
        EXPECT_EQ(fs::exists(folder / c.name), !c.removed) << c.name;
    }
    EXPECT_TRUE(fs::is_symlink(folder / ".org.lexoria.Lexoria.plist.L1nk00"))
        << "only regular files are temporary files";
    EXPECT_EQ(DefaultsPlistFile(file, log).objectForKey("leftSim"), "en");
}

TEST(DefaultsPlistFilePath, FollowsTheXdgConfigurationDirectoryThenTheHomeFolder) {
    const char* oldXdg = std::getenv("XDG_CONFIG_HOME");
    const std::string savedXdg = oldXdg ? oldXdg : "";
    const std::string savedHome = std::getenv("HOME") ? std::getenv("HOME") : "/";
    const auto path = [] { return DefaultsPlistFile::standardPath("org.lexoria.Lexoria"); };
    ::setenv("XDG_CONFIG_HOME", "/tmp/xdg", 1);
    EXPECT_EQ(path(), "/tmp/xdg/lexoria/org.lexoria.Lexoria.plist");
    ::setenv("XDG_CONFIG_HOME", "relative/is/ignored", 1);
    ::setenv("HOME", "/home/someone", 1);
    EXPECT_EQ(path(), "/home/someone/.config/lexoria/org.lexoria.Lexoria.plist");
    ::unsetenv("XDG_CONFIG_HOME");
    ::unsetenv("HOME");
    const fs::path withoutHome = path();
    ::setenv("HOME", savedHome.c_str(), 1);
    if (oldXdg) {
        ::setenv("XDG_CONFIG_HOME", savedXdg.c_str(), 1);
    }
    const passwd* entry = ::getpwuid(::getuid());
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(withoutHome, fs::path(entry->pw_dir) / ".config/lexoria/org.lexoria.Lexoria.plist")
        << "the password database's";

    // Without any home the settings last for the run, and nothing lands in the current
    // folder.
    std::ostringstream log;
    DefaultsPlistFile memory({}, log);
    memory.setObject("en", "leftSim");
    EXPECT_EQ(memory.objectForKey("leftSim"), "en");
    const std::string said = log.str();
    EXPECT_NE(said.find("no home folder"), std::string::npos) << said;
    EXPECT_EQ(said.find("no home folder", said.find("no home folder") + 1), std::string::npos)
        << "said once";
    EXPECT_FALSE(fs::exists(".config/lexoria"));
}

}  // namespace
}  // namespace lexoria
