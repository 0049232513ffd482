#include <gtest/gtest.h>

#include <fstream>

#include "DefaultsMemory.h"
#include "LocaleFixed.h"
#include "engine/SelfTranslators.h"

namespace lexoria {
namespace {

class Extraction : public ::testing::Test {
  protected:
    std::string yandexStr(std::optional<std::string> answer) {
        translators.setOsnova(std::move(answer));
        return translators.yandexStr();
    }
    std::string yandexDic(std::optional<std::string> answer) {
        translators.setOsnova(std::move(answer));
        return translators.yandexDic();
    }

    test::DefaultsMemory defaults;
    test::LocaleFixed locale;
    EngineContext context{defaults, locale, {}, {}};
    SelfTranslators translators{context};
};

constexpr const char* kDeclaration = "<?xml version=\"1.0\" encoding=\"utf-8\"?>";

TEST_F(Extraction, TranslationIsTheContentOfEveryTextElementJoined) {
    EXPECT_EQ(
        yandexStr(
            std::string(kDeclaration) +
            "\n<Translation code=\"200\" lang=\"en-ru\"><text>\u043F\u0440\u0438\u0432\u0435\u0442 "
            "\u043C\u0438\u0440</text></Translation>"),
        "\u043F\u0440\u0438\u0432\u0435\u0442 \u043C\u0438\u0440");
    EXPECT_EQ(yandexStr("<T><text>one.</text>\n<text> two</text></T>"), "one. two");
    EXPECT_EQ(yandexStr("<Error code=\"401\" message=\"API key is invalid\"/>"), "");
    EXPECT_EQ(yandexStr(std::nullopt), "");
    EXPECT_EQ(yandexStr("<T><text>a &quot;b&quot;</text></T>"), "a &quot;b&quot;")
        << "character references pass through";
    EXPECT_EQ(translators.osnova(), "a &quot;b&quot;") << "the result stays in the working text";
}

TEST_F(Extraction, DictionaryEntryIsLaidOutInLinesWithBullets) {
    std::ifstream in(std::string(LEXORIA_TEST_DATA) + "/yandex_dictionary_hello.xml");
    const std::string answer((std::istreambuf_iterator<char>(in)),
                             std::istreambuf_iterator<char>());
    ASSERT_FALSE(answer.empty());
    EXPECT_EQ(yandexDic(answer),
              "\u276F\nhello  \u043F\u0440\u0438\u0432\u0435\u0442  "
              "\u043F\u0440\u0438\u0432\u0435\u0442\u0441\u0442\u0432\u0438\u0435   hi  \n"
              "say hello   \u25CF \u043F\u0435\u0440\u0435\u0434\u0430\u0442\u044C "
              "\u043F\u0440\u0438\u0432\u0435\u0442   \n \n"
              "hello  \u0437\u0434\u043E\u0440\u043E\u0432\u0430\u0442\u044C\u0441\u044F   ");
}

TEST_F(Extraction, DictionaryEdgeAnswers) {
    EXPECT_EQ(yandexDic(std::string(kDeclaration) + "\n<DicResult><head/></DicResult>"), "\u276F")
        << "an entry without definitions is not empty";
    EXPECT_EQ(yandexDic(std::string(kDeclaration) + "<Error><code>502</code></Error>"), "")
        << "no header element: everything after the declaration goes";
    EXPECT_EQ(yandexDic("<DicResult><head/><def><text>w</text></def></DicResult>"), "\u276F\nw  ")
        << "without the declaration nothing is cut before the header";
    EXPECT_EQ(
        yandexDic(
            std::string(kDeclaration) +
            "<r><head/><def><tr pos=\"n\"><text>a\nb</text></tr><tr><text>c</text></tr></def></r>"),
        "\u276F\na b    \u25CF c   ")
        << "only a bare translation element gets a bullet; answer line feeds become spaces";
    EXPECT_EQ(yandexDic(std::nullopt), "");
}

}  // namespace
}  // namespace lexoria
