// lexoria-translate as a user runs it: a process with its own environment, settings
// file and standard streams.
#include <gtest/gtest.h>

#include <fstream>

#include "LoopbackServer.h"
#include "RunProcess.h"
#include "TempDir.h"
#include "engine/ServiceKeys.h"

namespace lexoria {
namespace {

using test::CannedAnswer;
using test::LoopbackServer;

const std::string kDeclaration = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n";

class CommandLine : public ::testing::Test {
  protected:
    CommandLine() {
        yandex.answer("/api/v1.5/tr/translate",
                      {200, "text/xml; charset=utf-8",
                       kDeclaration + "<Translation><text>\u043F\u0440\u0438\u0432\u0435\u0442 "
                                      "\u043C\u0438\u0440</text></Translation>"});
        yandex.answer(
            "/api/v1/dicservice/lookup",
            {200, "text/xml; charset=utf-8",
             kDeclaration + "<DicResult><head/><def><text>hello</text><tr><text>"
                            "\u043F\u0440\u0438\u0432\u0435\u0442</text></tr></def></DicResult>"});
        environment = {
            {"HOME", home.path().string()},
            {"XDG_CONFIG_HOME", (home.path() / "config").string()},
            {"LANG", "de_DE.UTF-8"},
            {"LEXORIA_YANDEX_TRANSLATE_HOST", yandex.hostPort()},
            {"LEXORIA_YANDEX_DICTIONARY_HOST", yandex.hostPort()},
            {"LEXORIA_MICROSOFT_HOST", "127.0.0.1:1"},
            {"LEXORIA_CA_FILE", yandex.caFile()},
        };
    }

    test::ProcessResult run(const std::vector<std::string>& arguments,
                            const std::string& input = "") {
        return test::runProcess(LEXORIA_TRANSLATE_BINARY, arguments, environment, input);
    }
    std::string settingsFile() const {
        std::ifstream in(home.path() / "config" / "lexoria" / "org.lexoria.Lexoria.plist");
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    test::TempDir home;
    LoopbackServer yandex{LoopbackServer::Scheme::https};
    std::map<std::string, std::string> environment;
};

TEST_F(CommandLine, TranslatesItsArguments) {
    const auto result = run({"--service", "Yandex", "--from", "en", "--to", "ru", "Hello"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, "\u276F\nhello   \u25CF \u043F\u0440\u0438\u0432\u0435\u0442   \n");
    EXPECT_EQ(yandex.lastRequest()->target, std::string("/api/v1/dicservice/lookup?key=") +
                                                kYandexDictionaryKey + "&lang=en-ru&text=hello");
}

TEST_F(CommandLine, ReadsStandardInputByteForByteWhenGivenNoText) {
    const auto result = run({"--service=Yandex", "--from=en", "--to=ru"}, "hello world\n");
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, "\u043F\u0440\u0438\u0432\u0435\u0442 \u043C\u0438\u0440\n");
    EXPECT_EQ(yandex.lastRequest()->target, std::string("/api/v1.5/tr/translate?key=") +
                                                kYandexTranslateKey +
                                                "&lang=en-ru&text=hello%20world%0A");
}

TEST_F(CommandLine, UsesTheSettingsAndLocaleOfTheDesktopProgram) {
    // Detection is on in the settings and fails everywhere; the target comes from LANG.
    yandex.answer("/api/v1.5/tr/detect",
                  {403, "text/xml", kDeclaration + "<Error code=\"403\" message=\"blocked\"/>"});
    std::filesystem::create_directories(home.path() / "config" / "lexoria");
    std::ofstream(home.path() / "config" / "lexoria" / "org.lexoria.Lexoria.plist")
        << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>"
           "<key>autoDetectLang</key><string>1</string></dict></plist>\n";
    const auto result = run({"--service", "Yandex", "two", "words"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(yandex.lastRequest()->target, std::string("/api/v1.5/tr/translate?key=") +
                                                kYandexTranslateKey + "&lang=-de&text=two%20words");
}

TEST_F(CommandLine, SaysSoWhenTheServiceGaveNoText) {
    environment["LEXORIA_YANDEX_TRANSLATE_HOST"] = "127.0.0.1:1";
    const auto result = run({"--service", "Yandex", "--from", "en", "--to", "ru", "two words"});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out, "\n");
    EXPECT_NE(result.err.find("gave no text"), std::string::npos) << result.err;
}

TEST_F(CommandLine, PrintsTheNoTextResultForNothingToTranslate) {
    const auto result = run({"--service", "Yandex", "--from", "en", "--to", "ru"});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out, "?\u00BF\n");
    EXPECT_TRUE(yandex.requests().empty());
}

TEST_F(CommandLine, ReadsTheDesktopsSettingsButNeverChangesThem) {
    LoopbackServer promt;
    promt.answer(
        "/services/TranslationService.asmx/GetTranslateNew",
        {200, "application/json; charset=utf-8", R"({"d":{"resultNoTags":"Hallo Welt"}})"});
    environment["LEXORIA_PROMT_HOST"] = promt.hostPort();
    // The desktop program's source language and its PROMT answer, not yet collected.
    const std::string desktops =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>"
        "<key>leftSim</key><string>fr</string><key>promt_</key><string>Bonjour</string>"
        "</dict></plist>\n";
    std::filesystem::create_directories(home.path() / "config" / "lexoria");
    std::ofstream(home.path() / "config" / "lexoria" / "org.lexoria.Lexoria.plist") << desktops;
    const auto yandexRun = run({"--service", "Yandex", "--from", "en", "--to", "ru", "Hello"});
    EXPECT_EQ(yandexRun.exitCode, 0) << yandexRun.err;
    const auto result = run({"--service", "PROMT", "--from", "en", "--to", "de", "Hello", "world"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, "Hallo Welt\n") << "its own answer, not the desktop's";
    EXPECT_EQ(settingsFile(), desktops);

    environment["LEXORIA_PROMT_HOST"] = "127.0.0.1:1";
    const auto failed = run({"--service", "PROMT", "--from", "en", "--to", "de", "Hello"});
    EXPECT_EQ(failed.exitCode, 1);
    EXPECT_EQ(failed.out, "?\u00BF\n");
    EXPECT_NE(failed.err.find("something very bad happened here"), std::string::npos) << failed.err;
}

TEST_F(CommandLine, TranslatesWithGoogleByDefault) {
    LoopbackServer google{LoopbackServer::Scheme::https};
    google.answer(
        "/",
        {200, "text/html; charset=utf-8",
         "<span onmouseout=\"this.style.backgroundColor='#fff'\">Hallo &amp; tsch&uuml;ss</span>"
         "<textarea name=gtrans>"});
    environment["LEXORIA_GOOGLE_HOST"] = google.hostPort();
    const auto result = run({"--from", "en", "--to", "de", "Hello & bye"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, "Hallo & tsch\u00FCss\n");
    EXPECT_EQ(google.lastRequest()->target, "/?langpair=en%7Cde&text=Hello%20%20and%20%20bye");
}

TEST_F(CommandLine, RefusesBadUsageWithExitCodeTwo) {
    const std::vector<std::vector<std::string>> misuses = {
        {"--key", "3", "x"}, {"--to"}, {"--frobnicate", "x"}};
    for (const auto& arguments : misuses) {
        const auto result = run(arguments);
        EXPECT_EQ(result.exitCode, 2) << arguments[0];
        EXPECT_NE(result.err.find("usage: lexoria-translate"), std::string::npos) << result.err;
        EXPECT_EQ(result.out, "");
    }
    const auto notUtf8 = run({"--service", "Yandex", "caf\xE9"});
    EXPECT_EQ(notUtf8.exitCode, 2);
    EXPECT_NE(notUtf8.err.find("not valid UTF-8"), std::string::npos) << notUtf8.err;
    const auto badCode = run({"--service", "Yandex", "--from", "\xFF", "word"});
    EXPECT_EQ(badCode.exitCode, 2) << "nothing of it may reach the settings";
    EXPECT_EQ(settingsFile(), "");

    environment["LEXORIA_YANDEX_TRANSLATE_HOST"] = "http://example.org/";
    const auto badHost = run({"--service", "Yandex", "x y"});
    EXPECT_EQ(badHost.exitCode, 2);
    EXPECT_NE(badHost.err.find("LEXORIA_YANDEX_TRANSLATE_HOST"), std::string::npos) << badHost.err;
    EXPECT_TRUE(yandex.requests().empty());
}

}  // namespace
}  // namespace lexoria
