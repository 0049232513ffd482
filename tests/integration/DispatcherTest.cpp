// The translation call and the Yandex branch, against loopback servers that answer as
// Yandex and Microsoft do.
#include <gtest/gtest.h>

#include "DefaultsMemory.h"
#include "LocaleFixed.h"
#include "LoopbackServer.h"
#include "engine/SelfTranslators.h"
#include "engine/ServiceKeys.h"

namespace lexoria {
namespace {

using test::CannedAnswer;
using test::LoopbackServer;

const std::string kTranslatePath = "/api/v1.5/tr/translate";
const std::string kLookupPath = "/api/v1/dicservice/lookup";
const std::string kDetectPath = "/api/v1.5/tr/detect";
const std::string kMicrosoftDetectPath = "/v2/Http.svc/Detect";
const std::string kDeclaration = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n";

CannedAnswer xml(const std::string& body) {
    return {200, "text/xml; charset=utf-8", kDeclaration + body};
}
CannedAnswer translation(const std::string& text) {
    return xml("<Translation code=\"200\" lang=\"en-ru\"><text>" + text + "</text></Translation>");
}

class Dispatcher : public ::testing::Test {
  protected:
    Dispatcher() {
        context.addresses.yandexTranslate = yandex.hostPort();
        context.addresses.yandexDictionary = dictionary.hostPort();
        context.addresses.microsoft = microsoft.hostPort();
        context.http.caFile = yandex.caFile();
        defaults.values["autoDetectLang"] = "0";
    }

    std::string translate(const std::string& text, std::optional<std::string> from,
                          std::optional<std::string> to, std::string service = "Yandex",
                          std::optional<std::vector<std::string>> remove = std::nullopt) {
        SelfTranslators translators(context);
        return translators.setService(service, text, from, to, remove, 1);
    }
    std::string translateTarget(const std::string& query) const {
        return kTranslatePath + "?key=" + kYandexTranslateKey + query;
    }
    std::string lookupTarget(const std::string& query) const {
        return kLookupPath + "?key=" + kYandexDictionaryKey + query;
    }
    std::size_t requestCount() const {
        return yandex.requests().size() + dictionary.requests().size() +
               microsoft.requests().size();
    }

    LoopbackServer yandex{LoopbackServer::Scheme::https};
    LoopbackServer dictionary{LoopbackServer::Scheme::https};
    LoopbackServer microsoft;
    test::DefaultsMemory defaults;
    test::LocaleFixed locale;
    EngineContext context{defaults, locale, {}, {}};
};

using Targets = std::vector<std::string>;

TEST_F(Dispatcher, TranslatesTextWithSpacesThroughYandexTranslate) {
    yandex.answer(kTranslatePath,
                  translation("\u043F\u0440\u0438\u0432\u0435\u0442 \u043C\u0438\u0440"));
    EXPECT_EQ(translate("hello world", "en", "ru"),
              "\u043F\u0440\u0438\u0432\u0435\u0442 \u043C\u0438\u0440");
    EXPECT_EQ(yandex.targets(), Targets{translateTarget("&lang=en-ru&text=hello%20world")});
    EXPECT_TRUE(dictionary.requests().empty());
    EXPECT_EQ(defaults.values.at("leftSim"), "en");
}

TEST_F(Dispatcher, LooksASingleWordUpInTheDictionaryInLowerCase) {
    dictionary.answer(kLookupPath,
                      xml("<DicResult><head/><def pos=\"noun\"><text>hello</text>"
                          "<tr pos=\"noun\"><text>\u043F\u0440\u0438\u0432\u0435\u0442</text></tr>"
                          "<tr><text>\u0430\u043B\u043B\u043E</text></tr></def></DicResult>"));
    EXPECT_EQ(translate("Hello", "en", "ru"),
              "\u276F\nhello  \u043F\u0440\u0438\u0432\u0435\u0442    \u25CF "
              "\u0430\u043B\u043B\u043E   ");
    EXPECT_EQ(dictionary.targets(), Targets{lookupTarget("&lang=en-ru&text=hello")});
    EXPECT_EQ(
        dictionary.lastRequest()->header("User-Agent"),
        "Mozilla/5.0 (Macintosh; Intel Mac OS X 10.7.5; rv:2.0.1) Gecko/20100101 Firefox/4.1.2");
    EXPECT_TRUE(yandex.requests().empty());
}

TEST_F(Dispatcher, AnEmptyDictionaryEntryFallsBackToTranslationOfTheWord) {
    dictionary.answer(kLookupPath, {401, "text/xml; charset=utf-8",
                                    kDeclaration + "<Error><code>401</code></Error>"});
    yandex.answer(kTranslatePath, translation("\u0421\u043B\u043E\u0432\u043E"));
    EXPECT_EQ(translate("W\u00D6RD", "de", "ru"), "\u0421\u043B\u043E\u0432\u043E");
    EXPECT_EQ(yandex.targets(), Targets{translateTarget("&lang=de-ru&text=w%C3%B6rd")});
}

TEST_F(Dispatcher, TheRemovalListFiltersTheEntryButNotTheFallback) {
    dictionary.answer(kLookupPath, xml("<DicResult><head/><def><text>ad</text></def></DicResult>"));
    yandex.answer(kTranslatePath, translation("ad banner"));
    EXPECT_EQ(translate("ad", "en", "ru", "Yandex", std::vector<std::string>{"ad", "", "banner"}),
              "\u276F\n  ");
    EXPECT_TRUE(yandex.requests().empty());
    // Removing everything that is left makes the entry empty, and the word is translated.
    EXPECT_EQ(
        translate("ad", "en", "ru", "Yandex", std::vector<std::string>{"\u276F", "\n", " ", "ad"}),
        "ad banner");
    EXPECT_EQ(yandex.requests().size(), 1u);
}

TEST_F(Dispatcher, UnreachableDictionaryFallsBackToTranslation) {
    context.addresses.yandexDictionary = "127.0.0.1:1";
    yandex.answer(kTranslatePath, translation("x"));
    EXPECT_EQ(translate("word", "en", "ru"), "x");
}

TEST_F(Dispatcher, PreparesTheTextForEveryService) {
    yandex.answer(kTranslatePath, translation("a!@! b"));
    EXPECT_EQ(translate("x; y", "en", "ru"), "a; b");
    EXPECT_EQ(translate("R&D", "en", "ru"), "a; b") << "\"&\" makes a multi-word text";
    EXPECT_EQ(translate("a<b & c>d", "en", "ru"), "a; b");
    EXPECT_EQ(yandex.targets(),
              (Targets{translateTarget("&lang=en-ru&text=x!@!%20y"),
                       translateTarget("&lang=en-ru&text=R%20and%20D"),
                       translateTarget("&lang=en-ru&text=a%E2%A9%BDb%20%20and%20%20c%E2%A9%BEd")}));
}

TEST_F(Dispatcher, FoldsChineseTargetsButNotSources) {
    yandex.answer(kTranslatePath, translation("t"));
    translate("two words", "en", "zh-TW");
    for (const char* target : {"zh-CN", "zh-CHS", "zh-CHT"}) {
        translate("two words", "zh-TW", target);
    }
    EXPECT_EQ(yandex.targets(), (Targets{translateTarget("&lang=en-zh&text=two%20words"),
                                         translateTarget("&lang=zh-TW-zh&text=two%20words"),
                                         translateTarget("&lang=zh-TW-zh&text=two%20words"),
                                         translateTarget("&lang=zh-TW-zh&text=two%20words")}));
}

TEST_F(Dispatcher, TheTargetDefaultsToTheRegionInLowerCase) {
    yandex.answer(kTranslatePath, translation("t"));
    locale.region = "FR";
    translate("two words", "en", std::nullopt);
    translate("two words", "en", "");
    locale.region = std::nullopt;
    translate("two words", "en", "");
    EXPECT_EQ(yandex.targets(), (Targets{translateTarget("&lang=en-fr&text=two%20words"),
                                         translateTarget("&lang=en-fr&text=two%20words"),
                                         translateTarget("&lang=en-&text=two%20words")}));
}

TEST_F(Dispatcher, StopsWithoutARequestOnEmptyTextAndEqualLanguages) {
    EXPECT_EQ(translate("", "en", "ru"), "?\u00BF");
    EXPECT_EQ(defaults.writes, 0) << "the empty text writes no setting";
    EXPECT_EQ(translate("same", "en", "en"), "?\u00BF");
    EXPECT_EQ(defaults.values.at("leftSim"), "en") << "written before the comparison";
    EXPECT_EQ(translate("no source", std::nullopt, "en"), "?\u00BF") << "no source means English";
    EXPECT_EQ(requestCount(), 0u);
}

TEST_F(Dispatcher, ServicesWithoutABranchGiveNoText) {
    EXPECT_EQ(translate("text", "en", "ru", "Unknown"), "?\u00BF");
    EXPECT_EQ(translate("text", "en", "ru", "yandex"), "?\u00BF") << "names are case-sensitive";
    EXPECT_EQ(defaults.values.at("leftSim"), "en");
    defaults.values.clear();
    translate("text", "de", "ru", "Babylon");
    EXPECT_EQ(defaults.values.count("leftSim"), 0u) << "Babylon keeps its own codes out of leftSim";
}

TEST_F(Dispatcher, CollapsesDoubleLineFeedsOnce) {
    yandex.answer(kTranslatePath, translation("a\n\n\n\nb\n\nc\nd"));
    EXPECT_EQ(translate("two words", "en", "ru"), "a\n\nb\nc\nd");
}

TEST_F(Dispatcher, AFailedRequestGivesTheEmptyText) {
    context.addresses.yandexTranslate = "127.0.0.1:1";
    EXPECT_EQ(translate("two words", "en", "ru"), "");
}

TEST_F(Dispatcher, TheWordLimitIsAThousandPieces) {
    yandex.answer(kTranslatePath, translation("t"));
    std::string thousand = "w";
    for (int i = 1; i < 1000; ++i) {
        thousand += " w";
    }
    translate(thousand, "en", "ru");
    translate(thousand + " ", "en", "ru");
    const auto seen = yandex.requests();
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_NE(seen[0].target.find("&text=w%20w%20"), std::string::npos);
    EXPECT_EQ(seen[1].target, translateTarget("&lang=en-ru&text=too%20many%20words"));
}

TEST_F(Dispatcher, DetectionAsksYandexAndUsesItsCode) {
    defaults.values["autoDetectLang"] = "1";
    yandex.answer(kDetectPath, xml("<DetectedLang code=\"200\" lang=\"de\"/>"));
    yandex.answer(kTranslatePath, translation("t"));
    translate("hallo welt", "en", "ru");
    EXPECT_EQ(yandex.targets(),
              (Targets{kDetectPath + "?key=" + kYandexTranslateKey + "&text=hallo%20welt",
                       translateTarget("&lang=de-ru&text=hallo%20welt")}));
    EXPECT_TRUE(microsoft.requests().empty());
    EXPECT_EQ(defaults.values.at("leftSim"), "de");
}

TEST_F(Dispatcher, DetectionFallsBackToMicrosoftWhenYandexNamesNoLanguage) {
    defaults.values["autoDetectLang"] = "1";
    yandex.answer(kDetectPath, xml("<DetectedLang code=\"200\" lang=\"\"/>"));
    yandex.answer(kTranslatePath, translation("t"));
    microsoft.answer(
        kMicrosoftDetectPath,
        {200, "application/xml; charset=utf-8",
         "<string xmlns=\"http://schemas.microsoft.com/2003/10/Serialization/\">zh-CHS</string>"});
    translate("\u4F60\u597D \u4E16\u754C", std::nullopt, "ru");
    EXPECT_EQ(microsoft.targets(), Targets{kMicrosoftDetectPath + "?appId=" + kApiF +
                                           "&text=%E4%BD%A0%E5%A5%BD%20%E4%B8%96%E7%95%8C"});
    EXPECT_EQ(yandex.requests().back().target,
              translateTarget("&lang=zh-CHS-ru&text=%E4%BD%A0%E5%A5%BD%20%E4%B8%96%E7%95%8C"));
}

TEST_F(Dispatcher, DetectionThatFailsEverywhereGivesTheEmptySource) {
    defaults.values["autoDetectLang"] = "y";
    yandex.answer(kDetectPath, {403, "text/xml; charset=utf-8",
                                kDeclaration + "<Error code=\"403\" message=\"blocked\"/>"});
    context.addresses.microsoft = "127.0.0.1:1";
    yandex.answer(kTranslatePath, translation("t"));
    translate("bonjour tout", "fr", "ru");
    EXPECT_EQ(defaults.values.at("leftSim"), "") << "not the caller's code, not \"en\"";
    EXPECT_EQ(yandex.requests().back().target, translateTarget("&lang=-ru&text=bonjour%20tout"));
}

}  // namespace
}  // namespace lexoria
