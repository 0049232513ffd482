// Hostile things in the settings folder: each row plants one and checks that the store
// neither crashes, hangs, nor writes through what it did not create, and loses nothing.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <sstream>

#include "TempDir.h"
#include "engine/PropertyList.h"
#include "platform/linux/DefaultsPlistFile.h"

namespace lexoria {
namespace {

namespace fs = std::filesystem;
using test::corruptCopies;
using test::readFile;
using test::writeFile;

std::string repeated(const std::string& unit, int times) {
    std::string out;
    out.reserve(unit.size() * static_cast<std::size_t>(times));
    for (int i = 0; i < times; ++i) {
        out += unit;
    }
    return out;
}

std::string plist(const std::string& body) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">" + body +
           "</plist>";
}

std::size_t count(const std::string& text, const std::string& part) {
    std::size_t n = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++n;
    }
    return n;
}

struct Folder {
    fs::path dir;   // the settings folder
    fs::path file;  // the settings file in it
};

struct HostileFile {
    const char* name;
    std::function<void(const Folder&)> plant;
    // What must hold after a store was opened on the folder and written twice.
    std::function<void(const Folder&, DefaultsPlistFile&, const std::string& log)> check;
};

// Nesting that a scanner blind to comments, character data and quoted attributes would
// take for flat; small enough for the lenient reader to be tried on it.
const std::string kHiddenNesting =
    plist("<dict><key>a</key>" + repeated("<array><!--</array>-->", 40000) + "</dict>");

void expectMovedAsideByteForByte(const Folder& f, const std::string& bytes,
                                 const std::string& log) {
    const auto copies = corruptCopies(f.file);
    ASSERT_EQ(copies.size(), 1u) << log;
    EXPECT_TRUE(readFile(copies[0]) == bytes) << "the old file is kept byte for byte";
    EXPECT_EQ(count(log, "unreadable"), 1u) << log;
}

// The settings last for the run, and what stands in the file's place stays there.
auto keptInMemoryOnly(bool (*stillThere)(const fs::path&)) {
    return [stillThere](const Folder& f, DefaultsPlistFile& store, const std::string& log) {
        EXPECT_EQ(store.objectForKey("leftSim"), "en");
        EXPECT_EQ(store.objectForKey("rightSim"), "de");
        EXPECT_EQ(count(log, "cannot read the settings file"), 1u) << "said once: " << log;
        EXPECT_TRUE(stillThere(f.file));
    };
}

const HostileFile kHostileFiles[] = {
    {"nesting hidden behind closing tags in comments",
     [](const Folder& f) { writeFile(f.file, kHiddenNesting); },
     [](const Folder& f, DefaultsPlistFile& store, const std::string& log) {
         expectMovedAsideByteForByte(f, kHiddenNesting, log);
         EXPECT_EQ(DefaultsPlistFile(f.file, std::cerr).objectForKey("rightSim"), "de");
         (void)store;
     }},
    {"a folder in the file's place", [](const Folder& f) { fs::create_directories(f.file); },
     keptInMemoryOnly([](const fs::path& p) { return fs::is_directory(p); })},
    {"a FIFO in the file's place",
     [](const Folder& f) {
         fs::create_directories(f.dir);
         ASSERT_EQ(::mkfifo(f.file.c_str(), 0600), 0);
     },
     keptInMemoryOnly([](const fs::path& p) { return fs::is_fifo(p); })},
    {"a link to an endless device",
     [](const Folder& f) {
         fs::create_directories(f.dir);
         fs::create_symlink("/dev/zero", f.file);
     },
     keptInMemoryOnly([](const fs::path& p) { return fs::read_symlink(p) == "/dev/zero"; })},
    {"a file beyond any real settings",
     [](const Folder& f) {
         writeFile(f.file, "");
         fs::resize_file(f.file, DefaultsPlistFile::kMaxFileBytes + 1);  // sparse: no disk
     },
     [](const Folder& f, DefaultsPlistFile& store, const std::string& log) {
         const auto copies = corruptCopies(f.file);
         ASSERT_EQ(copies.size(), 1u) << log;
         EXPECT_EQ(fs::file_size(copies[0]), DefaultsPlistFile::kMaxFileBytes + 1);
         EXPECT_EQ(DefaultsPlistFile(f.file, std::cerr).objectForKey("leftSim"), "en");
         (void)store;
     }},
    {"a link planted where a fixed temporary name would be",
     [](const Folder& f) {
         writeFile(f.dir.parent_path() / "victim", "precious");
         fs::create_directories(f.dir);
         for (const char* name :
              {".org.lexoria.Lexoria.plist.tmp", ".org.lexoria.Lexoria.plist.new"}) {
             fs::create_symlink(f.dir.parent_path() / "victim", f.dir / name);
         }
     },
     [](const Folder& f, DefaultsPlistFile&, const std::string&) {
         EXPECT_EQ(readFile(f.dir.parent_path() / "victim"), "precious");
         EXPECT_EQ(DefaultsPlistFile(f.file, std::cerr).objectForKey("rightSim"), "de");
         const auto mode = fs::status(f.file).permissions();
         EXPECT_EQ(mode & (fs::perms::group_all | fs::perms::others_all), fs::perms::none);
     }},
    {"a folder where the lock file goes",
     [](const Folder& f) { fs::create_directories(f.dir / ".org.lexoria.Lexoria.plist.lock"); },
     [](const Folder& f, DefaultsPlistFile&, const std::string& log) {
         DefaultsPlistFile fresh(f.file, std::cerr);
         EXPECT_EQ(fresh.objectForKey("leftSim"), "en");
         EXPECT_EQ(fresh.objectForKey("rightSim"), "de");
         EXPECT_EQ(count(log, "unlocked"), 1u) << "said once: " << log;
     }},
    {"a link kept by a dotfile manager",
     [](const Folder& f) {
         writeFile(f.dir.parent_path() / "dotfiles" / "lexoria.plist",
                   plist("<dict><key>Icon</key><string>0</string></dict>"));
         fs::create_directories(f.dir);
         fs::create_symlink("../dotfiles/lexoria.plist", f.file);
     },
     [](const Folder& f, DefaultsPlistFile&, const std::string& log) {
         EXPECT_TRUE(fs::is_symlink(f.file)) << "the link stays a link";
         DefaultsPlistFile target(f.dir.parent_path() / "dotfiles" / "lexoria.plist", std::cerr);
         EXPECT_EQ(target.objectForKey("rightSim"), "de");
         EXPECT_EQ(target.objectForKey("Icon"), "0");
         EXPECT_EQ(log, "");
     }},
};

class HostileSettings : public ::testing::TestWithParam<HostileFile> {};

TEST_P(HostileSettings, NoCrashNoHangNothingOverwrittenNothingLost) {
    test::TempDir home;
    const Folder f{home.path() / "lexoria", home.path() / "lexoria" / "org.lexoria.Lexoria.plist"};
    GetParam().plant(f);
    std::ostringstream log;
    DefaultsPlistFile store(f.file, log);
    store.setObject("en", "leftSim");
    store.setObject("de", "rightSim");
    EXPECT_EQ(store.objectForKey("rightSim"), "de");
    GetParam().check(f, store, log.str());
}

INSTANTIATE_TEST_SUITE_P(Rows, HostileSettings, ::testing::ValuesIn(kHostileFiles),
                         [](const auto& info) {
                             std::string name = info.param.name;
                             for (char& c : name) {
                                 c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
                             }
                             return name;
                         });

TEST(HostileSettingsRaces, RunsMovingTheSameFileAsideAtOnceReportNoFailure) {
    for (int round = 0; round < 20; ++round) {
        test::TempDir home;
        const fs::path file = home.path() / "lexoria" / "org.lexoria.Lexoria.plist";
        // Broken only at its end, so that every run spends a while reading it.
        writeFile(file, plist("<dict>" + repeated("<key>k</key><string>v</string>", 20000)));
        int go[2];
        ASSERT_EQ(::pipe(go), 0);
        std::vector<std::pair<pid_t, int>> children;
        for (int i = 0; i < 6; ++i) {
            int out[2];
            ASSERT_EQ(::pipe(out), 0);
            const pid_t child = ::fork();
            ASSERT_GE(child, 0);
            if (child == 0) {
                ::close(out[0]);
                ::close(go[1]);
                char start;
                (void)!::read(go[0], &start, 1);  // all start at once
                std::ostringstream log;
                DefaultsPlistFile store(file, log);
                const std::string said = log.str();
                (void)!::write(out[1], said.data(), said.size());
                ::_exit(0);
            }
            ::close(out[1]);
            children.emplace_back(child, out[0]);
        }
        ::close(go[0]);
        ::close(go[1]);
        std::string said;
        for (const auto& [child, out] : children) {
            char buffer[4096];
            for (ssize_t n; (n = ::read(out, buffer, sizeof buffer)) > 0;) {
                said.append(buffer, static_cast<std::size_t>(n));
            }
            ::close(out);
            int status = 0;
            ::waitpid(child, &status, 0);
        }
        EXPECT_EQ(count(said, "could not be moved aside"), 0u) << said;
        EXPECT_EQ(corruptCopies(file).size(), 1u);
    }
}

// Load and save take time in proportion to the file: sixteen times the keys may cost
// sixteen times as long (with room for a busy machine), not a hundred times.
TEST(HostileSettingsSize, LoadAndSaveGrowLinearly) {
    const auto timeFor = [](int keys) {
        test::TempDir home;
        const fs::path file = home.path() / "org.lexoria.Lexoria.plist";
        std::string body = "<dict>";
        for (int i = 0; i < keys; ++i) {
            body += "<key>k" + std::to_string(i) + "</key><string>v</string>";
        }
        writeFile(file, plist(body + "</dict>"));
        const auto start = std::chrono::steady_clock::now();
        DefaultsPlistFile store(file, std::cerr);
        store.setObject("en", "leftSim");
        EXPECT_EQ(store.objectForKey("k" + std::to_string(keys - 1)), "v");
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    };
    const double small = timeFor(25000);
    const double large = timeFor(400000);
    EXPECT_LT(large, 48 * small + 1.0) << small << " s, then " << large << " s";
}

// Control characters pass the XML reader in stand-ins; text of the file's own that looks
// like one must not be turned into a control character.
TEST(HostileSettingsText, ControlCharactersReadBackExactlyBesideLookAlikes) {
    const std::map<std::string, std::string> texts = {
        {"controls", "a\x01\x1F\r\nb"}, {"ligature", "\uFDF2\x02"}, {"plain", "x"}};
    std::string problem;
    EXPECT_EQ(parseTextDictionary(xmlPropertyList(texts), problem), texts) << problem;
    const std::string ownNoncharacter =
        plist("<dict><key>k</key><string>\uFDD1\x01</string></dict>");
    EXPECT_EQ(parseTextDictionary(ownNoncharacter, problem), std::nullopt)
        << "left to the lenient reader";
    EXPECT_EQ(parsePropertyList(ownNoncharacter)->member("k")->text()->size(), 4u);
}

}  // namespace
}  // namespace lexoria
