// The Google, Microsoft and Babylon branches against loopback servers that answer as
// those services do.
#include <gtest/gtest.h>

#include <fstream>

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

std::string fixture(const std::string& name) {
    std::ifstream in(std::string(LEXORIA_TEST_DATA) + "/" + name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class Services : public ::testing::Test {
  protected:
    Services() {
        context.addresses.google = google.hostPort();
        context.addresses.microsoft = microsoft.hostPort();
        context.addresses.babylon = babylon.hostPort();
        context.http.caFile = google.caFile();
        defaults.values["autoDetectLang"] = "0";
    }

    std::string translate(const std::string& service, const std::string& text,
                          const std::string& from, const std::string& to, int32_t key = 1,
                          std::vector<std::string> remove = {}) {
        return SelfTranslators(context).setService(service, text, from, to, remove, key);
    }

    LoopbackServer google{LoopbackServer::Scheme::https};
    LoopbackServer microsoft;
    LoopbackServer babylon;
    test::DefaultsMemory defaults;
    test::LocaleFixed locale;
    BundleDirectory bundle{{LEXORIA_RESOURCES}};
    EngineContext context{defaults, locale, {}, {}, &bundle};
};

using Targets = std::vector<std::string>;

TEST_F(Services, GoogleSendsLineBreaksAsPencilsAndRestoresThem) {
    google.answer("/",
                  {200, "text/html; charset=UTF-8", fixture("google_page_two_sentences.html")});
    const std::string result =
        translate("Google", "Hello world.\nHow \"are\",\"you\"?", "en", "ru", 1, {"Privet", "3"});
    EXPECT_EQ(result,
              "\u041F\u0440\u0438\u0432\u0435\u0442, \u043C\u0438\u0440. \u041A\u0430\u043A "
              "\u0434\u0435\u043B\u0430 "
              "& \"\u0432\u0441\u0451\"  1?\n\u0425\u043E\u0440\u043E\u0448\u043E >\n");
    EXPECT_EQ(
        google.targets(),
        Targets{"/?langpair=en%7Cru&text=Hello%20world.%20%E2%9C%8E%20How%20%22are%C6%A2you%22?"});
}

TEST_F(Services, GoogleDecodesThePageInItsDeclaredCharacterSet) {
    google.answer(
        "/",
        {200, "text/html; charset=windows-1251",
         "<span onmouseout=\"this.style.backgroundColor='#fff'\">\xCF\xF0\xE8\xE2\xE5\xF2</span>"
         "<textarea name=x>"});
    EXPECT_EQ(translate("Google", "Hello", "en", "ru"), "\u041F\u0440\u0438\u0432\u0435\u0442");
}

TEST_F(Services, GoogleErrorPagesAndSilenceGiveTheEmptyText) {
    google.answer("/", {503, "text/html", fixture("google_page_without_marker.html")});
    EXPECT_EQ(translate("Google", "Hello", "en", "ru"), "");
    context.addresses.google = "127.0.0.1:1";
    EXPECT_EQ(translate("Google", "Hello", "en", "ru"), "");
}

TEST_F(Services, MicrosoftRepeatsOnceWithTheSecondKeyAfterAnErrorAnswer) {
    const std::string path = "/V2/Http.svc/Translate";
    microsoft.answer(path, {400, "text/html",
                            "<html><body><p>Message: Invalid "
                            "appId</p><p>TranslateApiExceptionMethod</p></body></html>"});
    EXPECT_EQ(translate("Microsoft", "Hello world", "en", "de"),
              "Message: Invalid appIdTranslateApiExceptionMethod")
        << "the second answer is taken whatever it holds";
    const std::string query = "?appId=%s&text=Hello%20world&from=en&to=de";
    const auto target = [&](const char* key) {
        std::string t = path + query;
        t.replace(t.find("%s"), 2, key);
        return t;
    };
    EXPECT_EQ(microsoft.targets(), (Targets{target(kApiF), target(kApiS)}));

    microsoft.answer(path,
                     {200, "application/xml; charset=utf-8",
                      "<string xmlns=\"http://schemas.microsoft.com/2003/10/Serialization/\">Hallo "
                      "Welt</string>"});
    EXPECT_EQ(translate("Microsoft", "Hello world", "en", "de", 2), "Hallo Welt");
    EXPECT_EQ(microsoft.targets(), (Targets{target(kApiF), target(kApiS), target(kApiS)}))
        << "one request when the answer is good";
}

TEST_F(Services, BabylonLooksUpLanguageCodesAndKeepsNumbers) {
    babylon.answer("/translate/babylon.php",
                   {200, "text/javascript; charset=utf-8", fixture("babylon_answer.js")});
    EXPECT_EQ(translate("Babylon", "hello world", "en", "4"), "holamundo \u00A1bien! \"x\"");
    translate("Babylon", "hello", " 6\n", "zh-TW");
    translate("Babylon", "hello", "xx", "-8");
    EXPECT_EQ(
        babylon.targets(),
        (Targets{
            "/translate/"
            "babylon.php?v=1.0&q=hello%20world&langpair=0%7C4&callback=callbackFn&context=babylon",
            "/translate/"
            "babylon.php?v=1.0&q=hello&langpair=xx%7C-8&callback=callbackFn&context=babylon"}))
        << "\" 6\\n\" counts as a number and stays, and with its white space makes no URL";
    EXPECT_EQ(defaults.values.count("leftSim"), 0u);
}

TEST_F(Services, BabylonWithoutATranslationGivesNoText) {
    babylon.answer("/translate/babylon.php",
                   {200, "text/javascript", fixture("babylon_answer_cut_inside_json.txt")});
    EXPECT_EQ(translate("Babylon", "one, two", "0", "4"), "?\u00BF");
    context.addresses.babylon = "127.0.0.1:1";
    EXPECT_EQ(translate("Babylon", "one", "0", "4"), "?\u00BF");
}

TEST_F(Services, BabylonWithoutTheLanguageTableSendsCodesAsTheyAre) {
    test::TempDir empty;
    BundleDirectory nothing({empty.path()});
    context.bundle = &nothing;
    babylon.answer("/translate/babylon.php",
                   {200, "text/javascript", fixture("babylon_answer.js")});
    translate("Babylon", "hello", "en", "de");
    std::ofstream(empty.path() / "lang.plist") << "not a property list";
    translate("Babylon", "hello", "en", "de");
    EXPECT_EQ(
        babylon.targets(),
        Targets(2,
                "/translate/"
                "babylon.php?v=1.0&q=hello&langpair=en%7Cde&callback=callbackFn&context=babylon"));
}

}  // namespace
}  // namespace lexoria
