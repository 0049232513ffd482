#include <gtest/gtest.h>

#include <map>

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

}  // namespace
}  // namespace lexoria
