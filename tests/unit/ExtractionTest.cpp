// Answer extraction cases that the loopback tests of the services do not reach.
#include <gtest/gtest.h>

#include "DefaultsMemory.h"
#include "LocaleFixed.h"
#include "TempDir.h"
#include "engine/Promt.h"
#include "engine/SelfTranslators.h"

namespace lexoria {
namespace {

using Answer = std::optional<std::string>;
using Extract = Answer (*)(SelfTranslators&);

using test::fixture;

Answer google(SelfTranslators& t) {
    return t.googlHtmlStr();
}
Answer microsoft(SelfTranslators& t) {
    return t.microsoftStr();
}
Answer babylon(SelfTranslators& t) {
    return t.babylonHtmlStr();
}
Answer yandex(SelfTranslators& t) {
    return t.yandexStr();
}
Answer dictionary(SelfTranslators& t) {
    return t.yandexDic();
}

struct ExtractCase {
    const char* name;
    Extract extract;
    Answer answer;
    Answer expected;
};

void PrintTo(const ExtractCase& c, std::ostream* out) {
    *out << c.name;
}

const std::string kDeclaration = "<?xml version=\"1.0\" encoding=\"utf-8\"?>";

const ExtractCase kExtractCases[] = {
    {"GoogleWithoutTheFollowingElements", google,
     "<p onmouseout=\"this.style.backgroundColor='#fff'\">tail <i>only</i>", "tail only"},
    {"GoogleStartAndEndMarksOnly", google, "x this.style.backgroundColor='#fff'\">a<textarea b",
     "a"},
    {"GoogleNoAnswer", google, std::nullopt, ""},
    {"MicrosoftStrayOpeningMarkDropsTheRest", microsoft, "a > b < c", "a  b "},
    {"MicrosoftNoAnswer", microsoft, std::nullopt, ""},
    {"BabylonErrorObject", babylon, "callbackFn('babylon', {\"error\":\"bad pair\"}, 400);",
     std::nullopt},
    {"BabylonTranslationNotText", babylon, "callbackFn('babylon', {\"translatedText\":5});",
     std::nullopt},
    {"BabylonEmptyTranslationIsOne", babylon, "f('babylon', {\"translatedText\":\"\"}, 200);", ""},
    {"YandexEveryTextElementJoined", yandex, "<T><text>one.</text>\n<text> two</text></T>",
     "one. two"},
    {"YandexReferencesPassThrough", yandex, "<T><text>a &quot;b&quot;</text></T>",
     "a &quot;b&quot;"},
    {"DictionaryExamplesAndMeanings", dictionary, fixture("yandex_dictionary_hello.xml"),
     "\u276F\nhello  \u043F\u0440\u0438\u0432\u0435\u0442  "
     "\u043F\u0440\u0438\u0432\u0435\u0442\u0441\u0442\u0432\u0438\u0435   hi  \n"
     "say hello   \u25CF \u043F\u0435\u0440\u0435\u0434\u0430\u0442\u044C "
     "\u043F\u0440\u0438\u0432\u0435\u0442   \n \n"
     "hello  \u0437\u0434\u043E\u0440\u043E\u0432\u0430\u0442\u044C\u0441\u044F   "},
    {"DictionaryWithoutDefinitionsIsNotEmpty", dictionary,
     kDeclaration + "\n<DicResult><head/></DicResult>", "\u276F"},
    {"DictionaryWithoutHeaderLosesAllAfterTheDeclaration", dictionary,
     kDeclaration + "<Error><code>502</code></Error>", ""},
    {"DictionaryWithoutDeclarationKeepsTheStart", dictionary,
     "<DicResult><head/><def><text>w</text></def></DicResult>", "\u276F\nw  "},
    {"DictionaryBulletsOnlyBareTranslations", dictionary,
     kDeclaration +
         "<r><head/><def><tr pos=\"n\"><text>a\nb</text></tr><tr><text>c</text></tr></def></r>",
     "\u276F\na b    \u25CF c   "},
};

class Extraction : public ::testing::TestWithParam<ExtractCase> {};

TEST_P(Extraction, CutsTheAnswerDownToItsText) {
    test::DefaultsMemory defaults;
    test::LocaleFixed locale;
    EngineContext context{defaults, locale, {}, {}};
    SelfTranslators translators(context);
    translators.setOsnova(GetParam().answer);
    EXPECT_EQ(GetParam().extract(translators), GetParam().expected);
    EXPECT_EQ(translators.osnova(), GetParam().expected) << "the result stays in the working text";
}

INSTANTIATE_TEST_SUITE_P(Table, Extraction, ::testing::ValuesIn(kExtractCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(PromtAnswer, StoresTheTextOfTheAnswer) {
    EXPECT_EQ(promtTranslationOfAnswer(
                  R"({"d":{"result":"<b>x</b>","resultNoTags":"line one\nline two"}})"),
              "line one\nline two");
    EXPECT_EQ(promtTranslationOfAnswer(fixture("promt_answer_with_tags_only.json")),
              "\u041F\u0440\u0438\u0432\u0435\u0442,\n\u043C\u0438\u0440 <b>!</b>")
        << "only the line-break tags are turned into line feeds";
    EXPECT_EQ(promtTranslationOfAnswer(fixture("promt_answer_without_d.json")),
              "Invalid JSON primitive: dirCode.")
        << "the service's message, not a made-up text";
    EXPECT_EQ(promtTranslationOfAnswer(R"({"d":{"resultNoTags":null}})"), "");
    EXPECT_EQ(promtTranslationOfAnswer(R"({"d":{"resultNoTags":""}})"), "");
    EXPECT_EQ(promtTranslationOfAnswer("[1,2]"), std::nullopt);
    EXPECT_EQ(promtTranslationOfAnswer("<html>502</html>"), std::nullopt);
    EXPECT_EQ(promtTranslationOfAnswer(""), std::nullopt);
    EXPECT_EQ(promtTranslationOfAnswer("{\"d\":{\"resultNoTags\":\"\xFF\"}}"), std::nullopt)
        << "invalid UTF-8 is no JSON";
}

TEST(PromtRequest, TheTextCannotBreakOutOfItsValue) {
    const auto body = [](const std::string& text) {
        return "{dirCode:'en-ru',template:'General',text:'" + text +
               "',lang:'ru',limit:3000,useAutoDetect:false,key:'',ts:'MainSite',tid:'',"
               "IsMobile:true}";
    };
    EXPECT_EQ(promtRequestBody("plain text", "en", "ru"), body("plain text"));
    EXPECT_EQ(promtRequestBody("it's a\\b\nc\rd\u2028e\u2029f", "en", "ru"),
              body("it\\'s a\\\\b\\nc\\rd\\u2028e\\u2029f"));
}

}  // namespace
}  // namespace lexoria
