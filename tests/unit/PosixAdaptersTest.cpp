// The POSIX adapters: the locale from the environment, files and the home folder.
#include <gtest/gtest.h>
#include <pwd.h>
#include <unistd.h>

#include <map>

#include "TempDir.h"
#include "platform/linux/FileOperationsPosix.h"
#include "platform/linux/LocalePosix.h"

namespace lexoria {
namespace {

LocalePosix localeOf(std::map<std::string, std::string> environment) {
    return LocalePosix([environment](const char* name) -> std::optional<std::string> {
        const auto it = environment.find(name);
        return it == environment.end() ? std::nullopt : std::optional<std::string>(it->second);
    });
}

TEST(LocalePosix, RegionComesFromTheFirstNonEmptyLocaleVariable) {
    EXPECT_EQ(localeOf({{"LANG", "de_DE.UTF-8"}}).regionCode(), "DE");
    EXPECT_EQ(localeOf({{"LC_ALL", ""}, {"LC_MESSAGES", "ru_RU"}, {"LANG", "de_DE"}}).regionCode(),
              "RU");
    EXPECT_EQ(localeOf({{"LC_ALL", "fr_CA.UTF-8@euro"}, {"LANG", "de_DE"}}).regionCode(), "CA");
    EXPECT_EQ(localeOf({{"LANG", "es_419.UTF-8"}}).regionCode(), "419");
    EXPECT_EQ(localeOf({{"LANG", "pt_br"}}).regionCode(), "BR");
    EXPECT_EQ(localeOf({}).regionCode(), std::nullopt);
    EXPECT_EQ(localeOf({{"LANG", "C.UTF-8"}}).regionCode(), std::nullopt);
    EXPECT_EQ(localeOf({{"LANG", "POSIX"}}).regionCode(), std::nullopt);
    EXPECT_EQ(localeOf({{"LANG", "eo.UTF-8"}}).regionCode(), std::nullopt);
    // The first non-empty variable decides, even when it names no region.
    EXPECT_EQ(localeOf({{"LC_ALL", "C"}, {"LANG", "de_DE.UTF-8"}}).regionCode(), std::nullopt);
}

TEST(LocalePosix, PreferredLanguagesListLanguageThenTheLocalesLanguage) {
    using Languages = std::vector<std::string>;
    EXPECT_EQ(localeOf({{"LANGUAGE", "pt_BR:ru:en"}, {"LANG", "de_DE.UTF-8"}}).preferredLanguages(),
              (Languages{"pt-BR", "ru", "en", "de"}));
    EXPECT_EQ(localeOf({{"LANG", "ru_RU.UTF-8"}}).preferredLanguages(), (Languages{"ru"}));
    EXPECT_EQ(localeOf({{"LANGUAGE", "de::de_AT"}, {"LANG", "de_DE"}}).preferredLanguages(),
              (Languages{"de", "de-AT"}));
    EXPECT_EQ(localeOf({{"LANG", "C"}}).preferredLanguages(), Languages{});
}

TEST(FileOperationsPosix, WritesChecksAndRemovesRealFiles) {
    test::TempDir dir;
    FileOperationsPosix files;
    const std::string folder = (dir.path() / "a" / "b").string();
    const std::string file = folder + "/testsandbox.txt";
    EXPECT_FALSE(files.writeFile(file, "!")) << "no folder yet";
    EXPECT_TRUE(files.createDirectories(folder));
    EXPECT_TRUE(files.writeFile(file, "!"));
    EXPECT_TRUE(files.fileExists(file));
    EXPECT_TRUE(files.removeFile(file));
    EXPECT_FALSE(files.fileExists(file));
    EXPECT_FALSE(files.removeFile(file));
}

TEST(FileOperationsPosix, TheHomeComesFromThePasswordDatabaseNotTheEnvironment) {
    const std::string saved = std::getenv("HOME") ? std::getenv("HOME") : "";
    ::setenv("HOME", "/somewhere/snap/lexoria/12", 1);
    const std::string home = FileOperationsPosix().homeDirectory();
    ::setenv("HOME", saved.c_str(), 1);
    EXPECT_EQ(home, ::getpwuid(::getuid())->pw_dir);
}

}  // namespace
}  // namespace lexoria
