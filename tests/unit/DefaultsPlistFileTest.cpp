#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <random>
#include <sstream>

#include "TempDir.h"
#include "platform/linux/DefaultsPlistFile.h"

namespace lexoria {
namespace {

namespace fs = std::filesystem;

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeFile(const fs::path& path, const std::string& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

std::vector<fs::path> corruptCopies(const fs::path& file) {
    std::vector<fs::path> found;
    for (const auto& entry : fs::directory_iterator(file.parent_path())) {
        if (entry.path().filename().string().rfind(file.filename().string() + ".corrupt-", 0) ==
            0) {
            found.push_back(entry.path());
        }
    }
    return found;
}

class DefaultsPlistFileTest : public ::testing::Test {
  protected:
    test::TempDir dir;
    fs::path file = dir.path() / "lexoria" / "org.lexoria.Lexoria.plist";
    std::ostringstream log;
};

TEST_F(DefaultsPlistFileTest, WritesAnXmlDictionaryOfStringsThatANewInstanceReads) {
    {
        DefaultsPlistFile defaults(file, log);
        defaults.setObject("en", "leftSim");
        defaults.setObject("(null)", "rirstrun");
    }
    const std::string xml = readFile(file);
    EXPECT_NE(xml.find("<!DOCTYPE plist"), std::string::npos) << xml;
    EXPECT_NE(xml.find("<key>leftSim</key>"), std::string::npos) << xml;
    EXPECT_NE(xml.find("<string>(null)</string>"), std::string::npos) << xml;
    DefaultsPlistFile reopened(file, log);
    EXPECT_EQ(reopened.objectForKey("leftSim"), "en");
    EXPECT_EQ(reopened.objectForKey("rirstrun"), "(null)");
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

TEST_F(DefaultsPlistFileTest, NulCharactersBecomeReplacementCharacters) {
    DefaultsPlistFile(file, log).setObject(std::string("a\0b", 3), "k");
    EXPECT_EQ(DefaultsPlistFile(file, log).objectForKey("k"),
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

TEST(DefaultsPlistFilePath, FollowsTheXdgConfigurationDirectory) {
    const char* oldXdg = std::getenv("XDG_CONFIG_HOME");
    const std::string savedXdg = oldXdg ? oldXdg : "";
    const std::string savedHome = std::getenv("HOME") ? std::getenv("HOME") : "/";
    ::setenv("XDG_CONFIG_HOME", "/tmp/xdg", 1);
    EXPECT_EQ(DefaultsPlistFile::standardPath("org.lexoria.Lexoria"),
              "/tmp/xdg/lexoria/org.lexoria.Lexoria.plist");
    ::setenv("XDG_CONFIG_HOME", "relative/is/ignored", 1);
    ::setenv("HOME", "/home/someone", 1);
    EXPECT_EQ(DefaultsPlistFile::standardPath("org.lexoria.Lexoria"),
              "/home/someone/.config/lexoria/org.lexoria.Lexoria.plist");
    ::setenv("HOME", savedHome.c_str(), 1);
    if (oldXdg) {
        ::setenv("XDG_CONFIG_HOME", savedXdg.c_str(), 1);
    } else {
        ::unsetenv("XDG_CONFIG_HOME");
    }
}

}  // namespace
}  // namespace lexoria
