#include <gtest/gtest.h>

#include "cli/TranslateCommand.h"

namespace lexoria {
namespace {

TEST(TranslateCommand, DefaultsToGoogleWithNoLanguagesAndKeyOne) {
    const ParsedCommand parsed = parseTranslateCommand({"Hello", "world"});
    ASSERT_TRUE(parsed.command);
    EXPECT_EQ(parsed.command->service, "Google");
    EXPECT_EQ(parsed.command->from, std::nullopt);
    EXPECT_EQ(parsed.command->to, std::nullopt);
    EXPECT_EQ(parsed.command->keyMicrosoft, 1);
    EXPECT_EQ(parsed.command->words, (std::vector<std::string>{"Hello", "world"}));
}

TEST(TranslateCommand, TakesEveryOptionInBothSpellings) {
    const ParsedCommand parsed =
        parseTranslateCommand({"--service", "Yandex", "--from=", "--to", "ru", "--remove", "a",
                               "--remove=b", "--key=2", "x", "--", "--to", "-v"});
    ASSERT_TRUE(parsed.command) << parsed.error;
    const TranslateCommand& c = *parsed.command;
    EXPECT_EQ(c.service, "Yandex");
    EXPECT_EQ(c.from, "") << "an explicit empty value is passed on";
    EXPECT_EQ(c.to, "ru");
    EXPECT_EQ(c.remove, (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(c.keyMicrosoft, 2);
    EXPECT_EQ(c.words, (std::vector<std::string>{"x", "--to", "-v"}));
}

TEST(TranslateCommand, RefusesWhatItCannotUse) {
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{"--key", "3"}, {"--key"}, {"--colour", "x"}, {"--to"}}) {
        const ParsedCommand parsed = parseTranslateCommand(arguments);
        EXPECT_FALSE(parsed.command);
        EXPECT_FALSE(parsed.error.empty());
    }
}

}  // namespace
}  // namespace lexoria
