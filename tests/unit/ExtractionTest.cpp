#include <gtest/gtest.h>

#include <fstream>

#include "DefaultsMemory.h"
#include "LocaleFixed.h"
#include "engine/Promt.h"
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
    std::string google(std::optional<std::string> page) {
        translators.setOsnova(std::move(page));
        return translators.googlHtmlStr();
    }
    std::string microsoft(std::optional<std::string> answer) {
        translators.setOsnova(std::move(answer));
        return translators.microsoftStr();
    }
    std::optional<std::string> babylon(std::optional<std::string> answer) {
        translators.setOsnova(std::move(answer));
        return translators.babylonHtmlStr();
    }
    std::string detection(std::optional<std::string> answer) {
        translators.setOsnova(std::move(answer));
        return translators.yandexDetectStr();
    }

    test::DefaultsMemory defaults;
    test::LocaleFixed locale;
    EngineContext context{defaults, locale, {}, {}};
    SelfTranslators translators{context};
};

constexpr const char* kDeclaration = "<?xml version=\"1.0\" encoding=\"utf-8\"?>";

std::string fixture(const std::string& name) {
    std::ifstream in(std::string(LEXORIA_TEST_DATA) + "/" + name, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_FALSE(bytes.empty()) << name;
    return bytes;
}

TEST_F(Extraction, GooglePageIsCutToItsSentencesAndDecoded) {
    // The second sentence keeps its pencil reference for the branch to turn into a line
    // break; the math sign reference becomes ">" and goes with the tags; "❮" is ">".
    EXPECT_EQ(google(fixture("google_page_two_sentences.html")),
              "\u041F\u0440\u0438\u0432\u0435\u0442, \u043C\u0438\u0440. \u041A\u0430\u043A "
              "\u0434\u0435\u043B\u0430 & \"\u0432\u0441\u0451\"  1? &#9998; "
              "\u0425\u043E\u0440\u043E\u0448\u043E >3\n");
    EXPECT_EQ(google(fixture("google_page_without_marker.html")), "");
    EXPECT_EQ(google(std::nullopt), "");
    EXPECT_EQ(google("<p onmouseout=\"this.style.backgroundColor='#fff'\">tail <i>only</i>"),
              "tail only")
        << "without the elements that follow, the rest of the page stays";
    EXPECT_EQ(google("x this.style.backgroundColor='#fff'\">a<textarea b"), "a");
}

TEST_F(Extraction, MicrosoftAnswerIsItsTextContent) {
    EXPECT_EQ(microsoft("<string xmlns=\"http://schemas.microsoft.com/2003/10/Serialization/\">"
                        "Hallo Welt &amp; mehr</string>"),
              "Hallo Welt &amp; mehr");
    EXPECT_EQ(
        microsoft(
            "<html><body><h1>Argument Exception</h1><p>Method: Translate()</p>"
            "<p>Message: Invalid appId</p><code>TranslateApiExceptionMethod</code></body></html>"),
        "Argument ExceptionMethod: Translate()Message: Invalid appIdTranslateApiExceptionMethod");
    EXPECT_EQ(microsoft(std::nullopt), "");
    EXPECT_EQ(microsoft("a > b < c"), "a  b ") << "a stray \"<\" drops the rest";
}

TEST_F(Extraction, BabylonAnswerIsTheTranslatedTextOfItsObject) {
    EXPECT_EQ(babylon(fixture("babylon_answer.js")), "holamundo \u00A1bien! \"x\"")
        << "tags and non-breaking-space references go, JSON escapes are decoded";
    EXPECT_EQ(babylon(fixture("babylon_answer_cut_inside_json.txt")), std::nullopt);
    EXPECT_EQ(babylon("callbackFn('babylon', {\"error\":\"bad pair\"}, 400);"), std::nullopt);
    EXPECT_EQ(babylon("callbackFn('babylon', {\"translatedText\":5});"), std::nullopt);
    EXPECT_EQ(babylon("<html>Service Unavailable</html>"), std::nullopt);
    EXPECT_EQ(babylon(std::nullopt), std::nullopt);
    EXPECT_EQ(babylon("f('babylon', {\"translatedText\":\"\"}, 200);"), "")
        << "an empty translation is one";
}

TEST_F(Extraction, DetectionAnswerGivesTheLangAttribute) {
    EXPECT_EQ(detection(std::string(kDeclaration) + "\n<DetectedLang code=\"200\" lang=\"en\"/>"),
              "en");
    EXPECT_EQ(detection(std::string(kDeclaration) + "<DetectedLang code=\"200\" lang=\"\"/>"), "");
    EXPECT_EQ(detection("<Error code=\"401\" message=\"API key is invalid\"/>"), "");
    EXPECT_EQ(detection(std::nullopt), "");
}

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
    EXPECT_EQ(promtRequestBody("it's a\\b\nc", "en", "ru"),
              "{dirCode:'en-ru',template:'General',text:'it\\'s a\\\\b\\nc',lang:'ru',limit:3000,"
              "useAutoDetect:false,key:'',ts:'MainSite',tid:'',IsMobile:true}");
    EXPECT_EQ(promtRequestBody("plain text", "en", "ru"),
              "{dirCode:'en-ru',template:'General',text:'plain text',lang:'ru',limit:3000,"
              "useAutoDetect:false,key:'',ts:'MainSite',tid:'',IsMobile:true}");
}

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
