// The translation call and every service branch against loopback servers that answer as
// the services do: canned answers in, the requests that left and the result out.
#include <gtest/gtest.h>

#include "DefaultsMemory.h"
#include "LocaleFixed.h"
#include "LoopbackServer.h"
#include "TempDir.h"
#include "engine/SelfTranslators.h"
#include "engine/ServiceKeys.h"
#include "platform/linux/BundleDirectory.h"

namespace lexoria {
namespace {

using test::CannedAnswer;
using test::LoopbackServer;
using Strings = std::vector<std::string>;
using Answers = std::vector<std::pair<std::string, CannedAnswer>>;

const std::string kTranslatePath = "/api/v1.5/tr/translate";
const std::string kLookupPath = "/api/v1/dicservice/lookup";
const std::string kDetectPath = "/api/v1.5/tr/detect";
const std::string kMicrosoftPath = "/V2/Http.svc/Translate";
const std::string kMicrosoftDetectPath = "/v2/Http.svc/Detect";
const std::string kBabylonPath = "/translate/babylon.php";
const std::string kDeclaration = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n";
const std::string kPrivet = "\u043F\u0440\u0438\u0432\u0435\u0442";
const std::string kNone = "?\u00BF";
const std::string kNihao = "%E4%BD%A0%E5%A5%BD%20%E4%B8%96%E7%95%8C";

using test::fixture;
CannedAnswer xml(const std::string& body, int status = 200) {
    return {status, "text/xml; charset=utf-8", kDeclaration + body};
}
std::pair<std::string, CannedAnswer> translation(const std::string& text) {
    return {kTranslatePath,
            xml("<Translation code=\"200\"><text>" + text + "</text></Translation>")};
}
std::pair<std::string, CannedAnswer> entry(const std::string& body) {
    return {kLookupPath, xml("<DicResult><head/>" + body + "</DicResult>")};
}
std::pair<std::string, CannedAnswer> google(const std::string& page, int status = 200,
                                            const std::string& type = "text/html; charset=UTF-8") {
    return {"/", {status, type, page}};
}
std::string translate(const std::string& query) {
    return kTranslatePath + "?key=" + kYandexTranslateKey + query;
}
std::string lookup(const std::string& query) {
    return kLookupPath + "?key=" + kYandexDictionaryKey + query;
}
std::string microsoft(const char* key, const std::string& text) {
    return kMicrosoftPath + "?appId=" + key + "&text=" + text + "&from=en&to=de";
}
std::string babylon(const std::string& query) {
    return kBabylonPath + "?v=1.0&q=" + query + "&callback=callbackFn&context=babylon";
}
std::string words(int count, const std::string& separator) {
    std::string text = "w";
    for (int i = 1; i < count; ++i) {
        text += separator + "w";
    }
    return text;
}
const std::string kGoogleSpan = "<span onmouseout=\"this.style.backgroundColor='#fff'\">";

struct ServiceCase {
    const char* name;
    std::string service = "Yandex";
    std::string text = "two words";
    std::optional<std::string> from = "en";
    std::optional<std::string> to = "ru";
    Answers answers;
    std::string result;
    Strings targets;                // the HTTPS server's, then the HTTP server's
    const char* leftSim = nullptr;  // when set, the source language written
    bool writesNothing = false;
    Strings remove;
    int key = 1;
    bool detect = false;
    std::string unreachable;  // the address of this service points at a closed port
    std::optional<std::string> region = "US";
};

void PrintTo(const ServiceCase& c, std::ostream* out) {
    *out << c.name;
}

// clang-format off
const ServiceCase kServiceCases[] = {
    {.name = "YandexTranslatesText", .text = "hello world",
     .answers = {translation(kPrivet + " \u043C\u0438\u0440")},
     .result = kPrivet + " \u043C\u0438\u0440",
     .targets = {translate("&lang=en-ru&text=hello%20world")}, .leftSim = "en"},
    {.name = "OneWordIsLookedUpInLowerCase", .text = "Hello",
     .answers = {entry("<def pos=\"noun\"><text>hello</text><tr pos=\"noun\"><text>" + kPrivet +
                       "</text></tr><tr><text>\u0430\u043B\u043B\u043E</text></tr></def>")},
     .result = "\u276F\nhello  " + kPrivet + "    \u25CF \u0430\u043B\u043B\u043E   ",
     .targets = {lookup("&lang=en-ru&text=hello")}},
    {.name = "AnEmptyEntryFallsBackToTranslation", .text = "W\u00D6RD", .from = "de",
     .answers = {{kLookupPath, xml("<Error><code>401</code></Error>", 401)}, translation("S")},
     .result = "S",
     .targets = {lookup("&lang=de-ru&text=w%C3%B6rd"), translate("&lang=de-ru&text=w%C3%B6rd")}},
    {.name = "TheRemovalListFiltersTheEntry", .text = "ad",
     .answers = {entry("<def><text>ad</text></def>"), translation("ad banner")},
     .result = "\u276F\n  ", .targets = {lookup("&lang=en-ru&text=ad")},
     .remove = {"ad", "", "banner"}},
    {.name = "AnEntryRemovedWhollyFallsBackUnfiltered", .text = "ad",
     .answers = {entry("<def><text>ad</text></def>"), translation("ad banner")},
     .result = "ad banner",
     .targets = {lookup("&lang=en-ru&text=ad"), translate("&lang=en-ru&text=ad")},
     .remove = {"\u276F", "\n", " ", "ad"}},
    {.name = "AnUnreachableDictionaryFallsBack", .text = "word", .answers = {translation("x")},
     .result = "x", .targets = {translate("&lang=en-ru&text=word")}, .unreachable = "dictionary"},
    {.name = "SemicolonsSurviveTheService", .text = "x; y", .answers = {translation("a!@! b")},
     .result = "a; b", .targets = {translate("&lang=en-ru&text=x!@!%20y")}},
    {.name = "AnAmpersandMakesWords", .text = "R&D", .answers = {translation("t")}, .result = "t",
     .targets = {translate("&lang=en-ru&text=R%20and%20D")}},
    {.name = "AngleBracketsBecomeLookalikes", .text = "a<b & c>d", .answers = {translation("t")},
     .result = "t",
     .targets = {translate("&lang=en-ru&text=a%E2%A9%BDb%20%20and%20%20c%E2%A9%BEd")}},
    {.name = "ChineseTargetTW", .to = "zh-TW", .answers = {translation("t")}, .result = "t",
     .targets = {translate("&lang=en-zh&text=two%20words")}},
    {.name = "ChineseTargetCNButNotTheSource", .from = "zh-TW", .to = "zh-CN",
     .answers = {translation("t")}, .result = "t",
     .targets = {translate("&lang=zh-TW-zh&text=two%20words")}},
    {.name = "ChineseTargetCHS", .to = "zh-CHS", .answers = {translation("t")}, .result = "t",
     .targets = {translate("&lang=en-zh&text=two%20words")}},
    {.name = "ChineseTargetCHT", .to = "zh-CHT", .answers = {translation("t")}, .result = "t",
     .targets = {translate("&lang=en-zh&text=two%20words")}},
    {.name = "NoTargetIsTheRegionInLowerCase", .to = std::nullopt, .answers = {translation("t")},
     .result = "t", .targets = {translate("&lang=en-fr&text=two%20words")}, .region = "FR"},
    {.name = "AnEmptyTargetIsTheRegion", .to = "", .answers = {translation("t")}, .result = "t",
     .targets = {translate("&lang=en-fr&text=two%20words")}, .region = "FR"},
    {.name = "NoRegionLeavesTheTargetEmpty", .to = "", .answers = {translation("t")}, .result = "t",
     .targets = {translate("&lang=en-&text=two%20words")}, .region = std::nullopt},
    {.name = "EmptyTextWritesNothing", .text = "", .result = kNone, .writesNothing = true},
    {.name = "EqualLanguagesAfterTheSourceIsWritten", .to = "en", .result = kNone, .leftSim = "en"},
    {.name = "NoSourceMeansEnglish", .from = std::nullopt, .to = "en", .result = kNone},
    {.name = "UnknownService", .service = "Unknown", .result = kNone, .leftSim = "en"},
    {.name = "NamesAreCaseSensitive", .service = "yandex", .result = kNone},
    {.name = "DoubleLineFeedsCollapseOnce", .answers = {translation("a\n\n\n\nb\n\nc\nd")},
     .result = "a\n\nb\nc\nd", .targets = {translate("&lang=en-ru&text=two%20words")}},
    {.name = "AFailedRequestGivesTheEmptyText", .unreachable = "yandex"},
    {.name = "AThousandWordsAreSent", .text = words(1000, " "), .answers = {translation("t")},
     .result = "t", .targets = {translate("&lang=en-ru&text=" + words(1000, "%20"))}},
    {.name = "MoreWordsAreNot", .text = words(1000, " ") + " ", .answers = {translation("t")},
     .result = "t", .targets = {translate("&lang=en-ru&text=too%20many%20words")}},
    {.name = "DetectionAsksYandex", .text = "hallo welt",
     .answers = {{kDetectPath, xml("<DetectedLang code=\"200\" lang=\"de\"/>")}, translation("t")},
     .result = "t",
     .targets = {kDetectPath + "?key=" + kYandexTranslateKey + "&text=hallo%20welt",
                 translate("&lang=de-ru&text=hallo%20welt")},
     .leftSim = "de", .detect = true},
    {.name = "DetectionFallsBackToMicrosoft", .text = "\u4F60\u597D \u4E16\u754C",
     .from = std::nullopt,
     .answers = {{kDetectPath, xml("<DetectedLang code=\"200\" lang=\"\"/>")}, translation("t"),
                 {kMicrosoftDetectPath, {200, "application/xml", "<string>zh-CHS</string>"}}},
     .result = "t",
     .targets = {kDetectPath + "?key=" + kYandexTranslateKey + "&text=" + kNihao,
                 translate("&lang=zh-CHS-ru&text=" + kNihao),
                 kMicrosoftDetectPath + "?appId=" + kApiF + "&text=" + kNihao},
     .leftSim = "zh-CHS", .detect = true},
    {.name = "DetectionFailingEverywhereGivesTheEmptySource", .from = "fr",
     .answers = {{kDetectPath, xml("<Error code=\"403\" message=\"blocked\"/>", 403)},
                 translation("t")},
     .result = "t",
     .targets = {kDetectPath + "?key=" + kYandexTranslateKey + "&text=two%20words",
                 translate("&lang=-ru&text=two%20words")},
     .leftSim = "", .detect = true, .unreachable = "microsoft"},
    {.name = "GoogleSendsLineBreaksAsPencilsAndRestoresThem", .service = "Google",
     .text = "Hello world.\nHow \"are\",\"you\"?",
     .answers = {google(fixture("google_page_two_sentences.html"))},
     .result = "\u041F\u0440\u0438\u0432\u0435\u0442, \u043C\u0438\u0440. \u041A\u0430\u043A "
               "\u0434\u0435\u043B\u0430 & \"\u0432\u0441\u0451\"  1?\n"
               "\u0425\u043E\u0440\u043E\u0448\u043E >\n",
     .targets = {"/?langpair=en%7Cru&text=Hello%20world.%20%E2%9C%8E%20How%20%22are%C6%A2you%22?"},
     .remove = {"Privet", "3"}},
    {.name = "GoogleDeletesABarePencil", .service = "Google",
     .answers = {google(kGoogleSpan + "a&#9998;b</span><textarea name=x>source</textarea>")},
     .result = "ab",
     .targets = {"/?langpair=en%7Cru&text=two%20words"}},
    {.name = "GoogleDecodesTheDeclaredCharacterSet", .service = "Google",
     .answers = {google(kGoogleSpan + "\xCF\xF0\xE8\xE2\xE5\xF2</span><textarea name=x>", 200,
                        "text/html; charset=windows-1251")},
     .result = "\u041F\u0440\u0438\u0432\u0435\u0442",
     .targets = {"/?langpair=en%7Cru&text=two%20words"}},
    {.name = "GoogleErrorPage", .service = "Google",
     .answers = {google(fixture("google_page_without_marker.html"), 503)},
     .targets = {"/?langpair=en%7Cru&text=two%20words"}},
    {.name = "GoogleUnreachable", .service = "Google", .unreachable = "google"},
    {.name = "MicrosoftRepeatsOnceWithTheSecondKey", .service = "Microsoft", .text = "Hello world",
     .to = "de",
     .answers = {{kMicrosoftPath, {400, "text/html", "<html><body><p>Message: Invalid appId</p>"
                                   "<p>TranslateApiExceptionMethod</p></body></html>"}}},
     .result = "Message: Invalid appIdTranslateApiExceptionMethod",
     .targets = {microsoft(kApiF, "Hello%20world"), microsoft(kApiS, "Hello%20world")}},
    {.name = "MicrosoftSecondKeyAnsweredOnce", .service = "Microsoft", .text = "Hello world",
     .to = "de",
     .answers = {{kMicrosoftPath, {200, "application/xml", "<string>Hallo Welt</string>"}}},
     .result = "Hallo Welt", .targets = {microsoft(kApiS, "Hello%20world")}, .key = 2},
    {.name = "BabylonLooksUpLanguageCodes", .service = "Babylon", .text = "hello world", .to = "4",
     .answers = {{kBabylonPath, {200, "text/javascript", fixture("babylon_answer.js")}}},
     .result = "holamundo \u00A1bien! \"x\"", .targets = {babylon("hello%20world&langpair=0%7C4")},
     .writesNothing = true},
    {.name = "BabylonKeepsNumbersAsTheyAre", .service = "Babylon", .from = " 6\n", .to = "zh-TW",
     .result = kNone, .writesNothing = true},
    {.name = "BabylonSendsUnknownCodesAsTheyAre", .service = "Babylon", .from = "xx", .to = "-8",
     .answers = {{kBabylonPath, {200, "text/javascript", fixture("babylon_answer.js")}}},
     .result = "holamundo \u00A1bien! \"x\"", .targets = {babylon("two%20words&langpair=xx%7C-8")}},
    {.name = "BabylonAnswerCutShort", .service = "Babylon", .from = "0", .to = "4",
     .answers = {{kBabylonPath,
                  {200, "text/javascript", fixture("babylon_answer_cut_inside_json.txt")}}},
     .result = kNone, .targets = {babylon("two%20words&langpair=0%7C4")}},
    {.name = "BabylonUnreachable", .service = "Babylon", .result = kNone, .unreachable = "babylon"},
};
// clang-format on

class Services : public ::testing::TestWithParam<ServiceCase> {
  protected:
    Services() {
        context.addresses.google = context.addresses.yandexTranslate =
            context.addresses.yandexDictionary = secure.hostPort();
        context.addresses.microsoft = context.addresses.babylon = plain.hostPort();
        context.http.caFile = secure.caFile();
    }
    std::string translate(const std::string& service, const std::string& text,
                          const std::optional<std::string>& from,
                          const std::optional<std::string>& to, const Strings& remove = {},
                          int key = 1) {
        return SelfTranslators(context).setService(service, text, from, to, remove, key);
    }

    LoopbackServer secure{LoopbackServer::Scheme::https};
    LoopbackServer plain;
    test::DefaultsMemory defaults;
    test::LocaleFixed locale;
    BundleDirectory bundle{{LEXORIA_RESOURCES}};
    EngineContext context{defaults, locale, {}, {}, &bundle};
};

TEST_P(Services, AskTheServiceAndGiveItsText) {
    const ServiceCase& c = GetParam();
    for (const auto& [path, answer] : c.answers) {
        secure.answer(path, answer);
        plain.answer(path, answer);
    }
    defaults.values["autoDetectLang"] = c.detect ? "1" : "0";
    defaults.writes = 0;
    locale.region = c.region;
    const std::map<std::string, std::string*> addresses = {
        {"google", &context.addresses.google},
        {"yandex", &context.addresses.yandexTranslate},
        {"dictionary", &context.addresses.yandexDictionary},
        {"microsoft", &context.addresses.microsoft},
        {"babylon", &context.addresses.babylon}};
    if (!c.unreachable.empty()) {
        *addresses.at(c.unreachable) = "127.0.0.1:1";
    }
    EXPECT_EQ(translate(c.service, c.text, c.from, c.to, c.remove, c.key), c.result);
    Strings targets = secure.targets();
    for (const std::string& target : plain.targets()) {
        targets.push_back(target);
    }
    EXPECT_EQ(targets, c.targets);
    if (c.leftSim) {
        EXPECT_EQ(defaults.values["leftSim"], c.leftSim);
    }
    if (c.writesNothing) {
        EXPECT_EQ(defaults.writes, 0);
    }
    for (const auto& request : secure.requests()) {
        if (request.target.starts_with(kLookupPath)) {
            EXPECT_EQ(request.header("User-Agent"),
                      "Mozilla/5.0 (Macintosh; Intel Mac OS X 10.7.5; rv:2.0.1) Gecko/20100101 "
                      "Firefox/4.1.2");
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Table, Services, ::testing::ValuesIn(kServiceCases),
                         [](const auto& info) { return std::string(info.param.name); });

class BabylonTable : public Services {};

TEST_F(BabylonTable, WithoutTheLanguageTableCodesGoAsTheyAre) {
    test::TempDir empty;
    BundleDirectory nothing({empty.path()});
    context.bundle = &nothing;
    plain.answer(kBabylonPath, {200, "text/javascript", fixture("babylon_answer.js")});
    translate("Babylon", "hello", "en", "de");
    std::ofstream(empty.path() / "lang.plist") << "not a property list";
    translate("Babylon", "hello", "en", "de");
    EXPECT_EQ(plain.targets(), Strings(2, babylon("hello&langpair=en%7Cde")));
}

}  // namespace
}  // namespace lexoria
